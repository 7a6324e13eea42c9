#include "core/systemlog.h"

#include "core/corvaneapp.h"
#include "db/cadocommand.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::core {

namespace {
void writeLogLine(COrvaneApp& app, const QString& userName, const QString& content, bool cleanup)
{
    const int days = app.recentDays();
    if (days <= 0)
        return;
    db::CADODatabase& database = app.database();
    if (!database.IsOpen())
        return;
    db::CADOCommand command(&database, QStringLiteral("qp_AddSystemLog"), db::adCmdStoredProc);
    command.AddParameter(QStringLiteral("UserName"), db::adVarChar, db::adParamInput, 50, userName);
    command.AddParameter(QStringLiteral("Content"), db::adVarChar, db::adParamInput, 2000, content);
    command.AddParameter(QStringLiteral("Cleanup"), db::adBoolean, db::adParamInput, 1,
                         cleanup ? 1 : 0);
    command.AddParameter(QStringLiteral("RecentDays"), db::adInteger, db::adParamInput, 4, days);
    command.Execute(); // a failed log line is deliberately ignored
}
} // namespace

void AddSystemLog(COrvaneApp& app, const QString& content, bool cleanup)
{
    writeLogLine(app, app.currentOperator().UserName, content, cleanup);
}

void AddSystemLogAs(COrvaneApp& app, const QString& userName, const QString& content)
{
    writeLogLine(app, userName, content, false);
}

int readRecentDays(db::CADODatabase& database)
{
    db::CADORecordset rs(&database);
    if (!rs.Open(QStringLiteral("SELECT TOP 1 sContent FROM qp_SysOption WHERE nType=2")) ||
        rs.IsEOF())
        return 0;
    QString text;
    rs.GetFieldValue(0, text);
    return leadingInt(text);
}

} // namespace orvane::core
