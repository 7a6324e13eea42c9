#pragma once

#include <initializer_list>

#include "db/backend.h"
#include "db/sqliteschemacache.h"

struct sqlite3;
struct sqlite3_stmt;

namespace orvane::db {

// The embedded database: one SQLite file shared by every client process on the machine (WAL
// journal, busy timeout), reached through libsqlite3 directly. Receives SQLite SQL; the T-SQL
// translation happens before.
class SqliteBackend : public Backend
{
public:
    SqliteBackend();
    ~SqliteBackend() override;

    BackendKind kind() const override { return BackendKind::Sqlite; }
    QString sourceName() const override { return QStringLiteral("SQLite"); }

    bool open(const ConnectionString& connection, bool create) override;
    // Opens a file directly (used by open()).
    bool openFile(const QString& path, bool create);
    void close() override;
    // False also when the database file has vanished since it was opened.
    bool isOpen() const override;

    bool execute(const QString& sql, qint64* affected) override;
    bool query(const QString& sql, ResultSet& result, bool updatable) override;
    bool queryRows(const QString& sql, std::vector<ColumnInfo>& columns,
                   const RowCallback& row) override;

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
    bool insertRow(const QString& table, const QStringList& columns, const QVariantList& values,
                   const QStringList& keyColumns, QVariantList* newKey) override;
    bool fetchRow(const QString& table, const QStringList& keyColumns,
                  const QVariantList& keyValues, const QStringList& columns,
                  QVariantList& values) override;
    std::unique_ptr<RowWriter> rowWriter(const QString& table, const QStringList& keyColumns,
                                         const QStringList& columns) override;
    QVariant lastInsertId() const override;
    TsqlSchema* schema() override { return &m_schema; }

    sqlite3* handle() const { return m_db; }

    // How long a statement waits for another process's write to end (default two minutes).
    void setBusyTimeout(int milliseconds);
    // True for a UNC path or a file on a network file system (NFS, SMB/CIFS, ...), which is
    // opened with the rollback journal instead of WAL.
    static bool isNetworkPath(const QString& path);

    // The query with "alias.rowid" of every base table in its FROM clause added to the select
    // list, and the table names and aliases found; empty text when the query cannot carry keys
    // (DISTINCT, GROUP BY, compound selects, no FROM).
    struct KeyedQuery
    {
        QString sql;
        QStringList tables;  // table names, in FROM order
        QStringList aliases; // the name the query uses for each
    };
    static KeyedQuery addRowidColumns(const QString& sql);

private:
    friend class SqliteRowWriter;
    bool fail(int rc);
    bool failWith(int rc, const QString& description);
    bool runSimple(const QString& sql);
    bool bindValue(sqlite3_stmt* stmt, int index, const QVariant& value);
    bool storedValues(const QString& table, const QStringList& columns, QVariantList& values);
    bool storedValue(const QString& declaredType, QVariant& value);
    // Prepares one statement and binds the lists' values to its parameters in order.
    bool prepareBound(const QString& sql, std::initializer_list<const QVariantList*> valueLists,
                      sqlite3_stmt*& stmt);
    bool fetch(sqlite3_stmt* stmt, ResultSet& result, int visibleColumns);

    sqlite3* m_db = nullptr;
    QString m_path;
    // Another process writing holds the file; like SQL Server's lock wait a statement waits for
    // it, here up to two minutes (docs/db.md), then fails with a message that says so.
    int m_busyTimeoutMs = 120000;
    SqliteSchemaCache m_schema;
};

} // namespace orvane::db
