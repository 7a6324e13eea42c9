#pragma once

#include "payroll/wagesorts.h"

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// Creating a month's wage table for a sort (right 18): confirmation, the sort and duplicate
// checks, then qp_CreateWageTable, which gives every member a row.
class CDlgWageTableNew
{
public:
    static constexpr int kRightCreateDelete = 18;

    CDlgWageTableNew(core::COrvaneApp& app, core::Prompter& prompter, int sortId);

    const QList<WageSortEntry>& sorts() const { return m_sorts; }
    int sortIndex = -1;
    int year = 0;
    int month = 0;

    // True when the month was created (and logged).
    bool create();

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    QList<WageSortEntry> m_sorts;
};

} // namespace orvane::payroll
