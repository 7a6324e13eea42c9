#include "payroll/cviewwage.h"

#include "payroll/cdlgwagepsntable.h"
#include "payroll/wagescriptsession.h"

#include "core/apphelpers.h"
#include "core/catalog.h"
#include "core/cataloglists.h"
#include "core/cdlgbatchupdate.h"
#include "core/cdlgresetorder.h"
#include "core/corvaneapp.h"
#include "core/operatorrights.h"
#include "core/prompter.h"
#include "core/sqlbuilder.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/excelexport.h"

#include <QDate>
#include <QLocale>

namespace orvane::payroll {

using core::GridColumn;
using core::Prompter;

namespace {

// The caption of a personnel field of the grid's fixed columns ("编号", "姓名").
QString personnelCaption(const core::Catalog& catalog, const char* field, const QString& fallback)
{
    const QString caption = catalog.text(
        QStringLiteral("SELECT [Alias] FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' AND "
                       "UPPER([Name])='%1'")
            .arg(QLatin1String(field)));
    return caption.isEmpty() ? fallback : caption;
}

QVariant cell(db::CADORecordset& rs, int index)
{
    QVariant value;
    rs.GetFieldValue(index, value);
    return value;
}

GridColumn hiddenColumn(const QString& field)
{
    GridColumn column;
    column.field = field;
    column.caption = field;
    column.dataType = GridColumn::Internal;
    column.visible = false;
    return column;
}

} // namespace

CViewWage::CViewWage(core::COrvaneApp& app, core::Prompter& prompter, int sortId, int fDate)
    : m_app(app), m_prompter(prompter), m_sortId(sortId), m_fDate(fDate), m_rows(app.database())
{
    m_filter.sortId = sortId;
    m_filter.fDate = fDate;
}

CViewWage::~CViewWage() = default;

QString CViewWage::monthText() const
{
    return core::monthText(m_fDate);
}

bool CViewWage::open()
{
    m_table = WageViewFilter::dataTable(m_app.database(), m_sortId);
    if (m_table.isEmpty()) {
        warn(QStringLiteral("选择的薪资帐套被删除！"));
        return false;
    }
    m_sortTitle = WageViewFilter::sortTitle(m_app.database(), m_sortId);
    setNavigation(0, 0);
    m_session = std::make_unique<WageScriptSession>(m_app.database(), script::WageContext{});
    m_session->reset();
    const bool loaded = refresh();
    publishContext();
    return loaded;
}

void CViewWage::setNavigation(int department, int category)
{
    m_filter.deptId = department;
    m_filter.categoryId = category;
}

bool CViewWage::refresh()
{
    if (m_table.isEmpty())
        return false;
    const core::OperatorRecord& op = m_app.currentOperator();
    m_filter.superOperator = op.ISuper;
    m_filter.permittedDepartments = op.purview.departments;
    m_where = m_filter.whereText(m_table);
    readStat();
    buildColumns();
    if (!loadRows())
        return false;
    loadTotals();
    return true;
}

QString CViewWage::fromWhere() const
{
    return WageViewFilter::fromClause(m_table) + m_where;
}

QString CViewWage::orderBy() const
{
    return QLatin1Char(' ') + WageViewFilter::orderBy(m_table);
}

QString CViewWage::selectionText() const
{
    return WageViewFilter::selectionText(m_where);
}

WageSelection CViewWage::selection() const
{
    return WageSelection{m_sortId,
                         m_fDate,
                         m_filter.deptId,
                         m_filter.categoryId,
                         m_filter.superOperator,
                         m_filter.permittedDepartments};
}

script::WageContext CViewWage::context() const
{
    script::WageContext context;
    context.operatorName = m_app.currentOperator().UserName.toStdString();
    context.sortId = m_sortId;
    context.sortTitle = m_sortTitle.toStdString();
    context.fDate = m_fDate;
    context.fromWhere = fromWhere().toStdString();
    return context;
}

void CViewWage::publishContext()
{
    if (m_session)
        m_session->context() = context();
}

bool CViewWage::wholeRowSelection() const
{
    return m_app.settings().wWholeRowSel() != 0;
}

void CViewWage::buildColumns()
{
    m_columns = {hiddenColumn(QStringLiteral("ID")), hiddenColumn(QStringLiteral("PID"))};
    const core::Catalog catalog(m_app.database());
    const QString numberCaption = personnelCaption(catalog, "NUMBER", QStringLiteral("编号"));
    const QString nameCaption = personnelCaption(catalog, "NAME", QStringLiteral("姓名"));
    for (const QString& caption : {numberCaption, nameCaption}) {
        GridColumn column;
        column.field = caption == numberCaption ? QStringLiteral("Number") : QStringLiteral("Name");
        column.caption = caption;
        column.width = 80;
        m_columns << column;
    }
    QString list = QStringLiteral("[%1].ID,qp_PsnBase.PID,qp_PsnBase.Number AS %2,qp_PsnBase.Name "
                                  "AS %3")
                       .arg(m_table, core::SqlBuilder::bracketed(numberCaption),
                            core::SqlBuilder::bracketed(nameCaption));
    db::CADORecordset items(&m_app.database());
    if (items.Open(QStringLiteral("SELECT ItemID,[name],[Alias],iDataType,iWid,iDec,iChoice,IdRef,"
                                  "bShow,ColFmt FROM qp_Items WHERE UPPER(TblName)='%1' ORDER BY "
                                  "Ord")
                       .arg(core::sqlEscape(m_table.toUpper())))) {
        const core::CatalogLists lists(m_app.database());
        for (; !items.IsEOF(); items.MoveNext()) {
            GridColumn column;
            column.field = items.GetFieldString(QStringLiteral("name"));
            column.caption = items.GetFieldString(QStringLiteral("Alias"));
            column.dataType = items.GetFieldInt(QStringLiteral("iDataType"));
            column.width = items.GetFieldInt(QStringLiteral("iWid"));
            column.decimals = items.GetFieldInt(QStringLiteral("iDec"));
            column.visible = items.GetFieldInt(QStringLiteral("bShow")) != 0;
            column.format = core::ColFmt::parse(items.GetFieldString(QStringLiteral("ColFmt")));
            // Reference items keep the dictionary's title; the editor offers the titles.
            if (column.dataType == GridColumn::Dictionary)
                column.choices =
                    lists.dictionaryTitles(items.GetFieldString(QStringLiteral("IdRef")));
            list += QStringLiteral(",[%1].[%2] AS %3")
                        .arg(m_table, column.field, core::SqlBuilder::bracketed(column.caption));
            m_columns << column;
        }
    }
    m_columnList = list;
    for (int c = kFixedColumns; c < m_columns.size(); ++c)
        m_columns[c].editable = canEditColumn(c);
}

bool CViewWage::loadRows()
{
    const QString from = WageViewFilter::fromClause(m_table);
    if (!m_rows.open(QStringLiteral("SELECT [%1].ID").arg(m_table) + from + m_where + orderBy(),
                     QStringLiteral("SELECT ") + m_columnList + from,
                     QStringLiteral("[%1].ID").arg(m_table))) {
        showError(m_rows.lastError());
        return false;
    }
    return true;
}

void CViewWage::loadTotals()
{
    m_totals.clear();
    QString sums;
    std::vector<int> summed;
    for (int c = kFixedColumns; c < m_columns.size(); ++c) {
        if (m_columns.at(c).dataType != GridColumn::Number)
            continue;
        sums += QStringLiteral(",SUM([%1].[%2])").arg(m_table, m_columns.at(c).field);
        summed.push_back(c);
    }
    db::CADORecordset rs(&m_app.database());
    m_totalPersons = rowCount();
    if (!rs.Open(QStringLiteral("SELECT COUNT(*)") + sums + fromWhere()) || rs.IsEOF())
        return;
    m_totalPersons = cell(rs, 0).toInt();
    for (size_t i = 0; i < summed.size(); ++i)
        m_totals.emplace_back(summed[i], cell(rs, int(i) + 1).toDouble());
}

QString CViewWage::footerText() const
{
    QString text = QStringLiteral("合计：%1人").arg(m_totalPersons);
    const QLocale c = QLocale::c();
    for (const auto& [column, sum] : m_totals) {
        const GridColumn& col = m_columns.at(column);
        if (col.visible)
            text += QStringLiteral("    %1：%2")
                        .arg(col.caption, c.toString(sum, 'f', qMax(0, col.decimals)));
    }
    return text;
}

int CViewWage::personAt(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows.value(row, 1).toInt() : 0;
}

QString CViewWage::personNameAt(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows.value(row, 3).toString() : QString();
}

int CViewWage::rowOfPerson(int pid) const
{
    // The rows are keyed by the data table's ID; find the person's row key without reading rows.
    const int key = core::Catalog(m_app.database())
                        .integer(QStringLiteral("SELECT ID FROM %1 WHERE fDate=%2 AND PID=%3")
                                     .arg(m_table)
                                     .arg(m_fDate)
                                     .arg(pid));
    return key > 0 ? m_rows.rowOfKey(key) : -1;
}

bool CViewWage::readStat()
{
    m_checkedOut = core::Catalog(m_app.database())
                       .integer(QStringLiteral("SELECT Stat FROM qp_WageTable WHERE SID=%1 AND "
                                               "fDate=%2")
                                    .arg(m_sortId)
                                    .arg(m_fDate)) != 0;
    return m_checkedOut;
}

bool CViewWage::ensureOpen()
{
    if (!m_checkedOut)
        readStat();
    if (!m_checkedOut)
        return true;
    for (int c = kFixedColumns; c < m_columns.size(); ++c)
        m_columns[c].editable = false;
    warn(checkedOutMessage());
    return false;
}

bool CViewWage::readOnly() const
{
    const core::OperatorRecord& op = m_app.currentOperator();
    return m_checkedOut ||
           (!op.ISuper && !core::OperatorRights::hasRight(m_app, ChangeData, false));
}

bool CViewWage::canEditColumn(int column) const
{
    if (column < kFixedColumns || column >= m_columns.size() || readOnly())
        return false;
    const int type = m_columns.at(column).dataType;
    if (type < GridColumn::Number || type > GridColumn::Dictionary)
        return false;
    const core::OperatorRecord& op = m_app.currentOperator();
    return op.ISuper || core::keyInList(op.purview.wageSorts, m_sortId);
}

bool CViewWage::canEditCell(int row, int column)
{
    return row >= 0 && row < rowCount() && canEditColumn(column) && ensureOpen();
}

bool CViewWage::commitCell(int row, int column, const QVariant& value)
{
    if (row < 0 || row >= rowCount() || !canEditColumn(column) || !ensureOpen())
        return false;
    const GridColumn& col = m_columns.at(column);
    const int pid = personAt(row);
    const QString name = personNameAt(row);
    if (!core::Catalog(m_app.database())
             .confirmRowExists(m_prompter, m_table,
                               QStringLiteral("fDate=%1 AND PID=%2").arg(m_fDate).arg(pid)))
        return false;

    QString literal;
    QString shown;
    switch (col.dataType) {
    case GridColumn::Number: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok) {
            warn(QStringLiteral("请输入数字!"));
            return false;
        }
        literal = QString::number(number, 'f', qBound(0, col.decimals, 15));
        shown = literal;
        break;
    }
    case GridColumn::Date: {
        const QDate date = value.toDate();
        shown = date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
        literal =
            date.isValid() ? QLatin1Char('\'') + shown + QLatin1Char('\'') : QStringLiteral("NULL");
        break;
    }
    default:
        shown = value.toString();
        literal = QLatin1Char('\'') + core::sqlEscape(shown) + QLatin1Char('\'');
        break;
    }
    // Leaving an editor without a change writes and logs nothing.
    const QVariant current = m_rows.value(row, column);
    const QString currentText =
        col.dataType == GridColumn::Number
            ? QString::number(current.toDouble(), 'f', qBound(0, col.decimals, 15))
        : col.dataType == GridColumn::Date ? current.toDate().toString(QStringLiteral("yyyy-MM-dd"))
                                           : current.toString();
    if (!current.isNull() && currentText == shown)
        return false;
    if (!m_app.database().Execute(
            QStringLiteral("UPDATE %1 SET [%2]=%3 WHERE (PID=%4 AND fDate=%5)")
                .arg(m_table, col.field, literal)
                .arg(pid)
                .arg(m_fDate))) {
        showError(m_app.database().GetLastErrorString());
        return false;
    }
    log(QStringLiteral("薪资管理[修改个人薪资数据'%1:%2|<%3>:%4(%5)']")
            .arg(m_sortTitle, monthText(), name, shown, col.caption));

    publishContext();
    WageCalculator calculator(m_app.database(), *m_session);
    const WageCalcResult result = calculator.calculatePerson(m_sortId, m_fDate, pid);
    if (!result.ok)
        showError(result.error);
    for (const QString& failure : result.failureMessages())
        m_prompter.message(failure, core::promptCaption(), Prompter::Icon::Error);
    m_rows.dropBlocks();
    loadTotals();
    return true;
}

bool CViewWage::recalculate()
{
    if (!checkRight(ChangeData) || !ensureOpen())
        return false;
    if (m_prompter.askYesNo(QStringLiteral("确定要重新计算当前薪资表吗?"), core::promptCaption(),
                            Prompter::Icon::Question) != Prompter::Answer::Yes)
        return false;
    if (!ensureOpen())
        return false;
    publishContext();
    const int items = core::Catalog(m_app.database())
                          .integer(QStringLiteral("SELECT COUNT(*) FROM qp_Items WHERE "
                                                  "((UPPER(TblName)='%1' AND Active=1 AND "
                                                  "iDataType=0) AND (iProperty=1 OR iProperty=2))")
                                       .arg(core::sqlEscape(m_table.toUpper())));
    // The bar runs over reading (one step), the items, and writing (one step).
    m_prompter.progressBegin(QStringLiteral("请稍候..."), items + 2);
    WageCalculator calculator(m_app.database(), *m_session);
    const WageCalcResult result =
        calculator.calculateMonth(m_filter, [this](const WageCalcStep& step) {
            switch (step.phase) {
            case WageCalcStep::Phase::Reading:
                m_prompter.progressStep(
                    0, QStringLiteral("正在读取数据 (%1/%2)...").arg(step.done).arg(step.total));
                break;
            case WageCalcStep::Phase::Calculating:
                m_prompter.progressStep(step.item, QStringLiteral("正在核算 '%1' (第%2条共%3条)...")
                                                       .arg(step.caption)
                                                       .arg(step.item)
                                                       .arg(step.items));
                break;
            case WageCalcStep::Phase::Writing:
                m_prompter.progressStep(
                    step.items + 1,
                    QStringLiteral("正在保存计算结果 (%1/%2)...").arg(step.done).arg(step.total));
                break;
            }
            return !m_prompter.progressCancelled();
        });
    m_prompter.progressEnd();
    publishContext();
    if (result.cancelled)
        return false;
    if (!result.ok) {
        showError(result.error);
        return false;
    }
    for (const QString& failure : result.failureMessages())
        m_prompter.message(failure, core::promptCaption(), Prompter::Icon::Error);
    log(WageViewFilter::recalculationLogLine(m_sortTitle, m_fDate, m_where));
    refresh();
    return true;
}

bool CViewWage::batchUpdate()
{
    if (!checkRight(ChangeData) || !ensureOpen())
        return false;
    core::CDlgBatchUpdate batch(
        m_app.database(), m_prompter,
        QStringLiteral("SELECT ItemID,[Name],[Alias],iDataType,iDec,iChoice FROM qp_Items WHERE "
                       "UPPER(TblName)='%1' ORDER BY Ord")
            .arg(core::sqlEscape(m_table.toUpper())),
        core::CDlgBatchUpdate::Rounding::ByRule);
    if (!batch.load() || !runBatchDialog || !runBatchDialog(batch))
        return false;
    // The dialog may have stayed open while another operator checked the month out.
    if (!ensureOpen())
        return false;
    const core::CDlgBatchUpdate::Field& field = batch.fieldAt(batch.field);
    // The selection restricted to the data table: its rows whose key the view's query lists.
    const QString where =
        QStringLiteral(" WHERE ID IN (SELECT [%1].ID%2)").arg(m_table, fromWhere());
    if (!m_app.database().Execute(QStringLiteral("UPDATE %1 SET [%2]=%3%4")
                                      .arg(m_table, field.name, batch.expression(), where))) {
        showError(m_app.database().GetLastErrorString());
        return false;
    }
    log(QStringLiteral("薪资管理['%1:%2'薪资批量修改'%3|%4|%5(%6)']")
            .arg(m_sortTitle, monthText(), field.caption,
                 core::CDlgBatchUpdate::operationName(batch.operation), batch.valueText(),
                 selectionText()));
    refresh();
    return true;
}

bool CViewWage::addPersons()
{
    if (!checkRight(MonthPersons) || !ensureOpen())
        return false;
    CDlgWagePsnTable dialog(m_app, m_prompter, m_sortId, m_fDate, m_filter.deptId);
    if (!runPsnTableDialog || !runPsnTableDialog(dialog))
        return false;
    refresh();
    return true;
}

bool CViewWage::removePersons(const QList<int>& selected)
{
    QList<int> pids;
    for (int row : selected) {
        if (row >= 0 && row < rowCount() && personAt(row) != 0)
            pids << personAt(row);
    }
    if (pids.isEmpty()) {
        warn(QStringLiteral("请选择人员！"));
        return false;
    }
    if (!checkRight(MonthPersons) || !ensureOpen())
        return false;
    const QString question =
        pids.size() == 1 ? QStringLiteral("确定要删除该人员薪资记录吗?")
                         : QStringLiteral("确定要删除选择的 %1 人薪资记录吗?").arg(pids.size());
    if (m_prompter.askYesNo(question, core::promptCaption(), Prompter::Icon::Question) !=
            Prompter::Answer::Yes ||
        !ensureOpen())
        return false;
    int removed = 0;
    for (int pid : pids) {
        if (!m_app.database().Execute(QStringLiteral("qp_DeleteWagePsnByID %1,%2,%3")
                                          .arg(m_sortId)
                                          .arg(m_fDate)
                                          .arg(pid))) {
            showError(m_app.database().GetLastErrorString());
            break;
        }
        ++removed;
    }
    if (removed > 0)
        log(QStringLiteral("薪资管理['%1:%2'删除人员%3个]")
                .arg(m_sortTitle, monthText())
                .arg(removed));
    refresh();
    return removed > 0;
}

bool CViewWage::reorder()
{
    if (!checkRight(MonthPersons) || !ensureOpen())
        return false;
    const core::Catalog catalog(m_app.database());
    const int dept = m_filter.deptId;
    if (dept <= 0 || catalog.departmentChildCount(dept) > 0) {
        warn(QStringLiteral("请选择末级部门！"));
        return false;
    }
    core::CDlgResetOrder order(m_app.database(), m_prompter,
                               {QStringLiteral("EXEC qp_SelectPsnWageReOrderByDeptID %1,%2,%3")
                                    .arg(m_sortId)
                                    .arg(m_fDate)
                                    .arg(dept),
                                QStringLiteral("qp_RefreshWageTablePsnOrder '%1',%2,%3")
                                    .arg(core::sqlEscape(m_table))
                                    .arg(m_fDate)
                                    .arg(dept),
                                m_table, QStringLiteral("ID"), QStringLiteral("Ord")});
    if (runOrderDialog)
        runOrderDialog(order);
    if (!order.changed())
        return false;
    log(QStringLiteral("薪资管理['%1:%2:%3'人员调序]")
            .arg(m_sortTitle, monthText(), catalog.departmentName(dept)));
    refresh();
    return true;
}

bool CViewWage::checkOut()
{
    if (!checkRight(CheckOut) || !ensureOpen())
        return false;
    if (m_prompter.askYesNo(
            QStringLiteral("确定要将\"%1\"薪资表标记为结账状态吗?").arg(monthText()),
            core::promptCaption(), Prompter::Icon::Question) != Prompter::Answer::Yes)
        return false;
    const int wageTableId = core::Catalog(m_app.database())
                                .integer(QStringLiteral("SELECT ID FROM qp_WageTable WHERE SID=%1 "
                                                        "AND fDate=%2")
                                             .arg(m_sortId)
                                             .arg(m_fDate));
    if (!m_app.database().Execute(QStringLiteral("EXEC qp_UpdateWageTableCheckOut %1,%2,1")
                                      .arg(m_sortId)
                                      .arg(wageTableId))) {
        showError(m_app.database().GetLastErrorString());
        return false;
    }
    log(QStringLiteral("薪资管理['%1:%2'薪资结账]").arg(m_sortTitle, monthText()));
    refresh();
    m_prompter.message(QStringLiteral("结账完成!"), core::promptCaption(),
                       Prompter::Icon::Information);
    return true;
}

bool CViewWage::exportDefault()
{
    if (!checkRight(Export))
        return false;
    const QString path = core::askExportPath(m_prompter);
    if (path.isEmpty())
        return false;
    // The shown columns: number, name and the items not hidden.
    QStringList shown = m_columnList.split(QLatin1Char(',')).mid(kKeyColumns, 2);
    for (int c = kFixedColumns; c < m_columns.size(); ++c) {
        const GridColumn& col = m_columns.at(c);
        if (col.visible)
            shown << QStringLiteral("[%1].[%2] AS %3")
                         .arg(m_table, col.field, core::SqlBuilder::bracketed(col.caption));
    }
    db::CADORecordset data(&m_app.database());
    QString error;
    if (!data.Open(QStringLiteral("SELECT ") + shown.join(QLatin1Char(',')) + fromWhere() +
                   orderBy()) ||
        !db::ExportRecordsetToExcel(data, path, &error)) {
        m_prompter.message(QStringLiteral("导出时出错!"), core::promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    const QString dept = m_filter.deptId == 0
                             ? QStringLiteral("全部")
                             : core::Catalog(m_app.database()).departmentName(m_filter.deptId);
    log(QStringLiteral("薪资管理['%1:%2:%3'默认数据导出(%4)]")
            .arg(m_sortTitle, dept, monthText(), selectionText()));
    return true;
}

void CViewWage::notInThisVersion(const QString& command)
{
    m_prompter.message(QStringLiteral("此版本暂不提供“%1”功能。").arg(command),
                       core::promptCaption(), Prompter::Icon::Information);
}

void CViewWage::print(const QString& templateName)
{
    if (checkRight(Print))
        notInThisVersion(QStringLiteral("薪资报表打印'%1'").arg(templateName));
}

void CViewWage::exportWithTemplate(const QString& templateName)
{
    if (checkRight(Export))
        notInThisVersion(QStringLiteral("数据导出'%1'").arg(templateName));
}

void CViewWage::importData()
{
    if (checkRight(Import) && ensureOpen())
        notInThisVersion(QStringLiteral("薪资数据导入"));
}

void CViewWage::managePrintTemplates()
{
    if (checkRight(PrintTemplates))
        notInThisVersion(QStringLiteral("薪资打印模板"));
}

void CViewWage::manageExportTemplates()
{
    if (checkRight(ExportTemplates))
        notInThisVersion(QStringLiteral("Excel导出模板"));
}

bool CViewWage::checkRight(int right)
{
    if (core::OperatorRights::hasRight(m_app, right, true))
        return true;
    warn(core::OperatorRights::noRightMessage());
    return false;
}

std::vector<std::pair<int, QString>> CViewWage::list(const QString& sql) const
{
    std::vector<std::pair<int, QString>> entries;
    db::CADORecordset rs(&m_app.database());
    if (rs.Open(sql)) {
        for (; !rs.IsEOF(); rs.MoveNext())
            entries.emplace_back(cell(rs, 0).toInt(), cell(rs, 1).toString());
    }
    return entries;
}

std::vector<std::pair<int, QString>> CViewWage::printTemplates() const
{
    return list(QStringLiteral("SELECT ID,Name FROM qp_Report WHERE Active=1 AND Type=0 AND "
                               "SID=%1 ORDER BY Ord")
                    .arg(m_sortId));
}

std::vector<std::pair<int, QString>> CViewWage::exportTemplates() const
{
    return list(QStringLiteral("SELECT ID,Name FROM qp_Report WHERE Active=1 AND Type=2 AND "
                               "SID=%1 ORDER BY Ord")
                    .arg(m_sortId));
}

std::vector<std::pair<int, QString>> CViewWage::bankTemplates() const
{
    return list(QStringLiteral("SELECT EID,Name FROM qp_WageExport WHERE Active=1 And SID=%1 "
                               "ORDER BY Ord")
                    .arg(m_sortId));
}

std::vector<std::pair<int, QString>> CViewWage::mailTemplates() const
{
    return list(QStringLiteral("SELECT AID,Name FROM qp_WageAnnounce WHERE Active=1 AND SID=%1 "
                               "ORDER BY Ord")
                    .arg(m_sortId));
}

void CViewWage::storeColumnWidth(int column, int width)
{
    if (!canFormatColumn(column) || width <= 0)
        return;
    core::storeFieldWidth(m_app.database(), m_columns[column], width);
}

bool CViewWage::canFormatColumn(int column) const
{
    return column >= kFixedColumns && column < m_columns.size();
}

bool CViewWage::storeColumnFormat(int column, const core::ColFmt& format)
{
    if (!canFormatColumn(column) || !checkRight(ChangeData))
        return false;
    if (!core::storeFieldFormat(m_app.database(), m_columns[column], format)) {
        showError(m_app.database().GetLastErrorString());
        return false;
    }
    return true;
}

void CViewWage::warn(const QString& text)
{
    m_prompter.message(text, core::promptCaption(), Prompter::Icon::Warning);
}

void CViewWage::showError(const QString& text)
{
    m_prompter.message(text, core::promptCaption(), Prompter::Icon::Error);
}

void CViewWage::log(const QString& text)
{
    core::AddSystemLog(m_app, text);
}

} // namespace orvane::payroll
