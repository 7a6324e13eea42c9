#pragma once

#include "server/ddlwriter.h"

#include "db/procedures.h"

#include <QString>
#include <QStringList>

namespace orvane::server {

// A T-SQL text literal: the value in single quotes with every quote doubled, so that nothing an
// operator types can change the shape of a statement.
QString sqlText(const QString& value);

inline QString num(qint64 value)
{
    return QString::number(value);
}

// An integer argument by name; when the caller named it differently, the first input argument
// (single-argument procedures are often called with a parameter named by the caller).
int keyParam(const db::ProcContext& ctx, const char* name);

// A flag argument as 0 or 1.
int flagParam(const db::ProcContext& ctx, const char* name);

// The DDL writer for the backend the procedure runs on.
DdlWriter ddlFor(const db::ProcContext& ctx);

// Holds other operators' writes to `table` until the procedure's transaction ends: a duplicate
// check, the insert after it and MAX(ID) reading the new key then see no one else's rows.
void lockForWriting(db::ProcContext& ctx, const QString& table);

// True when a table of that name exists on the connection.
bool tableExists(db::ProcContext& ctx, const QString& table);

// Column names of an existing table.
QStringList tableColumns(db::ProcContext& ctx, const QString& table);

// `base`, or `base` + "_2", "_3" ... when a table of that name exists already (a table left
// behind outside the catalogue keeps its name).
QString freeTableName(db::ProcContext& ctx, const QString& base);

// The column name "F" + key for a new field of `table`, with "_2", "_3" ... when taken.
QString freeColumnName(db::ProcContext& ctx, const QString& table, int key);

// Integer value of the first column of the first row; `fallback` when there is no row or null.
int scalarInt(db::ProcContext& ctx, const QString& tsql, int fallback = 0);

// Gives the rows of `selectKeys` (one key column, in the wanted order) the order values 1..n in
// the column Ord of `table`.
void renumber(db::ProcContext& ctx, const QString& table, const QString& keyName,
              const QString& selectKeys);

// Registers `fn` under `name` unless a procedure of that name is already registered.
void registerOnce(const QString& name, const QStringList& params, db::ProcedureFn fn);

void registerCatalogueProcedures();
void registerDictionaryProcedures();
void registerSystemProcedures();
void registerPersonnelProcedures();
void registerPersonViewProcedures();

} // namespace orvane::server
