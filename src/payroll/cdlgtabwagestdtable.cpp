#include "payroll/cdlgtabwagestdtable.h"

#include "payroll/cdlgwagestdtable.h"
#include "payroll/wagesorts.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "core/systemlog.h"

#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

#include <QLocale>

namespace orvane::payroll {

using core::Prompter;
using core::sqlEscape;

namespace {

// "]" doubled so that a title can stand between brackets as a column alias.
QString alias(const QString& title)
{
    QString out = title;
    out.replace(QLatin1Char(']'), QStringLiteral("]]"));
    return out;
}

} // namespace

CDlgTabWageStdTable::CDlgTabWageStdTable(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

void CDlgTabWageStdTable::setSort(int sortId, bool force)
{
    if (sortId == m_sortId && !force)
        return;
    m_sortId = sortId;
    m_tables.clear();
    refresh();
}

bool CDlgTabWageStdTable::refresh()
{
    const bool ok =
        m_sortId > 0 &&
        m_tables.load(m_app.database(),
                      QStringLiteral("EXEC qp_SelectWageSetStdTableByID %1").arg(m_sortId));
    loadAmounts();
    return ok;
}

QString CDlgTabWageStdTable::sortTitle() const
{
    return core::Catalog(m_app.database()).wageSortTitle(m_sortId);
}

void CDlgTabWageStdTable::warn(const QString& text)
{
    m_prompter.message(text, core::promptCaption(), Prompter::Icon::Warning);
}

bool CDlgTabWageStdTable::loadAmounts()
{
    m_amounts = db::ResultSet();
    m_amountColumns.clear();
    m_dataTable.clear();
    const int id = m_tables.currentKey();
    if (id == 0)
        return false;
    db::CADODatabase& database = m_app.database();
    db::CADORecordset def(&database);
    if (!def.Open(QStringLiteral("SELECT STDDim,STDTable,DictRow,DictCol FROM qp_WageStdTable "
                                 "WHERE id=%1")
                      .arg(id)) ||
        def.IsEOF())
        return false;
    const QString table = def.GetFieldString(QStringLiteral("STDTable"));
    const QString dictRow = def.GetFieldString(QStringLiteral("DictRow"));
    const QString dictCol = def.GetFieldString(QStringLiteral("DictCol"));
    const core::Catalog catalog(database);
    const QString rowTitle = catalog.text(
        QStringLiteral("SELECT Title FROM qp_Dict WHERE DictId='%1'").arg(sqlEscape(dictRow)));
    QString sql;
    if (def.GetFieldInt(QStringLiteral("STDDim")) != 2) {
        sql = QStringLiteral("SELECT %1.id,qp_DictItem.Title AS [%2], %1.Jine AS 金额 FROM %1 "
                             "INNER JOIN qp_DictItem ON %1.DictValue = qp_DictItem.DictValue WHERE "
                             "(qp_DictItem.DictId = '%3') ORDER BY %1.DictValue")
                  .arg(table, alias(rowTitle), sqlEscape(dictRow));
        m_amountColumns << QStringLiteral("Jine");
    } else {
        QString columns = QStringLiteral("qp_DictItem.Title AS [%1]").arg(alias(rowTitle));
        db::CADORecordset cols(&database);
        if (cols.Open(QStringLiteral("SELECT qp_DictItem.Title,qp_WageStdTblItem.DictValue FROM "
                                     "qp_WageStdTblItem INNER JOIN qp_DictItem ON "
                                     "qp_WageStdTblItem.DictValue = qp_DictItem.DictValue WHERE "
                                     "(qp_DictItem.DictId = '%1') AND (qp_WageStdTblItem.StdID "
                                     "=%2) ORDER BY qp_WageStdTblItem.DictValue")
                          .arg(sqlEscape(dictCol))
                          .arg(id))) {
            for (; !cols.IsEOF(); cols.MoveNext()) {
                const QString code = cols.GetFieldString(QStringLiteral("DictValue"));
                columns += QStringLiteral(",c%1 AS [%2]")
                               .arg(code, alias(cols.GetFieldString(QStringLiteral("Title"))));
                m_amountColumns << QStringLiteral("c") + code;
            }
        }
        sql = QStringLiteral("SELECT %1.id,%2 FROM %1 INNER JOIN qp_DictItem ON %1.DictValue = "
                             "qp_DictItem.DictValue WHERE (qp_DictItem.DictId = '%3') ORDER BY "
                             "%1.DictValue")
                  .arg(table, columns, sqlEscape(dictRow));
    }
    OrderedList grid;
    if (!grid.load(database, sql))
        return false;
    m_amounts = grid.rows();
    m_dataTable = table;
    return true;
}

bool CDlgTabWageStdTable::isAmountColumn(int column) const
{
    return column >= 2 && column - 2 < m_amountColumns.size();
}

bool CDlgTabWageStdTable::setAmount(int row, int column, const QString& text)
{
    if (row < 0 || row >= m_amounts.rowCount() || !isAmountColumn(column))
        return false;
    bool ok = false;
    QString typed = text.trimmed();
    typed.remove(QLatin1Char(','));
    double amount = typed.isEmpty() ? 0.0 : typed.toDouble(&ok);
    if (typed.isEmpty())
        ok = true;
    if (!ok)
        amount = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok) {
        warn(QStringLiteral("金额“%1”不是有效的数字!").arg(text.trimmed()));
        return false;
    }
    const int stdId = m_tables.currentKey();
    const core::Catalog catalog(m_app.database());
    if (!catalog.confirmRowExists(m_prompter, QStringLiteral("qp_WageStdTable"),
                                  QStringLiteral("[id]=%1").arg(stdId)))
        return false;
    const QString value = QString::number(amount, 'f', 2);
    if (!m_app.database().Execute(QStringLiteral("UPDATE [%1] SET [%2]=%3 WHERE id=%4")
                                      .arg(m_dataTable, m_amountColumns[column - 2], value)
                                      .arg(m_amounts.at(row, 0).toInt()))) {
        m_prompter.message(m_app.database().GetErrorDescription(), core::promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    m_amounts.at(row, column) = amount;
    core::AddSystemLog(
        m_app,
        QStringLiteral("薪资管理[修改薪资类别'%1'薪资标准表'%2'表项值('%3->%4:%5')]")
            .arg(sortTitle(), m_tables.currentValue(QStringLiteral("名称")).toString(),
                 m_amounts.at(row, 1).toString(), m_amounts.columns[size_t(column)].name, value));
    return true;
}

bool CDlgTabWageStdTable::newTable()
{
    if (m_sortId <= 0) {
        warn(WageSorts::chooseSortMessage());
        return false;
    }
    CDlgWageStdTable editor(m_app, m_prompter, m_sortId);
    if (!runEditor || !runEditor(editor))
        return false;
    refresh();
    m_tables.selectKey(editor.stdId());
    loadAmounts();
    return true;
}

bool CDlgTabWageStdTable::changeTable()
{
    if (m_tables.currentRow() < 0) {
        warn(QStringLiteral("请选择标准表!"));
        return false;
    }
    CDlgWageStdTable editor(m_app, m_prompter, m_sortId, m_tables.currentKey());
    const bool changed = runEditor && runEditor(editor);
    // Code ticks are written at once, so the amounts are reloaded even after Cancel.
    refresh();
    return changed;
}

bool CDlgTabWageStdTable::deleteTable()
{
    if (m_tables.currentRow() < 0) {
        warn(QStringLiteral("请选择标准表!"));
        return false;
    }
    const int id = m_tables.currentKey();
    const QString name = m_tables.currentValue(QStringLiteral("名称")).toString();
    const QString user = core::Catalog(m_app.database())
                             .text(QStringLiteral("SELECT Alias FROM qp_Items WHERE iSort=1 AND "
                                                  "iProperty=2 AND StdTblID=%1")
                                       .arg(id));
    if (!user.isEmpty()) {
        warn(QStringLiteral("该标准表已被项目'%1'引用!").arg(user));
        return false;
    }
    if (m_prompter.askYesNo(QStringLiteral("确定要删除标准表'%1'吗?").arg(name),
                            core::promptCaption(),
                            Prompter::Icon::Warning) != Prompter::Answer::Yes)
        return false;
    if (!m_app.database().Execute(QStringLiteral("qp_DelStdTableByID %1").arg(id))) {
        m_prompter.message(m_app.database().GetErrorDescription(), core::promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    core::AddSystemLog(
        m_app, QStringLiteral("薪资管理[薪资类别'%1'删除薪资标准表'%2']").arg(sortTitle(), name));
    refresh();
    return true;
}

bool CDlgTabWageStdTable::moveTable(core::RowOrder::Direction direction)
{
    if (m_tables.currentRow() < 0) {
        warn(WageSorts::chooseItemMessage());
        return false;
    }
    if (!m_tables.move(
            m_app.database(), direction,
            {0, 1, QStringLiteral("qp_WageStdTable"), QStringLiteral("id"), QStringLiteral("Ord")}))
        return false;
    core::AddSystemLog(m_app,
                       QStringLiteral("薪资管理[薪资类别'%1'薪资标准表调序]").arg(sortTitle()));
    return true;
}

} // namespace orvane::payroll
