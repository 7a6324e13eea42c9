#include "payroll/cdlgwagetablenew.h"

#include "core/apphelpers.h"
#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/operatorrights.h"
#include "core/prompter.h"
#include "core/systemlog.h"

#include "db/cadocommand.h"

#include <QDate>

namespace orvane::payroll {

using core::Prompter;

CDlgWageTableNew::CDlgWageTableNew(core::COrvaneApp& app, core::Prompter& prompter, int sortId)
    : m_app(app), m_prompter(prompter), m_sorts(WageSorts::list(app))
{
    sortIndex = WageSorts::indexOf(m_sorts, sortId);
    const QDate today = QDate::currentDate();
    year = today.year();
    month = today.month();
}

bool CDlgWageTableNew::create()
{
    if (!core::OperatorRights::checkRight(m_app, m_prompter, kRightCreateDelete))
        return false;
    if (sortIndex < 0 || sortIndex >= m_sorts.size()) {
        m_prompter.message(WageSorts::chooseSortMessage(), core::promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    const WageSortEntry sort = m_sorts[sortIndex];
    const int fDate = WageSorts::monthKey(year, month);
    const QString monthText = core::monthText(fDate);
    if (m_prompter.askYesNo(QStringLiteral("确定新建 \"%1\" 薪资表吗?").arg(monthText),
                            core::promptCaption(),
                            Prompter::Icon::Question) != Prompter::Answer::Yes)
        return false;
    const core::Catalog catalog(m_app.database());
    if (!catalog.rowExists(QStringLiteral("qp_Table"), QStringLiteral("[ID]=%1").arg(sort.id))) {
        m_prompter.message(WageSorts::sortDeletedMessage(), core::promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    if (catalog.integer(
            QStringLiteral("SELECT COUNT(*) FROM qp_WageTable WHERE SID=%1 AND fDate=%2")
                .arg(sort.id)
                .arg(fDate)) > 0) {
        m_prompter.message(QStringLiteral("薪资表(%1) 已存在!").arg(monthText),
                           core::promptCaption(), Prompter::Icon::Warning);
        return false;
    }
    db::CADOCommand cmd(&m_app.database(), QStringLiteral("qp_CreateWageTable"));
    cmd.AddParameter(QStringLiteral("UserID"), db::adInteger, db::adParamInput, 4,
                     m_app.currentOperator().UserID);
    cmd.AddParameter(QStringLiteral("SID"), db::adInteger, db::adParamInput, 4, sort.id);
    cmd.AddParameter(QStringLiteral("nFDate"), db::adInteger, db::adParamInput, 4, fDate);
    if (!cmd.Execute()) {
        // Another operator may have created the month a moment before.
        m_prompter.message(cmd.GetErrorDescription(), core::promptCaption(), Prompter::Icon::Error);
        return false;
    }
    core::AddSystemLog(m_app, QStringLiteral("薪资管理[新建薪资表'%1']").arg(monthText));
    return true;
}

} // namespace orvane::payroll
