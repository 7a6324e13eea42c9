#pragma once

// Workflow tests of the personnel side: a fresh seeded database, an application object logged in
// as the delivered super operator, a scripted prompter, and builders for departments.

#include "core/appsettings.h"
#include "core/corvaneapp.h"
#include "core/sqltext.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "personnel/cdlgdynctlformfordept.h"
#include "testutil/qtprinters.h"
#include "testutil/scriptedprompter.h"
#include "testutil/testdatabase.h"

#include <QDir>

#include <memory>

namespace orvane::personneltest {

class PersonnelTest : public testutil::DatabaseTest
{
protected:
    using Icon = core::Prompter::Icon;
    using Answer = core::Prompter::Answer;

    PersonnelTest()
        : app(QString(), std::make_unique<core::AppSettings>(
                             QDir::temp().filePath(QStringLiteral("orvane-personnel-test.ini"))))
    {
    }

    void SetUp() override
    {
        DatabaseTest::SetUp();
        app.setDatabase(std::shared_ptr<db::CADODatabase>(&db(), [](db::CADODatabase*) {}));
        core::OperatorRecord record;
        record.UserID = 1;
        record.UserName = QStringLiteral("admin");
        record.ISuper = true;
        record.allCategories = record.allDepartments = true;
        app.setCurrentOperator(record);
    }

    // Adds a department through the department form; returns its DID.
    int addDept(const QString& name, int parent = 0)
    {
        personnel::CDlgDynCtlFormForDept form(app, prompter);
        form.setAddMode();
        EXPECT_TRUE(form.build());
        form.setText(form.fieldIndex(QStringLiteral("Name")), name);
        form.setChoice(form.fieldIndex(QStringLiteral("ParentID")), parent, QString());
        EXPECT_TRUE(form.save()) << prompter.messageTexts().join(QLatin1Char('|')).toStdString();
        return did(name);
    }

    int did(const QString& name)
    {
        return database().scalarInt(
            QStringLiteral("SELECT DID FROM qp_Dept WHERE Name='%1'").arg(core::sqlEscape(name)));
    }
    QString path(int did)
    {
        return database().scalar(
            QStringLiteral("SELECT ParentArr FROM qp_Dept WHERE DID=%1").arg(did));
    }
    // Names of the departments selected by the subtree condition of `did`, in DID order.
    QStringList subtree(int did)
    {
        db::CADORecordset rs(&db());
        QStringList names;
        rs.Open(QStringLiteral("SELECT Name FROM qp_Dept WHERE CHARINDEX('|%1|',ParentArr)>0 "
                               "ORDER BY DID")
                    .arg(did));
        for (; !rs.IsEOF(); rs.MoveNext())
            names << rs.GetFieldString(QStringLiteral("Name"));
        return names;
    }
    int addPerson(const QString& number, int did, int aid = 1)
    {
        EXPECT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_PsnBase (Number,Name,DID,AID,Ord) "
                                                "VALUES ('%1','%1',%2,%3,0)")
                                     .arg(number)
                                     .arg(did)
                                     .arg(aid)));
        return database().scalarInt(
            QStringLiteral("SELECT PID FROM qp_PsnBase WHERE Number='%1'").arg(number));
    }
    QString lastLogLine()
    {
        return database().scalar(
            QStringLiteral("SELECT TOP 1 lAction FROM qp_Log ORDER BY id DESC"), QString());
    }

    core::COrvaneApp app;
    testutil::ScriptedPrompter prompter;
};

} // namespace orvane::personneltest
