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

    // Routes the formula functions' database calls (COUNT, SUM ... GETPRESALARY) through
    // `source`; nullptr restores the database. The month calculation answers repeated
    // aggregates from its own cache this way.
    void setDataSource(script::WageDataSource* source);
    WageDatabaseSource& databaseSource() { return m_source; }

    // Called with every engine failure (the site's error report).
    void setErrorReporter(std::function<void(const script::EngineError&)> reporter);

    // A fresh engine with the function library of qp_SysOption (kind 1) loaded; false when the
    // library itself fails to load.
    bool reset();

    // "SELECT TOP 1 sContent FROM qp_SysOption WHERE nType=1".
    static QString library(db::CADODatabase& database);

private:
    // The source the registered functions call: the database, or an override.
    class SourceSwitch : public script::WageDataSource
    {
    public:
        script::WageDataSource* target = nullptr;

        script::Variant count(const script::WageContext& context) override;
        script::Variant aggregate(const script::WageContext& context, const std::string& function,
                                  const std::string& itemCaption) override;
        script::Variant salary(const std::string& personNumber, const std::string& sortTitle,
                               int fDate, const std::string& itemCaption) override;
        script::Variant previousSalary(const std::string& personNumber,
                                       const std::string& sortTitle, int fDate, int periodsBack,
                                       const std::string& itemCaption) override;
    };

    db::CADODatabase& m_db;
    script::WageContext m_context;
    WageDatabaseSource m_source;
    SourceSwitch m_switch;
    script::ScriptEngine m_engine;
};

} // namespace orvane::payroll
