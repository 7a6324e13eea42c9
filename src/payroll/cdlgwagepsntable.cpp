#include "payroll/cdlgwagepsntable.h"

#include "payroll/wagesorts.h"

#include "core/apphelpers.h"
#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/systemlog.h"

#include "db/cadocommand.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::payroll {

using core::Prompter;

CDlgWagePsnTable::CDlgWagePsnTable(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                                   int fDate, int departmentId)
    : m_app(app), m_prompter(prompter), m_sortId(sortId), m_fDate(fDate),
      m_candidates(app, QStringLiteral("tmpWageUser%1").arg(app.currentOperator().UserID))
{
    db::CADORecordset rs(&m_app.database());
    if (rs.Open(QStringLiteral("SELECT fDate FROM qp_WageTable WHERE SID=%1 AND fDate<>%2 ORDER "
                               "BY fDate DESC")
                    .arg(sortId)
                    .arg(fDate))) {
        for (; !rs.IsEOF(); rs.MoveNext())
            m_months << rs.GetFieldInt(QStringLiteral("fDate"));
    }
    setDepartment(departmentId);
}

CDlgWagePsnTable::~CDlgWagePsnTable()
{
    m_candidates.drop(QStringLiteral("DROP TABLE %1").arg(m_candidates.tableName()));
}

bool CDlgWagePsnTable::setDepartment(int departmentId)
{
    m_departmentId = departmentId;
    db::CADOCommand cmd(&m_app.database(), QStringLiteral("qp_CreateWageTmpTableForAddPsn"));
    cmd.AddParameter(QStringLiteral("TmpTableName"), db::adVarChar, db::adParamInput, 50,
                     m_candidates.tableName());
    cmd.AddParameter(QStringLiteral("SID"), db::adInteger, db::adParamInput, 4, m_sortId);
    cmd.AddParameter(QStringLiteral("DID"), db::adInteger, db::adParamInput, 4, departmentId);
    cmd.AddParameter(QStringLiteral("nFDate"), db::adInteger, db::adParamInput, 4, m_fDate);
    if (!cmd.Execute())
        return false;
    return m_candidates.reload();
}

bool CDlgWagePsnTable::accept()
{
    const int ticked = m_candidates.confirmAdding(m_prompter, m_sortId, true);
    if (ticked == 0)
        return false;
    auto call = [this](const QString& procedure, int previous) {
        db::CADOCommand cmd(&m_app.database(), procedure);
        cmd.AddParameter(QStringLiteral("TmpTableName"), db::adVarChar, db::adParamInput, 50,
                         m_candidates.tableName());
        cmd.AddParameter(QStringLiteral("SID"), db::adInteger, db::adParamInput, 4, m_sortId);
        cmd.AddParameter(QStringLiteral("nFDate"), db::adInteger, db::adParamInput, 4, m_fDate);
        if (previous != 0)
            cmd.AddParameter(QStringLiteral("nPreFDate"), db::adInteger, db::adParamInput, 4,
                             previous);
        if (cmd.Execute())
            return true;
        m_prompter.message(cmd.GetErrorDescription(), core::promptCaption(), Prompter::Icon::Error);
        return false;
    };
    if (!call(QStringLiteral("qp_AddWagePsnFromTmpTable"), 0))
        return false;
    if (importEarlier && earlierMonth != 0 &&
        !call(QStringLiteral("qp_UpdateWageTmpTableForAddPsn"), earlierMonth))
        return false;
    core::AddSystemLog(m_app, QStringLiteral("薪资管理[薪资类别'%1'薪资表'%2'添加%3个人员]")
                                  .arg(core::Catalog(m_app.database()).wageSortTitle(m_sortId),
                                       core::monthText(m_fDate))
                                  .arg(ticked));
    return true;
}

} // namespace orvane::payroll
