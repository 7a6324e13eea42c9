// orvane-admin init FILE: creates the delivered embedded database.
#include "admincommand.h"

#include "server/coreprocedures.h"
#include "server/databasecreator.h"

namespace orvane::admin {

namespace {

int runInit(const QStringList& args)
{
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        printErr(QStringLiteral("usage: orvane-admin init FILE\n"));
        return 2;
    }
    QString error;
    if (!server::createDatabase(args.first(), &error)) {
        printErr(QStringLiteral("orvane-admin init: %1\n").arg(error));
        return 1;
    }
    printOut(
        QStringLiteral("created %1 (super operator 'admin', empty password)\n").arg(args.first()));
    return 0;
}

// Every command of the tool that reaches a database can call the delivered procedures.
[[maybe_unused]] const bool coreProceduresRegistered = [] {
    server::registerCoreProcedures();
    return true;
}();

const AdminCommandRegistration registration({
    QStringLiteral("init"),
    QStringLiteral("init FILE"),
    QStringLiteral("create a new embedded database with the catalogue, dictionaries and the "
                   "super operator"),
    runInit,
});

} // namespace

} // namespace orvane::admin
