// Wage sorts and their items: the qp_Table row of the sort, its wage data table, the qp_Items
// rows of the items and their columns, and the two item orders.
#include "server/coreprocedures.h"
#include "server/payrollprocedures.h"
#include "server/procedurehelpers.h"

namespace orvane::server {

namespace payroll_detail {

QString wageTableOf(db::ProcContext& ctx, int sortId)
{
    return ctx
        .scalar(QStringLiteral("SELECT TblName FROM qp_Table WHERE nType=6 AND ID=%1").arg(sortId))
        .toString();
}

bool isWorkTableName(const QString& name)
{
    QString rest = name;
    if (rest.startsWith(QLatin1String("##")))
        rest.remove(0, 2);
    else if (rest.startsWith(QLatin1Char('#')))
        rest.remove(0, 1);
    if (rest.isEmpty() || rest.size() > 100 || rest.at(0).isDigit())
        return false;
    for (const QChar c : rest) {
        if (!(c.unicode() < 128 && (c.isLetterOrNumber() || c == u'_')))
            return false;
    }
    return true;
}

QString bracketed(const QString& name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

void dropTableIfExists(db::ProcContext& ctx, const QString& name)
{
    ctx.executeNative(ddlFor(ctx).dropTableIfExists(name));
}

} // namespace payroll_detail

namespace {

using db::ProcContext;
using namespace payroll_detail;

constexpr int kWageSortType = 6;

int nextValue(ProcContext& ctx, const QString& column, const QString& table, const QString& where)
{
    return scalarInt(ctx,
                     QStringLiteral("SELECT MAX(%1) FROM %2 WHERE %3").arg(column, table, where)) +
           1;
}

QString itemsOf(const QString& wageTable)
{
    return QStringLiteral("UPPER(TblName)=") + sqlText(wageTable.toUpper());
}

// qp_AddWageSort: Return, Name, Descr, NewID (output). Creates the sort's qp_Table row and its
// wage data table (one row per person and month).
void addWageSort(ProcContext& ctx)
{
    const QString title = ctx.paramString(QStringLiteral("Name")).trimmed();
    const QString descr = ctx.paramString(QStringLiteral("Descr"));
    if (title.isEmpty() || title.size() > 50) {
        ctx.setReturn(kWageSortFailed);
        return;
    }
    lockForWriting(ctx, QStringLiteral("qp_Table"));
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE nType=6")) >=
        kMaxWageSorts) {
        ctx.setReturn(kWageSortTooMany);
        return;
    }
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE nType=6 AND "
                                      "UPPER(Title)=%1")
                           .arg(sqlText(title.toUpper()))) > 0) {
        ctx.setReturn(kWageSortDuplicate);
        return;
    }
    ctx.execute(QStringLiteral("INSERT INTO qp_Table (TblName,Title,nType,ParentID,hasChild,Flag,"
                               "bShow,bStat,bFixed,Descr,Ord) VALUES ('',%1,%2,0,0,1,1,0,0,%3,%4)")
                    .arg(sqlText(title), num(kWageSortType), sqlText(descr.left(100)),
                         num(nextValue(ctx, QStringLiteral("Ord"), QStringLiteral("qp_Table"),
                                       QStringLiteral("nType=6")))));
    const int id = scalarInt(ctx, QStringLiteral("SELECT MAX(ID) FROM qp_Table"));
    const QString table = freeTableName(ctx, QStringLiteral("qp_Wage%1").arg(id));
    ctx.execute(
        QStringLiteral("UPDATE qp_Table SET TblName=%1 WHERE ID=%2").arg(sqlText(table), num(id)));

    const TableDef def{table,
                       {{QStringLiteral("ID"), ColumnType::Identity, 0, {}},
                        {QStringLiteral("fDate"), ColumnType::Integer, 0, QStringLiteral("0")},
                        {QStringLiteral("PID"), ColumnType::Integer, 0, QStringLiteral("0")},
                        {QStringLiteral("DID"), ColumnType::Integer, 0, QStringLiteral("0")},
                        {QStringLiteral("AID"), ColumnType::Integer, 0, QStringLiteral("0")},
                        {QStringLiteral("Ord"), ColumnType::Integer, 0, QStringLiteral("0")}}};
    const DdlWriter ddl = ddlFor(ctx);
    ctx.executeNative(ddl.createTable(def));
    ctx.executeNative(ddl.createIndex({QStringLiteral("ix_%1_fDate_PID").arg(table),
                                       table,
                                       {QStringLiteral("fDate"), QStringLiteral("PID")},
                                       true}));
    ctx.setOutput(QStringLiteral("NewID"), id);
    ctx.setResultColumns({QStringLiteral("NewID")});
    ctx.addResultRow({id});
    ctx.setReturn(kWageSortOk);
}

// qp_DeleteWageSort: Return, SID. Removes the sort with everything that belongs to it. Returns 1
// when done, 0 when there is no such sort.
void deleteWageSort(ProcContext& ctx)
{
    const int sortId = keyParam(ctx, "SID");
    const QString table = wageTableOf(ctx, sortId);
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE nType=6 AND ID=%1")
                           .arg(sortId)) == 0) {
        ctx.setReturn(0);
        return;
    }
    const db::ResultSet std =
        ctx.query(QStringLiteral("SELECT STDTable FROM qp_WageStdTable WHERE SID=%1").arg(sortId));
    for (int r = 0; r < std.rowCount(); ++r) {
        const QString data = std.at(r, 0).toString();
        if (DdlWriter::isPlainName(data))
            dropTableIfExists(ctx, data);
    }
    const QString sid = num(sortId);
    ctx.execute(QStringLiteral("DELETE FROM qp_WageStdTblItem WHERE StdID IN (SELECT id FROM "
                               "qp_WageStdTable WHERE SID=%1)")
                    .arg(sid));
    for (const char* owned : {"qp_WageStdTable", "qp_WagePsn", "qp_WageTable", "qp_WageExport",
                              "qp_WageExportDetail", "qp_WageAnnounce"})
        ctx.execute(
            QStringLiteral("DELETE FROM %1 WHERE SID=%2").arg(QString::fromLatin1(owned), sid));
    if (!table.isEmpty())
        ctx.execute(QStringLiteral("DELETE FROM qp_Items WHERE ") + itemsOf(table));
    ctx.execute(QStringLiteral("DELETE FROM qp_Table WHERE ID=%1").arg(sid));
    if (DdlWriter::isPlainName(table))
        dropTableIfExists(ctx, table);
    ctx.setReturn(1);
}

// qp_AddDBTableWageItem: Return, SID, Active, ItemID (0 = new), Alias, DataType, IdRef,
// Property, Retain, StdTblID, FieldDec, Choice, FExp, FExp2, NewItemID (output). Returns 0 on
// success; 1 for a duplicate caption, 2 for an invalid argument.
void addWageItem(ProcContext& ctx)
{
    const int sortId = ctx.paramInt(QStringLiteral("SID"));
    const int itemId = ctx.paramInt(QStringLiteral("ItemID"));
    const QString alias = ctx.paramString(QStringLiteral("Alias")).trimmed();
    const int dataType = ctx.paramInt(QStringLiteral("DataType"));
    QString idRef = ctx.paramString(QStringLiteral("IdRef")).trimmed();
    int property = ctx.paramInt(QStringLiteral("Property"));
    int stdTable = ctx.paramInt(QStringLiteral("StdTblID"));
    const int decimals = ctx.paramInt(QStringLiteral("FieldDec"));
    const int choice = ctx.paramInt(QStringLiteral("Choice"));
    QString fexp = ctx.paramString(QStringLiteral("FExp"));
    QString fexp2 = ctx.paramString(QStringLiteral("FExp2"));
    const QString table = wageTableOf(ctx, sortId);

    const bool valid = !table.isEmpty() && DdlWriter::isPlainName(table) && !alias.isEmpty() &&
                       alias.size() <= 50 && (dataType == 0 || dataType == 3) && property >= 0 &&
                       property <= 2 && decimals >= 0 && decimals <= 3 && choice >= 0 &&
                       choice <= 2 && !(dataType == 3 && idRef.isEmpty());
    if (!valid) {
        ctx.setReturn(kReturnInvalid);
        return;
    }
    if (dataType == 3) {
        property = 0;
        stdTable = 0;
        fexp.clear();
        fexp2.clear();
    } else {
        idRef.clear();
    }
    if (property != 1) {
        fexp.clear();
        fexp2.clear();
    }
    if (property != 2)
        stdTable = 0;
    if (property == 2 &&
        scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_WageStdTable WHERE id=%1 AND SID=%2")
                           .arg(num(stdTable), num(sortId))) == 0) {
        ctx.setReturn(kReturnInvalid);
        return;
    }
    lockForWriting(ctx, QStringLiteral("qp_Items"));
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Items WHERE iSort=1 AND "
                                      "UPPER(Alias)=%1 AND ItemID<>%2")
                           .arg(sqlText(alias.toUpper()), num(itemId))) > 0) {
        ctx.setReturn(kReturnDuplicate);
        return;
    }

    const QString values =
        QStringLiteral("Alias=%1,iDataType=%2,IdRef=%3,iProperty=%4,Retain=%5,StdTblID=%6,"
                       "iDec=%7,iChoice=%8,FExp=%9,FExp2=%10,Active=%11")
            .arg(sqlText(alias), num(dataType), sqlText(idRef.left(100)), num(property),
                 num(flagParam(ctx, "Retain")), num(stdTable), num(decimals), num(choice),
                 sqlText(fexp), sqlText(fexp2), num(flagParam(ctx, "Active")));
    if (itemId != 0) {
        const db::ResultSet row =
            ctx.query(QStringLiteral("SELECT ItemID FROM qp_Items WHERE ItemID=%1 AND iSort=1 AND ")
                          .arg(itemId) +
                      itemsOf(table));
        if (row.rowCount() == 0) {
            ctx.setReturn(kReturnInvalid);
            return;
        }
        ctx.execute(
            QStringLiteral("UPDATE qp_Items SET %1 WHERE ItemID=%2").arg(values, num(itemId)));
        ctx.setOutput(QStringLiteral("NewItemID"), itemId);
        ctx.setReturn(kReturnOk);
        return;
    }

    const QString where = itemsOf(table);
    ctx.execute(
        QStringLiteral("INSERT INTO qp_Items (TblName,Name,Alias,iSort,iLength,Ord,OrdF) "
                       "VALUES (%1,'',%2,1,%3,%4,%5)")
            .arg(sqlText(table), sqlText(alias), num(dataType == 0 ? 9 : 50),
                 num(nextValue(ctx, QStringLiteral("Ord"), QStringLiteral("qp_Items"), where)),
                 num(nextValue(ctx, QStringLiteral("OrdF"), QStringLiteral("qp_Items"), where))));
    const int newId = scalarInt(ctx, QStringLiteral("SELECT MAX(ItemID) FROM qp_Items"));
    const QString name = freeColumnName(ctx, table, newId);
    ctx.execute(QStringLiteral("UPDATE qp_Items SET Name=%1,%2 WHERE ItemID=%3")
                    .arg(sqlText(name), values, num(newId)));
    const ColumnDef column = dataType == 0
                                 ? ColumnDef{name, ColumnType::Number, 0, QStringLiteral("0")}
                                 : ColumnDef{name, ColumnType::Text, 50, {}};
    ctx.executeNative(ddlFor(ctx).addColumn(table, column));
    ctx.setOutput(QStringLiteral("NewItemID"), newId);
    ctx.setResultColumns({QStringLiteral("NewItemID")});
    ctx.addResultRow({newId});
    ctx.setReturn(kReturnOk);
}

// qp_DeleteWageSortItemByID: SID, ItemID. Removes the item, its column and its data.
void deleteWageItem(ProcContext& ctx)
{
    const int sortId = ctx.paramInt(QStringLiteral("SID"));
    const int itemId = ctx.paramInt(QStringLiteral("ItemID"));
    const QString table = wageTableOf(ctx, sortId);
    const db::ResultSet row = ctx.query(
        QStringLiteral("SELECT Name FROM qp_Items WHERE iSort=1 AND ItemID=%1 AND ").arg(itemId) +
        itemsOf(table));
    if (table.isEmpty() || row.rowCount() == 0)
        ctx.fail(QStringLiteral("薪资项目不存在(ID=%1)").arg(itemId));
    const QString name = row.at(0, 0).toString();
    ctx.execute(QStringLiteral("DELETE FROM qp_Items WHERE ItemID=%1").arg(itemId));
    if (DdlWriter::isPlainName(table) && DdlWriter::isPlainName(name) &&
        tableColumns(ctx, table).contains(name, Qt::CaseInsensitive))
        ctx.executeNative(ddlFor(ctx).dropColumn(table, name));
}

const char* const kItemColumns =
    "ItemID,Name,Ord,Alias AS [项目名称],"
    "CASE iDataType WHEN 3 THEN '参照' ELSE '数值' END AS [数据类型],"
    "CASE iProperty WHEN 1 THEN '公式计算' WHEN 2 THEN '查标准表' ELSE '自由输入' END AS "
    "[项目属性],iDec AS [小数位数],"
    "CASE iChoice WHEN 1 THEN '全舍' WHEN 2 THEN '全入' ELSE '四舍五入' END AS [舍入方式],"
    "CASE Retain WHEN 1 THEN '是' ELSE '否' END AS [结转保留],"
    "CASE Active WHEN 1 THEN '是' ELSE '否' END AS [是否有效],FExp2 AS [计算公式]";

// qp_SelectWageSetItemsByID: the sort's items in display order (ItemID first, caption fourth).
void selectWageItems(ProcContext& ctx)
{
    const QString table = wageTableOf(ctx, keyParam(ctx, "SID"));
    ctx.setResult(ctx.query(QStringLiteral("SELECT %1 FROM qp_Items WHERE iSort=1 AND %2 ORDER "
                                           "BY Ord,ItemID")
                                .arg(QString::fromUtf8(kItemColumns), itemsOf(table))));
}

// qp_SelectWageSetItemsReOrderByID: the items that are calculated (formula or standard table),
// in calculation order, for the reorder dialog.
void selectWageItemsForCalcOrder(ProcContext& ctx)
{
    const QString table = wageTableOf(ctx, keyParam(ctx, "SID"));
    ctx.setResult(ctx.query(
        QStringLiteral("SELECT ItemID,OrdF,Alias AS [项目名称],"
                       "CASE iProperty WHEN 1 THEN '公式计算' ELSE '查标准表' END AS [项目属性],"
                       "FExp2 AS [计算公式] FROM qp_Items WHERE iSort=1 AND iDataType=0 AND "
                       "(iProperty=1 OR iProperty=2) AND %1 ORDER BY OrdF,ItemID")
            .arg(itemsOf(table))));
}

// Renumbers one order column of the sort's items 1..n, keeping the present order.
void renumberItems(ProcContext& ctx, const QString& column)
{
    const QString table = wageTableOf(ctx, keyParam(ctx, "SID"));
    const db::ResultSet rows =
        ctx.query(QStringLiteral("SELECT ItemID FROM qp_Items WHERE iSort=1 AND %1 ORDER BY %2,"
                                 "ItemID")
                      .arg(itemsOf(table), column));
    for (int r = 0; r < rows.rowCount(); ++r)
        ctx.execute(QStringLiteral("UPDATE qp_Items SET %1=%2 WHERE ItemID=%3")
                        .arg(column, num(r + 1), num(rows.at(r, 0).toInt())));
}

} // namespace

namespace payroll_detail {

void registerWageSortProcedures()
{
    registerOnce(QStringLiteral("qp_AddWageSort"),
                 {QStringLiteral("Name"), QStringLiteral("Descr"), QStringLiteral("NewID OUTPUT")},
                 addWageSort);
    registerOnce(QStringLiteral("qp_DeleteWageSort"), {QStringLiteral("SID")}, deleteWageSort);
    registerOnce(QStringLiteral("qp_AddDBTableWageItem"),
                 {QStringLiteral("SID"), QStringLiteral("Active"), QStringLiteral("ItemID"),
                  QStringLiteral("Alias"), QStringLiteral("DataType"), QStringLiteral("IdRef"),
                  QStringLiteral("Property"), QStringLiteral("Retain"), QStringLiteral("StdTblID"),
                  QStringLiteral("FieldDec"), QStringLiteral("Choice"), QStringLiteral("FExp"),
                  QStringLiteral("FExp2"), QStringLiteral("NewItemID OUTPUT")},
                 addWageItem);
    registerOnce(QStringLiteral("qp_DeleteWageSortItemByID"),
                 {QStringLiteral("SID"), QStringLiteral("ItemID")}, deleteWageItem);
    registerOnce(QStringLiteral("qp_SelectWageSetItemsByID"), {QStringLiteral("SID")},
                 selectWageItems);
    registerOnce(QStringLiteral("qp_SelectWageSetItemsReOrderByID"), {QStringLiteral("SID")},
                 selectWageItemsForCalcOrder);
    registerOnce(QStringLiteral("qp_RefreshWageItemCalcOrder"), {QStringLiteral("SID")},
                 [](ProcContext& ctx) { renumberItems(ctx, QStringLiteral("OrdF")); });
    registerOnce(QStringLiteral("qp_RefreshWageItemOrder"), {QStringLiteral("SID")},
                 [](ProcContext& ctx) { renumberItems(ctx, QStringLiteral("Ord")); });
}

} // namespace payroll_detail

void registerPayrollProcedures()
{
    payroll_detail::registerWageSortProcedures();
    payroll_detail::registerWageStdProcedures();
    payroll_detail::registerWageMemberProcedures();
    payroll_detail::registerWageMonthProcedures();
    payroll_detail::registerWageOutputProcedures();
}

} // namespace orvane::server
