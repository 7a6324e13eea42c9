#pragma once

#include "payroll/candidatelist.h"

#include <QList>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// Adding persons to one month's wage table ("添加人员"): candidates in "tmpWageUser<operator>",
// ticked, and optionally their values copied from an earlier month of the sort.
class CDlgWagePsnTable
{
public:
    CDlgWagePsnTable(core::COrvaneApp& app, core::Prompter& prompter, int sortId, int fDate,
                     int departmentId = 0);
    ~CDlgWagePsnTable();

    bool setDepartment(int departmentId);
    int departmentId() const { return m_departmentId; }
    CandidateList& candidates() { return m_candidates; }
    // The sort's other months, newest first.
    const QList<int>& earlierMonths() const { return m_months; }

    // "同时导入以往薪资数据" and the month chosen in its list (0 for none).
    bool importEarlier = false;
    int earlierMonth = 0;

    // OK: adds the ticked persons; true when added (the dialog then closes).
    bool accept();

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId;
    int m_fDate;
    int m_departmentId = 0;
    CandidateList m_candidates;
    QList<int> m_months;
};

} // namespace orvane::payroll
