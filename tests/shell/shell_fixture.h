#pragma once

// Workflow tests of the main frame: a fresh seeded database shared with the application object,
// a scripted prompter, a fake clock and a frame workflow whose widget callbacks are recorded.

#include "core/appsettings.h"
#include "core/corvaneapp.h"
#include "core/operatorrights.h"
#include "core/purview.h"
#include "core/rightstable.h"
#include "db/cadodatabase.h"
#include "shell/mainframeflow.h"
#include "shell/remindersource.h"
#include "shell/shellclock.h"
#include "testutil/scriptedprompter.h"
#include "testutil/testdatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <initializer_list>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace orvane::shelltest {

class FakeClock : public shell::ShellClock
{
public:
    qint64 nowMs() const override { return now; }
    qint64 now = 1000;
};

class FakeReminders : public shell::ReminderSource
{
public:
    bool anyDue() override
    {
        ++asked;
        return due;
    }
    bool due = false;
    int asked = 0;
};

class ShellTest : public testutil::DatabaseTest
{
protected:
    using Answer = core::Prompter::Answer;
    using Kind = testutil::ScriptedPrompter::Kind;

    static QString settingsFile()
    {
        // One file per process: the shell test programs run side by side under ctest -j.
        return QDir::temp().filePath(
            QStringLiteral("orvane-shell-test-%1.ini").arg(QCoreApplication::applicationPid()));
    }

    ShellTest()
        : app(QString(),
              (QFile::remove(settingsFile()), std::make_unique<core::AppSettings>(settingsFile()))),
          flow(app, prompter, clock, reminders)
    {
    }

    void SetUp() override
    {
        DatabaseTest::SetUp();
        app.setDatabase(std::shared_ptr<db::CADODatabase>(&db(), [](db::CADODatabase*) {}));
        loginAs(QStringLiteral("admin"));
        flow.createChild = [this](const shell::ChildInfo& c) { events << "create " + c.caption; };
        flow.activateChild = [this](const shell::ChildInfo& c, bool refresh) {
            events << QStringLiteral("activate %1%2").arg(c.caption, refresh ? " refresh" : "");
        };
        flow.closeChild = [this](int handle) {
            events << QStringLiteral("close %1").arg(handle);
            return true;
        };
        flow.runCommand = [this](int id) { events << QStringLiteral("run %1").arg(id); };
    }

    static QString maskOf(std::initializer_list<int> rights)
    {
        core::Purview purview;
        for (int index : rights)
            purview.rightsMask |= core::RightsTable::entry(index)->mask();
        return purview.toString();
    }

    void addOperator(const QString& name, std::initializer_list<int> rights)
    {
        ASSERT_TRUE(db().Execute(
            QStringLiteral("INSERT INTO qp_Users (UserName,Pwd,Locked,ISuper,Descr,Purview) "
                           "VALUES ('%1','',0,0,'','%2')")
                .arg(name, maskOf(rights))));
    }

    void loginAs(const QString& name)
    {
        core::OperatorRecord record;
        record.UserID = database().scalarInt(
            QStringLiteral("SELECT UserID FROM qp_Users WHERE UserName='%1'").arg(name));
        record.UserName = name;
        record.ISuper =
            database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Users WHERE UserID=%1 AND "
                                                "ISuper<>0")
                                     .arg(record.UserID)) > 0;
        core::OperatorRights::applyPurview(
            db(), record,
            database().scalar(
                QStringLiteral("SELECT Purview FROM qp_Users WHERE UserID=%1").arg(record.UserID),
                QString()));
        app.setCurrentOperator(record);
    }

    QString lastLogLine()
    {
        return database().scalar(
            QStringLiteral("SELECT TOP 1 lAction FROM qp_Log ORDER BY id DESC"), QString());
    }

    core::COrvaneApp app;
    testutil::ScriptedPrompter prompter;
    FakeClock clock;
    FakeReminders reminders;
    shell::MainFrameFlow flow;
    QStringList events;
};

} // namespace orvane::shelltest
