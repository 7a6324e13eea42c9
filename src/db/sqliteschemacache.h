#pragma once

#include "db/tsqlschema.h"

#include <QHash>

struct sqlite3;

namespace orvane::db {

// Column types of a SQLite connection's tables for the translation, read with PRAGMA table_info
// and kept until the connection changes its schema (invalidate()). A table or column another
// process added since is read again when first asked for.
class SqliteSchemaCache : public TsqlSchema
{
public:
    explicit SqliteSchemaCache(sqlite3* db = nullptr) : m_db(db) {}

    void setConnection(sqlite3* db);
    void invalidate() { m_tables.clear(); }
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
    QHash<QString, Entry> m_tables; // key: upper-cased table name
};

} // namespace orvane::db
