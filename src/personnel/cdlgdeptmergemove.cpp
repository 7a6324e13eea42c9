#include "personnel/cdlgdeptmergemove.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "personnel/pickerlists.h"

namespace orvane::personnel {

namespace {

QString deletedDepartmentMessage()
{
    return QStringLiteral("选择的部门被删除！");
}

} // namespace

CDlgDeptMergeMove::CDlgDeptMergeMove(core::COrvaneApp& app, core::Prompter& prompter,
                                     Purpose purpose, int sourceDid, const QString& sourceName)
    : m_app(app), m_prompter(prompter), m_purpose(purpose), m_source(sourceDid),
      m_sourceName(sourceName),
      m_departments(PickerLists(app.database(), app.currentOperator()).departments())
{
}

QString CDlgDeptMergeMove::caption() const
{
    return m_purpose == Purpose::Merge ? QStringLiteral("部门合并") : QStringLiteral("部门移动");
}

QString CDlgDeptMergeMove::prompt() const
{
    return m_purpose == Purpose::Merge ? QStringLiteral("合并到：") : QStringLiteral("上级部门：");
}

QString CDlgDeptMergeMove::rootCaption()
{
    return QStringLiteral("全体部门");
}

QString CDlgDeptMergeMove::targetName() const
{
    if (m_target == 0)
        return rootCaption();
    const PickNode* node = findPickNode(m_departments, m_target);
    return node ? node->text : QString();
}

bool CDlgDeptMergeMove::accept()
{
    return m_purpose == Purpose::Merge ? acceptMerge() : acceptMove();
}

bool CDlgDeptMergeMove::acceptMerge()
{
    const auto warn = [this](const QString& text) {
        m_prompter.message(text, core::promptCaption(), core::Prompter::Icon::Warning);
        return false;
    };
    if (m_target < 0 || m_target == m_source || m_target == 0)
        return warn(QStringLiteral("请选择项！"));
    const core::Catalog catalog(m_app.database());
    const QString parentSql = QStringLiteral("SELECT ParentID FROM qp_Dept WHERE DID=%1");
    if (catalog.integer(parentSql.arg(m_source)) != catalog.integer(parentSql.arg(m_target)))
        return warn(QStringLiteral("不能跨级合并部门!"));
    if (!catalog.rowExists(QStringLiteral("qp_Dept"), QStringLiteral("DID=%1").arg(m_source)) ||
        !catalog.rowExists(QStringLiteral("qp_Dept"), QStringLiteral("DID=%1").arg(m_target)))
        return warn(deletedDepartmentMessage());
    return true;
}

bool CDlgDeptMergeMove::acceptMove()
{
    const auto warn = [this](const QString& text) {
        m_prompter.message(text, core::promptCaption(), core::Prompter::Icon::Warning);
        return false;
    };
    if (m_target < 0 || m_target == m_source)
        return warn(QStringLiteral("请选择项！"));
    const core::Catalog catalog(m_app.database());
    if (catalog.integer(
            QStringLiteral("SELECT ParentID FROM qp_Dept WHERE DID=%1").arg(m_source)) == m_target)
        return warn(QStringLiteral("请选择不同的上级部门!"));
    if (!catalog.rowExists(QStringLiteral("qp_Dept"), QStringLiteral("DID=%1").arg(m_source)) ||
        (m_target > 0 &&
         !catalog.rowExists(QStringLiteral("qp_Dept"), QStringLiteral("DID=%1").arg(m_target))))
        return warn(deletedDepartmentMessage());
    return true;
}

} // namespace orvane::personnel
