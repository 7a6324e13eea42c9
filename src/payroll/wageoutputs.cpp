#include "payroll/wageoutputs.h"

#include "payroll/mailsettings.h"

#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/systemlog.h"
#include "db/cadorecordset.h"

namespace orvane::payroll {

WageOutputs::WageOutputs(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

std::vector<std::pair<int, QString>> WageOutputs::list(const QString& sql) const
{
    std::vector<std::pair<int, QString>> rows;
    db::CADORecordset rs(&m_app.database());
    if (rs.Open(sql))
        for (; !rs.IsEOF(); rs.MoveNext()) {
            QVariant key;
            rs.GetFieldValue(0, key);
            rows.emplace_back(key.toInt(), rs.GetFieldString(QStringLiteral("Name")));
        }
    return rows;
}

std::vector<std::pair<int, QString>> WageOutputs::bankTemplates(int sortId) const
{
    return list(
        QStringLiteral("SELECT EID,Name FROM qp_WageExport WHERE Active=1 And SID=%1 ORDER BY Ord")
            .arg(sortId));
}

std::vector<std::pair<int, QString>> WageOutputs::mailTemplates(int sortId) const
{
    return list(QStringLiteral(
                    "SELECT AID,Name FROM qp_WageAnnounce WHERE Active=1 AND SID=%1 ORDER BY Ord")
                    .arg(sortId));
}

std::vector<Mailbox> WageOutputs::mailboxesForSending()
{
    std::vector<Mailbox> boxes = MailSettings(m_app.database()).mailboxes();
    if (boxes.empty())
        m_prompter.message(QStringLiteral("没有用于群发的邮箱!"), core::promptCaption(),
                           core::Prompter::Icon::Warning);
    return boxes;
}

void WageOutputs::logBankSaved(const WageSelection& selection, const QString& templateName)
{
    core::AddSystemLog(
        m_app, WageExportQuery(m_app.database())
                   .logLine(selection, QStringLiteral("生成银行代发报盘数据"), templateName));
}

void WageOutputs::logMailSent(const WageSelection& selection, const QString& templateName)
{
    core::AddSystemLog(m_app, WageExportQuery(m_app.database())
                                  .logLine(selection, QStringLiteral("邮件群发"), templateName));
}

} // namespace orvane::payroll
