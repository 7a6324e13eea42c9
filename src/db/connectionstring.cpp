#include "db/connectionstring.h"

namespace orvane::db {

namespace {

// Splits "k=v;k2='v;2';k3=\"v3\"" into pairs; quotes protect ';'.
QList<QPair<QString, QString>> splitPairs(const QString& text)
{
    QList<QPair<QString, QString>> pairs;
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        while (i < n && (text[i] == QLatin1Char(';') || text[i].isSpace()))
            ++i;
        if (i >= n)
            break;
        const int keyStart = i;
        while (i < n && text[i] != QLatin1Char('=') && text[i] != QLatin1Char(';'))
            ++i;
        const QString key = text.mid(keyStart, i - keyStart).trimmed();
        QString value;
        if (i < n && text[i] == QLatin1Char('=')) {
            ++i;
            while (i < n && text[i] == QLatin1Char(' '))
                ++i;
            if (i < n && (text[i] == QLatin1Char('\'') || text[i] == QLatin1Char('"'))) {
                const QChar quote = text[i++];
                while (i < n) {
                    if (text[i] == quote) {
                        if (i + 1 < n && text[i + 1] == quote) { // doubled quote
                            value += quote;
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    value += text[i++];
                }
                while (i < n && text[i] != QLatin1Char(';'))
                    ++i;
            } else {
                const int valueStart = i;
                while (i < n && text[i] != QLatin1Char(';'))
                    ++i;
                value = text.mid(valueStart, i - valueStart).trimmed();
            }
        }
        if (!key.isEmpty())
            pairs.append({key, value});
    }
    return pairs;
}

} // namespace

bool ConnectionString::looksLikeFilePath(const QString& server)
{
    // "HOST\INSTANCE" names a SQL Server instance, so a backslash alone does not make a path:
    // only a drive-letter path or a UNC share does.
    if (server.contains(QLatin1Char('/')) || server.startsWith(QLatin1String("\\\\")))
        return true;
    if (server.size() > 2 && server.at(0).isLetter() && server.at(1) == QLatin1Char(':') &&
        server.at(2) == QLatin1Char('\\'))
        return true;
    return server.endsWith(QLatin1String(".db"), Qt::CaseInsensitive) ||
           server.endsWith(QLatin1String(".sqlite"), Qt::CaseInsensitive) ||
           server.endsWith(QLatin1String(".sqlite3"), Qt::CaseInsensitive);
}

ConnectionString ConnectionString::parse(const QString& text)
{
    ConnectionString cs;
    cs.m_text = text;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return cs;
    if (!trimmed.contains(QLatin1Char('='))) {
        // A bare path.
        if (looksLikeFilePath(trimmed)) {
            cs.m_target = Target::SqliteFile;
            cs.m_location = trimmed;
        }
        return cs;
    }
    cs.m_pairs = splitPairs(trimmed);
    const QString provider = cs.value(QStringLiteral("Provider"));
    QString server = cs.value(QStringLiteral("Server"));
    if (server.isEmpty())
        server = cs.value(QStringLiteral("Data Source"));
    if (server.isEmpty())
        server = cs.value(QStringLiteral("Address"));
    if (provider.contains(QLatin1String("JET.OLEDB"), Qt::CaseInsensitive) ||
        provider.contains(QLatin1String("ACE.OLEDB"), Qt::CaseInsensitive)) {
        if (!server.isEmpty()) {
            cs.m_target = Target::Workbook;
            cs.m_location = server;
        }
        return cs;
    }
    if (server.isEmpty())
        return cs;
    cs.m_location = server;
    cs.m_target = looksLikeFilePath(server) ? Target::SqliteFile : Target::SqlServer;
    return cs;
}

QString ConnectionString::value(const QString& key) const
{
    for (const auto& pair : m_pairs) {
        if (pair.first.compare(key, Qt::CaseInsensitive) == 0)
            return pair.second;
    }
    return {};
}

bool ConnectionString::contains(const QString& key) const
{
    for (const auto& pair : m_pairs) {
        if (pair.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace orvane::db
