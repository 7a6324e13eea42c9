#pragma once

#include "payroll/mailsettings.h"
#include "payroll/wageexportquery.h"

#include <QString>

#include <utility>
#include <vector>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// What the wage view hands to the bank export and the payslip mail: the active templates to
// choose from, the checks before opening the dialogs and the log lines afterwards.
class WageOutputs
{
public:
    WageOutputs(core::COrvaneApp& app, core::Prompter& prompter);

    // "SELECT EID,Name FROM qp_WageExport WHERE Active=1 And SID=%d ORDER BY Ord".
    std::vector<std::pair<int, QString>> bankTemplates(int sortId) const;
    // "SELECT AID,Name FROM qp_WageAnnounce WHERE Active=1 AND SID=%d ORDER BY Ord" (sort 0 for
    // the personnel view).
    std::vector<std::pair<int, QString>> mailTemplates(int sortId) const;
    // The mailboxes, or none after "没有用于群发的邮箱!".
    std::vector<Mailbox> mailboxesForSending();

    void logBankSaved(const WageSelection& selection, const QString& templateName);
    void logMailSent(const WageSelection& selection, const QString& templateName);

private:
    std::vector<std::pair<int, QString>> list(const QString& sql) const;

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
};

} // namespace orvane::payroll
