#include "personnel/cdlgdeptmanager.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqlbuilder.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "personnel/cdlgdeptmergemove.h"
#include "personnel/cdlgdynctlformfordept.h"
#include "personnel/depttree.h"
#include "personnel/rowlist.h"

namespace orvane::personnel {

namespace {

constexpr int kMaxDepth = 64;

const core::TreeRow* findIn(const QList<core::TreeRow>& rows, int column, int did)
{
    for (const core::TreeRow& row : rows) {
        if (row.cells.value(column).toInt() == did)
            return &row;
        if (const core::TreeRow* below = findIn(row.children, column, did))
            return below;
    }
    return nullptr;
}

} // namespace

void CDlgDeptManager::listDepthFirst(const QList<core::TreeRow>& rows,
                                     QList<QVariantList>& out) const
{
    for (const core::TreeRow& row : rows) {
        out.append({row.cells.value(m_didColumn)});
        listDepthFirst(row.children, out);
    }
}

CDlgDeptManager::CDlgDeptManager(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

bool CDlgDeptManager::readColumns()
{
    const core::Catalog catalog(m_app.database());
    db::CADORecordset nameRs(&m_app.database());
    QString nameAlias = QStringLiteral("部门名称");
    int nameWidth = 150;
    if (nameRs.Open(QStringLiteral("SELECT [Alias],iWid FROM qp_Items WHERE "
                                   "UPPER(TblName)='QP_DEPT' AND UPPER(Name)='NAME'")) &&
        !nameRs.IsEOF()) {
        nameAlias = nameRs.GetFieldString(QStringLiteral("Alias"));
        nameWidth = nameRs.GetFieldInt(QStringLiteral("iWid"));
    }
    m_columns = {{nameAlias, nameWidth, false}};
    m_select = QStringLiteral("Name AS ") + core::SqlBuilder::bracketed(nameAlias);

    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("SELECT [Name],[Alias],iWid FROM qp_Items WHERE "
                                "(UPPER(TblName)='QP_DEPT' AND (UPPER(Name)<>'NAME' AND "
                                "UPPER(Name)<>'PARENTID')) ORDER BY Ord")))
        return false;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const QString alias = rs.GetFieldString(QStringLiteral("Alias"));
        m_select += QLatin1Char(',') +
                    core::SqlBuilder::bracketed(rs.GetFieldString(QStringLiteral("Name"))) +
                    QStringLiteral(" AS ") + core::SqlBuilder::bracketed(alias);
        m_columns.append({alias, rs.GetFieldInt(QStringLiteral("iWid")), false});
    }
    m_select += QStringLiteral(",DID,ParentID,Ord");
    m_didColumn = int(m_columns.size());
    m_parentColumn = m_didColumn + 1;
    m_ordColumn = m_didColumn + 2;
    m_columns.append({QStringLiteral("DID"), 0, true});
    m_columns.append({QStringLiteral("ParentID"), 0, true});
    m_columns.append({QStringLiteral("Ord"), 0, true});

    // The empty result only confirms that the select list works on the table.
    db::CADORecordset shape(&m_app.database());
    return shape.Open(QStringLiteral("SELECT %1 FROM qp_Dept WHERE ParentID=-1").arg(m_select));
}

QList<core::TreeRow> CDlgDeptManager::readLevel(int parentId, int depth, bool& ok)
{
    QList<core::TreeRow> level;
    if (depth > kMaxDepth)
        return level;
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("SELECT %1 FROM qp_Dept WHERE ParentID=%2 ORDER BY Ord")
                     .arg(m_select)
                     .arg(parentId))) {
        ok = false;
        return level;
    }
    const DeptTree tree(m_app.database());
    for (; !rs.IsEOF(); rs.MoveNext()) {
        core::TreeRow row;
        for (int c = 0; c < rs.GetFieldCount(); ++c) {
            QVariant value;
            rs.GetFieldValue(c, value);
            row.cells << value;
        }
        const int did = row.cells.value(m_didColumn).toInt();
        if (did != parentId && tree.childCount(did) > 0)
            row.children = readLevel(did, depth + 1, ok);
        level.append(row);
    }
    return level;
}

bool CDlgDeptManager::refresh()
{
    bool ok = readColumns();
    m_rows = ok ? readLevel(0, 0, ok) : QList<core::TreeRow>{};
    if (!ok)
        m_prompter.message(QStringLiteral("打开数据库出错!"), core::promptCaption(),
                           core::Prompter::Icon::Error);
    if (!findRow(m_current))
        m_current = 0;
    return ok;
}

const core::TreeRow* CDlgDeptManager::findRow(int did) const
{
    return did > 0 ? findIn(m_rows, m_didColumn, did) : nullptr;
}

QString CDlgDeptManager::currentName() const
{
    const core::TreeRow* row = findRow(m_current);
    return row ? row->cells.value(0).toString() : QString();
}

bool CDlgDeptManager::requireSelection()
{
    if (findRow(m_current))
        return true;
    m_prompter.message(QStringLiteral("请选择项！"), core::promptCaption(),
                       core::Prompter::Icon::Warning);
    return false;
}

bool CDlgDeptManager::reloadAfterChange(int select)
{
    m_current = select;
    return refresh();
}

bool CDlgDeptManager::addDepartment()
{
    CDlgDynCtlFormForDept form(m_app, m_prompter);
    form.setTitle(QStringLiteral("添加部门"));
    form.setAddMode();
    bool changed = false;
    form.onSaved = [this, &changed](int did) {
        changed = true;
        reloadAfterChange(did);
    };
    if (!form.build())
        return false;
    if (runForm)
        runForm(form);
    return changed;
}

bool CDlgDeptManager::editDepartment()
{
    if (!requireSelection())
        return false;
    CDlgDynCtlFormForDept form(m_app, m_prompter);
    form.setTitle(QStringLiteral("部门设置"));
    form.setEditMode(m_current);
    // The form steps through the departments in the grid's order (depth first).
    RowList steps;
    QList<QVariantList> order;
    listDepthFirst(m_rows, order);
    steps.setRows(order);
    steps.setCurrentRow(steps.find(0, m_current));
    form.setOwnerGrid(&steps, 0);
    bool changed = false;
    form.onSaved = [this, &changed](int did) {
        changed = true;
        reloadAfterChange(did);
    };
    if (!form.build()) {
        if (form.closeRequested())
            refresh();
        return form.closeRequested();
    }
    if (runForm)
        runForm(form);
    if (steps.currentRow() >= 0 && findRow(steps.cellInt(steps.currentRow(), 0)))
        m_current = steps.cellInt(steps.currentRow(), 0);
    return changed;
}

bool CDlgDeptManager::deleteDepartment()
{
    if (!requireSelection())
        return false;
    const int did = m_current;
    const QString name = currentName();
    const DeptTree tree(m_app.database());
    const core::Catalog catalog(m_app.database());
    const auto warn = [this](const QString& text) {
        m_prompter.message(text, core::promptCaption(), core::Prompter::Icon::Warning);
        return false;
    };
    if (tree.childCount(did) > 0)
        return warn(QStringLiteral("该部门下有下级部门,不能删除!"));
    const int persons = catalog.integer(QStringLiteral("qp_GetPsnCountsByDeptID %1").arg(did));
    if (persons > 0)
        return warn(QStringLiteral("该部门下还有 %1 个人员!").arg(persons));
    if (m_prompter.askYesNo(QStringLiteral("确定要删除部门 %1 吗?").arg(name),
                            core::promptCaption(),
                            core::Prompter::Icon::Question) != core::Prompter::Answer::Yes)
        return false;
    if (!m_app.database().Execute(QStringLiteral("qp_DeleteDeptByID %1").arg(did))) {
        m_prompter.message(m_app.database().GetErrorDescription(), core::promptCaption(),
                           core::Prompter::Icon::Error);
        return false;
    }
    core::AddSystemLog(m_app, QStringLiteral("系统管理[组织机构删除'%1']").arg(name));
    DeptTree(m_app.database()).renumberOrder();
    return reloadAfterChange(0);
}

bool CDlgDeptManager::mergeDepartment()
{
    if (!requireSelection())
        return false;
    const int source = m_current;
    const QString sourceName = currentName();
    CDlgDeptMergeMove dialog(m_app, m_prompter, CDlgDeptMergeMove::Purpose::Merge, source,
                             sourceName);
    if (!runTarget || !runTarget(dialog))
        return false;
    const int target = dialog.target();
    const core::Catalog catalog(m_app.database());
    if (!catalog.confirmRowExists(m_prompter, QStringLiteral("qp_Dept"),
                                  QStringLiteral("DID=%1").arg(source)))
        return false;
    if (m_prompter.askYesNo(
            QStringLiteral("确定要合并部门 '%1' 到 '%2' 吗?").arg(sourceName, dialog.targetName()),
            core::promptCaption(), core::Prompter::Icon::Question) != core::Prompter::Answer::Yes)
        return false;
    DeptTree tree(m_app.database());
    const QString targetPath = tree.path(target);
    if (!m_app.database().Execute(QStringLiteral("DELETE FROM qp_Dept WHERE DID=%1").arg(source))) {
        m_prompter.message(m_app.database().GetErrorDescription(), core::promptCaption(),
                           core::Prompter::Icon::Error);
        return false;
    }
    tree.rebuildDescendants(source, targetPath, target);
    tree.movePersons(source, target);
    core::AddSystemLog(
        m_app,
        QStringLiteral("系统管理[组织机构合并('%1'->'%2')]").arg(sourceName, dialog.targetName()));
    tree.renumberOrder();
    return reloadAfterChange(target);
}

bool CDlgDeptManager::moveDepartment()
{
    if (!requireSelection())
        return false;
    const int source = m_current;
    const QString sourceName = currentName();
    CDlgDeptMergeMove dialog(m_app, m_prompter, CDlgDeptMergeMove::Purpose::Move, source,
                             sourceName);
    if (!runTarget || !runTarget(dialog))
        return false;
    const int parent = dialog.target();
    const core::Catalog catalog(m_app.database());
    if (!catalog.confirmRowExists(m_prompter, QStringLiteral("qp_Dept"),
                                  QStringLiteral("DID=%1").arg(source)))
        return false;
    if (m_prompter.askYesNo(
            QStringLiteral("确定要移动部门 '%1' 到 '%2' 吗?").arg(sourceName, dialog.targetName()),
            core::promptCaption(), core::Prompter::Icon::Question) != core::Prompter::Answer::Yes)
        return false;
    DeptTree tree(m_app.database());
    if (!tree.setParent(source, parent)) {
        m_prompter.message(QStringLiteral("在调整上级部门时出现异常!"), core::promptCaption(),
                           core::Prompter::Icon::Error);
        return false;
    }
    core::AddSystemLog(
        m_app,
        QStringLiteral("系统管理[组织机构移动('%1'->'%2')]").arg(sourceName, dialog.targetName()));
    tree.renumberOrder();
    return reloadAfterChange(source);
}

QList<core::TreeRow>* CDlgDeptManager::siblingsOf(int did, QList<core::TreeRow>& level, int* index)
{
    for (int i = 0; i < level.size(); ++i) {
        if (level[i].cells.value(m_didColumn).toInt() == did) {
            *index = i;
            return &level;
        }
        if (QList<core::TreeRow>* found = siblingsOf(did, level[i].children, index))
            return found;
    }
    return nullptr;
}

bool CDlgDeptManager::swapWithSibling(int offset)
{
    if (!requireSelection())
        return false;
    int index = -1;
    QList<core::TreeRow>* siblings = siblingsOf(m_current, m_rows, &index);
    const int other = index + offset;
    if (!siblings || other < 0 || other >= siblings->size())
        return false;
    core::TreeRow& moved = (*siblings)[index];
    core::TreeRow& neighbour = (*siblings)[other];
    const int movedOrd = neighbour.cells.value(m_ordColumn).toInt();
    const int neighbourOrd = moved.cells.value(m_ordColumn).toInt();
    if (!m_app.database().Execute(QStringLiteral("EXEC qp_SwapDeptOrder %1,%2,%3,%4")
                                      .arg(moved.cells.value(m_didColumn).toInt())
                                      .arg(movedOrd)
                                      .arg(neighbour.cells.value(m_didColumn).toInt())
                                      .arg(neighbourOrd)))
        return false;
    moved.cells[m_ordColumn] = movedOrd;
    neighbour.cells[m_ordColumn] = neighbourOrd;
    siblings->swapItemsAt(index, other);
    m_orderChanged = true;
    core::AddSystemLog(m_app, QStringLiteral("系统管理[组织机构调序'%1']").arg(currentName()));
    return true;
}

bool CDlgDeptManager::columnResized(const QString& caption, int width)
{
    return m_app.database().Execute(QStringLiteral("UPDATE qp_Items SET [iWid]=%1 WHERE "
                                                   "UPPER(TblName)='QP_DEPT' AND [Alias]='%2'")
                                        .arg(width)
                                        .arg(core::sqlEscape(caption)));
}

void CDlgDeptManager::close()
{
    if (m_orderChanged)
        DeptTree(m_app.database()).renumberOrder();
    m_orderChanged = false;
}

} // namespace orvane::personnel
