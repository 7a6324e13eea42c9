#pragma once

#include "payroll/wagedatabasesource.h"

#include "script/scriptengine.h"
#include "script/wagecontext.h"

#include <QString>

#include <functional>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::payroll {

// One holder's formula engine: the engine with the host functions (USERNAME ... DX) and the
// database-backed ones (COUNT, SUM ... GETPRESALARY) over its own copy of the wage context, and
// the organisation's function library loaded on every reset.
class WageScriptSession
{
public:
    WageScriptSession(db::CADODatabase& database, script::WageContext context);
    WageScriptSession(const WageScriptSession&) = delete;
    WageScriptSession& operator=(const WageScriptSession&) = delete;

    script::ScriptEngine& engine() { return m_engine; }
    script::WageContext& context() { return m_context; }

    // Called with every engine failure (the site's error report).
    void setErrorReporter(std::function<void(const script::EngineError&)> reporter);

    // A fresh engine with the function library of qp_SysOption (kind 1) loaded; false when the
    // library itself fails to load.
    bool reset();

    // "SELECT TOP 1 sContent FROM qp_SysOption WHERE nType=1".
    static QString library(db::CADODatabase& database);

private:
    db::CADODatabase& m_db;
    script::WageContext m_context;
    WageDatabaseSource m_source;
    script::ScriptEngine m_engine;
};

} // namespace orvane::payroll
