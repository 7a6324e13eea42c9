#include "payroll/wagescriptsession.h"

#include "script/wagefunctions.h"

#include "core/catalog.h"

#include "db/cadodatabase.h"

#include <utility>

namespace orvane::payroll {

WageScriptSession::WageScriptSession(db::CADODatabase& database, script::WageContext context)
    : m_db(database), m_context(std::move(context)), m_source(database)
{
    script::registerWageFunctions(m_engine.host(), m_context);
    script::registerWageDataFunctions(m_engine.host(), m_context, m_source);
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
