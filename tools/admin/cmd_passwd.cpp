// orvane-admin passwd: sets an operator's password from standard input.

#include "admincommand.h"

#include "core/passwordhash.h"
#include "core/sqltext.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/connectionstring.h"

#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace orvane::admin {
namespace {

int runPasswd(const QStringList& args)
{
    if (args.size() != 2) {
        printErr(QStringLiteral("usage: orvane-admin passwd FILE USER (new password on stdin)\n"));
        return 2;
    }
    const QString& file = args[0];
    const QString user = args[1].trimmed();
    // A server database is named by its connection text; a file must be there already.
    const bool server =
        db::ConnectionString::parse(file).target() == db::ConnectionString::Target::PostgreSql;
    if (!server && !QFileInfo(file).isFile()) {
        printErr(QStringLiteral("orvane-admin passwd: no database file %1\n").arg(file));
        return 1;
    }
    QTextStream in(stdin);
    // The login trims what is typed, so a stored password never keeps surrounding blanks.
    const QString password = in.readLine().trimmed();

    db::CADODatabase database;
    if (!database.Open(file)) {
        printErr(QStringLiteral("orvane-admin passwd: %1\n").arg(database.GetErrorDescription()));
        return 1;
    }
    const QString where =
        QStringLiteral(" WHERE Upper(UserName)='%1'").arg(core::sqlEscape(user.toUpper()));
    db::CADORecordset rs(&database);
    if (!rs.Open(QStringLiteral("SELECT UserID FROM qp_Users") + where)) {
        printErr(QStringLiteral("orvane-admin passwd: %1\n").arg(rs.GetErrorDescription()));
        return 1;
    }
    if (rs.IsEOF()) {
        printErr(QStringLiteral("orvane-admin passwd: no operator named '%1'\n").arg(user));
        return 1;
    }
    const int id = rs.GetFieldInt(QStringLiteral("UserID"));
    rs.Close();
    if (!database.Execute(QStringLiteral("UPDATE qp_Users SET Pwd='%1' WHERE UserID=%2")
                              .arg(core::passwordHash(password))
                              .arg(id))) {
        printErr(QStringLiteral("orvane-admin passwd: %1\n").arg(database.GetErrorDescription()));
        return 1;
    }
    printOut(QStringLiteral("password of %1 changed\n").arg(user));
    return 0;
}

const AdminCommandRegistration registration({
    QStringLiteral("passwd"),
    QStringLiteral("passwd FILE USER"),
    QStringLiteral("set an operator's password, read as one line from standard input"),
    runPasswd,
});

} // namespace
} // namespace orvane::admin
