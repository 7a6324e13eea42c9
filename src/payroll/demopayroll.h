#pragma once

#include <QString>

namespace orvane::core {
class COrvaneApp;
}

namespace orvane::payroll {

struct DemoPayrollCounts
{
    int items = 0;
    int standardTables = 0;
    int members = 0;
    int months = 0;
};

// The demo payroll of "orvane-admin init --demo N": a wage sort "职工工资" of about forty items
// (base pay from a two-dimensional standard table on post grade and salary step, post allowance
// from a one-dimensional one, seniority and performance pay, overtime, attendance deductions,
// the four social-insurance contributions and the housing fund on a capped base, income tax through
// the library's IncomeTax, net pay), every person as a member, three consecutive months up to
// `lastMonth` (the earlier two checked out) with input values, each month calculated before it
// is checked out (so net pay is real), and a payslip template that
// writes the net pay in capital numerals. Items and tables go through the same workflows an
// operator uses, so every formula is validated and converted. False with `error` on failure.
bool fillDemoPayroll(core::COrvaneApp& app, int lastMonth, DemoPayrollCounts* counts,
                     QString* error);

// The demo sort's title.
QString demoSortTitle();

} // namespace orvane::payroll
