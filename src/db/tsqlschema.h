#pragma once

#include <QList>
#include <QString>

namespace orvane::db {

// A column as the database declares it: its name, its declared type as written in the table's
// DDL (e.g. "DECIMAL(18,2)", "DATETIME", "NVARCHAR(50)") and whether it is the identity.
struct TsqlColumn
{
    QString name;
    QString declType;
    bool identity = false;
};

// What the T-SQL translation may ask about the database's tables: the columns of a table, so
// that expressions get SQL Server's types (decimal arithmetic, date comparison, SELECT ... INTO).
// Without it every column is of unknown type and the run-time functions decide.
class TsqlSchema
{
public:
    virtual ~TsqlSchema() = default;
    // The columns of `table` in declaration order; nullptr when there is no such table.
    virtual const QList<TsqlColumn>* columns(const QString& table) = 0;
};

} // namespace orvane::db
