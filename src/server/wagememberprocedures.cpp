// Members of a wage sort (qp_WagePsn) and the per-operator candidate tables the client ticks
// persons in.
#include "server/payrollprocedures.h"
#include "server/procedurehelpers.h"

#include "db/cadodatabase.h"

#include <QXmlStreamReader>

namespace orvane::server {

namespace {

using db::ProcContext;
using namespace payroll_detail;

// "(CHARINDEX('|7|',qp_Dept.ParentArr)>0)" for a department with its subtree; "1=1" for 0.
QString departmentFilter(int departmentId)
{
    if (departmentId == 0)
        return QStringLiteral("1=1");
    return QStringLiteral("(CHARINDEX('|%1|',qp_Dept.ParentArr)>0)").arg(departmentId);
}

QString workTableParam(ProcContext& ctx, const char* name)
{
    const QString table = ctx.paramString(QString::fromLatin1(name)).trimmed();
    if (!isWorkTableName(table))
        ctx.fail(QStringLiteral("临时表名称无效: %1").arg(table));
    return table;
}

// Fills a candidate table with the persons of a department matching `extraCondition`. Their
// `ord` numbers them after `firstOrd` in department and person order (the identity column
// `seq` follows the order of the insert).
void fillCandidates(ProcContext& ctx, const QString& table, int departmentId,
                    const QString& extraCondition, int firstOrd)
{
    dropTableIfExists(ctx, table);
    const QString name = bracketed(table);
    ctx.execute(QStringLiteral("CREATE TABLE %1 (seq INT IDENTITY(1,1) PRIMARY KEY, PID INT, ord "
                               "INT, CKD INT, [编号] NVARCHAR(50), [姓名] NVARCHAR(50), [部门] "
                               "NVARCHAR(50))")
                    .arg(name));
    ctx.execute(QStringLiteral("INSERT INTO %1 (PID,ord,CKD,[编号],[姓名],[部门]) SELECT "
                               "qp_PsnBase.PID,0,0,qp_PsnBase.Number,qp_PsnBase.Name,qp_Dept.Name "
                               "FROM qp_PsnBase INNER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID "
                               "WHERE %2 AND %3 ORDER BY qp_Dept.Ord,qp_Dept.DID,qp_PsnBase.Ord,"
                               "qp_PsnBase.PID")
                    .arg(name, departmentFilter(departmentId), extraCondition));
    ctx.execute(QStringLiteral("UPDATE %1 SET ord=seq+%2").arg(name, num(firstOrd)));
}

// qp_CreateTmpTblForWageSortPsnSelect: table, SID, DID. Candidates: persons of the department
// who are not yet members of the sort.
void createSortCandidates(ProcContext& ctx)
{
    const QString table = workTableParam(ctx, "TmpTableName");
    const int sortId = ctx.paramInt(QStringLiteral("SID"));
    fillCandidates(
        ctx, table, ctx.paramInt(QStringLiteral("DID")),
        QStringLiteral("qp_PsnBase.PID NOT IN (SELECT PID FROM qp_WagePsn WHERE "
                       "SID=%1)")
            .arg(sortId),
        scalarInt(ctx, QStringLiteral("SELECT MAX(Ord) FROM qp_WagePsn WHERE SID=%1").arg(sortId)));
}

// qp_CreateWageTmpTableForAddPsn: TmpTableName, SID, DID, nFDate. Candidates: persons of the
// department without a row in that month's wage table.
void createMonthCandidates(ProcContext& ctx)
{
    const QString table = workTableParam(ctx, "TmpTableName");
    const QString wageTable = wageTableOf(ctx, ctx.paramInt(QStringLiteral("SID")));
    if (wageTable.isEmpty())
        ctx.fail(QStringLiteral("选择的薪资帐套被删除！"));
    fillCandidates(ctx, table, ctx.paramInt(QStringLiteral("DID")),
                   QStringLiteral("qp_PsnBase.PID NOT IN (SELECT PID FROM [%1] WHERE fDate=%2)")
                       .arg(wageTable, num(ctx.paramInt(QStringLiteral("nFDate")))),
                   0);
}

// qp_SelectWagePsn: the rows of a candidate table in order.
void selectCandidates(ProcContext& ctx)
{
    const QString table = workTableParam(ctx, "TmpTableName");
    ctx.setResult(ctx.query(QStringLiteral("SELECT PID,ord,CKD,[编号],[姓名],[部门] FROM %1 ORDER "
                                           "BY ord,PID")
                                .arg(bracketed(table))));
}

// qp_DeleteTmpTbl: table.
void deleteWorkTable(ProcContext& ctx)
{
    dropTableIfExists(ctx, workTableParam(ctx, "TmpTableName"));
}

// qp_SelectWagePsnBySort: SID, DID. The members in the department (0 = all), in order.
void selectMembers(ProcContext& ctx)
{
    ctx.setResult(ctx.query(
        QStringLiteral("SELECT qp_WagePsn.ID,qp_WagePsn.Ord,qp_PsnBase.PID,qp_PsnBase.Number AS "
                       "[编号],qp_PsnBase.Name AS [姓名],qp_Dept.Name AS [部门],qp_PsnSort.Name "
                       "AS [人员类别] FROM qp_WagePsn INNER JOIN qp_PsnBase ON qp_WagePsn.PID="
                       "qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID LEFT "
                       "OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID WHERE "
                       "qp_WagePsn.SID=%1 AND %2 ORDER BY qp_WagePsn.Ord,qp_WagePsn.ID")
            .arg(num(ctx.paramInt(QStringLiteral("SID"))),
                 departmentFilter(ctx.paramInt(QStringLiteral("DID"))))));
}

// qp_DeleteWageSortPsnSelectBySortID: SID, IDXML ("<psns><psn id="1"></psn>...</psns>").
void deleteMembers(ProcContext& ctx)
{
    const int sortId = ctx.paramInt(QStringLiteral("SID"));
    QXmlStreamReader xml(ctx.paramString(QStringLiteral("IDXML")));
    QStringList ids;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("psn"))
            continue;
        bool ok = false;
        const int id = xml.attributes().value(QLatin1String("id")).toInt(&ok);
        if (!ok)
            ctx.fail(QStringLiteral("人员列表格式错误"));
        ids << num(id);
    }
    if (xml.hasError())
        ctx.fail(QStringLiteral("人员列表格式错误: %1").arg(xml.errorString()));
    if (ids.isEmpty())
        return;
    ctx.execute(QStringLiteral("DELETE FROM qp_WagePsn WHERE SID=%1 AND ID IN (%2)")
                    .arg(num(sortId), ids.join(QLatin1Char(','))));
}

// qp_RefreshWagePsnDefaultOrder: SID, DID. The members of the department take the order
// positions they hold between them again, now by department order, person order and number.
void refreshMemberOrder(ProcContext& ctx)
{
    const QString where = QStringLiteral("qp_WagePsn.SID=%1 AND %2")
                              .arg(num(ctx.paramInt(QStringLiteral("SID"))),
                                   departmentFilter(ctx.paramInt(QStringLiteral("DID"))));
    const QString from = QStringLiteral("FROM qp_WagePsn INNER JOIN qp_PsnBase ON qp_WagePsn.PID="
                                        "qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID="
                                        "qp_Dept.DID WHERE ");
    const db::ResultSet positions = ctx.query(QStringLiteral("SELECT qp_WagePsn.Ord ") + from +
                                              where + QStringLiteral(" ORDER BY qp_WagePsn.Ord"));
    const db::ResultSet members =
        ctx.query(QStringLiteral("SELECT qp_WagePsn.ID ") + from + where +
                  QStringLiteral(" ORDER BY qp_Dept.Ord,qp_PsnBase.Ord,qp_PsnBase.Number"));
    db::Backend* backend = ctx.database().backend();
    if (!backend)
        ctx.fail(QStringLiteral("The connection is closed"));
    // A sort of many thousand members: one statement prepared once.
    const auto writer = backend->rowWriter(QStringLiteral("qp_WagePsn"), {QStringLiteral("ID")},
                                           {QStringLiteral("Ord")});
    for (int r = 0; r < members.rowCount(); ++r) {
        if (!writer->update({members.at(r, 0).toInt()}, {positions.at(r, 0).toInt()}))
            ctx.fail(backend->lastError().description);
    }
}

} // namespace

namespace payroll_detail {

void registerWageMemberProcedures()
{
    const QString table = QStringLiteral("TmpTableName");
    registerOnce(QStringLiteral("qp_CreateTmpTblForWageSortPsnSelect"),
                 {table, QStringLiteral("SID"), QStringLiteral("DID")}, createSortCandidates);
    registerOnce(QStringLiteral("qp_CreateWageTmpTableForAddPsn"),
                 {table, QStringLiteral("SID"), QStringLiteral("DID"), QStringLiteral("nFDate")},
                 createMonthCandidates);
    registerOnce(QStringLiteral("qp_SelectWagePsn"), {table}, selectCandidates);
    registerOnce(QStringLiteral("qp_DeleteTmpTbl"), {table}, deleteWorkTable);
    registerOnce(QStringLiteral("qp_SelectWagePsnBySort"),
                 {QStringLiteral("SID"), QStringLiteral("DID")}, selectMembers);
    registerOnce(QStringLiteral("qp_DeleteWageSortPsnSelectBySortID"),
                 {QStringLiteral("SID"), QStringLiteral("IDXML")}, deleteMembers);
    registerOnce(QStringLiteral("qp_RefreshWagePsnDefaultOrder"),
                 {QStringLiteral("SID"), QStringLiteral("DID")}, refreshMemberOrder);
}

} // namespace payroll_detail

} // namespace orvane::server
