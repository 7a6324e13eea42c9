// Procedures of the system log and the operator list.
#include "server/coreprocedures.h"
#include "server/payrollprocedures.h"
#include "server/procedurehelpers.h"

#include <QDateTime>

namespace orvane::server {

namespace {

using db::ProcContext;

constexpr int kMaxLogText = 2000;

// qp_AddSystemLog: UserName, Content, Cleanup, RecentDays. The server stamps the line with its
// own clock; with Cleanup, lines older than RecentDays days are removed as well.
void addSystemLog(ProcContext& ctx)
{
    const QString user = ctx.paramString(QStringLiteral("UserName")).left(50);
    const QString content = ctx.paramString(QStringLiteral("Content")).left(kMaxLogText);
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    ctx.execute(QStringLiteral("INSERT INTO qp_Log (lDate,lUser,lAction) VALUES (%1,%2,%3)")
                    .arg(sqlText(stamp), sqlText(user), sqlText(content)));

    const int days = ctx.paramInt(QStringLiteral("RecentDays"));
    if (flagParam(ctx, "Cleanup") != 0 && days > 0) {
        const QString cutoff = now.addDays(-days).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        ctx.execute(QStringLiteral("DELETE FROM qp_Log WHERE lDate<") + sqlText(cutoff));
    }
    ctx.setReturn(kReturnOk);
}

// qp_SelectSystemUsers: caller's UserID. A super operator sees every operator; anyone else only
// himself. Columns: UserID, UserName, Locked, Descr, Purview, ISuper.
void selectSystemUsers(ProcContext& ctx)
{
    const int caller = keyParam(ctx, "UserID");
    const bool super =
        scalarInt(ctx, QStringLiteral("SELECT ISuper FROM qp_Users WHERE UserID=%1").arg(caller)) !=
        0;
    QString sql =
        QStringLiteral("SELECT UserID,UserName,Locked,Descr,Purview,ISuper FROM qp_Users");
    if (!super)
        sql += QStringLiteral(" WHERE UserID=%1").arg(caller);
    ctx.setResult(ctx.query(sql + QStringLiteral(" ORDER BY UserID")));
}

} // namespace

void registerSystemProcedures()
{
    registerOnce(QStringLiteral("qp_AddSystemLog"),
                 {QStringLiteral("UserName"), QStringLiteral("Content"), QStringLiteral("Cleanup"),
                  QStringLiteral("RecentDays")},
                 addSystemLog);
    registerOnce(QStringLiteral("qp_SelectSystemUsers"), {QStringLiteral("UserID")},
                 selectSystemUsers);
}

void registerCoreProcedures()
{
    registerSystemProcedures();
    registerCatalogueProcedures();
    registerDictionaryProcedures();
    registerPayrollProcedures();
    registerPersonnelProcedures();
    registerPersonViewProcedures();
}

} // namespace orvane::server
