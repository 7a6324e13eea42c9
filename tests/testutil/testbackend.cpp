#include "testutil/testbackend.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QUrl>

#include <libpq-fe.h>

#include <atomic>
#include <memory>

namespace orvane::testutil {

namespace {

QString baseConnection()
{
    return qEnvironmentVariable("ORVANE_TEST_PG").trimmed();
}

struct PgConnDeleter
{
    void operator()(PGconn* c) const { PQfinish(c); }
};
using PgConn = std::unique_ptr<PGconn, PgConnDeleter>;

// A connection to the server's maintenance database (the one ORVANE_TEST_PG names).
PgConn adminConnection(QString* error)
{
    const QString base = baseConnection();
    if (base.isEmpty()) {
        if (error)
            *error = QStringLiteral("ORVANE_TEST_PG is not set (scripts/pg-test-server.sh env)");
        return nullptr;
    }
    PgConn conn(PQconnectdb(base.toUtf8().constData()));
    if (PQstatus(conn.get()) != CONNECTION_OK) {
        if (error)
            *error = QStringLiteral("cannot reach the test server %1: %2")
                         .arg(base, QString::fromUtf8(PQerrorMessage(conn.get())).trimmed());
        return nullptr;
    }
    return conn;
}

bool run(PGconn* conn, const QString& sql, QString* error)
{
    PGresult* r = PQexec(conn, sql.toUtf8().constData());
    const ExecStatusType status = PQresultStatus(r);
    const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!ok && error)
        *error =
            QStringLiteral("%1: %2").arg(sql, QString::fromUtf8(PQresultErrorMessage(r)).trimmed());
    PQclear(r);
    return ok;
}

QString quoted(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

} // namespace

bool onPostgres()
{
    static const bool pg = [] {
        const QString backend = qEnvironmentVariable("ORVANE_TEST_BACKEND").trimmed().toLower();
        return backend == QLatin1String("postgresql") || backend == QLatin1String("pg") ||
               backend == QLatin1String("postgres");
    }();
    return pg;
}

QString postgresConnection(const QString& database)
{
    const QString base = baseConnection();
    if (base.startsWith(QLatin1String("postgresql://")) ||
        base.startsWith(QLatin1String("postgres://"))) {
        QUrl url(base);
        url.setPath(QLatin1Char('/') + database);
        return url.toString();
    }
    // Key-value form: replace dbname or add it.
    static const QRegularExpression dbname(QStringLiteral("\\bdbname\\s*=\\s*('[^']*'|\\S+)"));
    QString kv = base;
    if (kv.contains(dbname))
        kv.replace(dbname, QStringLiteral("dbname=") + database);
    else
        kv += QStringLiteral(" dbname=") + database;
    return kv.trimmed();
}

namespace pgadmin {

QString uniqueName(const QString& prefix)
{
    static std::atomic<int> counter{0};
    return QStringLiteral("%1_%2_%3")
        .arg(prefix)
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

bool createDatabase(const QString& name, const QString& templateName, QString* error)
{
    PgConn conn = adminConnection(error);
    if (!conn)
        return false;
    // A copy of a file is much quicker than replaying the template's write-ahead log.
    const QString sql =
        templateName.isEmpty()
            ? QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'")
                  .arg(quoted(name))
            : QStringLiteral("CREATE DATABASE %1 TEMPLATE %2 STRATEGY FILE_COPY")
                  .arg(quoted(name), quoted(templateName));
    return run(conn.get(), sql, error);
}

bool dropDatabase(const QString& name, QString* error)
{
    PgConn conn = adminConnection(error);
    if (!conn)
        return false;
    // FORCE ends connections a test left open (a failed assertion skips its cleanup).
    return run(conn.get(),
               QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoted(name)), error);
}

bool databaseExists(const QString& name)
{
    PgConn conn = adminConnection(nullptr);
    if (!conn)
        return false;
    const QByteArray n = name.toUtf8();
    const char* params[] = {n.constData()};
    PGresult* r = PQexecParams(conn.get(), "SELECT 1 FROM pg_database WHERE datname = $1", 1,
                               nullptr, params, nullptr, nullptr, 0);
    const bool found = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1;
    PQclear(r);
    return found;
}

} // namespace pgadmin

ScratchDatabase::ScratchDatabase(const QString& sqliteFile, const QString& templateName)
{
    if (!onPostgres()) {
        m_connection = sqliteFile;
        return;
    }
    const QString name = pgadmin::uniqueName(QStringLiteral("t"));
    if (!pgadmin::createDatabase(name, templateName, &m_error))
        return;
    m_serverName = name;
    m_connection = postgresConnection(name);
}

ScratchDatabase::~ScratchDatabase()
{
    if (!m_serverName.isEmpty())
        pgadmin::dropDatabase(m_serverName);
}

} // namespace orvane::testutil
