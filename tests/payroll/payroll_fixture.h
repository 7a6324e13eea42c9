#pragma once

// Payroll workflow tests: a fresh seeded database with a few departments and persons, an
// application object logged in as the delivered super operator, and a scripted prompter.

#include "core/appsettings.h"
#include "core/corvaneapp.h"
#include "core/sqltext.h"
#include "db/cadocommand.h"
#include "db/cadodatabase.h"
#include "testutil/scriptedprompter.h"
#include "testutil/testdatabase.h"

#include <QDir>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace orvane::payrolltest {

class PayrollTest : public testutil::DatabaseTest
{
protected:
    using Icon = core::Prompter::Icon;
    using Answer = core::Prompter::Answer;

    PayrollTest()
        : app(QString(), std::make_unique<core::AppSettings>(
                             QDir::temp().filePath(QStringLiteral("orvane-payroll-test.ini"))))
    {
    }

    void SetUp() override
    {
        DatabaseTest::SetUp();
        app.setDatabase(std::shared_ptr<db::CADODatabase>(&db(), [](db::CADODatabase*) {}));
        core::OperatorRecord record;
        record.UserID = database().scalarInt(
            QStringLiteral("SELECT UserID FROM qp_Users WHERE UserName='admin'"));
        record.UserName = QStringLiteral("admin");
        record.ISuper = true;
        app.setCurrentOperator(record);
        // Two departments, the second below the first (persons take the delivered category 1).
        ASSERT_TRUE(db().Execute(QStringLiteral(
            "INSERT INTO qp_Dept (DID,ParentID,Name,Ord,ParentArr) VALUES (1,0,'总部',1,'|1|')")));
        ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_Dept (DID,ParentID,Name,Ord,"
                                                "ParentArr) VALUES (2,1,'财务部',1,'|2|1|')")));
    }

    int addPerson(const QString& number, const QString& name, int did,
                  const QString& techTitle = QString())
    {
        EXPECT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_PsnBase (DID,AID,Number,Name,"
                                                "TechTitle,Ord) VALUES (%1,1,'%2','%3','%4',%5)")
                                     .arg(did)
                                     .arg(number, name, techTitle)
                                     .arg(personCount() + 1)));
        return database().scalarInt(QStringLiteral("SELECT MAX(PID) FROM qp_PsnBase"));
    }
    int personCount()
    {
        return database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase"));
    }

    // A sort made by the procedure, as an administrator would.
    int addSort(const QString& title)
    {
        EXPECT_TRUE(db().Execute(QStringLiteral("EXEC qp_AddWageSort @Name=N'%1', @Descr=N''")
                                     .arg(core::sqlEscape(title))))
            << db().GetErrorDescription().toStdString();
        return database().scalarInt(
            QStringLiteral("SELECT ID FROM qp_Table WHERE nType=6 AND Title='%1'").arg(title));
    }
    // A numeric item by the procedure; returns its column name.
    QString addItem(int sortId, const QString& alias, int property = 0, const QString& fexp = {},
                    const QString& fexp2 = {}, bool retain = false, int stdTable = 0)
    {
        EXPECT_TRUE(db().Execute(QStringLiteral("EXEC qp_AddDBTableWageItem %1,1,0,N'%2',0,'',%3,"
                                                "%4,%5,2,0,N'%6',N'%7'")
                                     .arg(sortId)
                                     .arg(core::sqlEscape(alias))
                                     .arg(property)
                                     .arg(retain ? 1 : 0)
                                     .arg(stdTable)
                                     .arg(core::sqlEscape(fexp), core::sqlEscape(fexp2))))
            << db().GetErrorDescription().toStdString();
        return database().scalar(
            QStringLiteral("SELECT Name FROM qp_Items WHERE iSort=1 AND Alias='%1'").arg(alias));
    }
    QString wageTable(int sortId)
    {
        return database().scalar(
            QStringLiteral("SELECT TblName FROM qp_Table WHERE ID=%1").arg(sortId));
    }
    QString lastLogLine()
    {
        return database().scalar(
            QStringLiteral("SELECT TOP 1 lAction FROM qp_Log ORDER BY id DESC"), QString());
    }
    int count(const QString& sql) { return database().scalarInt(sql); }

    core::COrvaneApp app;
    testutil::ScriptedPrompter prompter;
};

} // namespace orvane::payrolltest
