#pragma once

#include "script/wagedatasource.h"

namespace orvane::db {
class CADODatabase;
}

namespace orvane::payroll {

// The formula functions' database side: COUNT over the wage view's selection, and the
// procedures qp_GetAggregeWageValue, qp_GetPSNWageValue and qp_GetPSNPreWageValue called as
// command objects with named parameters. A failing call raises a script error with the data
// layer's description.
class WageDatabaseSource : public script::WageDataSource
{
public:
    explicit WageDatabaseSource(db::CADODatabase& database) : m_db(database) {}

    script::Variant count(const script::WageContext& context) override;
    script::Variant aggregate(const script::WageContext& context, const std::string& function,
                              const std::string& itemCaption) override;
    script::Variant salary(const std::string& personNumber, const std::string& sortTitle, int fDate,
                           const std::string& itemCaption) override;
    script::Variant previousSalary(const std::string& personNumber, const std::string& sortTitle,
                                   int fDate, int periodsBack,
                                   const std::string& itemCaption) override;

private:
    db::CADODatabase& m_db;
};

} // namespace orvane::payroll
