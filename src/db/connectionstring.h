#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace orvane::db {

// A parsed OLE DB style connection string: "Key=Value;Key2='Value 2';...". Keys compare without
// regard to case; values may be quoted with ' or ".
class ConnectionString
{
public:
    enum class Target {
        Invalid,    // empty or not understood
        SqliteFile, // the server part names a file: Server=/path/x.db or Data Source=...
        Workbook,   // the Jet provider with an Excel workbook path
        SqlServer,  // a server name (no backend for it yet)
    };

    static ConnectionString parse(const QString& text);

    const QString& text() const { return m_text; }
    // The value of a key, empty when absent.
    QString value(const QString& key) const;
    bool contains(const QString& key) const;

    Target target() const { return m_target; }
    // The file path (SQLite file or workbook) or the server name.
    const QString& location() const { return m_location; }

    // True when `server` should be read as a path to an embedded database file.
    static bool looksLikeFilePath(const QString& server);

private:
    QString m_text;
    QList<QPair<QString, QString>> m_pairs;
    Target m_target = Target::Invalid;
    QString m_location;
};

} // namespace orvane::db
