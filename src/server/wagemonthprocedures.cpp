// Monthly wage tables (qp_WageTable and the month's rows of the sort's wage data table) and the
// value look-ups behind the formula functions SUM/AVG/MAX/MIN, GETSALARY and GETPRESALARY.
#include "server/payrollprocedures.h"
#include "server/procedurehelpers.h"

#include <QDateTime>

namespace orvane::server {

namespace {

using db::ProcContext;
using namespace payroll_detail;

bool validMonth(int fDate)
{
    return fDate / 100 >= 1900 && fDate / 100 <= 9999 && fDate % 100 >= 1 && fDate % 100 <= 12;
}

QString wageTableParam(ProcContext& ctx, int sortId)
{
    const QString table = wageTableOf(ctx, sortId);
    if (table.isEmpty() || !DdlWriter::isPlainName(table))
        ctx.fail(QStringLiteral("选择的薪资帐套被删除！"));
    return table;
}

// Column names of the sort's items that carry over (Retain) or all items.
QStringList itemColumns(ProcContext& ctx, const QString& wageTable, bool retainedOnly)
{
    const db::ResultSet rows =
        ctx.query(QStringLiteral("SELECT Name FROM qp_Items WHERE iSort=1 AND UPPER(TblName)=%1%2")
                      .arg(sqlText(wageTable.toUpper()),
                           retainedOnly ? QStringLiteral(" AND Retain=1") : QString()));
    QStringList names;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString name = rows.at(r, 0).toString();
        if (DdlWriter::isPlainName(name))
            names << name;
    }
    return names;
}

// Copies the columns' values of month `from` into month `to` for the persons `personFilter`
// selects (a condition on the PID of the target rows).
void copyValues(ProcContext& ctx, const QString& table, const QStringList& columns, int from,
                int to, const QString& personFilter)
{
    if (columns.isEmpty())
        return;
    QStringList sets;
    for (const QString& c : columns)
        sets << QStringLiteral("[%1]=(SELECT p.[%1] FROM [%2] p WHERE p.PID=[%2].PID AND "
                               "p.fDate=%3)")
                    .arg(c, table, num(from));
    ctx.execute(QStringLiteral("UPDATE [%1] SET %2 WHERE fDate=%3 AND PID IN (SELECT PID FROM [%1] "
                               "WHERE fDate=%4) AND %5")
                    .arg(table, sets.join(QLatin1Char(',')), num(to), num(from), personFilter));
}

// qp_CreateWageTable: UserID, SID, nFDate. The header row (open) and one row per member with
// the person's department, category and member order; the items marked Retain start with the
// values of the latest earlier month.
void createWageTable(ProcContext& ctx)
{
    const int sortId = ctx.paramInt(QStringLiteral("SID"));
    const int fDate = ctx.paramInt(QStringLiteral("nFDate"));
    const QString table = wageTableParam(ctx, sortId);
    if (!validMonth(fDate))
        ctx.fail(QStringLiteral("薪资期间无效: %1").arg(fDate));
    const QString existsSql = QStringLiteral("SELECT COUNT(*) FROM qp_WageTable WHERE SID=%1 AND "
                                             "fDate=%2")
                                  .arg(num(sortId), num(fDate));
    const QString exists = QStringLiteral("薪资表(%1年%2月) 已存在!")
                               .arg(fDate / 100)
                               .arg(fDate % 100, 2, 10, QLatin1Char('0'));
    if (scalarInt(ctx, existsSql) > 0)
        ctx.fail(exists);
    // The unique index on (SID, fDate) makes a second operator creating the same month at the
    // same moment fail here; on a server that has committed the other month by now, so the
    // operator gets the same answer as when the month was there before.
    try {
        ctx.execute(QStringLiteral("INSERT INTO qp_WageTable (SID,fDate,Stat,CreateDate) VALUES "
                                   "(%1,%2,0,GETDATE())")
                        .arg(num(sortId), num(fDate)));
    } catch (const db::ProcError&) {
        if (scalarInt(ctx, existsSql) > 0)
            ctx.fail(exists);
        throw;
    }
    ctx.execute(QStringLiteral("DELETE FROM [%1] WHERE fDate=%2").arg(table, num(fDate)));
    ctx.execute(QStringLiteral("INSERT INTO [%1] (fDate,PID,DID,AID,Ord) SELECT %2,qp_WagePsn.PID,"
                               "qp_PsnBase.DID,qp_PsnBase.AID,qp_WagePsn.Ord FROM qp_WagePsn "
                               "INNER JOIN qp_PsnBase ON qp_WagePsn.PID=qp_PsnBase.PID WHERE "
                               "qp_WagePsn.SID=%3")
                    .arg(table, num(fDate), num(sortId)));
    const int previous = scalarInt(ctx, QStringLiteral("SELECT MAX(fDate) FROM qp_WageTable WHERE "
                                                       "SID=%1 AND fDate<%2")
                                            .arg(num(sortId), num(fDate)));
    if (previous > 0)
        copyValues(ctx, table, itemColumns(ctx, table, true), previous, fDate,
                   QStringLiteral("1=1"));
}

// qp_UpdateWageTableCheckOut: SID, wage table ID (or the month), Stat (1 close, 0 reopen).
void checkOut(ProcContext& ctx)
{
    const int sortId = ctx.paramInt(QStringLiteral("SID"));
    const int key = ctx.paramInt(QStringLiteral("ID"));
    const int stat = ctx.paramInt(QStringLiteral("Stat")) != 0 ? 1 : 0;
    const qint64 changed =
        ctx.execute(QStringLiteral("UPDATE qp_WageTable SET Stat=%1 WHERE SID=%2 AND (ID=%3 OR "
                                   "fDate=%3)")
                        .arg(num(stat), num(sortId), num(key)));
    if (changed == 0)
        ctx.fail(QStringLiteral("薪资表不存在"));
}

// qp_DeleteWagePsnByID: SID, nFDate, PID. Removes the person's row from the month.
void deleteWagePerson(ProcContext& ctx)
{
    const QString table = wageTableParam(ctx, ctx.paramInt(QStringLiteral("SID")));
    ctx.execute(QStringLiteral("DELETE FROM [%1] WHERE fDate=%2 AND PID=%3")
                    .arg(table, num(ctx.paramInt(QStringLiteral("nFDate"))),
                         num(ctx.paramInt(QStringLiteral("PID")))));
}

// qp_SelectPsnWageReOrderByDeptID: SID, nFDate, DID. The month's rows of the department in
// order (ID, Ord, number, name) for the order editor.
void selectWageReOrder(ProcContext& ctx)
{
    const QString table = wageTableParam(ctx, ctx.paramInt(QStringLiteral("SID")));
    ctx.setResult(ctx.query(
        QStringLiteral("SELECT w.ID,w.Ord,qp_PsnBase.Number AS [编号],qp_PsnBase.Name AS [姓名] "
                       "FROM [%1] w INNER JOIN qp_PsnBase ON w.PID=qp_PsnBase.PID WHERE "
                       "w.fDate=%2 AND w.DID=%3 ORDER BY w.Ord,w.ID")
            .arg(table, num(ctx.paramInt(QStringLiteral("nFDate"))),
                 num(ctx.paramInt(QStringLiteral("DID"))))));
}

// qp_RefreshWageTablePsnOrder: TblName, nFDate, DID. The department's rows of the month get the
// order values 1..n, keeping their present order. Only a wage data table is accepted.
void refreshWageOrder(ProcContext& ctx)
{
    const QString name = ctx.paramString(QStringLiteral("TblName")).trimmed();
    const QVariant table = ctx.scalar(
        QStringLiteral("SELECT TblName FROM qp_Table WHERE nType=6 AND UPPER(TblName)=%1")
            .arg(sqlText(name.toUpper())));
    if (table.isNull() || !DdlWriter::isPlainName(table.toString()))
        ctx.fail(QStringLiteral("薪资数据表“%1”不存在").arg(name));
    const QString bracketedTable = QLatin1Char('[') + table.toString() + QLatin1Char(']');
    renumber(ctx, bracketedTable, QStringLiteral("ID"),
             QStringLiteral("SELECT ID FROM %1 WHERE fDate=%2 AND DID=%3 ORDER BY Ord,ID")
                 .arg(bracketedTable, num(ctx.paramInt(QStringLiteral("nFDate"))),
                      num(ctx.paramInt(QStringLiteral("DID")))));
}

// qp_AddWagePsnFromTmpTable: TmpTableName, SID, nFDate. The ticked persons get a row in the
// month (persons who have one already are skipped).
void addTickedToMonth(ProcContext& ctx)
{
    const QString work = ctx.paramString(QStringLiteral("TmpTableName")).trimmed();
    if (!isWorkTableName(work))
        ctx.fail(QStringLiteral("临时表名称无效: %1").arg(work));
    const int sortId = ctx.paramInt(QStringLiteral("SID"));
    const int fDate = ctx.paramInt(QStringLiteral("nFDate"));
    const QString table = wageTableParam(ctx, sortId);
    const int base = scalarInt(
        ctx, QStringLiteral("SELECT MAX(Ord) FROM [%1] WHERE fDate=%2").arg(table, num(fDate)));
    ctx.execute(QStringLiteral("INSERT INTO [%1] (fDate,PID,DID,AID,Ord) SELECT %2,qp_PsnBase.PID,"
                               "qp_PsnBase.DID,qp_PsnBase.AID,%3+t.ord FROM %4 t INNER JOIN "
                               "qp_PsnBase ON t.PID=qp_PsnBase.PID WHERE t.CKD=1 AND t.PID NOT IN "
                               "(SELECT PID FROM [%1] WHERE fDate=%2)")
                    .arg(table, num(fDate), num(base), bracketed(work)));
}

// qp_UpdateWageTmpTableForAddPsn: TmpTableName, SID, nFDate, nPreFDate. The ticked persons'
// values of every item are copied from month nPreFDate.
void copyTickedFromMonth(ProcContext& ctx)
{
    const QString work = ctx.paramString(QStringLiteral("TmpTableName")).trimmed();
    if (!isWorkTableName(work))
        ctx.fail(QStringLiteral("临时表名称无效: %1").arg(work));
    const QString table = wageTableParam(ctx, ctx.paramInt(QStringLiteral("SID")));
    copyValues(ctx, table, itemColumns(ctx, table, false),
               ctx.paramInt(QStringLiteral("nPreFDate")), ctx.paramInt(QStringLiteral("nFDate")),
               QStringLiteral("PID IN (SELECT PID FROM %1 WHERE CKD=1)").arg(bracketed(work)));
}

// The column of the item with this caption in a wage data table, "" when there is none.
QString itemColumn(ProcContext& ctx, const QString& wageTable, const QString& caption)
{
    const QString name =
        ctx.scalar(QStringLiteral("SELECT Name FROM qp_Items WHERE UPPER(TblName)=%1 AND "
                                  "UPPER(Alias)=%2")
                       .arg(sqlText(wageTable.toUpper()), sqlText(caption.trimmed().toUpper())))
            .toString();
    return DdlWriter::isPlainName(name) ? name : QString();
}

void singleValue(ProcContext& ctx, const QVariant& value)
{
    ctx.setResultColumns({QStringLiteral("Value")});
    ctx.addResultRow({value});
}

// qp_GetAggregeWageValue: SID, FromWhereSql, ItmAlias, AgFun. The aggregate of the item over
// the wage view's selection; empty when the sort or the item is unknown.
void aggregateValue(ProcContext& ctx)
{
    const QString function = ctx.paramString(QStringLiteral("AgFun")).trimmed().toUpper();
    static const QStringList functions{QStringLiteral("SUM"), QStringLiteral("AVG"),
                                       QStringLiteral("MAX"), QStringLiteral("MIN")};
    if (!functions.contains(function))
        ctx.fail(QStringLiteral("聚合函数无效: %1").arg(function));
    const QString table = wageTableOf(ctx, ctx.paramInt(QStringLiteral("SID")));
    const QString fromWhere = ctx.paramString(QStringLiteral("FromWhereSql")).trimmed();
    const QString column =
        table.isEmpty() ? QString()
                        : itemColumn(ctx, table, ctx.paramString(QStringLiteral("ItmAlias")));
    if (column.isEmpty() || fromWhere.isEmpty()) {
        singleValue(ctx, QVariant());
        return;
    }
    singleValue(
        ctx,
        ctx.scalar(
            QStringLiteral("SELECT %1([%2].[%3]) %4").arg(function, table, column, fromWhere)));
}

// The value of an item for a person (by number) in a sort (by title) and month.
QVariant personItemValue(ProcContext& ctx, int fDate)
{
    const QString sort = ctx.paramString(QStringLiteral("SortName")).trimmed();
    const QString table =
        ctx.scalar(QStringLiteral("SELECT TblName FROM qp_Table WHERE nType=6 AND UPPER(Title)=%1")
                       .arg(sqlText(sort.toUpper())))
            .toString();
    if (!DdlWriter::isPlainName(table))
        return {};
    const QString column = itemColumn(ctx, table, ctx.paramString(QStringLiteral("ItmAlias")));
    if (column.isEmpty())
        return {};
    return ctx.scalar(QStringLiteral("SELECT [%1].[%2] FROM [%1] INNER JOIN qp_PsnBase ON "
                                     "[%1].PID=qp_PsnBase.PID WHERE [%1].fDate=%3 AND "
                                     "qp_PsnBase.Number=%4")
                          .arg(table, column, num(fDate),
                               sqlText(ctx.paramString(QStringLiteral("PsnNumber")).trimmed())));
}

// qp_GetPSNWageValue: PsnNumber, nFDate, ItmAlias, SortName.
void personValue(ProcContext& ctx)
{
    singleValue(ctx, personItemValue(ctx, ctx.paramInt(QStringLiteral("nFDate"))));
}

// qp_GetPSNPreWageValue: PsnNumber, nFDate, nPer, ItmAlias, SortName. The value nPer calendar
// months before nFDate.
void previousPersonValue(ProcContext& ctx)
{
    const int fDate = ctx.paramInt(QStringLiteral("nFDate"));
    const int months =
        (fDate / 100) * 12 + (fDate % 100 - 1) - ctx.paramInt(QStringLiteral("nPer"));
    singleValue(ctx, months < 0 ? QVariant()
                                : personItemValue(ctx, (months / 12) * 100 + months % 12 + 1));
}

} // namespace

namespace payroll_detail {

void registerWageMonthProcedures()
{
    registerOnce(QStringLiteral("qp_CreateWageTable"),
                 {QStringLiteral("UserID"), QStringLiteral("SID"), QStringLiteral("nFDate")},
                 createWageTable);
    registerOnce(QStringLiteral("qp_UpdateWageTableCheckOut"),
                 {QStringLiteral("SID"), QStringLiteral("ID"), QStringLiteral("Stat")}, checkOut);
    registerOnce(QStringLiteral("qp_DeleteWagePsnByID"),
                 {QStringLiteral("SID"), QStringLiteral("nFDate"), QStringLiteral("PID")},
                 deleteWagePerson);
    registerOnce(QStringLiteral("qp_SelectPsnWageReOrderByDeptID"),
                 {QStringLiteral("SID"), QStringLiteral("nFDate"), QStringLiteral("DID")},
                 selectWageReOrder);
    registerOnce(QStringLiteral("qp_RefreshWageTablePsnOrder"),
                 {QStringLiteral("TblName"), QStringLiteral("nFDate"), QStringLiteral("DID")},
                 refreshWageOrder);
    registerOnce(QStringLiteral("qp_AddWagePsnFromTmpTable"),
                 {QStringLiteral("TmpTableName"), QStringLiteral("SID"), QStringLiteral("nFDate")},
                 addTickedToMonth);
    registerOnce(QStringLiteral("qp_UpdateWageTmpTableForAddPsn"),
                 {QStringLiteral("TmpTableName"), QStringLiteral("SID"), QStringLiteral("nFDate"),
                  QStringLiteral("nPreFDate")},
                 copyTickedFromMonth);
    registerOnce(QStringLiteral("qp_GetAggregeWageValue"),
                 {QStringLiteral("SID"), QStringLiteral("FromWhereSql"), QStringLiteral("ItmAlias"),
                  QStringLiteral("AgFun")},
                 aggregateValue);
    registerOnce(QStringLiteral("qp_GetPSNWageValue"),
                 {QStringLiteral("PsnNumber"), QStringLiteral("nFDate"), QStringLiteral("ItmAlias"),
                  QStringLiteral("SortName")},
                 personValue);
    registerOnce(QStringLiteral("qp_GetPSNPreWageValue"),
                 {QStringLiteral("PsnNumber"), QStringLiteral("nFDate"), QStringLiteral("nPer"),
                  QStringLiteral("ItmAlias"), QStringLiteral("SortName")},
                 previousPersonValue);
}

} // namespace payroll_detail

} // namespace orvane::server
