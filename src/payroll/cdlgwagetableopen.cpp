#include "payroll/cdlgwagetableopen.h"

#include "payroll/cdlgwagetabledelete.h"
#include "payroll/cdlgwagetablenew.h"

#include "core/apphelpers.h"
#include "core/corvaneapp.h"
#include "core/operatorrights.h"
#include "core/prompter.h"
#include "core/systemlog.h"

#include "db/cadodatabase.h"

namespace orvane::payroll {

using core::Prompter;

CDlgWageTableOpen::CDlgWageTableOpen(core::COrvaneApp& app, core::Prompter& prompter, int sortId)
    : m_app(app), m_prompter(prompter), m_sorts(WageSorts::list(app))
{
    const int index = WageSorts::indexOf(m_sorts, sortId);
    setSortIndex(index >= 0 ? index : (m_sorts.isEmpty() ? -1 : 0));
}

void CDlgWageTableOpen::setSortIndex(int index)
{
    m_sortIndex = index >= 0 && index < m_sorts.size() ? index : -1;
    refresh();
}

int CDlgWageTableOpen::sortId() const
{
    return m_sortIndex >= 0 ? m_sorts[m_sortIndex].id : 0;
}

QString CDlgWageTableOpen::sortTitle() const
{
    return m_sortIndex >= 0 ? m_sorts[m_sortIndex].title : QString();
}

void CDlgWageTableOpen::setLatestOnly(bool on, int count)
{
    m_latestOnly = on;
    m_latestCount = qMax(1, count);
    refresh();
}

bool CDlgWageTableOpen::refresh()
{
    if (sortId() == 0) {
        m_months.clear();
        return false;
    }
    const QString top = m_latestOnly ? QStringLiteral("TOP %1").arg(m_latestCount) : QString();
    return m_months.load(m_app.database(),
                         QStringLiteral("SELECT %1 ID,fDate,Stat,CreateDate FROM qp_WageTable "
                                        "WHERE SID=%2 ORDER BY fDate DESC")
                             .arg(top)
                             .arg(sortId()));
}

int CDlgWageTableOpen::currentMonth() const
{
    return m_months.currentValue(QStringLiteral("fDate")).toInt();
}

bool CDlgWageTableOpen::needsSortAndRow()
{
    if (sortId() == 0) {
        m_prompter.message(WageSorts::chooseSortMessage(), core::promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    if (m_months.currentRow() < 0) {
        m_prompter.message(QStringLiteral("请选择薪资表!"), core::promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    return true;
}

bool CDlgWageTableOpen::open()
{
    if (!core::OperatorRights::hasRight(m_app, kRightView, true) &&
        !core::OperatorRights::hasRight(m_app, kRightCreateDelete, false) &&
        !core::OperatorRights::hasRight(m_app, kRightEdit, false)) {
        m_prompter.message(core::OperatorRights::noRightMessage(), core::promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    if (!needsSortAndRow())
        return false;
    core::AddSystemLog(m_app, QStringLiteral("薪资管理[打开薪资表'%1:%2']")
                                  .arg(sortTitle(), core::monthText(currentMonth())));
    return true;
}

bool CDlgWageTableOpen::reopen()
{
    if (!core::OperatorRights::checkRight(m_app, m_prompter, kRightCheckOut))
        return false;
    if (!needsSortAndRow())
        return false;
    const QString month = core::monthText(currentMonth());
    if (m_prompter.askYesNo(QStringLiteral("确定要将\"%1\"薪资表标记为未结账状态吗?").arg(month),
                            core::promptCaption(),
                            Prompter::Icon::Question) != Prompter::Answer::Yes)
        return false;
    if (!m_app.database().Execute(QStringLiteral("EXEC qp_UpdateWageTableCheckOut %1,%2,0")
                                      .arg(sortId())
                                      .arg(m_months.currentKey()))) {
        m_prompter.message(m_app.database().GetErrorDescription(), core::promptCaption(),
                           Prompter::Icon::Error);
        refresh();
        return false;
    }
    m_prompter.message(QStringLiteral("反结账完成!"), core::promptCaption(),
                       Prompter::Icon::Information);
    core::AddSystemLog(m_app,
                       QStringLiteral("薪资管理[反结帐薪资表'%1:%2']").arg(sortTitle(), month));
    refresh();
    return true;
}

bool CDlgWageTableOpen::newMonth()
{
    if (!core::OperatorRights::checkRight(m_app, m_prompter, kRightCreateDelete))
        return false;
    CDlgWageTableNew dialog(m_app, m_prompter, sortId());
    const bool created = runNew && runNew(dialog);
    refresh();
    return created;
}

bool CDlgWageTableOpen::deleteMonths()
{
    if (!core::OperatorRights::checkRight(m_app, m_prompter, kRightCreateDelete))
        return false;
    if (sortId() == 0) {
        m_prompter.message(WageSorts::chooseSortMessage(), core::promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    CDlgWageTableDelete dialog(m_app, m_prompter, sortId(), currentMonth(), m_months.currentKey());
    const bool deleted = runDelete && runDelete(dialog);
    refresh();
    return deleted;
}

} // namespace orvane::payroll
