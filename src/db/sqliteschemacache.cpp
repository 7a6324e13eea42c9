#include "db/sqliteschemacache.h"

#include <sqlite3.h>

namespace orvane::db {

void SqliteSchemaCache::setConnection(sqlite3* db)
{
    m_db = db;
    m_tables.clear();
}

SqliteSchemaCache::Entry SqliteSchemaCache::load(const QString& table) const
{
    Entry entry;
    if (!m_db)
        return entry;
    auto prepare = [this](const QString& sql) {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr) !=
            SQLITE_OK) {
            sqlite3_finalize(stmt);
            return static_cast<sqlite3_stmt*>(nullptr);
        }
        return stmt;
    };
    QString quoted = table;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    sqlite3_stmt* info = prepare(QStringLiteral("PRAGMA table_info(\"%1\")").arg(quoted));
    if (!info)
        return entry;
    bool integerKey = false;
    QString keyColumn;
    int keyParts = 0;
    while (sqlite3_step(info) == SQLITE_ROW) {
        TsqlColumn column;
        column.name =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 1)));
        column.declType =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 2)));
        if (sqlite3_column_int(info, 5) > 0) {
            ++keyParts;
            keyColumn = column.name;
            integerKey =
                column.declType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        }
        entry.columns.append(column);
    }
    sqlite3_finalize(info);
    entry.exists = !entry.columns.isEmpty();
    if (keyParts == 1 && integerKey) {
        // An identity is an INTEGER PRIMARY KEY AUTOINCREMENT column.
        sqlite3_stmt* master = prepare(QStringLiteral(
            "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE "
            "UNION ALL SELECT sql FROM sqlite_temp_master WHERE type = 'table' AND "
            "name = ?1 COLLATE NOCASE"));
        if (master) {
            const QByteArray name = table.toUtf8();
            sqlite3_bind_text(master, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            if (sqlite3_step(master) == SQLITE_ROW) {
                const QString sql = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(master, 0)));
                if (sql.contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive)) {
                    for (TsqlColumn& c : entry.columns)
                        c.identity = c.name == keyColumn;
                }
            }
            sqlite3_finalize(master);
        }
    }
    return entry;
}

const QList<TsqlColumn>* SqliteSchemaCache::columns(const QString& table)
{
    const QString key = table.toUpper();
    auto it = m_tables.find(key);
    if (it == m_tables.end())
        it = m_tables.insert(key, load(table));
    return it->exists ? &it->columns : nullptr;
}

QString SqliteSchemaCache::declaredType(const QString& table, const QString& column)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (const QList<TsqlColumn>* cols = columns(table)) {
            for (const TsqlColumn& c : *cols) {
                if (c.name.compare(column, Qt::CaseInsensitive) == 0)
                    return c.declType;
            }
        }
        m_tables.remove(table.toUpper()); // added since it was read: read it again
    }
    return QString();
}

} // namespace orvane::db
