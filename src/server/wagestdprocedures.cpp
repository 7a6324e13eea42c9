// Salary standard tables: the qp_WageStdTable definition, its column codes in qp_WageStdTblItem
// and its data table (one row per row code; Jine, or one "c" + code column per column code).
#include "server/coreprocedures.h"
#include "server/payrollprocedures.h"
#include "server/procedurehelpers.h"

namespace orvane::server {

namespace {

using db::ProcContext;
using namespace payroll_detail;

constexpr int kMaxCodes = 100;

// The amount column of a column code, or "" when the code cannot name a column.
QString amountColumn(const QString& code)
{
    const QString name = QStringLiteral("c") + code.trimmed();
    return DdlWriter::isPlainName(name) && !name.contains(QLatin1Char('#')) && name.size() <= 50
               ? name
               : QString();
}

QStringList codeList(const QString& text)
{
    QStringList codes;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString code = part.trimmed();
        if (!code.isEmpty() && !codes.contains(code))
            codes << code;
    }
    return codes;
}

bool dictionaryHasCode(ProcContext& ctx, const QString& dictId, const QString& code)
{
    return scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_DictItem WHERE DictId=%1 AND "
                                         "DictValue=%2")
                              .arg(sqlText(dictId), sqlText(code))) > 0;
}

void addRowCode(ProcContext& ctx, const QString& table, const QString& code)
{
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM [%1] WHERE DictValue=%2")
                           .arg(table, sqlText(code))) == 0)
        ctx.execute(
            QStringLiteral("INSERT INTO [%1] (DictValue) VALUES (%2)").arg(table, sqlText(code)));
}

void addColumnCode(ProcContext& ctx, int stdId, const QString& table, const QString& dictId,
                   const QString& code)
{
    const QString column = amountColumn(code);
    if (column.isEmpty())
        ctx.fail(QStringLiteral("代码'%1'不能作为标准表的列").arg(code));
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_WageStdTblItem WHERE StdID=%1 AND "
                                      "DictId=%2 AND DictValue=%3")
                           .arg(num(stdId), sqlText(dictId), sqlText(code))) > 0)
        return;
    ctx.execute(QStringLiteral("INSERT INTO qp_WageStdTblItem (StdID,DictId,DictValue) VALUES "
                               "(%1,%2,%3)")
                    .arg(num(stdId), sqlText(dictId), sqlText(code)));
    if (!tableColumns(ctx, table).contains(column, Qt::CaseInsensitive))
        ctx.executeNative(
            ddlFor(ctx).addColumn(table, {column, ColumnType::Number, 0, QStringLiteral("0")}));
}

// qp_AddStdDBTable: Return, STDName, SID, STDDim, STDTable (output), DictRow, FldRow, TblRow,
// DictCol, FldCol, TblCol, Descr, and optionally RowValues / ColValues (codes separated by
// commas) to fill the new table at once. Returns 0 on success, 2 on invalid arguments.
void addStdTable(ProcContext& ctx)
{
    const QString name = ctx.paramString(QStringLiteral("STDName")).trimmed();
    const int sortId = ctx.paramInt(QStringLiteral("SID"));
    const int dim = ctx.paramInt(QStringLiteral("STDDim"));
    const QString dictRow = ctx.paramString(QStringLiteral("DictRow")).trimmed();
    const QString dictCol =
        dim == 2 ? ctx.paramString(QStringLiteral("DictCol")).trimmed() : QString();
    const QStringList rows = codeList(ctx.paramString(QStringLiteral("RowValues")));
    const QStringList cols = codeList(ctx.paramString(QStringLiteral("ColValues")));
    const bool valid = !name.isEmpty() && name.size() <= 50 && (dim == 1 || dim == 2) &&
                       !dictRow.isEmpty() && (dim == 1 || !dictCol.isEmpty()) &&
                       !wageTableOf(ctx, sortId).isEmpty() && rows.size() <= kMaxCodes &&
                       cols.size() <= kMaxCodes && (dim == 2 || cols.isEmpty());
    if (!valid) {
        ctx.setReturn(kReturnInvalid);
        return;
    }
    for (const QString& code : rows) {
        if (!dictionaryHasCode(ctx, dictRow, code)) {
            ctx.setReturn(kReturnInvalid);
            return;
        }
    }
    for (const QString& code : cols) {
        if (!dictionaryHasCode(ctx, dictCol, code) || amountColumn(code).isEmpty()) {
            ctx.setReturn(kReturnInvalid);
            return;
        }
    }

    auto text = [&](const char* param) {
        return sqlText(ctx.paramString(QString::fromLatin1(param)).trimmed().left(50));
    };
    ctx.execute(
        QStringLiteral("INSERT INTO qp_WageStdTable (SID,STDName,Descr,STDDim,STDTable,DictRow,"
                       "FldRow,TblRow,DictCol,FldCol,TblCol,Ord) VALUES (%1,%2,%3,%4,'',%5,%6,%7,"
                       "%8,%9,%10,%11)")
            .arg(num(sortId), sqlText(name),
                 sqlText(ctx.paramString(QStringLiteral("Descr")).left(100)), num(dim),
                 sqlText(dictRow), text("FldRow"), text("TblRow"),
                 dim == 2 ? sqlText(dictCol) : QStringLiteral("''"),
                 dim == 2 ? text("FldCol") : QStringLiteral("''"),
                 dim == 2 ? text("TblCol") : QStringLiteral("''"),
                 num(scalarInt(ctx, QStringLiteral("SELECT MAX(Ord) FROM qp_WageStdTable WHERE "
                                                   "SID=%1")
                                        .arg(sortId)) +
                     1)));
    const int id = scalarInt(ctx, QStringLiteral("SELECT MAX(id) FROM qp_WageStdTable"));
    const QString table = freeTableName(ctx, QStringLiteral("qp_WageStd%1").arg(id));
    ctx.execute(QStringLiteral("UPDATE qp_WageStdTable SET STDTable=%1 WHERE id=%2")
                    .arg(sqlText(table), num(id)));
    QList<ColumnDef> columns{{QStringLiteral("id"), ColumnType::Identity, 0, {}},
                             {QStringLiteral("DictValue"), ColumnType::Text, 50, {}}};
    if (dim == 1)
        columns.append({QStringLiteral("Jine"), ColumnType::Number, 0, QStringLiteral("0")});
    ctx.executeNative(ddlFor(ctx).createTable({table, columns}));

    for (const QString& code : rows)
        addRowCode(ctx, table, code);
    for (const QString& code : cols)
        addColumnCode(ctx, id, table, dictCol, code);
    ctx.setOutput(QStringLiteral("STDTable"), table);
    ctx.setOutput(QStringLiteral("NewID"), id);
    ctx.setResultColumns({QStringLiteral("id"), QStringLiteral("STDTable")});
    ctx.addResultRow({id, table});
    ctx.setReturn(kReturnOk);
}

struct StdTableRef
{
    int id = 0;
    QString table;
};

StdTableRef stdTableParam(ProcContext& ctx)
{
    StdTableRef ref;
    ref.id = ctx.paramInt(QStringLiteral("StdTblID"));
    ref.table =
        ctx.scalar(QStringLiteral("SELECT STDTable FROM qp_WageStdTable WHERE id=%1").arg(ref.id))
            .toString();
    if (ref.table.isEmpty() || !DdlWriter::isPlainName(ref.table))
        ctx.fail(QStringLiteral("薪资标准表不存在(ID=%1)").arg(ref.id));
    return ref;
}

// qp_AddStdTableDictColItem: StdTblID, stdTable, dictId, dictValue.
void addStdColumn(ProcContext& ctx)
{
    const StdTableRef ref = stdTableParam(ctx);
    const QString dictId = ctx.paramString(QStringLiteral("dictId")).trimmed();
    const QString code = ctx.paramString(QStringLiteral("dictValue")).trimmed();
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_WageStdTblItem WHERE StdID=%1")
                           .arg(ref.id)) >= kMaxCodes)
        ctx.fail(QStringLiteral("标准表的列不能超过%1个").arg(kMaxCodes));
    addColumnCode(ctx, ref.id, ref.table, dictId, code);
}

// qp_DelStdTableDictColItem: StdTblID, stdTable, dictId, dictValue.
void deleteStdColumn(ProcContext& ctx)
{
    const StdTableRef ref = stdTableParam(ctx);
    const QString dictId = ctx.paramString(QStringLiteral("dictId")).trimmed();
    const QString code = ctx.paramString(QStringLiteral("dictValue")).trimmed();
    ctx.execute(QStringLiteral("DELETE FROM qp_WageStdTblItem WHERE StdID=%1 AND DictId=%2 AND "
                               "DictValue=%3")
                    .arg(num(ref.id), sqlText(dictId), sqlText(code)));
    const QString column = amountColumn(code);
    if (!column.isEmpty() && tableColumns(ctx, ref.table).contains(column, Qt::CaseInsensitive))
        ctx.executeNative(ddlFor(ctx).dropColumn(ref.table, column));
}

// qp_DelStdTableByID: ID. Refused while a wage item looks the table up.
void deleteStdTable(ProcContext& ctx)
{
    const int id = keyParam(ctx, "ID");
    const QString table =
        ctx.scalar(QStringLiteral("SELECT STDTable FROM qp_WageStdTable WHERE id=%1").arg(id))
            .toString();
    const QString user =
        ctx.scalar(QStringLiteral("SELECT Alias FROM qp_Items WHERE iSort=1 AND iProperty=2 AND "
                                  "StdTblID=%1")
                       .arg(id))
            .toString();
    if (!user.isEmpty())
        ctx.fail(QStringLiteral("该标准表已被项目'%1'引用!").arg(user));
    ctx.execute(QStringLiteral("DELETE FROM qp_WageStdTblItem WHERE StdID=%1").arg(id));
    ctx.execute(QStringLiteral("DELETE FROM qp_WageStdTable WHERE id=%1").arg(id));
    if (DdlWriter::isPlainName(table))
        dropTableIfExists(ctx, table);
}

// qp_SelectWageSetStdTableByID: the sort's standard tables in order.
void selectStdTables(ProcContext& ctx)
{
    ctx.setResult(ctx.query(
        QStringLiteral("SELECT id,Ord,STDName AS [名称],CASE STDDim WHEN 2 THEN '二维' ELSE '一维' "
                       "END AS [维数],Descr AS [说明] FROM qp_WageStdTable WHERE SID=%1 ORDER BY "
                       "Ord,id")
            .arg(keyParam(ctx, "SID"))));
}

// A person's value of a dimension: from the personnel table, or from the month's row of a wage
// data table.
QVariant personValue(ProcContext& ctx, const QString& table, const QString& field, int person,
                     int fDate)
{
    if (!DdlWriter::isPlainName(table) || !DdlWriter::isPlainName(field))
        return {};
    if (table.compare(QLatin1String("qp_PsnBase"), Qt::CaseInsensitive) == 0)
        return ctx.scalar(
            QStringLiteral("SELECT [%1] FROM qp_PsnBase WHERE PID=%2").arg(field, num(person)));
    return ctx.scalar(QStringLiteral("SELECT [%1] FROM [%2] WHERE fDate=%3 AND PID=%4")
                          .arg(field, table, num(fDate), num(person)));
}

// qp_GetWageStdTableByPsn: psnID, nFDate, stdTableId. One row with the amount, or no row when
// the person's codes find none.
void stdAmountForPerson(ProcContext& ctx)
{
    const int person = ctx.paramInt(QStringLiteral("psnID"));
    const int fDate = ctx.paramInt(QStringLiteral("nFDate"));
    const db::ResultSet def =
        ctx.query(QStringLiteral("SELECT STDDim,STDTable,FldRow,TblRow,FldCol,TblCol FROM "
                                 "qp_WageStdTable WHERE id=%1")
                      .arg(ctx.paramInt(QStringLiteral("stdTableId"))));
    ctx.setResultColumns({QStringLiteral("Jine")});
    if (def.rowCount() == 0)
        return;
    const QString table = def.at(0, 1).toString();
    const QString rowCode =
        personValue(ctx, def.at(0, 3).toString(), def.at(0, 2).toString(), person, fDate)
            .toString();
    if (rowCode.isEmpty() || !DdlWriter::isPlainName(table))
        return;
    QString column = QStringLiteral("Jine");
    if (def.at(0, 0).toInt() == 2) {
        column = amountColumn(
            personValue(ctx, def.at(0, 5).toString(), def.at(0, 4).toString(), person, fDate)
                .toString());
        if (column.isEmpty() || !tableColumns(ctx, table).contains(column, Qt::CaseInsensitive))
            return;
    }
    const db::ResultSet amount =
        ctx.query(QStringLiteral("SELECT [%1] FROM [%2] WHERE DictValue=%3")
                      .arg(column, table, sqlText(rowCode)));
    if (amount.rowCount() > 0)
        ctx.addResultRow({amount.at(0, 0)});
}

} // namespace

namespace payroll_detail {

void registerWageStdProcedures()
{
    registerOnce(QStringLiteral("qp_AddStdDBTable"),
                 {QStringLiteral("STDName"), QStringLiteral("SID"), QStringLiteral("STDDim"),
                  QStringLiteral("STDTable OUTPUT"), QStringLiteral("DictRow"),
                  QStringLiteral("FldRow"), QStringLiteral("TblRow"), QStringLiteral("DictCol"),
                  QStringLiteral("FldCol"), QStringLiteral("TblCol"), QStringLiteral("Descr"),
                  QStringLiteral("RowValues"), QStringLiteral("ColValues"),
                  QStringLiteral("NewID OUTPUT")},
                 addStdTable);
    const QStringList columnParams{QStringLiteral("StdTblID"), QStringLiteral("stdTable"),
                                   QStringLiteral("dictId"), QStringLiteral("dictValue")};
    registerOnce(QStringLiteral("qp_AddStdTableDictColItem"), columnParams, addStdColumn);
    registerOnce(QStringLiteral("qp_DelStdTableDictColItem"), columnParams, deleteStdColumn);
    registerOnce(QStringLiteral("qp_DelStdTableByID"), {QStringLiteral("ID")}, deleteStdTable);
    registerOnce(QStringLiteral("qp_SelectWageSetStdTableByID"), {QStringLiteral("SID")},
                 selectStdTables);
    registerOnce(QStringLiteral("qp_GetWageStdTableByPsn"),
                 {QStringLiteral("psnID"), QStringLiteral("nFDate"), QStringLiteral("stdTableId")},
                 stdAmountForPerson);
}

} // namespace payroll_detail

} // namespace orvane::server
