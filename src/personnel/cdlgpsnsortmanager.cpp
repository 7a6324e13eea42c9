#include "personnel/cdlgpsnsortmanager.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/roworder.h"
#include "core/sqlbuilder.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "personnel/cdlgdynctlformforpsnsort.h"

namespace orvane::personnel {

CDlgPsnSortManager::CDlgPsnSortManager(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

bool CDlgPsnSortManager::reload()
{
    const int current =
        m_rows.currentRow() >= 0 ? m_rows.cellInt(m_rows.currentRow(), m_aidColumn) : 0;
    m_columns.clear();
    QStringList select;
    db::CADORecordset columns(&m_app.database());
    bool ok = columns.Open(QStringLiteral("SELECT [Name],[Alias],iWid FROM qp_Items WHERE "
                                          "UPPER(TblName)='QP_PSNSORT' ORDER BY Ord"));
    for (; ok && !columns.IsEOF(); columns.MoveNext()) {
        const QString alias = columns.GetFieldString(QStringLiteral("Alias"));
        select << core::SqlBuilder::bracketed(columns.GetFieldString(QStringLiteral("Name"))) +
                      QStringLiteral(" AS ") + core::SqlBuilder::bracketed(alias);
        m_columns.append({alias, columns.GetFieldInt(QStringLiteral("iWid")), false});
    }
    select << QStringLiteral("AID") << QStringLiteral("Ord");
    m_aidColumn = int(m_columns.size());
    m_ordColumn = m_aidColumn + 1;
    m_columns.append({QStringLiteral("AID"), 0, true});
    m_columns.append({QStringLiteral("Ord"), 0, true});
    m_select = select.join(QLatin1Char(','));

    QList<QVariantList> rows;
    db::CADORecordset rs(&m_app.database());
    ok = ok && rs.Open(QStringLiteral("SELECT %1 FROM qp_PsnSort ORDER BY Ord").arg(m_select));
    for (; ok && !rs.IsEOF(); rs.MoveNext()) {
        QVariantList cells;
        for (int c = 0; c < rs.GetFieldCount(); ++c) {
            QVariant value;
            rs.GetFieldValue(c, value);
            cells << value;
        }
        rows << cells;
    }
    m_rows.setRows(rows);
    selectAid(current);
    if (!ok)
        m_prompter.message(QStringLiteral("打开数据库出错!"), core::promptCaption(),
                           core::Prompter::Icon::Error);
    return ok;
}

void CDlgPsnSortManager::selectAid(int aid)
{
    m_rows.setCurrentRow(aid > 0 ? m_rows.find(m_aidColumn, aid) : -1);
}

bool CDlgPsnSortManager::refresh()
{
    db::CADORecordset rs(&m_app.database());
    if (rs.Open(QStringLiteral("SELECT AID,Ord FROM qp_PsnSort ORDER BY ord"))) {
        int ord = 1;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            if (!rs.Edit() || !rs.SetFieldValue(QStringLiteral("Ord"), ord++) || !rs.Update())
                break;
        }
    }
    return reload();
}

bool CDlgPsnSortManager::requireSelection()
{
    if (m_rows.currentRow() >= 0)
        return true;
    m_prompter.message(QStringLiteral("请选择项！"), core::promptCaption(),
                       core::Prompter::Icon::Warning);
    return false;
}

bool CDlgPsnSortManager::openForm(bool add)
{
    CDlgDynCtlFormForPsnSort form(m_app, m_prompter);
    if (add) {
        form.setTitle(QStringLiteral("添加类别"));
        form.setAddMode();
    } else {
        form.setTitle(QStringLiteral("类别设置"));
        form.setEditMode(m_rows.cellInt(m_rows.currentRow(), m_aidColumn));
        form.setOwnerGrid(&m_rows, m_aidColumn);
    }
    bool changed = false;
    form.onSaved = [this, &changed](int aid) {
        changed = true;
        m_rows.setCurrentRow(-1);
        reload();
        selectAid(aid);
    };
    if (!form.build()) {
        if (form.closeRequested())
            reload();
        return form.closeRequested();
    }
    if (runForm)
        runForm(form);
    return changed;
}

bool CDlgPsnSortManager::newCategory()
{
    return openForm(true);
}

bool CDlgPsnSortManager::editCategory()
{
    return requireSelection() && openForm(false);
}

bool CDlgPsnSortManager::deleteCategory()
{
    if (!requireSelection())
        return false;
    const int aid = m_rows.cellInt(m_rows.currentRow(), m_aidColumn);
    const QString name = m_rows.row(m_rows.currentRow()).value(0).toString();
    const int persons = core::Catalog(m_app.database())
                            .integer(QStringLiteral("qp_GetPsnCountsBySortID %1").arg(aid));
    if (persons > 0) {
        m_prompter.message(QStringLiteral("该类别下还有 %1 个人员!").arg(persons),
                           core::promptCaption(), core::Prompter::Icon::Warning);
        return false;
    }
    if (m_prompter.askYesNo(QStringLiteral("确定要删除'%1'吗?").arg(name), core::promptCaption(),
                            core::Prompter::Icon::Warning) != core::Prompter::Answer::Yes)
        return false;
    if (!m_app.database().Execute(QStringLiteral("qp_DeletePsnSortByID %1").arg(aid))) {
        m_prompter.message(m_app.database().GetErrorDescription(), core::promptCaption(),
                           core::Prompter::Icon::Error);
        return false;
    }
    core::AddSystemLog(m_app, QStringLiteral("系统管理[人员类别删除'%1']").arg(name));
    m_rows.setCurrentRow(-1);
    return reload();
}

bool CDlgPsnSortManager::move(bool up)
{
    if (!requireSelection())
        return false;
    const core::OrderColumns columns{m_aidColumn, m_ordColumn, QStringLiteral("qp_PsnSort"),
                                     QStringLiteral("AID"), QStringLiteral("Ord")};
    if (!core::RowOrder::moveGridRow(
            m_app.database(), m_rows,
            up ? core::RowOrder::Direction::Up : core::RowOrder::Direction::Down, columns))
        return false;
    core::AddSystemLog(m_app, QStringLiteral("系统管理[人员类别调序]"));
    return true;
}

bool CDlgPsnSortManager::moveUp()
{
    return move(true);
}

bool CDlgPsnSortManager::moveDown()
{
    return move(false);
}

bool CDlgPsnSortManager::columnResized(const QString& caption, int width)
{
    return m_app.database().Execute(QStringLiteral("UPDATE qp_Items SET [iWid]=%1 WHERE "
                                                   "UPPER(TblName)='QP_PSNSORT' AND [Alias]='%2'")
                                        .arg(width)
                                        .arg(core::sqlEscape(caption)));
}

} // namespace orvane::personnel
