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
        PostgreSql, // a PostgreSQL server: URI, libpq key-value form or Provider=PostgreSQL
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
    // True for "postgresql://..." and "postgres://..." URIs.
    static bool isPostgresUri(const QString& text);

    // For Target::PostgreSql: the libpq connection parameters as keyword/value pairs. The first
    // may be "dbname" holding a URI or key-value string, which libpq expands; the pairs after it
    // (user, password, dbname from UID/PWD/Database of an OLE DB string) override its parts.
    QList<QPair<QString, QString>> postgresParameters() const;

    // The text with every password replaced by "******", for error texts and logs.
    QString maskedText() const;
    static QString maskPassword(const QString& text);

private:
    QString m_text;
    QList<QPair<QString, QString>> m_pairs;
    Target m_target = Target::Invalid;
    QString m_location;
};

} // namespace orvane::db
