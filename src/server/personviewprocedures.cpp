// Procedures of the personnel view and its side panes: deleting a person, listing and
// renumbering the persons of a department, renumbering a person's related records.
#include "server/coreprocedures.h"
#include "server/procedurehelpers.h"

namespace orvane::server {

namespace {

using db::ProcContext;

// The related-record table named by the caller, as the catalogue spells it; fails for any name
// that is not a related table (nType 5), so the name can go into statements safely.
QString relatedTable(ProcContext& ctx, const QString& name)
{
    const QVariant found = ctx.scalar(
        QStringLiteral("SELECT TblName FROM qp_Table WHERE nType=5 AND UPPER(TblName)=%1")
            .arg(sqlText(name.toUpper())));
    if (found.isNull())
        ctx.fail(QStringLiteral("相关资料表“%1”不存在").arg(name));
    return found.toString();
}

// qp_DeletePsnBaseByID PID: the person with the rows that belong only to him (photo,
// attachments, transfers, category changes, related records, wage memberships).
void deletePsnBaseByID(ProcContext& ctx)
{
    const int pid = keyParam(ctx, "PID");
    const db::ResultSet related =
        ctx.query(QStringLiteral("SELECT TblName FROM qp_Table WHERE nType=5"));
    for (int row = 0; row < related.rowCount(); ++row) {
        const QString table = related.at(row, 0).toString();
        if (tableExists(ctx, table))
            ctx.execute(QStringLiteral("DELETE FROM [%1] WHERE PID=%2").arg(table, num(pid)));
    }
    for (const char* table : {"qp_PsnAdj", "qp_PsnFiles", "qp_PsnRedeploy", "qp_PsnSortAlter",
                              "qp_WagePsn", "qp_PsnBase"}) {
        ctx.execute(
            QStringLiteral("DELETE FROM %1 WHERE PID=%2").arg(QLatin1String(table), num(pid)));
    }
    ctx.setReturn(kReturnOk);
}

// qp_SelectPsnbaseReOrderByDeptID DID: the department's persons in order (PID, Ord, number,
// name) for the order editor.
void selectPsnBaseReOrder(ProcContext& ctx)
{
    const int did = keyParam(ctx, "DID");
    ctx.setResult(ctx.query(QStringLiteral("SELECT PID,Ord,Number AS [编号],Name AS [姓名] "
                                           "FROM qp_PsnBase WHERE DID=%1 ORDER BY Ord,PID")
                                .arg(num(did))));
}

// qp_RefreshPsnBaseOrder DID: the department's persons get the order values 1..n, keeping
// their present order.
void refreshPsnBaseOrder(ProcContext& ctx)
{
    const int did = keyParam(ctx, "DID");
    renumber(
        ctx, QStringLiteral("qp_PsnBase"), QStringLiteral("PID"),
        QStringLiteral("SELECT PID FROM qp_PsnBase WHERE DID=%1 ORDER BY Ord,PID").arg(num(did)));
    ctx.setReturn(kReturnOk);
}

// qp_RefreshPsnRelatOrder TblName, PID: a person's rows of one related table get 1..n.
void refreshPsnRelatOrder(ProcContext& ctx)
{
    const QString table = relatedTable(ctx, ctx.paramString(QStringLiteral("TblName")));
    const int pid = ctx.paramInt(QStringLiteral("PID"));
    renumber(
        ctx, QLatin1Char('[') + table + QLatin1Char(']'), QStringLiteral("ID"),
        QStringLiteral("SELECT ID FROM [%1] WHERE PID=%2 ORDER BY Ord,ID").arg(table, num(pid)));
    ctx.setReturn(kReturnOk);
}

} // namespace

void registerPersonViewProcedures()
{
    registerOnce(QStringLiteral("qp_DeletePsnBaseByID"), {QStringLiteral("PID")},
                 deletePsnBaseByID);
    registerOnce(QStringLiteral("qp_SelectPsnbaseReOrderByDeptID"), {QStringLiteral("DID")},
                 selectPsnBaseReOrder);
    registerOnce(QStringLiteral("qp_RefreshPsnBaseOrder"), {QStringLiteral("DID")},
                 refreshPsnBaseOrder);
    registerOnce(QStringLiteral("qp_RefreshPsnRelatOrder"),
                 {QStringLiteral("TblName"), QStringLiteral("PID")}, refreshPsnRelatOrder);
}

} // namespace orvane::server
