#include "payroll/wagescriptsession.h"

#include "script/wagefunctions.h"

#include "core/catalog.h"

#include "db/cadodatabase.h"

#include <utility>

namespace orvane::payroll {

WageScriptSession::WageScriptSession(db::CADODatabase& database, script::WageContext context)
    : m_db(database), m_context(std::move(context)), m_source(database)
{
    m_switch.target = &m_source;
    script::registerWageFunctions(m_engine.host(), m_context);
    script::registerWageDataFunctions(m_engine.host(), m_context, m_switch);
}

void WageScriptSession::setDataSource(script::WageDataSource* source)
{
    m_switch.target = source ? source : &m_source;
}

script::Variant WageScriptSession::SourceSwitch::count(const script::WageContext& context)
{
    return target->count(context);
}

script::Variant WageScriptSession::SourceSwitch::aggregate(const script::WageContext& context,
                                                           const std::string& function,
                                                           const std::string& itemCaption)
{
    return target->aggregate(context, function, itemCaption);
}

script::Variant WageScriptSession::SourceSwitch::salary(const std::string& personNumber,
                                                        const std::string& sortTitle, int fDate,
                                                        const std::string& itemCaption)
{
    return target->salary(personNumber, sortTitle, fDate, itemCaption);
}

script::Variant WageScriptSession::SourceSwitch::previousSalary(const std::string& personNumber,
                                                                const std::string& sortTitle,
                                                                int fDate, int periodsBack,
                                                                const std::string& itemCaption)
{
    return target->previousSalary(personNumber, sortTitle, fDate, periodsBack, itemCaption);
}

void WageScriptSession::setErrorReporter(std::function<void(const script::EngineError&)> reporter)
{
    m_engine.setErrorHandler(std::move(reporter));
}

bool WageScriptSession::reset()
{
    return m_engine.reset(library(m_db).toStdString());
}

QString WageScriptSession::library(db::CADODatabase& database)
{
    return core::Catalog(database).text(
        QStringLiteral("SELECT TOP 1 sContent FROM qp_SysOption WHERE nType=1"));
}

} // namespace orvane::payroll
