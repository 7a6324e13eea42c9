#pragma once

// Workflow tests of operators, rights, the log and the catalogue: a fresh seeded database, an
// application object logged in as the delivered super operator, and a scripted prompter.

#include "core/appsettings.h"
#include "core/corvaneapp.h"
#include "core/operatorrights.h"
#include "core/sqltext.h"
#include "db/cadodatabase.h"
#include "testutil/scriptedprompter.h"
#include "testutil/testdatabase.h"

#include <QDir>

#include <memory>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace orvane::coretest {

class AdminTest : public testutil::DatabaseTest
{
protected:
    using Icon = core::Prompter::Icon;
    using Answer = core::Prompter::Answer;

    AdminTest()
        : app(QString(), std::make_unique<core::AppSettings>(
                             QDir::temp().filePath(QStringLiteral("orvane-admin-test.ini"))))
    {
    }

    void SetUp() override
    {
        DatabaseTest::SetUp();
        // The application shares the test's connection without owning it.
        app.setDatabase(std::shared_ptr<db::CADODatabase>(&db(), [](db::CADODatabase*) {}));
        loginAs(QStringLiteral("admin"));
    }

    // Makes the named operator the logged-in one, as the login does.
    void loginAs(const QString& name)
    {
        core::OperatorRecord record;
        record.UserID = database().scalarInt(
            QStringLiteral("SELECT UserID FROM qp_Users WHERE UserName='%1'").arg(name));
        record.UserName = name;
        record.ISuper = database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Users WHERE "
                                                            "UserID=%1 AND ISuper<>0")
                                                 .arg(record.UserID))
                        > 0;
        core::OperatorRights::applyPurview(
            db(), record,
            database().scalar(
                QStringLiteral("SELECT Purview FROM qp_Users WHERE UserID=%1").arg(record.UserID),
                QString()));
        app.setCurrentOperator(record);
    }

    // Inserts an ordinary operator and returns its key.
    int addOperator(const QString& name, const QString& purview, bool super = false)
    {
        EXPECT_TRUE(db().Execute(
            QStringLiteral("INSERT INTO qp_Users (UserName,Pwd,Locked,ISuper,Descr,Purview) "
                           "VALUES ('%1','',0,%2,'','%3')")
                .arg(core::sqlEscape(name), super ? QStringLiteral("1") : QStringLiteral("0"),
                     purview)));
        return database().scalarInt(QStringLiteral("SELECT UserID FROM qp_Users WHERE UserName='%1'")
                                        .arg(core::sqlEscape(name)));
    }

    int logCount() { return database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Log")); }
    QString lastLogLine()
    {
        return database().scalar(
            QStringLiteral("SELECT TOP 1 lAction FROM qp_Log ORDER BY id DESC"), QString());
    }

    core::COrvaneApp app;
    testutil::ScriptedPrompter prompter;
};

} // namespace orvane::coretest
