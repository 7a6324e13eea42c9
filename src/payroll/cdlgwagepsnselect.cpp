#include "payroll/cdlgwagepsnselect.h"

#include "payroll/wagesorts.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/systemlog.h"

#include "db/cadodatabase.h"

namespace orvane::payroll {

using core::Prompter;

CDlgWagePsnSelect::CDlgWagePsnSelect(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                                     int departmentId)
    : m_app(app), m_prompter(prompter), m_sortId(sortId),
      m_candidates(app, QStringLiteral("##tmp%1").arg(app.currentOperator().UserID))
{
    setDepartment(departmentId);
}

CDlgWagePsnSelect::~CDlgWagePsnSelect()
{
    close();
}

bool CDlgWagePsnSelect::setDepartment(int departmentId)
{
    m_departmentId = departmentId;
    if (!m_app.database().Execute(QStringLiteral("qp_CreateTmpTblForWageSortPsnSelect '%1',%2,%3")
                                      .arg(m_candidates.tableName())
                                      .arg(m_sortId)
                                      .arg(departmentId)))
        return false;
    return m_candidates.reload();
}

QString CDlgWagePsnSelect::sortTitle() const
{
    return core::Catalog(m_app.database()).wageSortTitle(m_sortId);
}

bool CDlgWagePsnSelect::addOne(int row)
{
    OrderedList& rows = m_candidates.rows();
    if (row < 0 || row >= rows.rowCount())
        return false;
    const int pid = rows.cellInt(row, CandidateList::Pid);
    db::CADODatabase& database = m_app.database();
    if (!database.Execute(QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES (%1,%2,%3)")
                              .arg(m_sortId)
                              .arg(pid)
                              .arg(rows.cellInt(row, CandidateList::Order))))
        return false;
    ++m_added;
    if (onMembersChanged)
        onMembersChanged();
    database.Execute(
        QStringLiteral("DELETE FROM [%1] WHERE PID=%2").arg(m_candidates.tableName()).arg(pid));
    m_candidates.reload();
    return true;
}

bool CDlgWagePsnSelect::addTicked()
{
    const int ticked = m_candidates.confirmAdding(m_prompter, m_sortId, false);
    if (ticked == 0)
        return false;
    db::CADODatabase& database = m_app.database();
    if (!database.Execute(QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) SELECT %1,PID,ord "
                                         "FROM [%2] WHERE [CKD]=1")
                              .arg(m_sortId)
                              .arg(m_candidates.tableName())))
        return false;
    m_added += ticked;
    if (onMembersChanged)
        onMembersChanged();
    database.Execute(
        QStringLiteral("DELETE FROM [%1] WHERE [CKD]=1").arg(m_candidates.tableName()));
    m_candidates.reload();
    core::AddSystemLog(m_app,
                       QStringLiteral("薪资管理[薪资类别'%1'增加所属人员]").arg(sortTitle()));
    return true;
}

void CDlgWagePsnSelect::close()
{
    if (m_closed)
        return;
    m_closed = true;
    m_candidates.drop(QStringLiteral("qp_DeleteTmpTbl '%1'").arg(m_candidates.tableName()));
}

} // namespace orvane::payroll
