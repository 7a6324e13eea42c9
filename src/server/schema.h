#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace orvane::server {

// Version of the delivered table layout. Stored in qp_SchemaVersion when a database is created;
// a later release compares it with this number and upgrades step by step.
inline constexpr int kSchemaVersion = 1;

// Logical column types. The DDL writer maps each to a physical type per backend.
enum class ColumnType {
    Identity, // integer key assigned by the database
    Integer,
    Boolean,  // 0/1 flag
    Number,   // decimal amount
    Text,     // text of at most `length` characters
    LongText, // text without a practical limit
    DateTime,
    Binary, // file bytes (photos, attachments)
};

struct ColumnDef
{
    QString name;
    ColumnType type = ColumnType::Integer;
    int length = 0;       // Text only
    QString defaultValue; // SQL literal, empty for none
};

struct TableDef
{
    QString name;
    QList<ColumnDef> columns;

    const ColumnDef* column(const QString& columnName) const;
};

struct IndexDef
{
    QString name;
    QString table;
    QStringList columns;
    bool unique = false;
};

// Every table the system delivers, in creation order.
const QList<TableDef>& deliveredTables();

// Indexes created with the delivered tables.
const QList<IndexDef>& deliveredIndexes();

// The delivered table with that name (compared without regard to case), or nullptr.
const TableDef* deliveredTable(const QString& name);

} // namespace orvane::server
