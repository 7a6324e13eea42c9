// Procedures of the department tree, the personnel categories and the person picker.
#include "server/coreprocedures.h"
#include "server/procedurehelpers.h"

namespace orvane::server {

namespace {

using db::ProcContext;

// A department path is bars and digits only ("|12|7|3|").
bool isDepartmentPath(const QString& path)
{
    if (path.size() < 3 || !path.startsWith(QLatin1Char('|')) || !path.endsWith(QLatin1Char('|')))
        return false;
    for (const QChar c : path)
        if (!c.isDigit() && c != QLatin1Char('|'))
            return false;
    return !path.contains(QStringLiteral("||"));
}

// qp_UpdateDeptParentByID: DID, ParentID, ParentArr. Sets the parent and the path of that one
// department; the caller rewrites the descendants' paths.
void updateDeptParent(ProcContext& ctx)
{
    const int did = ctx.paramInt(QStringLiteral("DID"));
    const int parent = ctx.paramInt(QStringLiteral("ParentID"));
    const QString path = ctx.paramString(QStringLiteral("ParentArr"));
    if (did <= 0 || parent < 0 || parent == did || !isDepartmentPath(path) ||
        !path.startsWith(QStringLiteral("|%1|").arg(did)))
        ctx.fail(QStringLiteral("部门或上级部门参数无效"));
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Dept WHERE DID=%1").arg(did)) == 0)
        ctx.fail(QStringLiteral("部门不存在"));
    if (parent > 0 &&
        scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Dept WHERE DID=%1").arg(parent)) ==
            0)
        ctx.fail(QStringLiteral("上级部门不存在"));
    // A department cannot go below itself or one of its descendants.
    if (parent > 0 && scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Dept WHERE DID=%1 AND "
                                                    "CHARINDEX('|%2|',ParentArr)>0")
                                         .arg(parent)
                                         .arg(did)) > 0)
        ctx.fail(QStringLiteral("上级部门不能是其本身或其下级部门"));
    ctx.execute(QStringLiteral("UPDATE qp_Dept SET ParentID=%1,ParentArr=%2 WHERE DID=%3")
                    .arg(parent)
                    .arg(sqlText(path))
                    .arg(did));
}

// qp_SwapDeptOrder: DID1, Ord1, DID2, Ord2. Stores the two order values.
void swapDeptOrder(ProcContext& ctx)
{
    const int first = ctx.paramInt(QStringLiteral("DID1"));
    const int second = ctx.paramInt(QStringLiteral("DID2"));
    if (first <= 0 || second <= 0)
        ctx.fail(QStringLiteral("部门参数无效"));
    ctx.execute(QStringLiteral("UPDATE qp_Dept SET Ord=%1 WHERE DID=%2")
                    .arg(ctx.paramInt(QStringLiteral("Ord1")))
                    .arg(first));
    ctx.execute(QStringLiteral("UPDATE qp_Dept SET Ord=%1 WHERE DID=%2")
                    .arg(ctx.paramInt(QStringLiteral("Ord2")))
                    .arg(second));
}

// qp_GetPsnCountsByDeptID: DID. One row: the number of persons assigned to that department.
void psnCountByDept(ProcContext& ctx)
{
    const int did = keyParam(ctx, "DID");
    ctx.setResult(ctx.query(
        QStringLiteral("SELECT COUNT(PID) AS PsnCount FROM qp_PsnBase WHERE DID=%1").arg(did)));
}

// qp_DeleteDeptByID: DID. Refuses a department that still has sub-departments or persons.
void deleteDept(ProcContext& ctx)
{
    const int did = keyParam(ctx, "DID");
    if (scalarInt(ctx,
                  QStringLiteral("SELECT COUNT(DID) FROM qp_Dept WHERE ParentID=%1").arg(did)) > 0)
        ctx.fail(QStringLiteral("该部门下有下级部门,不能删除!"));
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(PID) FROM qp_PsnBase WHERE DID=%1").arg(did)) >
        0)
        ctx.fail(QStringLiteral("该部门下还有人员,不能删除!"));
    ctx.execute(QStringLiteral("DELETE FROM qp_Dept WHERE DID=%1").arg(did));
}

// qp_GetPsnCountsBySortID: AID. One row: the number of persons in the category.
void psnCountBySort(ProcContext& ctx)
{
    const int aid = keyParam(ctx, "AID");
    ctx.setResult(ctx.query(
        QStringLiteral("SELECT COUNT(PID) AS PsnCount FROM qp_PsnBase WHERE AID=%1").arg(aid)));
}

// qp_DeletePsnSortByID: AID. Refuses a category that still has persons.
void deletePsnSort(ProcContext& ctx)
{
    const int aid = keyParam(ctx, "AID");
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(PID) FROM qp_PsnBase WHERE AID=%1").arg(aid)) >
        0)
        ctx.fail(QStringLiteral("该类别下还有人员,不能删除!"));
    ctx.execute(QStringLiteral("DELETE FROM qp_PsnSort WHERE AID=%1").arg(aid));
}

// qp_SelectPsnForEditBrowseCtrl: SID, Filter. The persons for the person picker: PID, then
// number, name, sex and department. With SID > 0 the wage sort's member table joins as W; the
// filter is the client's WHERE text over the aliases P (persons) and W.
void selectPsnForPicker(ProcContext& ctx)
{
    const int sid = ctx.paramInt(QStringLiteral("SID"));
    const QString filter = ctx.paramString(QStringLiteral("Filter"));
    const QString trimmed = filter.trimmed();
    if (!trimmed.isEmpty() && !trimmed.startsWith(QLatin1String("WHERE "), Qt::CaseInsensitive))
        ctx.fail(QStringLiteral("筛选条件无效"));
    if (trimmed.contains(QLatin1Char(';')) || trimmed.contains(QLatin1String("--")))
        ctx.fail(QStringLiteral("筛选条件无效"));
    QString sql = QStringLiteral(
        "SELECT P.PID,P.Number AS [编号],P.Name AS [姓名],P.Sex AS [性别],D.Name AS [部门] "
        "FROM qp_PsnBase P LEFT OUTER JOIN qp_Dept D ON P.DID=D.DID");
    if (sid > 0)
        sql += QStringLiteral(" INNER JOIN qp_WagePsn W ON W.PID=P.PID");
    sql += QLatin1Char(' ') + trimmed + QStringLiteral(" ORDER BY D.Ord,P.Ord,P.PID");
    ctx.setResult(ctx.query(sql));
}

} // namespace

void registerPersonnelProcedures()
{
    registerOnce(QStringLiteral("qp_UpdateDeptParentByID"),
                 {QStringLiteral("DID"), QStringLiteral("ParentID"), QStringLiteral("ParentArr")},
                 updateDeptParent);
    registerOnce(QStringLiteral("qp_SwapDeptOrder"),
                 {QStringLiteral("DID1"), QStringLiteral("Ord1"), QStringLiteral("DID2"),
                  QStringLiteral("Ord2")},
                 swapDeptOrder);
    registerOnce(QStringLiteral("qp_GetPsnCountsByDeptID"), {QStringLiteral("DID")},
                 psnCountByDept);
    registerOnce(QStringLiteral("qp_DeleteDeptByID"), {QStringLiteral("DID")}, deleteDept);
    registerOnce(QStringLiteral("qp_GetPsnCountsBySortID"), {QStringLiteral("AID")},
                 psnCountBySort);
    registerOnce(QStringLiteral("qp_DeletePsnSortByID"), {QStringLiteral("AID")}, deletePsnSort);
    registerOnce(QStringLiteral("qp_SelectPsnForEditBrowseCtrl"),
                 {QStringLiteral("SID"), QStringLiteral("Filter")}, selectPsnForPicker);
}

} // namespace orvane::server
