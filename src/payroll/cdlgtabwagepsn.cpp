#include "payroll/cdlgtabwagepsn.h"

#include "payroll/cdlgwagepsnselect.h"
#include "payroll/wagesorts.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/systemlog.h"

#include "db/cadocommand.h"
#include "db/cadodatabase.h"

#include <algorithm>

namespace orvane::payroll {

using core::Prompter;

CDlgTabWagePSN::CDlgTabWagePSN(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

void CDlgTabWagePSN::setSort(int sortId, bool force)
{
    if (sortId == m_sortId && !force)
        return;
    m_sortId = sortId;
    m_members.clear();
    reload();
}

void CDlgTabWagePSN::setDepartment(int departmentId)
{
    m_departmentId = departmentId;
    reload();
}

bool CDlgTabWagePSN::reload()
{
    if (m_sortId <= 0) {
        m_members.clear();
        return false;
    }
    return m_members.load(
        m_app.database(),
        QStringLiteral("EXEC qp_SelectWagePsnBySort %1,%2").arg(m_sortId).arg(m_departmentId));
}

bool CDlgTabWagePSN::refresh()
{
    if (m_sortId > 0 && canMove())
        m_app.database().Execute(QStringLiteral("qp_RefreshWagePsnDefaultOrder %1,%2")
                                     .arg(m_sortId)
                                     .arg(m_departmentId));
    return reload();
}

QString CDlgTabWagePSN::footerText() const
{
    return QStringLiteral("共 计：%1 人").arg(m_members.rowCount());
}

bool CDlgTabWagePSN::canMove() const
{
    return core::Catalog(m_app.database()).departmentChildCount(m_departmentId) <= 1;
}

QString CDlgTabWagePSN::sortTitle() const
{
    return core::Catalog(m_app.database()).wageSortTitle(m_sortId);
}

void CDlgTabWagePSN::warn(const QString& text)
{
    m_prompter.message(text, core::promptCaption(), Prompter::Icon::Warning);
}

bool CDlgTabWagePSN::addMembers()
{
    if (m_sortId <= 0) {
        warn(WageSorts::chooseSortMessage());
        return false;
    }
    CDlgWagePsnSelect dialog(m_app, m_prompter, m_sortId, m_departmentId);
    dialog.onMembersChanged = [this] { reload(); };
    if (runSelect)
        runSelect(dialog);
    dialog.close();
    reload();
    return dialog.addedCount() > 0;
}

bool CDlgTabWagePSN::deleteMembers(QList<int> rows)
{
    if (rows.isEmpty() && m_members.currentRow() >= 0)
        rows << m_members.currentRow();
    if (rows.isEmpty()) {
        warn(WageSorts::choosePersonMessage());
        return false;
    }
    if (m_prompter.askYesNo(QStringLiteral("确定要删除所选择的人员吗?"), core::promptCaption(),
                            Prompter::Icon::Question) != Prompter::Answer::Yes)
        return false;
    QString xml = QStringLiteral("<psns>");
    for (const int row : std::as_const(rows))
        xml += QStringLiteral("<psn id=\"%1\"></psn>").arg(m_members.cellInt(row, 0));
    xml += QStringLiteral("</psns>");
    db::CADOCommand cmd(&m_app.database(), QStringLiteral("qp_DeleteWageSortPsnSelectBySortID"));
    cmd.AddParameter(QStringLiteral("SID"), db::adInteger, db::adParamInput, 4, m_sortId);
    cmd.AddParameter(QStringLiteral("IDXML"), db::adLongVarChar, db::adParamInput, -1, xml);
    if (!cmd.Execute()) {
        m_prompter.message(cmd.GetErrorDescription(), core::promptCaption(), Prompter::Icon::Error);
        return false;
    }
    reload();
    core::AddSystemLog(
        m_app,
        QStringLiteral("薪资管理[薪资类别'%1'删除所属人员%2人]").arg(sortTitle()).arg(rows.size()));
    return true;
}

bool CDlgTabWagePSN::moveMember(bool up)
{
    if (!canMove())
        return false;
    if (m_members.currentRow() < 0) {
        warn(WageSorts::choosePersonMessage());
        return false;
    }
    if (!m_members.move(
            m_app.database(), up ? core::RowOrder::Direction::Up : core::RowOrder::Direction::Down,
            {0, 1, QStringLiteral("qp_WagePsn"), QStringLiteral("ID"), QStringLiteral("Ord")}))
        return false;
    core::AddSystemLog(m_app,
                       QStringLiteral("薪资管理[薪资类别'%1'所属人员调序]").arg(sortTitle()));
    return true;
}

bool CDlgTabWagePSN::refreshOrder()
{
    return refresh();
}

} // namespace orvane::payroll
