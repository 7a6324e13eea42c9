#include "payroll/wageexportquery.h"

#include "payroll/wagecalc.h"

#include "core/apphelpers.h"
#include "core/catalog.h"
#include "core/sqlbuilder.h"

namespace orvane::payroll {

QString WageExportQuery::wageTable(int sortId) const
{
    return core::Catalog(m_db).text(
        QStringLiteral("SELECT TblName FROM qp_Table WHERE nType=6 AND ID=%1").arg(sortId));
}

QString WageExportQuery::sortTitle(int sortId) const
{
    return core::Catalog(m_db).text(
        QStringLiteral("SELECT Title FROM qp_Table WHERE nType=6 AND ID=%1").arg(sortId));
}

int WageExportQuery::latestMonth(int sortId) const
{
    return core::Catalog(m_db)
        .text(QStringLiteral("SELECT TOP 1 fDate FROM qp_WageTable WHERE SID=%1 ORDER BY fDate "
                             "DESC")
                  .arg(sortId))
        .toInt();
}

QString WageExportQuery::where(const WageSelection& selection) const
{
    // The wage view's own rules, so that an output made from a view has exactly its persons.
    WageViewFilter filter;
    filter.sortId = selection.sortId;
    filter.fDate = selection.fDate;
    filter.deptId = selection.deptId;
    filter.categoryId = selection.categoryId;
    filter.superOperator = selection.superOperator;
    filter.permittedDepartments = selection.permittedDepartments;
    return filter.whereText(wageTable(selection.sortId));
}

QString WageExportQuery::fromWhere(const WageSelection& selection) const
{
    return core::SqlBuilder::personRowsFrom(wageTable(selection.sortId), true) + where(selection);
}

QString WageExportQuery::orderBy(int sortId) const
{
    return QLatin1Char(' ') + WageViewFilter::orderBy(wageTable(sortId));
}

QString WageExportQuery::selectSql(const WageSelection& selection) const
{
    if (wageTable(selection.sortId).isEmpty())
        return QString();
    return QStringLiteral("SELECT ") +
           core::SqlBuilder(m_db).fullPersonnelColumns(selection.sortId) + fromWhere(selection) +
           orderBy(selection.sortId);
}

script::WageContext WageExportQuery::context(const WageSelection& selection,
                                             const QString& operatorName) const
{
    script::WageContext context;
    context.operatorName = operatorName.toStdString();
    context.sortId = selection.sortId;
    context.sortTitle = sortTitle(selection.sortId).toStdString();
    context.fDate = selection.fDate;
    context.fromWhere = fromWhere(selection).toStdString();
    return context;
}

QString WageExportQuery::logLine(const WageSelection& selection, const QString& action,
                                 const QString& templateName) const
{
    const QString dept =
        selection.deptId == 0
            ? QStringLiteral("全部")
            : core::Catalog(m_db).text(
                  QStringLiteral("SELECT Name FROM qp_Dept WHERE DID=%1").arg(selection.deptId));
    return QStringLiteral("薪资管理['%1:%2:%3'%4'%5'(%6)]")
        .arg(sortTitle(selection.sortId), dept, core::monthText(selection.fDate), action,
             templateName, WageViewFilter::selectionText(where(selection)));
}

} // namespace orvane::payroll
