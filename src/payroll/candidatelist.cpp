#include "payroll/candidatelist.h"

#include "payroll/wagesorts.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqltext.h"

#include "db/cadodatabase.h"

#include <utility>

namespace orvane::payroll {

CandidateList::CandidateList(core::COrvaneApp& app, QString tableName)
    : m_app(app), m_table(std::move(tableName))
{
}

bool CandidateList::reload()
{
    return m_rows.load(m_app.database(),
                       QStringLiteral("EXEC qp_SelectWagePsn '%1'").arg(core::sqlEscape(m_table)));
}

QString CandidateList::footerText() const
{
    return QStringLiteral("共 计：%1 人").arg(m_rows.rowCount());
}

int CandidateList::confirmAdding(core::Prompter& prompter, int sortId, bool askFirst)
{
    const int ticked = tickedCount();
    if (ticked == 0) {
        prompter.message(WageSorts::choosePersonMessage(), core::promptCaption(),
                         core::Prompter::Icon::Warning);
        return 0;
    }
    auto confirmed = [&prompter] {
        return prompter.okCancel(QStringLiteral("确定添加选定的人员吗?"), core::promptCaption(),
                                 core::Prompter::Icon::Question) == core::Prompter::Answer::Ok;
    };
    if (askFirst && !confirmed())
        return 0;
    if (!core::Catalog(m_app.database())
             .rowExists(QStringLiteral("qp_Table"), QStringLiteral("[ID]=%1").arg(sortId))) {
        prompter.message(WageSorts::sortDeletedMessage(), core::promptCaption(),
                         core::Prompter::Icon::Warning);
        return 0;
    }
    if (!askFirst && !confirmed())
        return 0;
    return ticked;
}

bool CandidateList::setTicked(int row, bool ticked)
{
    if (row < 0 || row >= m_rows.rowCount())
        return false;
    if (!m_app.database().Execute(QStringLiteral("UPDATE [%1] SET [CKD]=%2 WHERE PID=%3")
                                      .arg(m_table)
                                      .arg(ticked ? 1 : 0)
                                      .arg(m_rows.cellInt(row, Pid))))
        return false;
    m_rows.setCellInt(row, Ticked, ticked ? 1 : 0);
    return true;
}

bool CandidateList::tickAll(bool ticked)
{
    const bool ok = m_app.database().Execute(
        QStringLiteral("UPDATE [%1] SET [CKD]=%2").arg(m_table).arg(ticked ? 1 : 0));
    reload();
    return ok;
}

int CandidateList::tickedCount()
{
    return core::Catalog(m_app.database())
        .integer(QStringLiteral("SELECT COUNT(PID) FROM [%1] WHERE [CKD]=1").arg(m_table));
}

int CandidateList::search(const QString& text)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return -1;
    for (const int column : {int(Number), int(Name), int(Department)}) {
        for (int r = 0; r < m_rows.rowCount(); ++r) {
            if (m_rows.rows().at(r, column).toString().contains(wanted, Qt::CaseInsensitive)) {
                m_rows.setCurrentRow(r);
                return r;
            }
        }
    }
    return -1;
}

void CandidateList::drop(const QString& statement)
{
    m_app.database().Execute(statement);
}

} // namespace orvane::payroll
