#pragma once

// Tests on a PostgreSQL server: the environment variable ORVANE_TEST_PG names a server where
// the tests may create and drop databases, as a libpq key-value string
// ("host=127.0.0.1 port=55432 user=orvane dbname=postgres") or a postgresql:// URI. Tests that
// need it skip when it is not set.

#include "db/cadodatabase.h"
#include "db/postgresfunctions.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QString>

#include <atomic>

namespace orvane::db::test {

inline QString pgTestServer()
{
    return qEnvironmentVariable("ORVANE_TEST_PG");
}

// The server's connection string with another database name.
inline QString pgWithDatabase(const QString& server, const QString& database)
{
    if (server.startsWith(QLatin1String("postgres"), Qt::CaseInsensitive) &&
        server.contains(QLatin1String("://"))) {
        static const QRegularExpression path(QStringLiteral("^(postgres(?:ql)?://[^/?]*)(/[^?]*)?"),
                                             QRegularExpression::CaseInsensitiveOption);
        QString uri = server;
        uri.replace(path, QStringLiteral("\\1/") + database);
        return uri;
    }
    return server + QStringLiteral(" dbname=") + database; // the last keyword wins
}

// A database of its own for one test, dropped at the end. With `setup`, the citext extension
// and the T-SQL functions are created in it (createDatabase does that itself).
class PgScratchDatabase
{
public:
    explicit PgScratchDatabase(bool setup = true)
    {
        static std::atomic<int> counter{0};
        m_name = QStringLiteral("orvane_test_%1_%2")
                     .arg(QCoreApplication::applicationPid())
                     .arg(++counter);
        if (!m_admin.Open(pgTestServer())) {
            m_error = m_admin.GetLastErrorString();
            return;
        }
        BackendError error;
        m_admin.runNative(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(m_name), nullptr, error);
        if (!m_admin.runNative(QStringLiteral("CREATE DATABASE %1").arg(m_name), nullptr, error)) {
            m_error = error.description;
            return;
        }
        m_created = true;
        if (setup) {
            CADODatabase db;
            if (!db.Open(connection())) {
                m_error = db.GetLastErrorString();
                return;
            }
            for (const QString& sql : postgresSetupStatements()) {
                if (!db.runNative(sql, nullptr, error)) {
                    m_error = error.description;
                    return;
                }
            }
        }
    }
    ~PgScratchDatabase()
    {
        if (m_created) {
            BackendError error;
            m_admin.runNative(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name),
                              nullptr, error);
        }
    }
    PgScratchDatabase(const PgScratchDatabase&) = delete;
    PgScratchDatabase& operator=(const PgScratchDatabase&) = delete;

    bool ok() const { return m_created && m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    QString connection() const { return pgWithDatabase(pgTestServer(), m_name); }

private:
    CADODatabase m_admin;
    QString m_name;
    QString m_error;
    bool m_created = false;
};

} // namespace orvane::db::test
