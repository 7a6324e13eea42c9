// orvane-admin init FILE: creates the delivered embedded database.
#include "admincommand.h"

#include "server/coreprocedures.h"
#include "server/databasecreator.h"
#include "server/demodata.h"

#include "core/passwordhash.h"
#include "core/purview.h"
#include "core/rightstable.h"
#include "db/cadodatabase.h"

#include "core/appsettings.h"
#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "payroll/demopayroll.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>

#include <memory>

namespace orvane::admin {

namespace {

// Rights text holding the entries first..last of the rights table.
QString purviewOf(int first, int last)
{
    core::Purview purview;
    for (int index = first; index <= last; ++index)
        purview.rightsMask |= core::RightsTable::entry(index)->mask();
    return purview.toString();
}

// The demo operators and their passwords, also printed after the run.
QList<server::DemoOperator> demoOperators()
{
    return {
        {QStringLiteral("hr"), core::passwordHash(QStringLiteral("hr123")),
         QStringLiteral("人事专员(只有人事权限)"), purviewOf(0, 15), false},
        {QStringLiteral("payroll"), core::passwordHash(QStringLiteral("pay123")),
         QStringLiteral("薪资专员(只有薪资权限)"), purviewOf(16, 32), false},
        {QStringLiteral("manager"), core::passwordHash(QStringLiteral("mgr123")),
         QStringLiteral("部门经理(全部功能,非超级用户)"), purviewOf(0, 38), false},
    };
}

int runInit(const QStringList& args)
{
    QString file;
    int demo = -1;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--demo") && i + 1 < args.size()) {
            bool ok = false;
            demo = args[++i].toInt(&ok);
            if (!ok || demo < 0 || demo > 10000000) {
                printErr(QStringLiteral("orvane-admin init: --demo needs a number of persons "
                                        "from 0 to 10000000\n"));
                return 2;
            }
        } else if (file.isEmpty() && !args[i].startsWith(QLatin1Char('-'))) {
            file = args[i];
        } else {
            file.clear();
            break;
        }
    }
    if (file.isEmpty()) {
        printErr(QStringLiteral("usage: orvane-admin init FILE [--demo N]\n"));
        return 2;
    }
    QString error;
    if (!server::createDatabase(file, &error)) {
        printErr(QStringLiteral("orvane-admin init: %1\n").arg(error));
        return 1;
    }
    printOut(QStringLiteral("created %1 (super operator 'admin', empty password)\n").arg(file));
    if (demo < 0)
        return 0;

    QElapsedTimer timer;
    timer.start();
    db::CADODatabase database;
    server::DemoDataCounts counts;
    if (!database.Open(file) ||
        !server::fillDemoData(database, demo, demoOperators(), &counts, &error)) {
        printErr(QStringLiteral("orvane-admin init: demo data: %1\n")
                     .arg(error.isEmpty() ? database.GetLastErrorString() : error));
        return 1;
    }
    const qint64 personnelMs = timer.restart();

    printOut(QStringLiteral("demo data: %1 departments, %2 persons, %3 operators in %4 ms\n"
                            "operators: admin (empty password, super user), hr / hr123 "
                            "(personnel), payroll / pay123 (payroll), manager / mgr123 (all "
                            "rights, not super)\n")
                 .arg(counts.departments)
                 .arg(counts.persons)
                 .arg(counts.operators)
                 .arg(personnelMs));
    // The demo payroll is set up by the delivered super operator through the payroll workflows.
    core::COrvaneApp app(QString(), std::make_unique<core::AppSettings>(
                                        QDir::temp().filePath(QStringLiteral("orvane-admin.ini"))));
    app.setDatabase(std::shared_ptr<db::CADODatabase>(&database, [](db::CADODatabase*) {}));
    core::OperatorRecord admin;
    admin.UserID = core::Catalog(database).integer(
        QStringLiteral("SELECT UserID FROM qp_Users WHERE UserName='admin'"));
    admin.UserName = QStringLiteral("admin");
    admin.ISuper = true;
    app.setCurrentOperator(admin);
    payroll::DemoPayrollCounts pay;
    const QDate today = QDate::currentDate();
    if (!payroll::fillDemoPayroll(app, today.year() * 100 + today.month(), &pay, &error)) {
        printErr(QStringLiteral("orvane-admin init: demo payroll: %1\n").arg(error));
        return 1;
    }
    printOut(QStringLiteral("demo payroll: sort '%1' with %2 items, %3 standard tables, %4 "
                            "members, %5 months in %6 ms\n")
                 .arg(payroll::demoSortTitle())
                 .arg(pay.items)
                 .arg(pay.standardTables)
                 .arg(pay.members)
                 .arg(pay.months)
                 .arg(timer.elapsed()));
    return 0;
}

// Every command of the tool that reaches a database can call the delivered procedures.
[[maybe_unused]] const bool coreProceduresRegistered = [] {
    server::registerCoreProcedures();
    return true;
}();

const AdminCommandRegistration registration({
    QStringLiteral("init"),
    QStringLiteral("init FILE [--demo N]"),
    QStringLiteral("create a new embedded database with the catalogue, dictionaries and the "
                   "super operator; --demo N adds departments, N persons and demo operators"),
    runInit,
});

} // namespace

} // namespace orvane::admin
