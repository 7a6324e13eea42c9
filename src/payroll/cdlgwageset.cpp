#include "payroll/cdlgwageset.h"

#include "core/corvaneapp.h"

namespace orvane::payroll {

CDlgWageSet::CDlgWageSet(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_members(app, prompter), m_standardTables(app, prompter), m_items(app, prompter)
{
    reloadSorts();
}

int CDlgWageSet::sortId() const
{
    return m_sortIndex >= 0 && m_sortIndex < m_sorts.size() ? m_sorts[m_sortIndex].id : 0;
}

void CDlgWageSet::setSortIndex(int index)
{
    m_sortIndex = index >= 0 && index < m_sorts.size() ? index : -1;
    loadShownPage();
}

void CDlgWageSet::reloadSorts()
{
    const int previous = sortId();
    m_sorts = WageSorts::list(m_app);
    const int index = WageSorts::indexOf(m_sorts, previous);
    m_sortIndex = index >= 0 ? index : (m_sorts.isEmpty() ? -1 : 0);
    // A sort of the same key may have been renamed or recreated: reload what is shown.
    switch (m_page) {
    case Members:
        m_members.setSort(sortId(), true);
        break;
    case StandardTables:
        m_standardTables.setSort(sortId(), true);
        break;
    default:
        m_items.setSort(sortId(), true);
        break;
    }
}

void CDlgWageSet::setPage(Page page)
{
    m_page = page;
    loadShownPage();
}

void CDlgWageSet::nextPage()
{
    setPage(Page((m_page + 1) % PageCount));
}

void CDlgWageSet::loadShownPage()
{
    switch (m_page) {
    case Members:
        m_members.setSort(sortId());
        break;
    case StandardTables:
        m_standardTables.setSort(sortId());
        break;
    default:
        m_items.setSort(sortId());
        break;
    }
}

} // namespace orvane::payroll
