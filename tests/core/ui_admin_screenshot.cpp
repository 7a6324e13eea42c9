// Shows the operator editor on a small demo database for a screenshot, then quits:
//     ui_admin_screenshot [seconds]
// Run under a display (for example Xvfb with a window manager) and capture the screen meanwhile.

#include "core/appsettings.h"
#include "core/cdlguser.h"
#include "core/corvaneapp.h"
#include "core/ui/qtprompter.h"
#include "core/ui/userdialog.h"
#include "db/cadodatabase.h"
#include "testutil/testdatabase.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtbase);
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 10));

    orvane::testutil::TestDatabase database;
    if (!database.isOpen()) {
        std::fprintf(stderr, "%s\n", qPrintable(database.error()));
        return 1;
    }
    auto& db = database.db();
    const char* statements[] = {
        "INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (0,'总公司',1,'|1|')",
        "INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (1,'财务部',1,'|2|1|')",
        "INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (1,'人力资源部',2,'|3|1|')",
        "INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (1,'生产部',3,'|4|1|')",
        "INSERT INTO qp_Table (TblName,Title,nType,ParentID,Ord) VALUES ('qp_W1','月度工资',6,0,1)",
        "INSERT INTO qp_Table (TblName,Title,nType,ParentID,Ord) VALUES ('qp_W2','年终奖金',6,0,2)",
        "INSERT INTO qp_Users (UserName,Pwd,Locked,ISuper,Descr,Purview) VALUES "
        "('张会计','',0,0,'财务部薪资专员','400000ffff800000|1,2|2,3|')",
    };
    for (const char* sql : statements)
        db.Execute(QString::fromUtf8(sql));

    orvane::core::COrvaneApp app(
        QString(), std::make_unique<orvane::core::AppSettings>(
                       QDir::temp().filePath(QStringLiteral("orvane-screenshot.ini"))));
    app.setDatabase(std::shared_ptr<orvane::db::CADODatabase>(&db, [](auto*) {}));
    orvane::core::ui::QtPrompter prompter;

    orvane::core::OperatorEntry entry;
    entry.UserID = database.scalarInt(QStringLiteral("SELECT UserID FROM qp_Users WHERE ISuper=0"));
    entry.UserName = QStringLiteral("张会计");
    entry.Descr = QStringLiteral("财务部薪资专员");
    entry.Purview = database.scalar(
        QStringLiteral("SELECT Purview FROM qp_Users WHERE UserID=%1").arg(entry.UserID));
    orvane::core::CDLGUser editor(app, prompter, entry);
    editor.open();
    orvane::core::ui::UserDialog dialog(editor, prompter);
    dialog.show();

    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5;
    QTimer::singleShot(seconds * 1000, &application, &QApplication::quit);
    return application.exec();
}
