#include "personnel/cviewpsn.h"

#include "core/apphelpers.h"
#include "core/appsettings.h"
#include "core/catalog.h"
#include "core/cataloglists.h"
#include "core/corvaneapp.h"
#include "core/operatorrights.h"
#include "core/prompter.h"
#include "core/sqlbuilder.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/excelexport.h"
#include "personnel/cdlgdynctlformforpsnbase.h"

#include <QDate>
#include <QFileInfo>

namespace orvane::personnel {

using core::GridColumn;
using core::Prompter;

namespace {

constexpr int kRightAdd = 2;
constexpr int kRightEdit = 3;
constexpr int kRightDelete = 4;
constexpr int kRightExport = 10;

const QString kDefaultOrder = QStringLiteral(" ORDER BY qp_Dept.Ord,qp_PsnBase.Ord");

} // namespace

CViewPsn::CViewPsn(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter), m_order(kDefaultOrder), m_rows(app.database())
{
}

void CViewPsn::setNavigation(int department, int category)
{
    m_department = department;
    m_category = category;
}

void CViewPsn::setSearchFilter(const QString& condition, const QString& order)
{
    m_filter = condition;
    m_filterOrder = order;
}

int CViewPsn::rowCount() const
{
    return m_rows.rowCount();
}

QString CViewPsn::footerText() const
{
    return QStringLiteral("共 计：%1 人").arg(rowCount());
}

QString CViewPsn::query() const
{
    return QStringLiteral("SELECT qp_PsnBase.PID,qp_PsnBase.DID,qp_PsnBase.AID,") + m_columnList +
           core::SqlBuilder::personnelFrom() + m_where + m_order;
}

void CViewPsn::buildColumns()
{
    m_columns.clear();
    m_numberColumn = m_nameColumn = -1;
    for (const char* key : {"PID", "DID", "AID"}) {
        GridColumn column;
        column.field = QLatin1String(key);
        column.caption = column.field;
        column.dataType = GridColumn::Internal;
        column.visible = false;
        m_columns << column;
    }
    db::CADORecordset fields(&m_app.database());
    QString list;
    if (fields.Open(QStringLiteral("SELECT [Name],[Alias],iDataType,iWid,IdRef,bNotNull,bShow,"
                                   "ColFmt FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' "
                                   "ORDER BY Ord"))) {
        const core::CatalogLists lists(m_app.database());
        for (; !fields.IsEOF(); fields.MoveNext()) {
            GridColumn column;
            column.field = fields.GetFieldString(QStringLiteral("Name"));
            column.caption = fields.GetFieldString(QStringLiteral("Alias"));
            column.dataType = fields.GetFieldInt(QStringLiteral("iDataType"));
            column.width = fields.GetFieldInt(QStringLiteral("iWid"));
            column.visible = fields.GetFieldInt(QStringLiteral("bShow")) != 0;
            column.format = core::ColFmt::parse(fields.GetFieldString(QStringLiteral("ColFmt")));
            column.editable =
                column.dataType >= GridColumn::Number && column.dataType <= GridColumn::Dictionary;
            const QString upper = column.field.toUpper();
            const int position = int(m_columns.size());
            if (upper == QLatin1String("NUMBER"))
                m_numberColumn = position;
            else if (upper == QLatin1String("NAME"))
                m_nameColumn = position;
            QString item;
            if (column.dataType == GridColumn::Dictionary) {
                const QString dict = fields.GetFieldString(QStringLiteral("IdRef"));
                column.choices = lists.dictionaryTitles(dict);
                item = QStringLiteral(",qp_PsnBase.") + column.field;
            } else if (column.dataType == GridColumn::Link) {
                const QString ref = fields.GetFieldString(QStringLiteral("IdRef"));
                item = QLatin1Char(',') + ref.section(QLatin1Char('.'), 0, 0) +
                       QStringLiteral(".Name");
            } else {
                item = QStringLiteral(",qp_PsnBase.") + column.field;
            }
            list += item + QStringLiteral(" AS ") + core::SqlBuilder::bracketed(column.caption);
            m_columns << column;
        }
    }
    m_columnList = list.mid(1);
}

void CViewPsn::buildWhere()
{
    const int d = m_department;
    const int a = m_category;
    if (a < 0)
        m_where = QStringLiteral(" WHERE (qp_PsnBase.AID=-1)");
    else if (a > 0 && d > 0)
        m_where = QStringLiteral(" WHERE (CHARINDEX('|%1|',qp_Dept.ParentArr)>0) AND "
                                 "(qp_PsnBase.AID=%2)")
                      .arg(d)
                      .arg(a);
    else if (a > 0)
        m_where = QStringLiteral(" WHERE (qp_PsnBase.AID=%1)").arg(a);
    else if (d > 0)
        m_where = QStringLiteral(" WHERE (CHARINDEX('|%1|',qp_Dept.ParentArr)>0)").arg(d);
    else
        m_where.clear();

    const core::OperatorRecord& op = m_app.currentOperator();
    if (!op.ISuper && !op.allDepartments) {
        const QString limit =
            QStringLiteral("(CHARINDEX(','+CONVERT(VARCHAR,qp_PsnBase.DID)+',','%1')>0)")
                .arg(core::sqlEscape(QLatin1Char(',') + op.purview.departments + QLatin1Char(',')));
        m_where +=
            (m_where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) + limit;
    }
    if (!m_filter.isEmpty()) {
        m_where += (m_where.isEmpty() ? QStringLiteral(" WHERE (") : QStringLiteral(" AND (")) +
                   m_filter + QLatin1Char(')');
    }
    m_order =
        m_filterOrder.isEmpty() ? kDefaultOrder : QStringLiteral(" ORDER BY ") + m_filterOrder;
}

bool CViewPsn::refresh()
{
    buildColumns();
    buildWhere();
    const QString from = core::SqlBuilder::personnelFrom();
    if (!m_rows.open(QStringLiteral("SELECT qp_PsnBase.PID") + from + m_where + m_order,
                     QStringLiteral("SELECT qp_PsnBase.PID,qp_PsnBase.DID,qp_PsnBase.AID,") +
                         m_columnList + from,
                     QStringLiteral("qp_PsnBase.PID"))) {
        showError(m_rows.lastError());
        return false;
    }
    return true;
}

SelectedPerson CViewPsn::personAt(int row) const
{
    SelectedPerson person;
    if (row < 0 || row >= rowCount())
        return person;
    person.pid = m_rows.keyAt(row);
    if (m_nameColumn >= 0)
        person.name = m_rows.value(row, m_nameColumn).toString();
    if (m_numberColumn >= 0)
        person.number = m_rows.value(row, m_numberColumn).toString();
    return person;
}

int CViewPsn::rowOfPerson(int pid) const
{
    return m_rows.rowOfKey(pid);
}

int CViewPsn::findRow(int column, const QString& text) const
{
    if (column < kKeyColumns || column >= m_columns.size())
        return -1;
    const QString match = QStringLiteral("(UPPER(qp_PsnBase.%1)='%2')")
                              .arg(m_columns.at(column).field, core::sqlEscape(text.toUpper()));
    const QString where = m_where.isEmpty() ? QStringLiteral(" WHERE ") + match
                                            : m_where + QStringLiteral(" AND ") + match;
    db::CADORecordset found(&m_app.database());
    if (!found.Open(QStringLiteral("SELECT qp_PsnBase.PID") + core::SqlBuilder::personnelFrom() +
                    where + m_order))
        return -1;
    int best = -1;
    for (; !found.IsEOF(); found.MoveNext()) {
        const int row = rowOfPerson(found.GetFieldInt(QStringLiteral("PID")));
        if (row >= 0 && (best < 0 || row < best))
            best = row;
    }
    return best;
}

int CViewPsn::search(const QString& text)
{
    if (text.isEmpty())
        return -1;
    int found = findRow(m_numberColumn, text);
    if (found < 0)
        found = findRow(m_nameColumn, text);
    if (found >= 0 && !m_history.contains(text))
        m_history << text;
    return found;
}

bool CViewPsn::checkRight(int index)
{
    return core::OperatorRights::checkRight(m_app, m_prompter, index);
}

bool CViewPsn::confirmPersonExists(int pid)
{
    return core::Catalog(m_app.database())
        .confirmRowExists(m_prompter, QStringLiteral("qp_PsnBase"),
                          QStringLiteral("PID=%1").arg(pid));
}

void CViewPsn::log(const QString& text)
{
    core::AddSystemLog(m_app, text);
}

void CViewPsn::showError(const QString& text)
{
    m_prompter.message(text, core::promptCaption(), Prompter::Icon::Error);
}

QString CViewPsn::conditionText() const
{
    QString condition = m_where.trimmed();
    condition.replace(QStringLiteral("WHERE"), QStringLiteral("条件："));
    return condition;
}

int CViewPsn::addPerson()
{
    if (!checkRight(kRightAdd))
        return 0;
    CDlgDynCtlFormForPsnbase form(m_app, m_prompter);
    form.setTitle(QStringLiteral("人员添加"));
    form.setAddMode();
    int added = 0;
    form.onSaved = [this, &added](int pid) {
        added = pid;
        refresh();
    };
    if (form.build() && runPersonForm)
        runPersonForm(form);
    return added;
}

bool CViewPsn::editPerson(int row, core::GridRows* owner)
{
    if (!canEdit(row))
        return false;
    CDlgDynCtlFormForPsnbase form(m_app, m_prompter);
    form.setTitle(QStringLiteral("人员信息更改"));
    form.setEditMode(personAt(row).pid);
    if (owner)
        form.setOwnerGrid(owner, 0);
    form.onSaved = [this](int) { m_rows.dropBlocks(); };
    if (!form.build())
        return false;
    if (runPersonForm)
        runPersonForm(form);
    return true;
}

bool CViewPsn::canEdit(int row)
{
    if (row < 0 || row >= rowCount()) {
        m_prompter.message(QStringLiteral("请选择人员！"), core::promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    return checkRight(kRightEdit) && confirmPersonExists(personAt(row).pid);
}

bool CViewPsn::deletePersons(const QList<int>& selected)
{
    QList<int> pids;
    for (int row : selected) {
        if (row >= 0 && row < rowCount())
            pids << personAt(row).pid;
    }
    if (pids.isEmpty()) {
        m_prompter.message(QStringLiteral("请选择人员！"), core::promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    if (!checkRight(kRightDelete))
        return false;
    const QString question =
        pids.size() == 1 ? QStringLiteral("确定要彻底删除该人员档案吗?")
                         : QStringLiteral("确定要彻底删除选择的 %1 个人员档案吗?").arg(pids.size());
    if (m_prompter.askYesNo(question, core::promptCaption(), Prompter::Icon::Question) !=
        Prompter::Answer::Yes)
        return false;
    int deleted = 0;
    for (int pid : pids) {
        if (!m_app.database().Execute(QStringLiteral("qp_DeletePsnBaseByID %1").arg(pid))) {
            showError(m_app.database().GetLastErrorString());
            break;
        }
        ++deleted;
    }
    if (deleted > 0)
        log(QStringLiteral("人员档案[人员删除%1个]").arg(deleted));
    refresh();
    return deleted > 0;
}

bool CViewPsn::canEditCell(int row, int column)
{
    if (row < 0 || row >= rowCount() || column < kKeyColumns || column >= m_columns.size() ||
        !m_columns.at(column).editable)
        return false;
    return checkRight(kRightEdit) && confirmPersonExists(personAt(row).pid);
}

bool CViewPsn::commitCell(int row, int column, const QVariant& value)
{
    if (row < 0 || row >= rowCount() || column < kKeyColumns || column >= m_columns.size() ||
        !m_columns.at(column).editable)
        return false;
    const GridColumn& col = m_columns.at(column);
    const SelectedPerson person = personAt(row);
    // Another operator may have deleted the person while the editor was open.
    if (!confirmPersonExists(person.pid))
        return false;

    QVariant stored;
    QString shown;
    switch (col.dataType) {
    case GridColumn::Date: {
        const QDate date = value.toDate();
        if (date.isValid()) {
            stored = QDateTime(date, QTime(0, 0));
            shown = date.toString(QStringLiteral("yyyy-MM-dd"));
        }
        break;
    }
    case GridColumn::Number: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok) {
            m_prompter.message(QStringLiteral("请输入数字!"), core::promptCaption(),
                               Prompter::Icon::Warning);
            return false;
        }
        stored = number;
        shown = QString::number(number, 'g', 15);
        break;
    }
    default:
        shown = value.toString();
        if (!shown.isEmpty())
            stored = shown;
        break;
    }
    if (stored == m_rows.value(row, column))
        return false; // unchanged

    if (column == m_numberColumn) {
        const QString number = shown;
        const bool taken = core::Catalog(m_app.database())
                               .integer(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase WHERE "
                                                       "UPPER(Number)='%1' AND PID<>%2")
                                            .arg(core::sqlEscape(number.toUpper()))
                                            .arg(person.pid)) > 0;
        if (number.isEmpty() || number.size() > 50 || taken) {
            m_prompter.message(QStringLiteral("编号重复或长度异常!"), core::promptCaption(),
                               Prompter::Icon::Warning);
            return false;
        }
    }
    if (column == m_nameColumn && shown.trimmed().isEmpty()) {
        m_prompter.message(QStringLiteral("姓名不能为空!"), core::promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }

    if (!m_rows.writeValue(row, column, stored)) {
        // Another operator may have deleted the person between the check above and the write:
        // that is message 133, not the data layer's text.
        if (confirmPersonExists(person.pid))
            showError(m_rows.lastError());
        return false;
    }
    const QString name = column == m_nameColumn ? shown : person.name;
    log(QStringLiteral("人员档案[修改个人基本信息'<%1>|%2(%3)']").arg(name, col.caption, shown));
    return true;
}

bool CViewPsn::reorder()
{
    if (!checkRight(kRightEdit))
        return false;
    const core::Catalog catalog(m_app.database());
    if (m_department <= 0 || catalog.departmentChildCount(m_department) > 0) {
        m_prompter.message(QStringLiteral("请选择末级部门！"), core::promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    core::CDlgResetOrder order(
        m_app.database(), m_prompter,
        {QStringLiteral("EXEC qp_SelectPsnbaseReOrderByDeptID %1").arg(m_department),
         QStringLiteral("qp_RefreshPsnBaseOrder %1").arg(m_department),
         QStringLiteral("qp_PsnBase"), QStringLiteral("PID"), QStringLiteral("Ord")});
    if (runOrderDialog)
        runOrderDialog(order);
    if (!order.changed())
        return false;
    log(QStringLiteral("人员档案[人员调序'%1']")
            .arg(catalog.text(
                QStringLiteral("SELECT Name FROM qp_Dept WHERE DID=%1").arg(m_department))));
    refresh();
    return true;
}

bool CViewPsn::exportList()
{
    if (!checkRight(kRightExport))
        return false;
    const QString path = core::askExportPath(m_prompter);
    if (path.isEmpty())
        return false;
    db::CADORecordset data(&m_app.database());
    QString error;
    if (!data.Open(QStringLiteral("SELECT ") + m_columnList + core::SqlBuilder::personnelFrom() +
                   m_where + m_order) ||
        !db::ExportRecordsetToExcel(data, path, &error)) {
        m_prompter.message(QStringLiteral("导出时出错!"), core::promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    log(QStringLiteral("人员档案[数据导出'%1|(%2)']")
            .arg(QFileInfo(path).fileName(), conditionText()));
    return true;
}

void CViewPsn::storeColumnWidth(int column, int width)
{
    if (column < kKeyColumns || column >= m_columns.size() || width <= 0)
        return;
    core::storeFieldWidth(m_app.database(), m_columns[column], width);
}

bool CViewPsn::canFormatColumn(int column) const
{
    return column >= kKeyColumns && column < m_columns.size();
}

bool CViewPsn::storeColumnFormat(int column, const core::ColFmt& format)
{
    if (!canFormatColumn(column))
        return false;
    if (!core::storeFieldFormat(m_app.database(), m_columns[column], format)) {
        showError(m_app.database().GetLastErrorString());
        return false;
    }
    return true;
}

int CViewPsn::frozenColumns() const
{
    return qMax(0, m_app.settings().intValue("FreezeColsP", 2));
}

void CViewPsn::setFrozenColumns(int visibleColumns)
{
    m_app.settings().setValue("FreezeColsP", qMax(0, visibleColumns));
}

} // namespace orvane::personnel
