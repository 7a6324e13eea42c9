#include "db/cadocommand.h"

#include "db/adoerror.h"
#include "db/cadodatabase.h"
#include "db/procedures.h"

namespace orvane::db {

CADOCommand::CADOCommand(CADODatabase* database, const QString& text, int type)
    : m_database(database), m_text(text), m_type(type)
{
}

bool CADOCommand::AddParameter(const CADOParameter& parameter)
{
    m_parameters.push_back(parameter);
    return true;
}

namespace {
template <typename T>
bool addTyped(std::vector<CADOParameter>& list, const QString& name, int type, int direction,
              qint64 size, const T& value)
{
    CADOParameter parameter(type, size, direction, name);
    if (!parameter.SetValue(value))
        return false;
    list.push_back(parameter);
    return true;
}
} // namespace

bool CADOCommand::AddParameter(const QString& name, int type, int direction, qint64 size, int value)
{
    return addTyped(m_parameters, name, type, direction, size, value);
}

bool CADOCommand::AddParameter(const QString& name, int type, int direction, qint64 size,
                               qint64 value)
{
    return addTyped(m_parameters, name, type, direction, size, value);
}

bool CADOCommand::AddParameter(const QString& name, int type, int direction, qint64 size,
                               double value)
{
    return addTyped(m_parameters, name, type, direction, size, value);
}

bool CADOCommand::AddParameter(const QString& name, int type, int direction, qint64 size,
                               const QString& value)
{
    return addTyped(m_parameters, name, type, direction, size, value);
}

bool CADOCommand::AddParameter(const QString& name, int type, int direction, qint64 size,
                               const char* value)
{
    return addTyped(m_parameters, name, type, direction, size, QString::fromUtf8(value));
}

bool CADOCommand::AddParameter(const QString& name, int type, int direction, qint64 size,
                               const QDateTime& value)
{
    return addTyped(m_parameters, name, type, direction, size, value);
}

CADOParameter CADOCommand::GetParameter(const QString& name) const
{
    QString wanted = name;
    if (wanted.startsWith(QLatin1Char('@')))
        wanted.remove(0, 1);
    for (const CADOParameter& p : m_parameters) {
        QString own = p.GetName();
        if (own.startsWith(QLatin1Char('@')))
            own.remove(0, 1);
        if (own.compare(wanted, Qt::CaseInsensitive) == 0)
            return p;
    }
    return CADOParameter();
}

bool CADOCommand::Execute()
{
    return run(nullptr);
}

bool CADOCommand::run(ResultSet* rows)
{
    m_lastError.clear();
    m_errorDescription.clear();
    m_recordsAffected = -1;
    auto failWith = [&](const BackendError& error) {
        m_errorDescription = error.description;
        m_lastError = formatAdoError(QStringLiteral("CADOCommand"), error.code, error.source,
                                     error.description);
        return false;
    };
    if (!m_database || !m_database->IsOpen())
        return failWith(
            {kErrorClosed, QStringLiteral("Orvane"), QStringLiteral("The connection is closed")});
    BackendError error;
    if (m_type != adCmdStoredProc) {
        const bool ok = rows ? m_database->runQuery(m_text, *rows, false, error)
                             : m_database->runStatement(m_text, &m_recordsAffected, error);
        return ok || failWith(error);
    }

    // A stored procedure: the text is its name (an "EXEC name" text is accepted too).
    ProcedureCall call;
    if (auto parsed = parseProcedureCallText(m_text); parsed && parsed->arguments.empty())
        call.name = parsed->name;
    else
        call.name = m_text.trimmed();
    call.positionalFallback = true;
    std::vector<size_t> argumentSource; // parameter index of each call argument
    for (size_t i = 0; i < m_parameters.size(); ++i) {
        const CADOParameter& p = m_parameters[i];
        if (p.GetDirection() == adParamReturnValue)
            continue;
        QString name = p.GetName();
        if (name.startsWith(QLatin1Char('@')))
            name.remove(0, 1);
        call.arguments.push_back(ProcParam{name, p.GetType(), p.GetDirection(), p.GetValue()});
        argumentSource.push_back(i);
    }
    if (!callProcedure(*m_database, call, error))
        return failWith(error);

    for (CADOParameter& p : m_parameters) {
        if (p.GetDirection() == adParamReturnValue)
            p.SetValue(call.returnValue);
    }
    for (size_t a = 0; a < call.arguments.size(); ++a) {
        CADOParameter& p = m_parameters[argumentSource[a]];
        if (p.GetDirection() != adParamOutput && p.GetDirection() != adParamInputOutput)
            continue;
        for (const auto& output : call.outputs) {
            if (output.first.compare(call.arguments[a].name, Qt::CaseInsensitive) == 0)
                p.SetValue(output.second);
        }
    }
    if (rows)
        *rows = std::move(call.rows);
    return true;
}

} // namespace orvane::db
