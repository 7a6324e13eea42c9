#include "core/operatorrights.h"

#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/purview.h"
#include "core/rightstable.h"
#include "db/cadorecordset.h"

namespace orvane::core {

QString OperatorRights::noRightMessage()
{
    return QStringLiteral("抱歉!您没有该项功能操作权限，请与管理员联系!");
}

void OperatorRights::applyPurview(db::CADODatabase& database, OperatorRecord& record,
                                  const QString& purviewText)
{
    record.purview = Purview::parse(purviewText);
    fillPermittedFlags(database, record);
}

bool OperatorRights::hasRight(COrvaneApp& app, int index, bool refresh)
{
    OperatorRecord& record = app.currentOperator();
    if (record.ISuper)
        return true;
    if (refresh) {
        db::CADODatabase& database = app.database();
        db::CADORecordset rs(&database);
        // A vanished row (operator deleted meanwhile) leaves no rights; a failed query keeps
        // the rights read before.
        if (rs.Open(QStringLiteral("SELECT Purview FROM qp_Users WHERE UserID=%1")
                        .arg(record.UserID))) {
            applyPurview(database, record,
                         rs.IsEOF() ? QString() : rs.GetFieldString(QStringLiteral("Purview")));
        }
    }
    return RightsTable::granted(record.purview.rightsMask, index);
}

bool OperatorRights::checkRight(COrvaneApp& app, Prompter& prompter, int index)
{
    if (hasRight(app, index, true))
        return true;
    prompter.message(noRightMessage(), COrvaneApp::productTitle(), Prompter::Icon::Warning);
    return false;
}

} // namespace orvane::core
