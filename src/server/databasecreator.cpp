#include "server/databasecreator.h"

#include "server/ddlwriter.h"
#include "server/schema.h"
#include "server/seeddata.h"

#include "db/backend.h"
#include "db/cadodatabase.h"
#include "db/connectionstring.h"
#include "db/postgresfunctions.h"
#include "db/resultset.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

namespace orvane::server {

namespace {

// Owns the connection while the file is being built.
class SqliteFile
{
public:
    ~SqliteFile()
    {
        if (m_db)
            sqlite3_close(m_db);
    }

    bool open(const QString& path)
    {
        const QByteArray name = QFile::encodeName(path);
        if (sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK) {
            m_error = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                           : QStringLiteral("cannot open the file");
            return false;
        }
        return true;
    }

    void close()
    {
        sqlite3_close(m_db);
        m_db = nullptr;
    }

    bool exec(const QString& sql)
    {
        char* message = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
            m_error = QStringLiteral("%1 (in: %2)").arg(QString::fromUtf8(message), sql.left(200));
            sqlite3_free(message);
            return false;
        }
        return true;
    }

    bool insert(const SeedRow& row)
    {
        QStringList marks;
        for (int i = 0; i < row.columns.size(); ++i)
            marks << QStringLiteral("?");
        const QString sql =
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(row.table, row.columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            m_error =
                QStringLiteral("%1 (in: %2)").arg(QString::fromUtf8(sqlite3_errmsg(m_db)), sql);
            return false;
        }
        for (int i = 0; i < row.values.size(); ++i) {
            const QVariant& v = row.values.at(i);
            if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong) {
                sqlite3_bind_int64(stmt, i + 1, v.toLongLong());
            } else {
                // Texts, including empty ones, are stored as '' rather than NULL.
                const QByteArray bytes = v.toString().toUtf8();
                sqlite3_bind_text(stmt, i + 1, bytes.constData(), int(bytes.size()),
                                  SQLITE_TRANSIENT);
            }
        }
        const bool ok = sqlite3_step(stmt) == SQLITE_DONE;
        if (!ok)
            m_error =
                QStringLiteral("%1 (in: %2)").arg(QString::fromUtf8(sqlite3_errmsg(m_db)), sql);
        sqlite3_finalize(stmt);
        return ok;
    }

    const QString& error() const { return m_error; }

private:
    sqlite3* m_db = nullptr;
    QString m_error;
};

bool build(SqliteFile& file)
{
    const DdlWriter ddl(SqlDialect::SQLite);
    if (!file.exec(QStringLiteral("BEGIN")))
        return false;
    for (const auto& table : deliveredTables()) {
        if (!file.exec(ddl.createTable(table)))
            return false;
    }
    for (const auto& index : deliveredIndexes()) {
        if (!file.exec(ddl.createIndex(index)))
            return false;
    }
    for (const auto& row : deliveredRows()) {
        if (!file.insert(row))
            return false;
    }
    const QString now =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!file.exec(QStringLiteral("UPDATE qp_SchemaVersion SET Applied='%1'").arg(now)) ||
        !file.exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion)))
        return false;
    return file.exec(QStringLiteral("COMMIT"));
}

// The delivered database on a PostgreSQL server: the run-time functions, then the same tables,
// indexes and rows as the embedded file, in one transaction (PostgreSQL's DDL is
// transactional, so a failure leaves the database empty).
// Creates the database a connection string names when the server does not have it yet,
// through the server's maintenance database "postgres".
bool createMissingDatabase(const QString& connection, QString* error)
{
    QString name;
    QString admin;
    static const QRegularExpression uri(QStringLiteral("^(postgres(?:ql)?://[^/?]*)/([^?]+)(.*)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression keyword(QStringLiteral("(?:^|\\s)dbname\\s*=\\s*(\\S+)"));
    if (const QRegularExpressionMatch m = uri.match(connection.trimmed()); m.hasMatch()) {
        name = m.captured(2);
        admin = m.captured(1) + QStringLiteral("/postgres") + m.captured(3);
    } else if (const QRegularExpressionMatch k = keyword.match(connection); k.hasMatch()) {
        name = k.captured(1);
        admin = connection + QStringLiteral(" dbname=postgres"); // the last keyword wins
    }
    if (name.isEmpty() || !DdlWriter::isPlainName(name))
        return false;
    db::CADODatabase server;
    db::BackendError failure;
    if (!server.Open(admin) ||
        !server.runNative(QStringLiteral("CREATE DATABASE \"%1\"").arg(name), nullptr, failure)) {
        *error = failure.description.isEmpty() ? server.GetErrorDescription() : failure.description;
        return false;
    }
    return true;
}

bool buildOnPostgres(const QString& connection, QString* error)
{
    db::CADODatabase database;
    if (!database.Open(connection)) {
        *error = database.GetErrorDescription();
        if (!error->contains(QLatin1String("does not exist")) ||
            !createMissingDatabase(connection, error) || !database.Open(connection)) {
            if (error->isEmpty())
                *error = database.GetErrorDescription();
            return false;
        }
    }
    db::Backend* backend = database.backend();
    auto failed = [&](const QString& what) {
        *error = QStringLiteral("%1: %2").arg(what, backend->lastError().description);
        if (backend->inTransaction())
            backend->rollbackTransaction();
        return false;
    };
    db::ResultSet tables;
    if (!backend->query(QStringLiteral("SELECT count(*) FROM pg_catalog.pg_class c JOIN "
                                       "pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                                       "WHERE n.nspname = current_schema() AND c.relkind = 'r'"),
                        tables, false))
        return failed(QStringLiteral("cannot read the database"));
    if (tables.rowCount() == 1 && tables.at(0, 0).toLongLong() > 0) {
        *error = QStringLiteral("the database already holds tables; give an empty database");
        return false;
    }
    if (!backend->beginTransaction())
        return failed(QStringLiteral("cannot start"));
    for (const QString& sql : db::postgresSetupStatements()) {
        if (!backend->execute(sql, nullptr))
            return failed(sql.left(80));
    }
    const DdlWriter ddl(SqlDialect::PostgreSQL);
    for (const auto& table : deliveredTables()) {
        if (!backend->execute(ddl.createTable(table), nullptr))
            return failed(table.name);
    }
    for (const auto& index : deliveredIndexes()) {
        if (!backend->execute(ddl.createIndex(index), nullptr))
            return failed(index.name);
    }
    for (const auto& row : deliveredRows()) {
        QVariantList values;
        for (const QVariant& v : row.values) {
            const bool integer = v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong;
            values << (integer ? QVariant(v.toLongLong()) : QVariant(v.toString()));
        }
        if (!backend->insertRow(row.table, row.columns, values, {}, nullptr))
            return failed(row.table);
    }
    // Rows inserted with their keys leave the identities behind.
    for (const auto& table : deliveredTables()) {
        for (const auto& column : table.columns) {
            if (column.type == ColumnType::Identity &&
                !backend->execute(QStringLiteral("SELECT tsql_reseed('%1')").arg(table.name),
                                  nullptr))
                return failed(table.name);
        }
    }
    const QString now =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!backend->execute(QStringLiteral("UPDATE qp_SchemaVersion SET Applied='%1'").arg(now),
                          nullptr))
        return failed(QStringLiteral("qp_SchemaVersion"));
    if (!backend->commitTransaction())
        return failed(QStringLiteral("cannot commit"));
    return true;
}

} // namespace

bool createDatabase(const QString& path, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (path.trimmed().isEmpty())
        return fail(QStringLiteral("no database file given"));
    if (db::ConnectionString::parse(path).target() == db::ConnectionString::Target::PostgreSql) {
        QString reason;
        if (!buildOnPostgres(path, &reason))
            return fail(QStringLiteral("cannot create the database on %1: %2")
                            .arg(db::ConnectionString::maskPassword(path), reason));
        return true;
    }
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("%1 already exists").arg(path));

    SqliteFile file;
    if (!file.open(path))
        return fail(QStringLiteral("cannot create %1: %2").arg(path, file.error()));
    if (!build(file)) {
        const QString reason = file.error();
        file.close();
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        return fail(QStringLiteral("cannot create %1: %2").arg(path, reason));
    }
    file.close();
    return true;
}

} // namespace orvane::server
