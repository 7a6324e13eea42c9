#include "payroll/cdlgtabwageitem.h"

#include "payroll/cdlgwageitemset.h"
#include "payroll/wagesorts.h"

#include "core/catalog.h"
#include "core/cdlgresetorder.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/systemlog.h"

#include "db/cadodatabase.h"

namespace orvane::payroll {

using core::Prompter;

CDlgTabWageItem::CDlgTabWageItem(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

void CDlgTabWageItem::setSort(int sortId, bool force)
{
    if (sortId == m_sortId && !force)
        return;
    m_sortId = sortId;
    m_items.clear();
    refresh();
}

bool CDlgTabWageItem::refresh()
{
    if (m_sortId <= 0) {
        m_items.clear();
        return false;
    }
    return m_items.load(m_app.database(),
                        QStringLiteral("EXEC qp_SelectWageSetItemsByID %1").arg(m_sortId));
}

QString CDlgTabWageItem::sortTitle() const
{
    return core::Catalog(m_app.database()).wageSortTitle(m_sortId);
}

void CDlgTabWageItem::warn(const QString& text)
{
    m_prompter.message(text, core::promptCaption(), Prompter::Icon::Warning);
}

bool CDlgTabWageItem::edit(CDlgWageItemSet& editor)
{
    if (!runEditor || !runEditor(editor))
        return false;
    refresh();
    m_items.selectKey(editor.itemId());
    return true;
}

bool CDlgTabWageItem::newItem()
{
    if (m_sortId <= 0) {
        warn(WageSorts::chooseSortMessage());
        return false;
    }
    CDlgWageItemSet editor(m_app, m_prompter, m_sortId);
    return edit(editor);
}

bool CDlgTabWageItem::changeItem()
{
    if (m_items.currentRow() < 0) {
        warn(WageSorts::chooseItemMessage());
        return false;
    }
    CDlgWageItemSet editor(m_app, m_prompter, m_sortId);
    if (!editor.load(m_items.currentKey())) {
        refresh();
        return false;
    }
    return edit(editor);
}

bool CDlgTabWageItem::deleteItem()
{
    if (m_items.currentRow() < 0) {
        warn(WageSorts::chooseItemMessage());
        return false;
    }
    const QString caption = m_items.rows().at(m_items.currentRow(), 3).toString();
    if (m_prompter.askYesNo(
            QStringLiteral("该操作将同时删除项目下的薪资数据！\r\n\r\n确定要删除项目“%1”吗?")
                .arg(caption),
            core::promptCaption(), Prompter::Icon::Warning) != Prompter::Answer::Yes)
        return false;
    if (!m_app.database().Execute(QStringLiteral("qp_DeleteWageSortItemByID %1,%2")
                                      .arg(m_sortId)
                                      .arg(m_items.currentKey()))) {
        m_prompter.message(m_app.database().GetErrorDescription(), core::promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    refresh();
    core::AddSystemLog(
        m_app, QStringLiteral("薪资管理[薪资类别'%1'删除薪资项目'%2']").arg(sortTitle(), caption));
    return true;
}

bool CDlgTabWageItem::moveItem(core::RowOrder::Direction direction)
{
    if (m_items.currentRow() < 0) {
        warn(WageSorts::chooseItemMessage());
        return false;
    }
    if (!m_items.move(
            m_app.database(), direction,
            {0, 2, QStringLiteral("qp_Items"), QStringLiteral("ItemID"), QStringLiteral("Ord")}))
        return false;
    core::AddSystemLog(
        m_app, QStringLiteral("薪资管理[薪资类别'%1'调整薪资项目显示顺序]").arg(sortTitle()));
    m_app.database().Execute(QStringLiteral("qp_RefreshWageItemOrder %1").arg(m_sortId));
    refresh();
    return true;
}

bool CDlgTabWageItem::resetCalcOrder()
{
    if (m_sortId <= 0) {
        warn(WageSorts::chooseSortMessage());
        return false;
    }
    core::CDlgResetOrder order(
        m_app.database(), m_prompter,
        {QStringLiteral("EXEC qp_SelectWageSetItemsReOrderByID %1").arg(m_sortId),
         QStringLiteral("qp_RefreshWageItemCalcOrder %1").arg(m_sortId), QStringLiteral("qp_Items"),
         QStringLiteral("ItemID"), QStringLiteral("OrdF")});
    if (!runResetOrder)
        return false;
    runResetOrder(order, QStringLiteral("调整薪资项目运算顺序(自上而下运行)"));
    if (!order.changed())
        return false;
    core::AddSystemLog(
        m_app, QStringLiteral("薪资管理[薪资类别'%1'调整薪资项目运算顺序]").arg(sortTitle()));
    return true;
}

} // namespace orvane::payroll
