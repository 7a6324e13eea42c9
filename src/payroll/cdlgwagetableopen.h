#pragma once

#include "payroll/orderedlist.h"
#include "payroll/wagesorts.h"

#include <functional>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

class CDlgWageTableNew;
class CDlgWageTableDelete;

// The wage archive ("薪资档案"): a sort's months, newest first, optionally only the latest n;
// open, new, delete and re-open of a checked-out month.
class CDlgWageTableOpen
{
public:
    static constexpr int kRightView = 17;
    static constexpr int kRightCreateDelete = 18;
    static constexpr int kRightEdit = 19;
    static constexpr int kRightCheckOut = 20;

    CDlgWageTableOpen(core::COrvaneApp& app, core::Prompter& prompter, int sortId = 0);

    const QList<WageSortEntry>& sorts() const { return m_sorts; }
    void setSortIndex(int index);
    int sortIndex() const { return m_sortIndex; }
    int sortId() const;
    QString sortTitle() const;

    // The latest-months option and its number (12 by default).
    void setLatestOnly(bool on, int count);
    bool latestOnly() const { return m_latestOnly; }
    int latestCount() const { return m_latestCount; }

    bool refresh();
    // Columns: ID, fDate, Stat, CreateDate.
    OrderedList& months() { return m_months; }
    int currentMonth() const;

    // Open: true when the chosen month is to be shown (logged); the caller opens the wage view.
    bool open();
    bool reopen();
    bool newMonth();
    bool deleteMonths();

    std::function<bool(CDlgWageTableNew& dialog)> runNew;
    std::function<bool(CDlgWageTableDelete& dialog)> runDelete;

private:
    bool needsSortAndRow();

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    QList<WageSortEntry> m_sorts;
    int m_sortIndex = -1;
    bool m_latestOnly = false;
    int m_latestCount = 12;
    OrderedList m_months;
};

} // namespace orvane::payroll
