#pragma once

#include "db/procedures.h"

#include <QString>

namespace orvane::server {

// Return values of qp_AddWageSort: 0 success (the new sort's ID in the output parameter
// NewID), otherwise nothing was changed.
enum WageSortReturn : int {
    kWageSortOk = 0,
    kWageSortFailed = 1,
    kWageSortTooMany = 2,
    kWageSortDuplicate = 3,
};

// At most this many wage sorts exist at once.
inline constexpr int kMaxWageSorts = 100;

// Registers the payroll procedures: wage sorts and items, standard tables, members, monthly wage
// tables and the value look-ups of the formula functions. Called by registerCoreProcedures().
void registerPayrollProcedures();

namespace payroll_detail {

// The wage data table of a sort ("" when the sort does not exist).
QString wageTableOf(db::ProcContext& ctx, int sortId);
// A name the procedures accept for a candidate table: letters, digits and '_', optionally after
// "#" or "##" (temporary tables of the connection).
bool isWorkTableName(const QString& name);
// The name as a bracketed T-SQL identifier.
QString bracketed(const QString& name);
// Drops a table when it exists (temporary tables included).
void dropTableIfExists(db::ProcContext& ctx, const QString& name);

void registerWageSortProcedures();
void registerWageStdProcedures();
void registerWageMemberProcedures();
void registerWageMonthProcedures();
void registerWageOutputProcedures();

} // namespace payroll_detail

} // namespace orvane::server
