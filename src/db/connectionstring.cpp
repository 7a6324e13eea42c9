#include "db/connectionstring.h"

#include <QRegularExpression>

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

bool ConnectionString::isPostgresUri(const QString& text)
{
    const QString t = text.trimmed();
    return t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

namespace {

// libpq's "host=... port=... dbname=..." form: keywords separated by blanks, no ';'.
bool isLibpqKeywordForm(const QString& text)
{
    static const QRegularExpression start(
        QStringLiteral("^\\s*(host|hostaddr|port|dbname|user|password|service|sslmode)\\s*="),
        QRegularExpression::CaseInsensitiveOption);
    return !text.contains(QLatin1Char(';')) && start.match(text).hasMatch();
}

} // namespace

ConnectionString ConnectionString::parse(const QString& text)
{
    ConnectionString cs;
    cs.m_text = text;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return cs;
    if (isPostgresUri(trimmed) || isLibpqKeywordForm(trimmed)) {
        cs.m_target = Target::PostgreSql;
        cs.m_location = trimmed;
        return cs;
    }
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
    if (isPostgresUri(server) ||
        provider.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) ||
        provider.contains(QLatin1String("PGNP"), Qt::CaseInsensitive))
        cs.m_target = Target::PostgreSql;
    else
        cs.m_target = looksLikeFilePath(server) ? Target::SqliteFile : Target::SqlServer;
    return cs;
}

QList<QPair<QString, QString>> ConnectionString::postgresParameters() const
{
    QList<QPair<QString, QString>> params;
    if (m_target != Target::PostgreSql)
        return params;
    if (m_pairs.isEmpty()) { // a URI or libpq's own form
        params.append({QStringLiteral("dbname"), m_location});
        return params;
    }
    bool databaseGiven = false;
    if (isPostgresUri(m_location)) {
        params.append({QStringLiteral("dbname"), m_location});
        // postgresql://host:port/dbname?...: a database named in the URI wins over the
        // Database key the client adds for every server.
        const qsizetype hostStart = m_location.indexOf(QLatin1String("://")) + 3;
        const qsizetype slash = m_location.indexOf(QLatin1Char('/'), hostStart);
        databaseGiven = slash > 0 && slash + 1 < m_location.size() &&
                        m_location.at(slash + 1) != QLatin1Char('?');
    } else {
        // Server=host or host:port
        const qsizetype colon = m_location.lastIndexOf(QLatin1Char(':'));
        if (colon > 0 && !m_location.mid(colon + 1).isEmpty() &&
            m_location.mid(colon + 1).toInt() > 0) {
            params.append({QStringLiteral("host"), m_location.left(colon)});
            params.append({QStringLiteral("port"), m_location.mid(colon + 1)});
        } else {
            params.append({QStringLiteral("host"), m_location});
        }
        if (contains(QStringLiteral("Port")))
            params.append({QStringLiteral("port"), value(QStringLiteral("Port"))});
    }
    auto add = [&](const char* keyword, std::initializer_list<const char*> keys) {
        for (const char* key : keys) {
            const QString v = value(QString::fromLatin1(key));
            if (!v.isEmpty()) {
                params.append({QString::fromLatin1(keyword), v});
                return;
            }
        }
    };
    if (!databaseGiven)
        add("dbname", {"Database", "Initial Catalog"});
    add("user", {"UID", "User ID", "User"});
    add("password", {"PWD", "Password"});
    return params;
}

QString ConnectionString::maskPassword(const QString& text)
{
    static const QRegularExpression uri(
        QStringLiteral("(postgres(?:ql)?://[^:/@\\s;]*:)[^@\\s;]*@"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression keyValue(
        QStringLiteral("((?:^|[;\\s])\\s*(?:PWD|Password)\\s*=\\s*)('[^']*'|\"[^\"]*\"|[^;\\s]*)"),
        QRegularExpression::CaseInsensitiveOption);
    QString masked = text;
    masked.replace(uri, QStringLiteral("\\1******@"));
    masked.replace(keyValue, QStringLiteral("\\1******"));
    return masked;
}

QString ConnectionString::maskedText() const
{
    return maskPassword(m_text);
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
