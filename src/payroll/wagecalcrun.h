#pragma once

#include "payroll/wagecalc.h"

#include <QString>

#include <optional>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::payroll {

class WageScriptSession;

// One calculation over the rows of a wage month that a WHERE text selects (the month run: the
// view's selection; after an edit: one person). The rows' columns that formulas and standard
// tables read are held in memory by column; items run in OrdF order, persons in the view's
// order; changed cells are written in one transaction, those of items whose formula reads the
// database (COUNT, SUM, ..., GETSALARY) at once so the database always shows what the run has
// computed when such a formula asks.
struct WageCalcRequest
{
    int sortId = 0;
    int fDate = 0;
    QString whereText;                // " WHERE ..." over the FROM clause of the wage view
    bool missingAmountIsZero = false; // a standard-table lookup that finds nothing writes 0
    bool withCaptions = true;         // read Alias (month run) or not (one person)
};

WageCalcResult runWageCalculation(db::CADODatabase& database, WageScriptSession& session,
                                  const WageCalcRequest& request,
                                  const WageCalculator::Progress& progress);

} // namespace orvane::payroll
