// The orvane client: start-up, login, then the main frame.

#include "core/corvaneapp.h"
#include "core/startupflow.h"
#include "core/ui/logindialog.h"
#include "core/ui/qtprompter.h"
#include "server/coreprocedures.h"
#include "shell/ui/applook.h"
#include "shell/ui/cmainframe.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    orvane::core::StartupFlow::preferChineseSystemLocale();
    QApplication qapp(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("TalverySoft"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setWindowIcon(orvane::shell::ui::AppLook::icon());

    // The stored procedures of the embedded database run in this process.
    orvane::server::registerCoreProcedures();

    orvane::core::COrvaneApp app;
    orvane::core::ui::QtPrompter prompter;
    orvane::core::StartupFlow startup(app);
    startup.applyLook = [](int look) { orvane::shell::ui::AppLook::apply(look); };
    // The login asks for the connection settings itself when hr.ini holds none.
    startup.runLogin = [&] {
        orvane::core::ui::LoginDialog dialog(app, prompter);
        return dialog.exec() == QDialog::Accepted;
    };
    std::unique_ptr<orvane::shell::ui::CMainFrame> frame;
    startup.createMainFrame = [&] {
        frame = std::make_unique<orvane::shell::ui::CMainFrame>(app);
        prompter.setParent(frame.get());
        frame->showMaximized();
        return true;
    };
    if (!startup.run())
        return 0;
    return qapp.exec();
}
