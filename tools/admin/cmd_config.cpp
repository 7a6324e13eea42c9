// orvane-admin config: writes the enciphered connection settings of hr.ini.

#include "admincommand.h"

#include "core/connectconfig.h"

#include <QCoreApplication>
#include <QDir>

namespace orvane::admin {
namespace {

int runConfig(const QStringList& args)
{
    QString ini;
    QString server;
    QString user;
    QString password;
    bool integrated = false;
    bool haveUser = false;
    bool havePassword = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto next = [&](QString& into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        bool ok = true;
        if (a == QLatin1String("--ini"))
            ok = next(ini);
        else if (a == QLatin1String("--server"))
            ok = next(server);
        else if (a == QLatin1String("--user"))
            ok = haveUser = next(user);
        else if (a == QLatin1String("--password"))
            ok = havePassword = next(password);
        else if (a == QLatin1String("--integrated"))
            integrated = true;
        else
            ok = false;
        if (!ok) {
            printErr(QStringLiteral("orvane-admin config: unexpected argument '%1'\n").arg(a));
            return 2;
        }
    }
    if (server.trimmed().isEmpty()) {
        printErr(QStringLiteral("orvane-admin config: --server is required\n"));
        return 2;
    }
    if (integrated == (haveUser || havePassword) || (!integrated && !(haveUser && havePassword))) {
        printErr(QStringLiteral("orvane-admin config: give either --integrated or both --user "
                                "and --password\n"));
        return 2;
    }
    if (!integrated && user.trimmed().isEmpty()) {
        printErr(QStringLiteral("orvane-admin config: the user name must not be empty\n"));
        return 2;
    }
    if (ini.isEmpty())
        ini = QCoreApplication::applicationDirPath() + QStringLiteral("/hr.ini");
    QString error;
    if (!core::ConnectConfig::write(ini, server.trimmed(), integrated, user.trimmed(), password,
                                    &error)) {
        printErr(QStringLiteral("orvane-admin config: cannot write %1: %2\n").arg(ini, error));
        return 1;
    }
    printOut(
        QStringLiteral("connection settings written to %1\n").arg(QDir::toNativeSeparators(ini)));
    return 0;
}

const AdminCommandRegistration registration({
    QStringLiteral("config"),
    QStringLiteral("config [--ini PATH] --server S (--user U --password P | --integrated)"),
    QStringLiteral("write the enciphered connection settings (default: hr.ini beside this tool;"
                   " a file path as server names an embedded database)"),
    runConfig,
});

} // namespace
} // namespace orvane::admin
