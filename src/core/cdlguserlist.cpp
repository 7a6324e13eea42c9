#include "core/cdlguserlist.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::core {

CDlgUserList::CDlgUserList(COrvaneApp& app, Prompter& prompter) : m_app(app), m_prompter(prompter)
{
}

bool CDlgUserList::refresh()
{
    m_rows.clear();
    m_current = -1;
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("EXEC qp_SelectSystemUsers %1").arg(m_app.currentOperator().UserID))) {
        m_prompter.message(QStringLiteral("打开数据库出错!"), promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    for (; !rs.IsEOF(); rs.MoveNext()) {
        // Columns by position: UserID, UserName, Locked, Descr, Purview, ISuper.
        OperatorEntry entry;
        rs.GetFieldValue(0, entry.UserID);
        rs.GetFieldValue(1, entry.UserName);
        rs.GetFieldValue(2, entry.Locked);
        rs.GetFieldValue(3, entry.Descr);
        rs.GetFieldValue(4, entry.Purview);
        rs.GetFieldValue(5, entry.ISuper);
        m_rows.append(entry);
    }
    return true;
}

QString CDlgUserList::footerText() const
{
    return QStringLiteral(" 共: %1 人").arg(m_rows.size());
}

void CDlgUserList::setCurrentRow(int row)
{
    m_current = row >= 0 && row < m_rows.size() ? row : -1;
}

const OperatorEntry* CDlgUserList::current() const
{
    return m_current >= 0 && m_current < m_rows.size() ? &m_rows[m_current] : nullptr;
}

bool CDlgUserList::edit(CDLGUser& editor)
{
    editor.open();
    if (!runEditor || !runEditor(editor))
        return false;
    refresh();
    return true;
}

bool CDlgUserList::newOperator()
{
    CDLGUser editor(m_app, m_prompter);
    return edit(editor);
}

bool CDlgUserList::changeOperator()
{
    const OperatorEntry* entry = current();
    if (entry == nullptr) {
        m_prompter.message(QStringLiteral("请选择项！"), promptCaption(), Prompter::Icon::Warning);
        return false;
    }
    CDLGUser editor(m_app, m_prompter, *entry);
    const int userId = entry->UserID;
    const bool changed = edit(editor);
    // Keep the changed operator selected after the refill.
    for (int row = 0; changed && row < m_rows.size(); ++row) {
        if (m_rows[row].UserID == userId)
            m_current = row;
    }
    return changed;
}

bool CDlgUserList::deleteOperator()
{
    const OperatorEntry* entry = current();
    if (entry == nullptr) {
        m_prompter.message(QStringLiteral("请在用户列表中选择用户!"), promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    if (entry->ISuper) {
        m_prompter.message(QStringLiteral("超级管理员不能删除!"), promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    const OperatorEntry chosen = *entry;
    if (m_prompter.askYesNo(QStringLiteral("确定要删除操作员 %1 吗?").arg(chosen.UserName),
                            promptCaption(), Prompter::Icon::Question, Prompter::Answer::No)
        != Prompter::Answer::Yes)
        return false;
    const QString condition = QStringLiteral("UserID = %1").arg(chosen.UserID);
    if (!Catalog(m_app.database()).confirmRowExists(m_prompter, QStringLiteral("qp_Users"),
                                                    condition))
        return false;
    if (!m_app.database().Execute(QStringLiteral("DELETE FROM qp_Users WHERE ") + condition))
        return false;
    AddSystemLog(m_app, QStringLiteral("系统管理[删除操作员'%1']").arg(chosen.UserName));
    refresh();
    return true;
}

} // namespace orvane::core
