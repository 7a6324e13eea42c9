// Opens the person form in add mode on an existing database, for screenshots and for trying the
// identity-card reader by hand:
//     ui_form_screenshot DATABASE PROGRAM_FOLDER
// PROGRAM_FOLDER is where the reader library (libtermb.so) lies and where it leaves its files.
// Run under a display (for example Xvfb with a window manager) and drive it with xdotool.

#include "core/appsettings.h"
#include "core/corvaneapp.h"
#include "core/ui/qtprompter.h"
#include "db/cadodatabase.h"
#include "personnel/cdlgdynctlformforpsnbase.h"
#include "personnel/ui/dynctlformdialog.h"
#include "server/coreprocedures.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: ui_form_screenshot DATABASE PROGRAM_FOLDER\n");
        return 2;
    }
    QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtbase);
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 10));
    orvane::server::registerCoreProcedures();

    auto db = std::make_shared<orvane::db::CADODatabase>();
    if (!db->Open(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "%s\n", qPrintable(db->GetLastErrorString()));
        return 1;
    }
    orvane::core::COrvaneApp app(QString::fromLocal8Bit(argv[2]),
                                 std::make_unique<orvane::core::AppSettings>(
                                     QDir::temp().filePath(QStringLiteral("orvane-form.ini"))));
    app.setDatabase(db);
    orvane::core::OperatorRecord op;
    op.UserID = 1;
    op.UserName = QStringLiteral("admin");
    op.ISuper = op.allCategories = op.allDepartments = true;
    app.setCurrentOperator(op);

    orvane::core::ui::QtPrompter prompter;
    orvane::personnel::CDlgDynCtlFormForPsnbase form(app, prompter);
    form.setTitle(QStringLiteral("人员档案 - 添加"));
    form.setAddMode();
    if (!form.build())
        return 1;
    orvane::personnel::ui::DynCtlFormDialog dialog(form, prompter);
    return dialog.exec() == QDialog::Accepted ? 0 : 0;
}
