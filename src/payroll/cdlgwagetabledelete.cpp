#include "payroll/cdlgwagetabledelete.h"

#include "payroll/wagesorts.h"

#include "core/apphelpers.h"
#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/systemlog.h"

#include "db/cadodatabase.h"
#include "db/transaction.h"

namespace orvane::payroll {

using core::Prompter;

CDlgWageTableDelete::CDlgWageTableDelete(core::COrvaneApp& app, core::Prompter& prompter,
                                         int sortId, int selectedMonth, int selectedId)
    : m_app(app), m_prompter(prompter), m_sortId(sortId), m_selectedMonth(selectedMonth),
      m_selectedId(selectedId)
{
    fromMonth = toMonth = selectedMonth;
}

bool CDlgWageTableDelete::accept()
{
    QString what;
    QString question;
    if (!range) {
        if (m_selectedId == 0) {
            m_prompter.message(QStringLiteral("请选择薪资表!"), core::promptCaption(),
                               Prompter::Icon::Warning);
            return false;
        }
        what = core::monthText(m_selectedMonth);
        question = QStringLiteral("确定要删除薪资表[ %1 ]吗?").arg(what);
    } else {
        what =
            QStringLiteral(" %1 至 %2 ").arg(core::monthText(fromMonth), core::monthText(toMonth));
        question = QStringLiteral("确定要删除%1薪资表吗?").arg(what);
    }
    if (m_prompter.askYesNo(question, core::promptCaption(), Prompter::Icon::Question) !=
        Prompter::Answer::Yes)
        return false;

    db::CADODatabase& database = m_app.database();
    const core::Catalog catalog(database);
    const QString table = catalog.wageSortTable(m_sortId);
    db::Transaction transaction(database);
    bool ok = transaction.isActive() && !table.isEmpty();
    if (ok && !range)
        ok = database.Execute(
                 QStringLiteral("DELETE FROM %1 WHERE fDate=%2").arg(table).arg(m_selectedMonth)) &&
             database.Execute(QStringLiteral("DELETE FROM qp_WageTable WHERE ID=%1 AND SID=%2")
                                  .arg(m_selectedId)
                                  .arg(m_sortId));
    else if (ok)
        ok = database.Execute(QStringLiteral("DELETE FROM %1 WHERE fDate>=%2 AND fDate<=%3")
                                  .arg(table)
                                  .arg(fromMonth)
                                  .arg(toMonth)) &&
             database.Execute(QStringLiteral("DELETE FROM qp_WageTable WHERE SID=%1 AND "
                                             "(fDate>=%2 AND fDate<=%3)")
                                  .arg(m_sortId)
                                  .arg(fromMonth)
                                  .arg(toMonth));
    if (!ok || !transaction.commit()) {
        const QString error = database.GetErrorDescription();
        transaction.rollback();
        m_prompter.message(error.isEmpty() ? QStringLiteral("删除薪资表失败!") : error,
                           core::promptCaption(), Prompter::Icon::Error);
        return false;
    }
    core::AddSystemLog(m_app, QStringLiteral("薪资管理[删除薪资表'%1:%2']")
                                  .arg(catalog.wageSortTitle(m_sortId), what.trimmed()));
    return true;
}

} // namespace orvane::payroll
