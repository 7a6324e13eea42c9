#pragma once

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// Deleting wage tables: the selected month, or a range of months (both ends included), data
// rows and headers in one transaction.
class CDlgWageTableDelete
{
public:
    // selectedMonth / selectedId: the archive's current row (0 when none).
    CDlgWageTableDelete(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                        int selectedMonth, int selectedId);

    bool range = false; // "删除以下月份区间薪资表(&S)："
    int fromMonth = 0;  // fDate values of the two pickers
    int toMonth = 0;

    // True when deleted (and logged).
    bool accept();

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId;
    int m_selectedMonth;
    int m_selectedId;
};

} // namespace orvane::payroll
