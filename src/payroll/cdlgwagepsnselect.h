#pragma once

#include "payroll/candidatelist.h"

#include <functional>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// Adding members to a sort: the candidates of a department in the operator's temporary table
// "##tmp<operator>", ticked and added together, or one at a time by double click. The dialog
// stays open for further additions; close() drops the table.
class CDlgWagePsnSelect
{
public:
    CDlgWagePsnSelect(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                      int departmentId);
    ~CDlgWagePsnSelect();

    // Rebuilds the candidates for a department (ticks do not survive).
    bool setDepartment(int departmentId);
    int departmentId() const { return m_departmentId; }
    CandidateList& candidates() { return m_candidates; }

    bool addTicked();
    bool addOne(int row);
    void close();

    int addedCount() const { return m_added; }
    // Called after members were added, so that the members page reloads.
    std::function<void()> onMembersChanged;

private:
    QString sortTitle() const;

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId;
    int m_departmentId = 0;
    CandidateList m_candidates;
    int m_added = 0;
    bool m_closed = false;
};

} // namespace orvane::payroll
