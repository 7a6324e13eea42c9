#include "db/procedures.h"

#include "db/cadodatabase.h"
#include "db/valuetext.h"

#ifdef ORVANE_HAVE_TSQL_TRANSLATOR
#include "db/tsqltranslator.h"
#endif

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <atomic>

namespace orvane::db {

namespace {

QString bareName(QString name)
{
    name = name.trimmed();
    if (name.startsWith(QLatin1Char('@')))
        name.remove(0, 1);
    return name;
}

struct Registry
{
    QMutex mutex;
    QHash<QString, Procedure> procedures; // key: upper-cased name
};

Registry& registry()
{
    static Registry r;
    return r;
}

} // namespace

// --- ProcError ---------------------------------------------------------------------------

ProcError::ProcError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

// --- ProcContext -------------------------------------------------------------------------

ProcContext::ProcContext(CADODatabase& database, QString procedureName,
                         std::vector<ProcParam> params)
    : m_database(database), m_name(std::move(procedureName)), m_params(std::move(params))
{
}

BackendKind ProcContext::backendKind() const
{
    return m_database.backendKind();
}

int ProcContext::indexOf(const QString& name) const
{
    const QString wanted = bareName(name);
    for (size_t i = 0; i < m_params.size(); ++i) {
        if (m_params[i].name.compare(wanted, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

bool ProcContext::hasParam(const QString& name) const
{
    return indexOf(name) >= 0;
}

QVariant ProcContext::param(const QString& name) const
{
    const int i = indexOf(name);
    return i < 0 ? QVariant() : m_params[size_t(i)].value;
}

QVariant ProcContext::param(int index) const
{
    return index >= 0 && size_t(index) < m_params.size() ? m_params[size_t(index)].value
                                                         : QVariant();
}

qint64 ProcContext::paramInt64(const QString& name) const
{
    qint64 value = 0;
    valuetext::toInt64(param(name), adVariant, value);
    return value;
}

int ProcContext::paramInt(const QString& name) const
{
    return int(paramInt64(name));
}

double ProcContext::paramDouble(const QString& name) const
{
    double value = 0;
    valuetext::toDouble(param(name), adVariant, value);
    return value;
}

QString ProcContext::paramString(const QString& name) const
{
    return valuetext::toText(param(name), adVariant, QStringLiteral("%Y-%m-%d %H:%M:%S"));
}

qint64 ProcContext::execute(const QString& tsql)
{
    qint64 affected = -1;
    BackendError error;
    if (!m_database.runStatement(tsql, &affected, error))
        throw ProcError(error.description);
    return affected;
}

ResultSet ProcContext::query(const QString& tsql)
{
    ResultSet rows;
    BackendError error;
    if (!m_database.runQuery(tsql, rows, false, error))
        throw ProcError(error.description);
    return rows;
}

QVariant ProcContext::scalar(const QString& tsql)
{
    const ResultSet rows = query(tsql);
    if (rows.rowCount() == 0 || rows.visibleColumns == 0)
        return {};
    return valuetext::toTyped(rows.at(0, 0), rows.columns[0].adoType);
}

qint64 ProcContext::executeNative(const QString& sql)
{
    qint64 affected = -1;
    BackendError error;
    if (!m_database.runNative(sql, &affected, error))
        throw ProcError(error.description);
    return affected;
}

void ProcContext::fail(const QString& message)
{
    throw ProcError(message);
}

void ProcContext::setOutput(const QString& name, const QVariant& value)
{
    const QString wanted = bareName(name);
    for (auto& output : m_outputs) {
        if (output.first.compare(wanted, Qt::CaseInsensitive) == 0) {
            output.second = value;
            return;
        }
    }
    m_outputs.emplace_back(wanted, value);
}

std::optional<QVariant> ProcContext::output(const QString& name) const
{
    const QString wanted = bareName(name);
    for (const auto& output : m_outputs) {
        if (output.first.compare(wanted, Qt::CaseInsensitive) == 0)
            return output.second;
    }
    return std::nullopt;
}

void ProcContext::setResult(ResultSet rows)
{
    m_result = std::move(rows);
    m_hasResult = true;
}

void ProcContext::setResultColumns(const QStringList& names, const std::vector<int>& adoTypes)
{
    m_result = ResultSet();
    for (qsizetype i = 0; i < names.size(); ++i)
        m_result.addColumn(names[i], size_t(i) < adoTypes.size() ? adoTypes[size_t(i)] : adVariant);
    m_hasResult = true;
}

void ProcContext::addResultRow(const QVariantList& row)
{
    // Columns declared without a type take the type of their first non-null value.
    for (int c = 0; c < m_result.visibleColumns && c < row.size(); ++c) {
        ColumnInfo& column = m_result.columns[size_t(c)];
        if (column.adoType == adVariant && !row[c].isNull())
            column.adoType = valuetext::adoTypeOf(row[c]);
    }
    m_result.appendRow(row);
    m_hasResult = true;
}

// --- ProcedureRegistry -------------------------------------------------------------------

void ProcedureRegistry::add(const QString& name, const QStringList& paramNames, ProcedureFn fn)
{
    QStringList names;
    QStringList outputs;
    for (const QString& p : paramNames) {
        QString bare = bareName(p);
        if (bare.endsWith(QLatin1String(" OUTPUT"), Qt::CaseInsensitive)) {
            bare = bare.chopped(7).trimmed();
            outputs << bare;
        }
        names << bare;
    }
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    r.procedures.insert(name.toUpper(), Procedure{name, names, std::move(fn), outputs});
}

bool ProcedureRegistry::remove(const QString& name)
{
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    return r.procedures.remove(name.toUpper()) > 0;
}

std::optional<Procedure> ProcedureRegistry::find(const QString& name)
{
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    const auto it = r.procedures.constFind(name.toUpper());
    if (it == r.procedures.constEnd())
        return std::nullopt;
    return *it;
}

QStringList ProcedureRegistry::names()
{
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    QStringList names;
    for (const Procedure& p : std::as_const(r.procedures))
        names << p.name;
    names.sort(Qt::CaseInsensitive);
    return names;
}

// --- dispatch ------------------------------------------------------------------------------

bool callProcedure(CADODatabase& database, ProcedureCall& call, BackendError& error)
{
    const QString source = QStringLiteral("Orvane");
    auto fail = [&](const QString& description) {
        error = {kErrorCommandText, source, description};
        return false;
    };
    Backend* backend = database.backend();
    if (!backend || !backend->isOpen()) {
        error = {kErrorClosed, source, QStringLiteral("The connection is closed")};
        return false;
    }
    const std::optional<Procedure> procedure = ProcedureRegistry::find(call.name);
    if (!procedure)
        return fail(QStringLiteral("Could not find stored procedure '%1'.").arg(call.name));

    // Bind the arguments to the declared parameters.
    std::vector<ProcParam> params;
    for (const QString& name : procedure->paramNames)
        params.push_back(ProcParam{name, adVariant, adParamInput, QVariant()});
    std::vector<bool> bound(params.size(), false);
    bool namedSeen = false;
    for (size_t i = 0; i < call.arguments.size(); ++i) {
        ProcParam& argument = call.arguments[i];
        int target = -1;
        if (!argument.name.isEmpty()) {
            namedSeen = true;
            const QString wanted = bareName(argument.name);
            for (size_t k = 0; k < params.size(); ++k) {
                if (params[k].name.compare(wanted, Qt::CaseInsensitive) == 0)
                    target = int(k);
            }
            if (target < 0 && !call.positionalFallback)
                return fail(QStringLiteral("@%1 is not a parameter for procedure %2.")
                                .arg(wanted, procedure->name));
        } else if (namedSeen && !call.positionalFallback) {
            return fail(QStringLiteral("Must pass parameter number %1 and subsequent parameters "
                                       "as '@name = value'. After the form '@name = value' has "
                                       "been used, all subsequent parameters must be passed in "
                                       "the form '@name = value'.")
                            .arg(i + 1));
        }
        if (target < 0)
            target = int(i);
        if (size_t(target) >= params.size())
            return fail(QStringLiteral("Procedure or function %1 has too many arguments "
                                       "specified.")
                            .arg(procedure->name));
        if (bound[size_t(target)])
            return fail(QStringLiteral("Parameter '%1' was supplied more than once.")
                            .arg(params[size_t(target)].name));
        bound[size_t(target)] = true;
        params[size_t(target)].adoType = argument.adoType;
        params[size_t(target)].direction = argument.direction;
        params[size_t(target)].value = argument.value;
        argument.name = params[size_t(target)].name; // callers read outputs back by this name
    }

    for (size_t k = 0; k < params.size(); ++k) {
        if (!bound[k] && !procedure->outputParams.contains(params[k].name, Qt::CaseInsensitive))
            return fail(QStringLiteral("Procedure or function '%1' expects parameter '@%2', which "
                                       "was not supplied.")
                            .arg(procedure->name, params[k].name));
    }

    // The call runs as one unit: a transaction of its own, or a savepoint inside the caller's.
    static std::atomic<int> counter{0};
    const bool nested = backend->inTransaction();
    const QString savepoint = QStringLiteral("orvane_proc_%1").arg(++counter);
    if (!(nested ? backend->savepoint(savepoint) : backend->beginTransaction())) {
        error = backend->lastError();
        return false;
    }
    ProcContext context(database, procedure->name, std::move(params));
    QString failure;
    bool ok = true;
    try {
        procedure->fn(context);
    } catch (const ProcError& e) {
        ok = false;
        failure = e.message();
    } catch (const std::exception& e) {
        ok = false;
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        ok = false;
        failure = QStringLiteral("Procedure %1 failed").arg(procedure->name);
    }
    if (!ok) {
        if (nested) {
            backend->rollbackToSavepoint(savepoint);
            backend->releaseSavepoint(savepoint);
        } else if (backend->inTransaction()) {
            backend->rollbackTransaction();
        }
        return fail(failure.isEmpty() ? QStringLiteral("Procedure %1 failed").arg(procedure->name)
                                      : failure);
    }
    if (!(nested ? backend->releaseSavepoint(savepoint) : backend->commitTransaction())) {
        error = backend->lastError();
        if (!nested && backend->inTransaction())
            backend->rollbackTransaction();
        return false;
    }
    call.returnValue = context.returnValue();
    call.outputs.clear();
    for (const ProcParam& p : context.params()) {
        if (const auto value = context.output(p.name))
            call.outputs.emplace_back(p.name, *value);
    }
    call.hasRows = context.hasResult();
    call.rows = std::move(context.result());
    return true;
}

#ifndef ORVANE_HAVE_TSQL_TRANSLATOR
namespace {

// Reads a procedure call without the translator: [EXEC|EXECUTE] name [arg {, arg}], each argument
// [@name =] 'text' | N'text' | number | NULL | word. A bare name counts only when registered.
std::optional<ProcedureCall> parseCallFallback(const QString& text)
{
    const QString s = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto skipSpace = [&] {
        while (i < n && s[i].isSpace())
            ++i;
    };
    auto readWord = [&]() -> QString {
        skipSpace();
        if (i < n && s[i] == QLatin1Char('[')) {
            const qsizetype close = s.indexOf(QLatin1Char(']'), i);
            if (close < 0)
                return {};
            const QString word = s.mid(i + 1, close - i - 1);
            i = close + 1;
            return word;
        }
        const qsizetype start = i;
        while (i < n && (s[i].isLetterOrNumber() || s[i] == QLatin1Char('_') ||
                         s[i] == QLatin1Char('@') || s[i] == QLatin1Char('#')))
            ++i;
        return s.mid(start, i - start);
    };
    QString first = readWord();
    const bool exec = first.compare(QLatin1String("EXEC"), Qt::CaseInsensitive) == 0 ||
                      first.compare(QLatin1String("EXECUTE"), Qt::CaseInsensitive) == 0;
    QString name = exec ? readWord() : first;
    while (i < n && s[i] == QLatin1Char('.')) { // owner prefix
        ++i;
        name = readWord();
    }
    if (name.isEmpty())
        return std::nullopt;
    if (!exec && !ProcedureRegistry::find(name))
        return std::nullopt;
    ProcedureCall call;
    call.name = name;
    skipSpace();
    while (i < n) {
        if (s[i] == QLatin1Char(';')) {
            ++i;
            skipSpace();
            if (i < n)
                return std::nullopt;
            break;
        }
        ProcParam argument;
        skipSpace();
        if (i < n && s[i] == QLatin1Char('@')) {
            const qsizetype save = i;
            const QString word = readWord();
            skipSpace();
            if (i < n && s[i] == QLatin1Char('=')) {
                argument.name = word.mid(1);
                ++i;
                skipSpace();
            } else {
                i = save;
            }
        }
        if (i < n && (s[i] == QLatin1Char('N') || s[i] == QLatin1Char('n')) && i + 1 < n &&
            s[i + 1] == QLatin1Char('\''))
            ++i;
        if (i < n && s[i] == QLatin1Char('\'')) {
            QString value;
            ++i;
            bool closed = false;
            while (i < n) {
                if (s[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && s[i + 1] == QLatin1Char('\'')) {
                        value += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += s[i++];
            }
            if (!closed)
                return std::nullopt;
            argument.value = value;
        } else {
            const qsizetype start = i;
            while (i < n && s[i] != QLatin1Char(',') && s[i] != QLatin1Char(';') && !s[i].isSpace())
                ++i;
            const QString word = s.mid(start, i - start);
            if (word.isEmpty())
                return std::nullopt;
            bool isInt = false;
            const qlonglong integer = word.toLongLong(&isInt);
            bool isDouble = false;
            const double real = word.toDouble(&isDouble);
            if (isInt)
                argument.value = integer;
            else if (isDouble)
                argument.value = real;
            else if (word.compare(QLatin1String("NULL"), Qt::CaseInsensitive) != 0)
                argument.value = word;
        }
        call.arguments.push_back(argument);
        skipSpace();
        if (i < n && s[i] == QLatin1Char(',')) {
            ++i;
            skipSpace();
        } else if (i < n && s[i] != QLatin1Char(';')) {
            return std::nullopt;
        }
    }
    return call;
}

} // namespace
#endif

std::optional<ProcedureCall> parseProcedureCallText(const QString& tsql)
{
#ifdef ORVANE_HAVE_TSQL_TRANSLATOR
    const std::optional<ProcedureCallText> parsed = parseProcedureCall(tsql);
    if (!parsed)
        return std::nullopt;
    ProcedureCall call;
    call.name = parsed->name;
    for (const ProcedureArgument& a : parsed->arguments)
        call.arguments.push_back(
            ProcParam{a.name, adVariant, a.output ? adParamInputOutput : adParamInput, a.value});
    return call;
#else
    return parseCallFallback(tsql);
#endif
}

} // namespace orvane::db
