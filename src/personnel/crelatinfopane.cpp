#include "personnel/crelatinfopane.h"

#include "core/apphelpers.h"
#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqlbuilder.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/excelexport.h"
#include "personnel/cdlgdynctlformforrelatarc.h"

namespace orvane::personnel {

using core::GridColumn;

CRelatInfoPane::CRelatInfoPane(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter), m_command(app, prompter), m_rows(&app.database())
{
}

void CRelatInfoPane::loadTabs()
{
    m_tabs.clear();
    m_sorts.clear();
    db::CADORecordset rs(&m_app.database());
    if (rs.Open(QStringLiteral(
            "SELECT ID,TblName,Title FROM qp_Table WHERE nType=5 AND bShow=1 ORDER BY Ord"))) {
        for (; !rs.IsEOF(); rs.MoveNext()) {
            m_tabs << RelatedTab{rs.GetFieldInt(QStringLiteral("ID")),
                                 rs.GetFieldString(QStringLiteral("TblName")),
                                 rs.GetFieldString(QStringLiteral("Title"))};
        }
    }
    m_tabs << RelatedTab{0, QString(), QStringLiteral("薪资情况")};
    if (rs.Open(QStringLiteral("SELECT ID,Title FROM qp_Table WHERE nType=6 ORDER BY Ord"))) {
        for (; !rs.IsEOF(); rs.MoveNext())
            m_sorts.append(
                {rs.GetFieldInt(QStringLiteral("ID")), rs.GetFieldString(QStringLiteral("Title"))});
    }
    if (m_sort == 0 && !m_sorts.isEmpty())
        m_sort = m_sorts.first().first;
    m_current = -1;
    setCurrentTab(0);
}

void CRelatInfoPane::setPerson(const SelectedPerson& person)
{
    m_person = person;
    reload();
}

bool CRelatInfoPane::setCurrentTab(int tab)
{
    m_current = (tab >= 0 && tab < m_tabs.size()) ? tab : -1;
    return reload();
}

void CRelatInfoPane::setWageSort(int sortId)
{
    m_sort = sortId;
    if (m_current >= 0 && m_tabs.at(m_current).isWageHistory())
        reload();
}

int CRelatInfoPane::rowCount() const
{
    return m_rows.IsOpen() ? m_rows.resultSet().rowCount() : 0;
}

bool CRelatInfoPane::isReadOnly() const
{
    return m_current < 0 || m_tabs.at(m_current).isWageHistory();
}

QString CRelatInfoPane::tabTitle() const
{
    if (m_current < 0)
        return QString();
    if (!m_tabs.at(m_current).isWageHistory())
        return m_tabs.at(m_current).title;
    return core::Catalog(m_app.database())
        .text(QStringLiteral("SELECT Title FROM qp_Table WHERE nType=6 AND ID=%1").arg(m_sort));
}

QString CRelatInfoPane::rowQuery() const
{
    const RelatedTab& tab = m_tabs.at(m_current);
    if (!tab.isWageHistory()) {
        return QStringLiteral("SELECT ID,%1,Ord FROM %2 WHERE PID=%3 ORDER BY Ord")
            .arg(m_columnList, tab.table)
            .arg(m_person.pid);
    }
    const QString table = core::Catalog(m_app.database())
                              .text(QStringLiteral("SELECT TblName FROM qp_Table WHERE nType=6 "
                                                   "AND ID=%1")
                                        .arg(m_sort));
    return QStringLiteral("SELECT qp_PsnBase.PID,fDate AS 薪资期间 %1 FROM [%2] INNER JOIN "
                          "qp_PsnBase ON [%2].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON "
                          "[%2].DID = qp_Dept.DID WHERE [%2].PID=%3 ORDER BY fDate DESC")
        .arg(m_columnList, table)
        .arg(m_person.pid);
}

bool CRelatInfoPane::reload()
{
    m_columns.clear();
    m_columnList.clear();
    if (m_current < 0 || !m_person.isValid()) {
        m_rows.Close();
        return true;
    }
    const RelatedTab& tab = m_tabs.at(m_current);
    GridColumn key;
    key.field = tab.isWageHistory() ? QStringLiteral("PID") : QStringLiteral("ID");
    key.caption = key.field;
    key.visible = false;
    m_columns << key;
    if (tab.isWageHistory()) {
        GridColumn month;
        month.field = QStringLiteral("fDate");
        month.caption = QStringLiteral("薪资期间");
        m_columns << month;
    }
    const QString table =
        tab.isWageHistory() ? core::Catalog(m_app.database()).wageSortTable(m_sort) : tab.table;
    if (tab.isWageHistory() && table.isEmpty()) {
        m_rows.Close();
        return true; // no wage sort yet
    }
    db::CADORecordset fields(&m_app.database());
    if (fields.Open(QStringLiteral("SELECT [Name],[Alias],iWid,iDataType FROM qp_Items WHERE "
                                   "UPPER(TblName)='%1' ORDER BY Ord")
                        .arg(core::sqlEscape(table.toUpper())))) {
        QStringList items;
        for (; !fields.IsEOF(); fields.MoveNext()) {
            GridColumn column;
            column.field = fields.GetFieldString(QStringLiteral("Name"));
            column.caption = fields.GetFieldString(QStringLiteral("Alias"));
            column.width = fields.GetFieldInt(QStringLiteral("iWid"));
            column.dataType = fields.GetFieldInt(QStringLiteral("iDataType"));
            items << column.field + QStringLiteral(" AS ") +
                         core::SqlBuilder::bracketed(column.caption);
            m_columns << column;
        }
        m_columnList = tab.isWageHistory() && !items.isEmpty()
                           ? QLatin1Char(',') + items.join(QLatin1Char(','))
                           : items.join(QLatin1Char(','));
    }
    if (!tab.isWageHistory()) {
        if (m_columnList.isEmpty())
            m_columnList = QStringLiteral("PID"); // a table without fields yet
        GridColumn order;
        order.field = QStringLiteral("Ord");
        order.caption = order.field;
        order.visible = false;
        if (m_columns.size() == 1) {
            GridColumn pid;
            pid.field = QStringLiteral("PID");
            pid.visible = false;
            m_columns << pid;
        }
        m_columns << order;
    }
    if (!m_rows.Open(rowQuery())) {
        m_prompter.message(QStringLiteral("打开数据库出错!"), core::promptCaption(),
                           core::Prompter::Icon::Error);
        return false;
    }
    return true;
}

int CRelatInfoPane::keyAt(int row) const
{
    return (row >= 0 && row < rowCount()) ? rows().at(row, 0).toInt() : 0;
}

int CRelatInfoPane::rowOfKey(int id) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (keyAt(row) == id)
            return row;
    }
    return -1;
}

int CRelatInfoPane::runForm(int id)
{
    const RelatedTab tab = m_tabs.at(m_current);
    CDlgDynCtlFormForRelatArc form(m_app, m_prompter);
    form.setTable(tab.table, QStringLiteral("ID"));
    form.setPerson(m_person.pid, m_person.name, m_person.number);
    form.setTableTitle(tab.title);
    if (id > 0) {
        form.setTitle(tab.title + QStringLiteral("设置"));
        form.setEditMode(id);
    } else {
        form.setTitle(tab.title + QStringLiteral(" - 添加"));
        form.setAddMode();
    }
    int saved = 0;
    form.onSaved = [&saved](int row) { saved = row; };
    if (form.build() && runRecordForm)
        runRecordForm(form);
    reload();
    return saved;
}

int CRelatInfoPane::addRow()
{
    if (isReadOnly() || !m_command.checkChange(m_person))
        return 0;
    return runForm(0);
}

int CRelatInfoPane::editRow(int row)
{
    if (isReadOnly() || row < 0 || row >= rowCount() || !m_command.checkChange(m_person))
        return 0;
    return runForm(keyAt(row));
}

bool CRelatInfoPane::deleteRow(int row)
{
    if (isReadOnly() || row < 0 || row >= rowCount())
        return false;
    if (m_prompter.askYesNo(QStringLiteral("确定要删除该记录吗?"), core::promptCaption(),
                            core::Prompter::Icon::Question) != core::Prompter::Answer::Yes)
        return false;
    if (!m_command.checkChange(m_person))
        return false;
    const RelatedTab tab = m_tabs.at(m_current);
    if (!m_app.database().Execute(QStringLiteral("DELETE [%1] WHERE ID=%2 AND PID=%3")
                                      .arg(tab.table)
                                      .arg(keyAt(row))
                                      .arg(m_person.pid))) {
        m_command.error(m_app.database().GetLastErrorString());
        return false;
    }
    m_command.log(m_person, QStringLiteral("相关资料'%1'删除记录").arg(tab.title));
    reload();
    return true;
}

bool CRelatInfoPane::reorder()
{
    if (isReadOnly() || !m_command.checkChange(m_person))
        return false;
    const RelatedTab tab = m_tabs.at(m_current);
    core::CDlgResetOrder order(m_app.database(), m_prompter,
                               {rowQuery(),
                                QStringLiteral("qp_RefreshPsnRelatOrder '%1',%2")
                                    .arg(core::sqlEscape(tab.table))
                                    .arg(m_person.pid),
                                tab.table, QStringLiteral("ID"), QStringLiteral("Ord")});
    if (runOrderDialog)
        runOrderDialog(order);
    if (!order.changed())
        return false;
    m_command.log(m_person, QStringLiteral("相关资料'%1'调整顺序").arg(tab.title));
    reload();
    return true;
}

bool CRelatInfoPane::exportRows()
{
    if (m_current < 0 || !m_person.isValid() || !m_rows.IsOpen())
        return false;
    const QString path = core::askExportPath(m_prompter);
    if (path.isEmpty())
        return false;
    QString error;
    if (!db::ExportRecordsetToExcel(m_rows, path, &error)) {
        m_command.error(QStringLiteral("导出时出错!"));
        return false;
    }
    core::AddSystemLog(m_app, QStringLiteral("人员档案[相关资料数据导出:%1(%2)-'%3']")
                                  .arg(m_person.name, m_person.number, tabTitle()));
    return true;
}

void CRelatInfoPane::storeColumnWidth(int column, int width)
{
    if (m_current < 0 || m_tabs.at(m_current).isWageHistory() || column <= 0 ||
        column >= m_columns.size() || width <= 0)
        return;
    m_app.database().Execute(
        QStringLiteral("UPDATE qp_Items SET [iWid]=%1 WHERE UPPER(TblName)='%2' AND [Alias]='%3'")
            .arg(width)
            .arg(core::sqlEscape(m_tabs.at(m_current).table.toUpper()),
                 core::sqlEscape(m_columns.at(column).caption)));
}

} // namespace orvane::personnel
