#include "core/systemlog.h"

#include "core/corvaneapp.h"
#include "db/cadocommand.h"
#include "db/cadodatabase.h"

namespace orvane::core {

void AddSystemLog(COrvaneApp& app, const QString& content, bool cleanup)
{
    const int days = app.recentDays();
    if (days <= 0)
        return;
    db::CADODatabase& database = app.database();
    if (!database.IsOpen())
        return;
    db::CADOCommand command(&database, QStringLiteral("qp_AddSystemLog"), db::adCmdStoredProc);
    command.AddParameter(QStringLiteral("UserName"), db::adVarChar, db::adParamInput, 50,
                         app.currentOperator().UserName);
    command.AddParameter(QStringLiteral("Content"), db::adVarChar, db::adParamInput, 2000,
                         content);
    command.AddParameter(QStringLiteral("Cleanup"), db::adBoolean, db::adParamInput, 1,
                         cleanup ? 1 : 0);
    command.AddParameter(QStringLiteral("RecentDays"), db::adInteger, db::adParamInput, 4, days);
    command.Execute(); // a failed log line is deliberately ignored
}

} // namespace orvane::core
