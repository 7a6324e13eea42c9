#include "payroll/wagecalc.h"

#include "payroll/wagecalcrun.h"
#include "payroll/wagescriptsession.h"

#include "core/apphelpers.h"
#include "core/catalog.h"
#include "core/sqlbuilder.h"
#include "core/sqltext.h"

#include "db/cadodatabase.h"

namespace orvane::payroll {

QString WageViewFilter::dataTable(db::CADODatabase& database, int sortId)
{
    return core::Catalog(database).wageSortTable(sortId);
}

QString WageViewFilter::sortTitle(db::CADODatabase& database, int sortId)
{
    return core::Catalog(database).wageSortTitle(sortId);
}

QString WageViewFilter::whereText(const QString& dataTable) const
{
    QString where = QStringLiteral(" WHERE ([%1].fDate=%2)").arg(dataTable).arg(fDate);
    if (categoryId > 0) {
        where += QStringLiteral(" AND [%1].AID=%2").arg(dataTable).arg(categoryId);
        if (deptId != 0)
            where += QStringLiteral(" AND (CHARINDEX('|%1|',qp_Dept.ParentArr)>0)").arg(deptId);
    } else if (categoryId < 0) {
        where = QStringLiteral(" WHERE (qp_PsnBase.AID=-1)");
    } else if (deptId != 0) {
        where += QStringLiteral(" AND (CHARINDEX('|%1|',qp_Dept.ParentArr)>0)").arg(deptId);
    }
    if (!superOperator) {
        QString keys = permittedDepartments.trimmed();
        while (keys.startsWith(QLatin1Char(',')))
            keys.remove(0, 1);
        while (keys.endsWith(QLatin1Char(',')))
            keys.chop(1);
        where += QStringLiteral(" AND (CHARINDEX(','+CONVERT(VARCHAR,qp_PsnBase.DID)+',','%1')>0)")
                     .arg(core::sqlEscape(QLatin1Char(',') + keys + QLatin1Char(',')));
    }
    return where;
}

QString WageViewFilter::fromClause(const QString& dataTable)
{
    return core::SqlBuilder::personRowsFrom(dataTable, false);
}

QString WageViewFilter::orderBy(const QString& dataTable)
{
    return QStringLiteral("ORDER BY qp_Dept.Ord,[%1].Ord").arg(dataTable);
}

QString WageViewFilter::selectionText(const QString& whereText)
{
    QString text = whereText;
    text.replace(QStringLiteral("WHERE"), QStringLiteral("条件："));
    return text.trimmed();
}

QString WageViewFilter::recalculationLogLine(const QString& sortTitle, int fDate,
                                             const QString& whereText)
{
    return QStringLiteral("薪资管理['%1:%2:%3'薪资重新核算]")
        .arg(sortTitle, core::monthText(fDate), selectionText(whereText));
}

QStringList WageCalcResult::failureMessages() const
{
    QStringList messages;
    for (const WageCalcFailure& failure : failures) {
        QString text = QStringLiteral("计算 [%1] 公式时出错!").arg(failure.itemCaption);
        QStringList persons;
        for (const auto& [number, name] : failure.persons)
            persons << number + QLatin1Char(' ') + name;
        if (!persons.isEmpty())
            text += QStringLiteral(" (%1)").arg(persons.join(QStringLiteral(", ")));
        if (!failure.engineError.isEmpty())
            text += QStringLiteral(": ") + failure.engineError;
        messages << text;
    }
    return messages;
}

WageCalculator::WageCalculator(db::CADODatabase& database, WageScriptSession& session)
    : m_db(database), m_session(session)
{
}

WageCalcResult WageCalculator::calculateMonth(const WageViewFilter& filter,
                                              const Progress& progress)
{
    const QString table = WageViewFilter::dataTable(m_db, filter.sortId);
    if (table.isEmpty()) {
        WageCalcResult result;
        result.ok = false;
        result.error = QStringLiteral("选择的薪资帐套被删除！");
        return result;
    }
    WageCalcRequest request;
    request.sortId = filter.sortId;
    request.fDate = filter.fDate;
    request.whereText = filter.whereText(table);
    script::WageContext& context = m_session.context();
    context.sortId = filter.sortId;
    context.sortTitle = WageViewFilter::sortTitle(m_db, filter.sortId).toStdString();
    context.fDate = filter.fDate;
    context.fromWhere = (WageViewFilter::fromClause(table) + request.whereText).toStdString();
    return runWageCalculation(m_db, m_session, request, progress);
}

WageCalcResult WageCalculator::calculatePerson(int sortId, int fDate, int personId)
{
    const QString table = WageViewFilter::dataTable(m_db, sortId);
    if (table.isEmpty()) {
        WageCalcResult result;
        result.ok = false;
        result.error = QStringLiteral("选择的薪资帐套被删除！");
        return result;
    }
    script::WageContext& context = m_session.context();
    if (context.sortId != sortId || context.fDate != fDate) {
        WageViewFilter whole;
        whole.sortId = sortId;
        whole.fDate = fDate;
        context.sortId = sortId;
        context.sortTitle = WageViewFilter::sortTitle(m_db, sortId).toStdString();
        context.fDate = fDate;
        context.fromWhere =
            (WageViewFilter::fromClause(table) + whole.whereText(table)).toStdString();
    }
    WageCalcRequest request;
    request.sortId = sortId;
    request.fDate = fDate;
    request.whereText = QStringLiteral(" WHERE ([%1].fDate=%2) AND ([%1].PID=%3)")
                            .arg(table)
                            .arg(fDate)
                            .arg(personId);
    request.missingAmountIsZero = true;
    request.withCaptions = false;
    return runWageCalculation(m_db, m_session, request, {});
}

} // namespace orvane::payroll
