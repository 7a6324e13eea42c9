#include "payroll/ui/wageoutputcommands.h"

#include "payroll/cdlgmailreport.h"
#include "payroll/cdlgwagebankoutput.h"
#include "payroll/templatemanager.h"
#include "payroll/ui/anntempletdialog.h"
#include "payroll/ui/bankoutputdialog.h"
#include "payroll/ui/banktempletdialog.h"
#include "payroll/ui/mailreportdialog.h"
#include "payroll/wageoutputs.h"
#include "payroll/wagescriptsession.h"

#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqlbuilder.h"
#include "widgets/templatemanagerdialog.h"

#include <QInputDialog>

#include <functional>

namespace orvane::payroll::ui {

namespace {

// The operator's choice among the active templates; 0 when none or cancelled.
int chooseTemplate(core::Prompter& prompter, const std::vector<std::pair<int, QString>>& choices,
                   const QString& caption, const QString& manager, QWidget* parent)
{
    if (choices.empty()) {
        prompter.message(QStringLiteral("没有启用的模板，请先在“%1”中设置！").arg(manager),
                         core::promptCaption(), core::Prompter::Icon::Warning);
        return 0;
    }
    QStringList names;
    for (const auto& choice : choices)
        names << choice.second;
    bool ok = false;
    const QString name =
        QInputDialog::getItem(parent, caption, QStringLiteral("选择模板："), names, 0, false, &ok);
    if (!ok)
        return 0;
    return choices[size_t(names.indexOf(name))].first;
}

void manageTemplates(core::COrvaneApp& app, core::Prompter& prompter, TemplateKind kind, int sortId,
                     const std::function<int(int)>& edit, QWidget* parent)
{
    TemplateManager manager(app, prompter, std::move(kind), sortId);
    widgets::TemplateManagerDialog dialog(manager, edit, parent);
    dialog.exec();
}

} // namespace

void manageBankTemplates(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                         QWidget* parent)
{
    manageTemplates(
        app, prompter, TemplateKind::bank(), sortId,
        [&](int key) {
            BankTempletDialog editor(app, prompter, sortId, key, parent);
            const int result = editor.exec();
            // A new template saved before its fields were added counts even when cancelled later.
            return result == QDialog::Accepted || editor.eid() != key ? editor.eid() : 0;
        },
        parent);
}

void manageMailTemplates(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                         QWidget* parent)
{
    manageTemplates(
        app, prompter, TemplateKind::mail(), sortId,
        [&](int key) {
            AnnTempletDialog editor(app, prompter, sortId, key, parent);
            return editor.exec() == QDialog::Accepted ? editor.aid() : 0;
        },
        parent);
}

void exportBankFile(core::COrvaneApp& app, core::Prompter& prompter, const WageSelection& selection,
                    QWidget* parent, int templateId)
{
    WageOutputs outputs(app, prompter);
    const int eid = templateId != 0
                        ? templateId
                        : chooseTemplate(prompter, outputs.bankTemplates(selection.sortId),
                                         QStringLiteral("银行代发报盘"),
                                         QStringLiteral("报盘模板管理"), parent);
    if (eid == 0)
        return;
    BankTemplate templ = CDlgWageBankOutput::loadTemplate(app.database(), eid);
    if (templ.eid == 0)
        return;
    const WageExportQuery query(app.database());
    WageScriptSession session(app.database(),
                              query.context(selection, app.currentOperator().UserName));
    const QString name = templ.name;
    CDlgWageBankOutput output(app.database(), std::move(templ), query.selectSql(selection),
                              session);
    BankOutputDialog dialog(output, prompter, parent);
    dialog.startLater();
    dialog.exec();
    if (output.saved())
        outputs.logBankSaved(selection, name);
}

namespace {

// Opens the send report for a template chosen among the active ones of `sortId`; true when a
// send-all run was started, with the template's name.
bool sendMail(core::COrvaneApp& app, core::Prompter& prompter, int sortId, const QString& sql,
              const script::WageContext& context, QWidget* parent, QString* templateName,
              int templateId = 0)
{
    WageOutputs outputs(app, prompter);
    const int aid = templateId != 0 ? templateId
                                    : chooseTemplate(prompter, outputs.mailTemplates(sortId),
                                                     QStringLiteral("邮件通知"),
                                                     QStringLiteral("邮件模板管理"), parent);
    if (aid == 0)
        return false;
    const MailTemplate templ = CDlgMailReport::loadTemplate(app.database(), aid);
    std::vector<Mailbox> boxes = outputs.mailboxesForSending();
    if (templ.aid == 0 || boxes.empty())
        return false;
    WageScriptSession session(app.database(), context);
    CDlgMailReport report(app.database(), templ, sql, session, std::move(boxes));
    MailReportDialog dialog(report, prompter, parent);
    dialog.exec();
    *templateName = templ.name;
    return report.bulkStarted();
}

} // namespace

void sendPayslips(core::COrvaneApp& app, core::Prompter& prompter, const WageSelection& selection,
                  QWidget* parent, int templateId)
{
    const WageExportQuery query(app.database());
    QString name;
    if (sendMail(app, prompter, selection.sortId, query.selectSql(selection),
                 query.context(selection, app.currentOperator().UserName), parent, &name,
                 templateId))
        WageOutputs(app, prompter).logMailSent(selection, name);
}

void sendNotices(core::COrvaneApp& app, core::Prompter& prompter, const QString& where,
                 const QString& orderBy, QWidget* parent)
{
    const core::SqlBuilder builder(app.database());
    const QString from = core::SqlBuilder::personnelFrom(true);
    script::WageContext context;
    context.operatorName = app.currentOperator().UserName.toStdString();
    context.fromWhere = (from + where).toStdString();
    QString name;
    sendMail(app, prompter, 0,
             QStringLiteral("SELECT ") + builder.fullPersonnelColumns(0) + from + where + orderBy,
             context, parent, &name);
}

} // namespace orvane::payroll::ui
