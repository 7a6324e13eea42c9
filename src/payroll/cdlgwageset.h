#pragma once

#include "payroll/cdlgtabwageitem.h"
#include "payroll/cdlgtabwagepsn.h"
#include "payroll/cdlgtabwagestdtable.h"
#include "payroll/wagesorts.h"

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// The wage settings window: the sort selector and the pages "所属人员", "薪资标准表" and
// "薪资项目". Changing the sort or the page loads the shown page for the selected sort; a page
// is reloaded only when its sort differs from the one it last loaded.
class CDlgWageSet
{
public:
    enum Page { Members = 0, StandardTables = 1, Items = 2, PageCount = 3 };

    CDlgWageSet(core::COrvaneApp& app, core::Prompter& prompter);

    const QList<WageSortEntry>& sorts() const { return m_sorts; }
    int sortIndex() const { return m_sortIndex; }
    int sortId() const;
    void setSortIndex(int index);
    // Refills the selector (after the sort manager changed sorts), keeping the sort selected
    // where it still exists.
    void reloadSorts();

    Page page() const { return m_page; }
    void setPage(Page page);
    // Ctrl+Tab: the next page, wrapping after the last.
    void nextPage();

    CDlgTabWagePSN& members() { return m_members; }
    CDlgTabWageStdTable& standardTables() { return m_standardTables; }
    CDlgTabWageItem& items() { return m_items; }

private:
    void loadShownPage();

    core::COrvaneApp& m_app;
    QList<WageSortEntry> m_sorts;
    int m_sortIndex = -1;
    Page m_page = Members;
    CDlgTabWagePSN m_members;
    CDlgTabWageStdTable m_standardTables;
    CDlgTabWageItem m_items;
};

} // namespace orvane::payroll
