#pragma once

#include "db/backend.h"
#include "db/tsqlschema.h"

#include <QHash>

#include <functional>

#include <memory>
#include <vector>

struct pg_conn;
struct pg_result;

namespace orvane::db {

class PostgresBackend;

// The declared types of a PostgreSQL database's tables as T-SQL type names (varchar(n) as
// NVARCHAR(n), timestamp as DATETIME, numeric(p,s) as DECIMAL(p,s), tsqlbit as BIT, tsqlmoney
// as MONEY), read from the catalogue when first asked for and forgotten when the connection
// runs DDL.
class PostgresSchemaCache : public TsqlSchema
{
public:
    explicit PostgresSchemaCache(PostgresBackend& backend) : m_backend(backend) {}
    const QList<TsqlColumn>* columns(const QString& table) override;
    void invalidate() { m_tables.clear(); }

    // T-SQL name of a PostgreSQL type as format_type() writes it.
    static QString tsqlType(const QString& pgType);

private:
    PostgresBackend& m_backend;
    QHash<QString, QList<TsqlColumn>> m_tables;
};

// A PostgreSQL server reached through libpq. Receives the PostgreSQL text of the T-SQL
// translation. Inside a transaction every statement runs under a savepoint of its own, so that
// a failed statement leaves the transaction usable as on SQL Server (PostgreSQL would abort it).
class PostgresBackend : public Backend
{
public:
    PostgresBackend();
    ~PostgresBackend() override;

    BackendKind kind() const override { return BackendKind::PostgreSql; }
    QString sourceName() const override { return QStringLiteral("PostgreSQL"); }

    bool open(const ConnectionString& connection, bool create) override;
    void close() override;
    // False once the server has gone away (detected by the last call that reached it).
    bool isOpen() const override;

    bool execute(const QString& sql, qint64* affected) override;
    bool query(const QString& sql, ResultSet& result, bool updatable) override;

    bool beginTransaction() override;
    bool commitTransaction() override;
    bool rollbackTransaction() override;
    bool inTransaction() const override;
    bool savepoint(const QString& name) override;
    bool releaseSavepoint(const QString& name) override;
    bool rollbackToSavepoint(const QString& name) override;

    bool updateRow(const QString& table, const QStringList& keyColumns,
                   const QVariantList& keyValues, const QStringList& columns,
                   const QVariantList& values) override;
    QVariantList movedKey() const override { return m_movedKey; }
    bool insertRow(const QString& table, const QStringList& columns, const QVariantList& values,
                   const QStringList& keyColumns, QVariantList* newKey) override;
    bool fetchRow(const QString& table, const QStringList& keyColumns,
                  const QVariantList& keyValues, const QStringList& columns,
                  QVariantList& values) override;
    QVariant lastInsertId() const override { return m_lastInsertId; }
    TsqlSchema* schema() override { return &m_schema; }

    // Runs a catalogue query with text parameters; used by the schema cache. Null on failure.
    std::unique_ptr<pg_result, void (*)(pg_result*)> catalogQuery(const char* sql,
                                                                  const QStringList& params);

private:
    struct Attribute
    {
        QString name;
        unsigned int typeOid = 0;
        int typmod = -1;
    };
    struct TableInfo
    {
        QString name;
        std::vector<Attribute> attributes; // by attnum - 1
    };

    using Result = std::unique_ptr<pg_result, void (*)(pg_result*)>;

    // Runs SQL text (no parameters), under a statement savepoint inside a transaction.
    Result run(const QString& sql);
    // Runs one statement with parameters (binary for byte arrays), guarded the same way.
    Result runParams(const QString& sql, const QVariantList& params);
    Result guarded(const std::function<Result()>& statement);
    // Records the error of a failed result (or of the connection) and returns false.
    bool failResult(pg_result* result);
    bool failText(quint32 code, const QString& description);
    bool checkOpen();

    bool fetch(pg_result* result, ResultSet& out, int visibleColumns);
    const TableInfo* tableInfo(unsigned int oid, int attnum);
    QStringList primaryKey(const QString& table);
    static QString quoteName(const QString& name);

    pg_conn* m_conn = nullptr;
    PostgresSchemaCache m_schema;
    QVariant m_lastInsertId;
    QVariantList m_movedKey; // see movedKey()
    // The savepoint that began the open transaction (SQLite's rule: releasing it commits).
    QString m_txSavepoint;
    unsigned int m_citextOid = 0;
    unsigned int m_moneyOid = 0;
    unsigned int m_bitOid = 0;
    QHash<unsigned int, TableInfo> m_tableInfo;
    QHash<QString, QStringList> m_primaryKeys;
};

std::unique_ptr<Backend> createPostgresBackend();

} // namespace orvane::db
