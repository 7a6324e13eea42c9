#include "core/cdlgsyslogmanage.h"

#include "core/apphelpers.h"
#include "core/catalog.h"
#include "core/cataloglists.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "db/excelexport.h"

namespace orvane::core {

namespace {

QString dayClause(const QDate& day)
{
    return QStringLiteral("(YEAR(lDate)=%1 AND MONTH(lDate)=%2 AND DAY(lDate)=%3)")
        .arg(day.year())
        .arg(day.month())
        .arg(day.day());
}

QString rangeClause(const QDate& start, const QDate& end)
{
    return QStringLiteral("(lDate>='%1' AND lDate<='%2')")
        .arg(start.toString(QStringLiteral("yyyy-MM-dd")),
             end.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 23:59:59"));
}

} // namespace

CDlgSysLogManage::CDlgSysLogManage(COrvaneApp& app, Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

void CDlgSysLogManage::open()
{
    m_operators = QStringList{QString()};
    for (const KeyedName& user : CatalogLists(m_app.database()).operators())
        m_operators << user.name;
    refresh();
}

QString CDlgSysLogManage::filterClause(const Filter& filter)
{
    QString dates;
    if (filter.start && filter.end)
        dates = rangeClause(*filter.start, *filter.end);
    else if (filter.start)
        dates = dayClause(*filter.start);
    else if (filter.end)
        dates = dayClause(*filter.end);

    QString clause;
    if (!filter.user.isEmpty()) {
        clause = QStringLiteral(" WHERE lUser='%1'").arg(sqlEscape(filter.user));
        if (!dates.isEmpty())
            clause += QStringLiteral(" AND ") + dates;
    } else if (!dates.isEmpty()) {
        clause = QStringLiteral(" WHERE ") + dates;
    }

    if (!filter.action.isEmpty()) {
        const QString like =
            QStringLiteral("(lAction LIKE '%") + sqlEscape(filter.action) + QStringLiteral("%')");
        clause +=
            clause.isEmpty() ? QStringLiteral(" WHERE ") + like : QStringLiteral(" AND ") + like;
    }
    return clause;
}

QString CDlgSysLogManage::querySql(const Filter& filter)
{
    return QStringLiteral("SELECT id,lDate AS 时间,lUser AS 用户,lAction AS 操作 FROM qp_Log ") +
           filterClause(filter) + QStringLiteral(" ORDER BY lDate DESC");
}

bool CDlgSysLogManage::refresh()
{
    m_recordset.Close();
    if (!m_recordset.Open(&m_app.database(), querySql(m_filter))) {
        m_recordset.Close();
        m_prompter.message(QStringLiteral("打开数据库出错!"), promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    return true;
}

const db::ResultSet& CDlgSysLogManage::rows() const
{
    return m_recordset.IsOpen() ? m_recordset.resultSet() : m_empty;
}

QString CDlgSysLogManage::footerText() const
{
    return QStringLiteral(" 共: %1 项记录").arg(rowCount());
}

bool CDlgSysLogManage::exportList()
{
    const QString path = askExportPath(m_prompter);
    if (path.isEmpty())
        return false;
    if (!m_recordset.IsOpen() || !db::ExportRecordsetToExcel(m_recordset, path)) {
        m_prompter.message(QStringLiteral("导出数据失败!"), promptCaption(), Prompter::Icon::Error);
        return false;
    }
    return true;
}

} // namespace orvane::core
