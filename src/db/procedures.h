#pragma once

#include "db/adotypes.h"
#include "db/backend.h"
#include "db/resultset.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace orvane::db {

class CADODatabase;

// One argument of a procedure call. `name` is the declared parameter name without '@'.
struct ProcParam
{
    QString name;
    int adoType = adVariant;
    int direction = adParamInput;
    QVariant value;
};

// Thrown by a procedure (or by ProcContext's SQL helpers) to fail the call; the message becomes
// the description of the caller's error text. The call's changes are rolled back.
class ProcError : public std::runtime_error
{
public:
    explicit ProcError(const QString& message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

// What a running procedure sees: the connection, its arguments, and where its results go.
class ProcContext
{
public:
    ProcContext(CADODatabase& database, QString procedureName, std::vector<ProcParam> params);

    CADODatabase& database() { return m_database; }
    BackendKind backendKind() const;
    const QString& procedureName() const { return m_name; }

    // Arguments by declared name (any case, '@' optional) or by position.
    const std::vector<ProcParam>& params() const { return m_params; }
    bool hasParam(const QString& name) const;
    QVariant param(const QString& name) const; // null when absent or NULL
    QVariant param(int index) const;
    int paramInt(const QString& name) const;
    qint64 paramInt64(const QString& name) const;
    double paramDouble(const QString& name) const;
    QString paramString(const QString& name) const;

    // T-SQL through the same translation path as every client statement; a failure throws
    // ProcError carrying the error description.
    qint64 execute(const QString& tsql);
    ResultSet query(const QString& tsql);
    // First column of the first row, null when there is no row.
    QVariant scalar(const QString& tsql);
    // SQL in the backend's own dialect (per-backend DDL), not translated.
    qint64 executeNative(const QString& sql);
    // Fails the call with `message` (throws ProcError).
    [[noreturn]] void fail(const QString& message);

    // Results.
    void setReturn(int value) { m_return = value; }
    int returnValue() const { return m_return; }
    void setOutput(const QString& name, const QVariant& value);
    std::optional<QVariant> output(const QString& name) const;
    // Rows the call gives to a recordset opened on it: either a whole result ...
    void setResult(ResultSet rows);
    // ... or columns and rows added one by one.
    void setResultColumns(const QStringList& names, const std::vector<int>& adoTypes = {});
    void addResultRow(const QVariantList& row);
    const ResultSet& result() const { return m_result; }
    ResultSet& result() { return m_result; }
    bool hasResult() const { return m_hasResult; }

private:
    int indexOf(const QString& name) const;

    CADODatabase& m_database;
    QString m_name;
    std::vector<ProcParam> m_params;
    int m_return = 0;
    std::vector<std::pair<QString, QVariant>> m_outputs;
    ResultSet m_result;
    bool m_hasResult = false;
};

using ProcedureFn = std::function<void(ProcContext&)>;

struct Procedure
{
    QString name;
    QStringList paramNames; // declared order, without '@'
    ProcedureFn fn;
    // Parameters declared as "Name OUTPUT": a call may leave them out.
    QStringList outputParams;
};

// Process-wide table of the stored procedures; names match without regard to case.
// The server module registers the procedures delivered with the database.
class ProcedureRegistry
{
public:
    // A parameter name may end in " OUTPUT" to declare an output parameter.
    static void add(const QString& name, const QStringList& paramNames, ProcedureFn fn);
    static bool remove(const QString& name);
    // A copy of the registered procedure, or nullopt.
    static std::optional<Procedure> find(const QString& name);
    static QStringList names();
};

// A call as it reaches the dispatcher: arguments either named or positional (name empty).
struct ProcedureCall
{
    QString name;
    std::vector<ProcParam> arguments;
    // A named argument whose name the procedure does not declare binds by its position (used
    // for command objects, whose parameters may be named differently from the declaration).
    bool positionalFallback = false;
    // Filled by callProcedure:
    int returnValue = 0;
    std::vector<std::pair<QString, QVariant>> outputs;
    ResultSet rows;
    bool hasRows = false;
};

// Runs a registered procedure inside a transaction (a savepoint when one is already open) that
// is rolled back when the procedure fails. Positional arguments take the declared names in
// order; named ones are matched by name. An unknown procedure, a wrong argument count or a
// failing procedure return false with `error` filled; the connection stays usable.
bool callProcedure(CADODatabase& database, ProcedureCall& call, BackendError& error);

// Recognises a procedure call in T-SQL text ("EXEC name args", "EXECUTE name args" or the bare
// "name args"); nullopt for any other statement.
std::optional<ProcedureCall> parseProcedureCallText(const QString& tsql);

} // namespace orvane::db
