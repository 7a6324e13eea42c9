#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

namespace orvane::db {

// Result of translating one T-SQL text (possibly a batch) into SQLite statements.
// On failure `ok` is false, `statements` is empty and `error` says what was wrong and where.
// A statement with nothing to do on SQLite (ALTER COLUMN, SET NOCOUNT) adds no statement, so a
// successful translation may hold none.
struct Translation
{
    bool ok = false;
    QStringList statements;
    QString error;
};

// One argument of a stored-procedure call: `@Name = value` or a positional value.
struct ProcedureArgument
{
    QString name;        // without the '@'; empty for a positional argument
    QVariant value;      // null QVariant for NULL; qlonglong, double or QString otherwise
    bool output = false; // marked OUTPUT: the caller ignores what comes back
};

// A stored-procedure call given as SQL text: `EXEC name args`, `EXECUTE name args`
// or the bare `name args`.
struct ProcedureCallText
{
    QString name; // as written, without brackets or an owner prefix such as dbo.
    QList<ProcedureArgument> arguments;
};

// Recognises a procedure call; std::nullopt when the text is not one (an ordinary statement,
// or a malformed call).
std::optional<ProcedureCallText> parseProcedureCall(const QString& tsql);

// Translates the T-SQL dialect the client writes into SQLite's dialect (docs/tsql.md lists the
// subset and the decisions).
//
// Text concatenation: `a + b` becomes `tsql_add(a, b)` unless both operands are known to be
// numbers; the SQL function adds numbers and concatenates when either operand is text, so the
// translation needs no knowledge of column types. Functions the translation emits are registered
// on the connection with registerTsqlFunctions() (sqlitefunctions.h).
class TsqlSchema;

class TsqlTranslator
{
public:
    // `schema` gives the columns' declared types (SQL Server's result types, date forms);
    // without it columns are of unknown type and the run-time functions decide.
    static Translation toSqlite(const QString& tsql, TsqlSchema* schema = nullptr);
    // The same subset for PostgreSQL: names folded to lower case, texts compared under the
    // collation tsql_ci, the SQL Server built-ins as the functions postgresFunctionDefinitions()
    // creates.
    static Translation toPostgres(const QString& tsql, TsqlSchema* schema = nullptr);
};

} // namespace orvane::db
