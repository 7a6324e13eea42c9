// orvane-admin mail: the payslips of a wage month, generated and sent as "群发" does.
#include "adminsession.h"
#include "admincommand.h"

#include "core/systemlog.h"
#include "payroll/cdlgmailreport.h"
#include "payroll/wageexportquery.h"
#include "payroll/wagescriptsession.h"

namespace orvane::admin {

namespace {

// Prints each attempt's outcome as the report would show it.
struct PrintingSink : payroll::MailReportSink
{
    explicit PrintingSink(payroll::CDlgMailReport& report) : m_report(report) {}
    void rowAdded(int) override {}
    void rowChanged(int row) override
    {
        const payroll::MailRow mail = m_report.row(row);
        if (mail.status == payroll::MailRow::Status::Sent)
            printOut(QStringLiteral("sent\t%1\t%2\tvia %3\n").arg(mail.name, mail.address,
                                                                   mail.mailbox));
        else if (mail.status == payroll::MailRow::Status::Failed)
            printErr(QStringLiteral("failed (attempt %1)\t%2\t%3\tvia %4\n")
                         .arg(mail.attempts)
                         .arg(mail.name, mail.address, mail.mailbox));
    }
    void setStatus(int, const QString&) override {}
    void setProgress(int, int) override {}
    void finished() override {}

private:
    payroll::CDlgMailReport& m_report;
};

int runMail(const QStringList& args)
{
    const QString usage = QStringLiteral("usage: orvane-admin mail FILE --sort ID --month YYYYMM "
                                         "--template AID [--dept D] [--dry-run]\n");
    AdminSession session(args, {QStringLiteral("dry-run")});
    const payroll::WageSelection selection{session.number(QStringLiteral("sort")),
                                           session.number(QStringLiteral("month")),
                                           session.number(QStringLiteral("dept"), 0), 0};
    const int aid = session.number(QStringLiteral("template"));
    if (!session.ok()) {
        printErr(QStringLiteral("orvane-admin mail: %1\n%2").arg(session.error(), usage));
        return 2;
    }
    const bool dryRun = session.has(QStringLiteral("dry-run"));
    const payroll::MailTemplate templ = payroll::CDlgMailReport::loadTemplate(session.db(), aid);
    if (templ.aid == 0 || templ.sortId != selection.sortId) {
        printErr(QStringLiteral("orvane-admin mail: 薪资类别%1没有邮件模板%2\n")
                     .arg(selection.sortId)
                     .arg(aid));
        return 1;
    }
    const auto mailboxes = payroll::MailSettings(session.db()).mailboxes();
    if (mailboxes.empty() && !dryRun) {
        printErr(QStringLiteral("orvane-admin mail: 没有用于群发的邮箱!\n"));
        return 1;
    }
    payroll::WageExportQuery query(session.db());
    const QString sql = query.selectSql(selection);
    if (sql.isEmpty()) {
        printErr(QStringLiteral("orvane-admin mail: 选择的薪资帐套被删除！\n"));
        return 1;
    }
    payroll::WageScriptSession script(
        session.db(), query.context(selection, session.app().currentOperator().UserName));
    payroll::CDlgMailReport report(session.db(), templ, sql, script, mailboxes);
    PrintingSink sink(report);
    report.generate(sink);
    if (report.rowCount() == 0) {
        printErr(QStringLiteral("orvane-admin mail: 没有生成邮件\n"));
        return 1;
    }
    if (dryRun) {
        for (int i = 0; i < report.rowCount(); ++i) {
            const payroll::MailRow mail = report.row(i);
            printOut(QStringLiteral("To: %1\nSubject: %2\n\n%3\n\n")
                         .arg(mail.address.isEmpty() ? QStringLiteral("(无邮箱)") : mail.address,
                              mail.subject, mail.body));
        }
    } else {
        report.sendAll(sink);
        core::AddSystemLog(session.app(),
                           query.logLine(selection, QStringLiteral("邮件群发"), templ.name));
    }
    int unsent = 0;
    for (int i = 0; i < report.rowCount(); ++i) {
        const payroll::MailRow mail = report.row(i);
        if (mail.address.isEmpty() || (!dryRun && !mail.done))
            ++unsent;
    }
    printErr(QStringLiteral("%1 mails, %2 %3\n")
                 .arg(report.rowCount())
                 .arg(unsent)
                 .arg(dryRun ? QStringLiteral("without address") : QStringLiteral("not sent")));
    return unsent == 0 ? 0 : 1;
}

const AdminCommandRegistration registration({
    QStringLiteral("mail"),
    QStringLiteral("mail FILE --sort ID --month YYYYMM --template AID [--dept D] [--dry-run]"),
    QStringLiteral("generate the payslip mails of a wage month and send them through the "
                   "configured mailboxes (--dry-run prints them instead)"),
    runMail,
});

} // namespace

} // namespace orvane::admin
