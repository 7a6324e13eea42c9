// Procedures that keep the catalogue (qp_Table, qp_Items) and the physical tables in step.
#include "server/coreprocedures.h"
#include "server/procedurehelpers.h"

namespace orvane::server {

namespace {

using db::ProcContext;

constexpr int kRelatedTable = 5;

int nextOrd(ProcContext& ctx, const QString& table, const QString& where)
{
    return scalarInt(ctx, QStringLiteral("SELECT MAX(Ord) FROM %1 WHERE %2").arg(table, where)) + 1;
}

bool titleTaken(ProcContext& ctx, const QString& title, int exceptId)
{
    return scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE UPPER(Title)=%1 "
                                         "AND ID<>%2")
                              .arg(sqlText(title.toUpper()), num(exceptId))) > 0;
}

bool aliasTaken(ProcContext& ctx, const QString& table, const QString& alias, int exceptId)
{
    return scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Items WHERE UPPER(TblName)=%1 "
                                         "AND UPPER(Alias)=%2 AND ItemID<>%3")
                              .arg(sqlText(table.toUpper()), sqlText(alias.toUpper()),
                                   num(exceptId))) > 0;
}

// The catalogue spelling of a table name, empty when the catalogue does not know it.
QString catalogueTableName(ProcContext& ctx, const QString& table)
{
    return ctx
        .scalar(QStringLiteral("SELECT TblName FROM qp_Table WHERE UPPER(TblName)=%1")
                    .arg(sqlText(table.trimmed().toUpper())))
        .toString();
}

int proposedLength(int dataType, int length)
{
    switch (dataType) {
    case 0:
        return 9;
    case 2:
        return 8;
    case 4:
        return 4;
    default:
        break;
    }
    return length > 0 ? qMin(length, 4000) : 50;
}

// qp_AddDBTable: Return, nType, Title, Descr, ParentID, IShow.
void addDBTable(ProcContext& ctx)
{
    const int nType = ctx.paramInt(QStringLiteral("nType"));
    const QString title = ctx.paramString(QStringLiteral("Title")).trimmed();
    const QString descr = ctx.paramString(QStringLiteral("Descr"));
    const int parentId = ctx.paramInt(QStringLiteral("ParentID"));
    const bool show = flagParam(ctx, "IShow") != 0;

    if (title.isEmpty() || title.size() > 50 || nType == 6 || parentId < 0) {
        ctx.setReturn(kReturnInvalid);
        return;
    }
    if (parentId > 0 &&
        scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE ID=%1").arg(parentId)) ==
            0) {
        ctx.setReturn(kReturnInvalid);
        return;
    }
    lockForWriting(ctx, QStringLiteral("qp_Table"));
    if (titleTaken(ctx, title, 0)) {
        ctx.setReturn(kReturnDuplicate);
        return;
    }

    ctx.execute(
        QStringLiteral("INSERT INTO qp_Table (TblName,Title,nType,ParentID,hasChild,Flag,"
                       "bShow,bStat,bFixed,Descr,Ord) VALUES ('',%1,%2,%3,0,1,%4,0,0,%5,%6)")
            .arg(sqlText(title), num(nType), num(parentId), num(show ? 1 : 0),
                 sqlText(descr.left(100)),
                 num(nextOrd(ctx, QStringLiteral("qp_Table"), QStringLiteral("1=1")))));
    const int id = scalarInt(ctx, QStringLiteral("SELECT MAX(ID) FROM qp_Table"));
    // A table left behind outside the catalogue keeps its name; the new one takes another.
    const QString base =
        (nType == kRelatedTable ? QStringLiteral("qp_PsnRelat%1") : QStringLiteral("qp_UserTbl%1"))
            .arg(id);
    const QString tblName = freeTableName(ctx, base);
    ctx.execute(QStringLiteral("UPDATE qp_Table SET TblName=%1 WHERE ID=%2")
                    .arg(sqlText(tblName), num(id)));

    // Every related-record table holds child rows of one person in their own order.
    const TableDef table{tblName,
                         {{QStringLiteral("ID"), ColumnType::Identity, 0, {}},
                          {QStringLiteral("PID"), ColumnType::Integer, 0, QStringLiteral("0")},
                          {QStringLiteral("Ord"), ColumnType::Integer, 0, QStringLiteral("0")}}};
    ctx.executeNative(ddlFor(ctx).createTable(table));
    ctx.setReturn(kReturnOk);
}

// qp_UpdateDBTable: ID, Title, Descr, IShow.
void updateDBTable(ProcContext& ctx)
{
    const int id = keyParam(ctx, "ID");
    const QString title = ctx.paramString(QStringLiteral("Title")).trimmed();
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE ID=%1").arg(id)) == 0)
        ctx.fail(QStringLiteral("数据表不存在(ID=%1)").arg(id));
    if (title.isEmpty() || title.size() > 50)
        ctx.fail(QStringLiteral("数据表标题不能为空"));
    if (titleTaken(ctx, title, id))
        ctx.fail(QStringLiteral("数据表“%1”已存在").arg(title));
    ctx.execute(QStringLiteral("UPDATE qp_Table SET Title=%1,Descr=%2,bShow=%3 WHERE ID=%4")
                    .arg(sqlText(title),
                         sqlText(ctx.paramString(QStringLiteral("Descr")).left(100)),
                         num(ctx.paramInt(QStringLiteral("IShow")) != 0 ? 1 : 0), num(id)));
    ctx.setReturn(kReturnOk);
}

// qp_AddDBTableItem: Return, iSort, TblName, Alias, DataType, IdRef, DefValue, Length, bNotNull,
// bShow. The column is named after the new item's key ("F" + ItemID).
void addDBTableItem(ProcContext& ctx)
{
    const QString table = catalogueTableName(ctx, ctx.paramString(QStringLiteral("TblName")));
    const QString alias = ctx.paramString(QStringLiteral("Alias")).trimmed();
    const int dataType = ctx.paramInt(QStringLiteral("DataType"));
    const QString idRef = ctx.paramString(QStringLiteral("IdRef")).trimmed();
    const int length = proposedLength(dataType, ctx.paramInt(QStringLiteral("Length")));

    if (table.isEmpty() || !DdlWriter::isPlainName(table) || alias.isEmpty() || alias.size() > 50 ||
        dataType < 0 || dataType > 5 || ((dataType == 3 || dataType == 4) && idRef.isEmpty())) {
        ctx.setReturn(kReturnInvalid);
        return;
    }
    lockForWriting(ctx, QStringLiteral("qp_Items"));
    if (aliasTaken(ctx, table, alias, 0)) {
        ctx.setReturn(kReturnDuplicate);
        return;
    }
    if (!tableExists(ctx, table))
        ctx.fail(QStringLiteral("数据表 %1 不存在").arg(table));

    ctx.execute(
        QStringLiteral("INSERT INTO qp_Items (TblName,Name,Alias,iDataType,iLength,bFixed,"
                       "iFlag,iDec,iChoice,IdRef,DefValue,bNotNull,bShow,iWid,iSort,Ord) "
                       "VALUES (%1,'',%2,%3,%4,0,0,%5,0,%6,%7,%8,%9,80,%10,%11)")
            .arg(sqlText(table), sqlText(alias), num(dataType), num(length),
                 num(dataType == 0 ? 2 : 0), sqlText(idRef.left(100)),
                 sqlText(ctx.paramString(QStringLiteral("DefValue")).left(256)),
                 num(flagParam(ctx, "bNotNull")), num(flagParam(ctx, "bShow")),
                 num(ctx.paramInt(QStringLiteral("iSort"))),
                 num(nextOrd(ctx, QStringLiteral("qp_Items"),
                             QStringLiteral("UPPER(TblName)=") + sqlText(table.toUpper())))));
    const int itemId = scalarInt(ctx, QStringLiteral("SELECT MAX(ItemID) FROM qp_Items"));

    const QString name = freeColumnName(ctx, table, itemId);
    ctx.execute(QStringLiteral("UPDATE qp_Items SET Name=%1 WHERE ItemID=%2")
                    .arg(sqlText(name), num(itemId)));

    const DdlWriter ddl = ddlFor(ctx);
    ctx.executeNative(ddl.addColumn(table, DdlWriter::columnForField(name, dataType, length)));
    ctx.setReturn(kReturnOk);
}

// qp_UpdateDBTableItem: ID, Alias, IdRef, DefValue, Length, bNotNull, bShow. The data type and
// the column name never change; the length only for text columns.
void updateDBTableItem(ProcContext& ctx)
{
    const int id = keyParam(ctx, "ID");
    const db::ResultSet item = ctx.query(
        QStringLiteral("SELECT TblName,Name,iDataType,iLength FROM qp_Items WHERE ItemID=%1")
            .arg(id));
    if (item.rowCount() == 0)
        ctx.fail(QStringLiteral("字段不存在(ID=%1)").arg(id));
    const QString table = item.at(0, 0).toString();
    const QString name = item.at(0, 1).toString();
    const int dataType = item.at(0, 2).toInt();
    const int oldLength = item.at(0, 3).toInt();

    const QString alias = ctx.paramString(QStringLiteral("Alias")).trimmed();
    if (alias.isEmpty() || alias.size() > 50)
        ctx.fail(QStringLiteral("字段名称不能为空"));
    if (aliasTaken(ctx, table, alias, id))
        ctx.fail(QStringLiteral("字段“%1”已存在").arg(alias));
    const QString idRef = ctx.paramString(QStringLiteral("IdRef")).trimmed();
    if ((dataType == 3 || dataType == 4) && idRef.isEmpty())
        ctx.fail(QStringLiteral("参照项不能为空"));

    const bool textual = dataType == 1 || dataType == 3;
    const int length =
        textual ? proposedLength(dataType, ctx.paramInt(QStringLiteral("Length"))) : oldLength;
    ctx.execute(QStringLiteral("UPDATE qp_Items SET Alias=%1,IdRef=%2,DefValue=%3,iLength=%4,"
                               "bNotNull=%5,bShow=%6 WHERE ItemID=%7")
                    .arg(sqlText(alias), sqlText(idRef.left(100)),
                         sqlText(ctx.paramString(QStringLiteral("DefValue")).left(256)),
                         num(length), num(flagParam(ctx, "bNotNull")), num(flagParam(ctx, "bShow")),
                         num(id)));
    if (textual && length != oldLength && DdlWriter::isPlainName(table) &&
        DdlWriter::isPlainName(name)) {
        const DdlWriter ddl = ddlFor(ctx);
        for (const QString& sql :
             ddl.changeColumnLength(table, DdlWriter::columnForField(name, dataType, length)))
            ctx.executeNative(sql);
    }
    ctx.setReturn(kReturnOk);
}

// qp_DeleteTableByID: ID. Drops the physical table, its fields' rows and its catalogue row.
void deleteTableByID(ProcContext& ctx)
{
    const int id = keyParam(ctx, "ID");
    const db::ResultSet row =
        ctx.query(QStringLiteral("SELECT TblName,bFixed,nType FROM qp_Table WHERE ID=%1").arg(id));
    if (row.rowCount() == 0)
        ctx.fail(QStringLiteral("数据表不存在(ID=%1)").arg(id));
    const QString table = row.at(0, 0).toString();
    if (row.at(0, 1).toInt() != 0)
        ctx.fail(QStringLiteral("系统固定数据表,不能删除!"));
    if (row.at(0, 2).toInt() == 6)
        ctx.fail(QStringLiteral("薪资类别不能在此删除"));
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE ParentID=%1").arg(id)) >
        0)
        ctx.fail(QStringLiteral("该数据表下还有子表,不能删除!"));

    ctx.execute(QStringLiteral("DELETE FROM qp_Items WHERE UPPER(TblName)=") +
                sqlText(table.toUpper()));
    ctx.execute(QStringLiteral("DELETE FROM qp_Table WHERE ID=%1").arg(id));
    if (DdlWriter::isPlainName(table) && tableExists(ctx, table))
        ctx.executeNative(ddlFor(ctx).dropTable(table));
    ctx.setReturn(kReturnOk);
}

// qp_DeleteItemByID: ID. Drops the column with its data and the catalogue row.
void deleteItemByID(ProcContext& ctx)
{
    const int id = keyParam(ctx, "ID");
    const db::ResultSet row = ctx.query(
        QStringLiteral("SELECT TblName,Name,bFixed FROM qp_Items WHERE ItemID=%1").arg(id));
    if (row.rowCount() == 0)
        ctx.fail(QStringLiteral("字段不存在(ID=%1)").arg(id));
    const QString table = row.at(0, 0).toString();
    const QString name = row.at(0, 1).toString();
    if (row.at(0, 2).toInt() != 0)
        ctx.fail(QStringLiteral("系统固定字段,不能删除!"));

    ctx.execute(QStringLiteral("DELETE FROM qp_Items WHERE ItemID=%1").arg(id));
    // Another catalogue row may describe the same column (it is kept then).
    const bool shared =
        scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Items WHERE UPPER(TblName)=%1 AND "
                                      "UPPER(Name)=%2")
                           .arg(sqlText(table.toUpper()), sqlText(name.toUpper()))) > 0;
    if (!shared && DdlWriter::isPlainName(table) && DdlWriter::isPlainName(name) &&
        tableExists(ctx, table) && tableColumns(ctx, table).contains(name, Qt::CaseInsensitive))
        ctx.executeNative(ddlFor(ctx).dropColumn(table, name));
    ctx.setReturn(kReturnOk);
}

// qp_SelectSystemDBTable: the catalogue tables directly under a group (0 = the top level),
// wage sorts excluded.
void selectSystemDBTable(ProcContext& ctx)
{
    ctx.setResult(ctx.query(
        QStringLiteral("SELECT ID,Title,TblName,nType,Descr,bShow,bFixed,Flag,hasChild,Ord "
                       "FROM qp_Table WHERE ParentID=%1 AND nType<>6 ORDER BY Ord")
            .arg(keyParam(ctx, "ID"))));
}

// qp_SelectFieldsByTableID: the fields of one catalogue table in display order.
void selectFieldsByTableID(ProcContext& ctx)
{
    const QString table =
        ctx.scalar(
               QStringLiteral("SELECT TblName FROM qp_Table WHERE ID=%1").arg(keyParam(ctx, "ID")))
            .toString();
    ctx.setResult(ctx.query(
        QStringLiteral("SELECT ItemID,Alias,Name,iDataType,iLength,IdRef,DefValue,bNotNull,bShow,"
                       "bFixed,iSort,Ord FROM qp_Items WHERE UPPER(TblName)=%1 ORDER BY Ord")
            .arg(sqlText(table.toUpper()))));
}

} // namespace

void registerCatalogueProcedures()
{
    registerOnce(QStringLiteral("qp_AddDBTable"),
                 {QStringLiteral("nType"), QStringLiteral("Title"), QStringLiteral("Descr"),
                  QStringLiteral("ParentID"), QStringLiteral("IShow")},
                 addDBTable);
    registerOnce(QStringLiteral("qp_UpdateDBTable"),
                 {QStringLiteral("ID"), QStringLiteral("Title"), QStringLiteral("Descr"),
                  QStringLiteral("IShow")},
                 updateDBTable);
    registerOnce(QStringLiteral("qp_AddDBTableItem"),
                 {QStringLiteral("iSort"), QStringLiteral("TblName"), QStringLiteral("Alias"),
                  QStringLiteral("DataType"), QStringLiteral("IdRef"), QStringLiteral("DefValue"),
                  QStringLiteral("Length"), QStringLiteral("bNotNull"), QStringLiteral("bShow")},
                 addDBTableItem);
    registerOnce(QStringLiteral("qp_UpdateDBTableItem"),
                 {QStringLiteral("ID"), QStringLiteral("Alias"), QStringLiteral("IdRef"),
                  QStringLiteral("DefValue"), QStringLiteral("Length"), QStringLiteral("bNotNull"),
                  QStringLiteral("bShow")},
                 updateDBTableItem);
    registerOnce(QStringLiteral("qp_DeleteTableByID"), {QStringLiteral("ID")}, deleteTableByID);
    registerOnce(QStringLiteral("qp_DeleteItemByID"), {QStringLiteral("ID")}, deleteItemByID);
    registerOnce(QStringLiteral("qp_SelectSystemDBTable"), {QStringLiteral("ID")},
                 selectSystemDBTable);
    registerOnce(QStringLiteral("qp_SelectFieldsByTableID"), {QStringLiteral("ID")},
                 selectFieldsByTableID);
}

} // namespace orvane::server
