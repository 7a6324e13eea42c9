// Shows one window of the bank file and payslip mail on a demo database and saves its picture:
//     ui_output_screenshot DATABASE SORT MONTH WINDOW PNG
// WINDOW is one of manager, editor, detail, output, mailtemplate, report, settings. Run under a
// display (for example xvfb-run) with the Chinese font installed.

#include "core/appsettings.h"
#include "core/corvaneapp.h"
#include "core/ui/qtprompter.h"
#include "db/cadodatabase.h"
#include "payroll/cdlgmailreport.h"
#include "payroll/cdlgwagebankoutput.h"
#include "payroll/cdlgwagebanktemplet.h"
#include "payroll/mailsettings.h"
#include "payroll/templatemanager.h"
#include "payroll/ui/anntempletdialog.h"
#include "payroll/ui/bankoutputdialog.h"
#include "payroll/ui/banktempletdialog.h"
#include "payroll/ui/mailreportdialog.h"
#include "payroll/ui/mailsettingspage.h"
#include "payroll/wageexportquery.h"
#include "payroll/wagescriptsession.h"
#include "server/coreprocedures.h"
#include "widgets/templatemanagerdialog.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <memory>

using namespace orvane;

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: ui_output_screenshot DATABASE SORT MONTH WINDOW PNG\n");
        return 2;
    }
    QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtbase);
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 10));
    server::registerCoreProcedures();
    auto database = std::make_shared<db::CADODatabase>();
    if (!database->Open(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "%s\n", qPrintable(database->GetLastErrorString()));
        return 1;
    }
    core::COrvaneApp app(QString(), std::make_unique<core::AppSettings>(QDir::temp().filePath(
                                        QStringLiteral("orvane-screenshot.ini"))));
    app.setDatabase(database);
    core::OperatorRecord admin;
    admin.UserName = QStringLiteral("admin");
    admin.ISuper = true;
    app.setCurrentOperator(admin);
    core::ui::QtPrompter prompter;
    const int sortId = QString::fromLocal8Bit(argv[2]).toInt();
    const payroll::WageSelection selection{sortId, QString::fromLocal8Bit(argv[3]).toInt(), 0, 0};
    const QString window = QString::fromLocal8Bit(argv[4]);
    const QString png = QString::fromLocal8Bit(argv[5]);

    const payroll::WageExportQuery query(*database);
    payroll::WageScriptSession session(*database, query.context(selection, admin.UserName));
    payroll::TemplateManager bankManager(app, prompter, payroll::TemplateKind::bank(), sortId);
    payroll::CDlgWageBankOutput output(*database,
                                       payroll::CDlgWageBankOutput::loadTemplate(*database, 1),
                                       query.selectSql(selection), session);
    payroll::CDlgMailReport report(*database, payroll::CDlgMailReport::loadTemplate(*database, 1),
                                   query.selectSql(selection), session,
                                   payroll::MailSettings(*database).mailboxes());
    payroll::CDlgWageBankDetail detailFlow(app, prompter, sortId, 1);
    payroll::CDlgWageBankTemplet templet(app, prompter, sortId, 1);
    templet.load();

    std::unique_ptr<QWidget> shown;
    if (window == QLatin1String("manager")) {
        shown =
            std::make_unique<widgets::TemplateManagerDialog>(bankManager, [](int) { return 0; });
    } else if (window == QLatin1String("editor")) {
        shown = std::make_unique<payroll::ui::BankTempletDialog>(app, prompter, sortId, 1);
    } else if (window == QLatin1String("detail")) {
        shown = std::make_unique<payroll::ui::BankDetailDialog>(
            detailFlow, templet.sourceCaptions(), templet.fieldAt(2));
    } else if (window == QLatin1String("output")) {
        auto dialog = std::make_unique<payroll::ui::BankOutputDialog>(output, prompter);
        dialog->startLater();
        shown = std::move(dialog);
    } else if (window == QLatin1String("mailtemplate")) {
        shown = std::make_unique<payroll::ui::AnnTempletDialog>(app, prompter, sortId, 1);
    } else if (window == QLatin1String("report")) {
        shown = std::make_unique<payroll::ui::MailReportDialog>(report, prompter);
    } else if (window == QLatin1String("settings")) {
        auto page = std::make_unique<payroll::ui::MailSettingsPage>(app, prompter);
        page->resize(520, 360);
        shown = std::move(page);
    } else {
        std::fprintf(stderr, "unknown window %s\n", argv[4]);
        return 2;
    }
    shown->show();
    QTimer::singleShot(2500, [&] {
        shown->grab().save(png);
        QApplication::quit();
    });
    return QApplication::exec();
}
