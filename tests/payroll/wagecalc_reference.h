#pragma once

#include <QString>

#include <vector>

namespace orvane::db {
class CADODatabase;
}
namespace orvane::payroll {
class WageScriptSession;
struct WageViewFilter;
} // namespace orvane::payroll

namespace orvane::payrolltest {

struct ReferenceFailure
{
    QString caption;
    QString number; // the person it failed for
};

// The month calculation done the plain way, cell by cell: for each item (OrdF order) the
// selection is read anew with "SELECT *"; for each person the formula text gets the person's
// values substituted and is parsed and evaluated, a standard-table amount comes from
// qp_GetWageStdTableByPsn, and the value is written at once with its own UPDATE. Used to check
// the in-memory calculation cell by cell.
std::vector<ReferenceFailure> referenceCalculateMonth(db::CADODatabase& database,
                                                      payroll::WageScriptSession& session,
                                                      const payroll::WageViewFilter& filter);

} // namespace orvane::payrolltest
