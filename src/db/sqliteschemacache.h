#pragma once

#include "db/tsqlschema.h"

#include <QHash>

struct sqlite3;
struct sqlite3_stmt;

namespace orvane::db {

// Column types of a SQLite connection's tables for the translation, read with PRAGMA table_info
// and kept until the schema changes: through this connection (invalidate()) or any other
// (the file's schema version, checked before each translation).
class SqliteSchemaCache : public TsqlSchema
{
public:
    explicit SqliteSchemaCache(sqlite3* db = nullptr) { setConnection(db); }
    ~SqliteSchemaCache() override;
    SqliteSchemaCache(const SqliteSchemaCache&) = delete;
    SqliteSchemaCache& operator=(const SqliteSchemaCache&) = delete;

    void setConnection(sqlite3* db);
    void invalidate() { m_tables.clear(); }
    void beginTranslation() override;
    const QList<TsqlColumn>* columns(const QString& table) override;
    // The declared type of one column, empty when unknown.
    QString declaredType(const QString& table, const QString& column);

private:
    struct Entry
    {
        bool exists = false;
        QList<TsqlColumn> columns;
    };
    Entry load(const QString& table) const;

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_versionQuery = nullptr;
    int m_schemaVersion = -1;
    QHash<QString, Entry> m_tables; // key: upper-cased table name
};

} // namespace orvane::db
