#include "personnel/cdlgdynctlformfordept.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "personnel/depttree.h"

namespace orvane::personnel {

CDlgDynCtlFormForDept::CDlgDynCtlFormForDept(core::COrvaneApp& app, core::Prompter& prompter)
    : CDlgDynCtlFormBase(app, prompter)
{
    setTable(QStringLiteral("qp_Dept"), QStringLiteral("DID"));
}

bool CDlgDynCtlFormForDept::build()
{
    if (!CDlgDynCtlFormBase::build())
        return false;
    const core::Catalog catalog(m_app.database());
    m_parentAtOpening =
        m_addMode
            ? 0
            : catalog.integer(
                  QStringLiteral("SELECT ParentID FROM qp_Dept WHERE DID=%1").arg(m_recordId));
    m_nameAtOpening = m_addMode ? QString() : chosenName();
    return true;
}

int CDlgDynCtlFormForDept::chosenParent() const
{
    const int field = fieldIndex(QStringLiteral("ParentID"));
    return field < 0 ? m_parentAtOpening : m_editors[field].id;
}

QString CDlgDynCtlFormForDept::chosenName() const
{
    const int field = fieldIndex(QStringLiteral("Name"));
    return field < 0 ? QString() : m_editors[field].text;
}

void CDlgDynCtlFormForDept::refreshPickers()
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (!m_editors[i].nodes.isEmpty() || m_editors[i].kind != EditorKind::Line)
            m_editors[i].nodes = createEditor(m_fields[i]).nodes;
}

bool CDlgDynCtlFormForDept::save()
{
    m_focusField = -1;
    const core::Catalog catalog(m_app.database());
    const QString name = chosenName();
    if (m_addMode || name != m_nameAtOpening) {
        if (catalog.integer(QStringLiteral("SELECT COUNT(*) FROM qp_Dept WHERE Name='%1'")
                                .arg(core::sqlEscape(name))) > 0) {
            showMessage(QStringLiteral("错误：该部门已存在!"), fieldIndex(QStringLiteral("Name")));
            return false;
        }
    }
    const int parent = chosenParent();
    if (!m_addMode &&
        catalog.integer(QStringLiteral("SELECT COUNT(*) FROM qp_Dept WHERE (DID IN (SELECT DID "
                                       "FROM qp_Dept WHERE (CHARINDEX('|%1|',ParentArr)>0))) "
                                       "AND (DID=%2)")
                            .arg(m_recordId)
                            .arg(parent)) > 0) {
        showMessage(QStringLiteral("错误：上级部门不能是其本身或其原下级部门!"),
                    fieldIndex(QStringLiteral("ParentID")));
        return false;
    }
    const bool added = m_addMode;
    if (!saveRecord())
        return false;

    const int did = m_recordId;
    DeptTree tree(m_app.database());
    if (added) {
        // A new department goes after its siblings; renumbering then closes the gaps.
        m_app.database().Execute(
            QStringLiteral("UPDATE qp_Dept SET Ord=(SELECT MAX(Ord)+1 FROM qp_Dept) WHERE DID=%1")
                .arg(did));
        tree.setParent(did, parent);
        tree.renumberOrder();
    } else if (parent != m_parentAtOpening) {
        if (!tree.setParent(did, parent))
            m_prompter.message(QStringLiteral("在调整上级部门时出现异常!"), core::promptCaption(),
                               core::Prompter::Icon::Error);
        else
            m_parentAtOpening = parent;
        tree.renumberOrder();
    }
    core::AddSystemLog(m_app,
                       QStringLiteral("系统管理[组织机构%1'%2']")
                           .arg(added ? QStringLiteral("新增") : QStringLiteral("修改"), name));
    m_nameAtOpening = name;
    if (onSaved)
        onSaved(did);
    if (added) {
        refreshPickers();
        clearForNext();
    }
    return true;
}

} // namespace orvane::personnel
