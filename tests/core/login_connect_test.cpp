#include "core/appsettings.h"
#include "core/cdlgdbconnect.h"
#include "core/connectconfig.h"
#include "core/connectioncheck.h"
#include "core/corvaneapp.h"
#include "core/startupflow.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "testutil/scriptedprompter.h"
#include "testutil/testdatabase.h"

#include <QFile>
#include <QTemporaryDir>

#include "testutil/qtprinters.h"

#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

using namespace orvane;
using Answer = core::Prompter::Answer;
using Icon = core::Prompter::Icon;
using Kind = testutil::ScriptedPrompter::Kind;

namespace {

QString integratedConnection(const QString& path)
{
    core::ConnectConfig c;
    c.server = path;
    c.integrated = true;
    return c.connectionString();
}

const QString kLost =
    QStringLiteral("数据库连接异常!\n\n可能网络掉线或者数据库服务停止,请与管理员联系!"
                   "\n\n单击'取消'按钮退出程序.");

class ConnectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(database.isOpen()) << database.error().toStdString();
        app = std::make_unique<core::COrvaneApp>(
            dir.path(), std::make_unique<core::AppSettings>(dir.filePath("settings.ini")));
    }
    void connectApp()
    {
        app->setConnectionString(integratedConnection(database.path()));
        ASSERT_TRUE(app->database().Open(app->connectionString()));
    }

    QTemporaryDir dir;
    testutil::TestDatabase database;
    std::unique_ptr<core::COrvaneApp> app;
    testutil::ScriptedPrompter prompter;
};

} // namespace

TEST_F(ConnectTest, DialogChecksFieldsTestsAndWritesTheConfiguration)
{
    using Dlg = core::CDlgDBConnect;
    Dlg dialog(*app, prompter);
    dialog.open();
    EXPECT_EQ(dialog.choice, Dlg::ServerLogin);
    EXPECT_FALSE(dialog.accept());
    EXPECT_EQ(dialog.focusField(), Dlg::Field::Server);
    dialog.server = QStringLiteral("dbserver");
    EXPECT_FALSE(dialog.accept());
    EXPECT_EQ(dialog.focusField(), Dlg::Field::User);
    EXPECT_EQ(prompter.messageTexts(), (QStringList{QStringLiteral("请输入数据库服务器名称或IP!"),
                                                    QStringLiteral("用户名称不能为空!")}));
    EXPECT_FALSE(QFile::exists(app->iniPath()));

    dialog.server = dir.filePath("absent.db");
    dialog.choice = Dlg::IntegratedSecurity;
    EXPECT_FALSE(dialog.test());
    EXPECT_EQ(prompter.last().text, QStringLiteral("连接失败！"));
    EXPECT_EQ(prompter.last().icon, Icon::Error);
    EXPECT_FALSE(QFile::exists(dir.filePath("absent.db"))) << "a test must not create the file";

    prompter.chooseFile(QString()).chooseFile(database.path());
    EXPECT_FALSE(dialog.chooseDatabaseFile());
    EXPECT_EQ(dialog.server, dir.filePath("absent.db"));
    dialog.choice = Dlg::ServerLogin;
    ASSERT_TRUE(dialog.chooseDatabaseFile());
    EXPECT_EQ(dialog.server, database.path());
    EXPECT_EQ(dialog.choice, Dlg::IntegratedSecurity);
    EXPECT_FALSE(dialog.credentialsEnabled());
    EXPECT_TRUE(dialog.test());
    EXPECT_EQ(prompter.last().text, QStringLiteral("连接成功！"));
    EXPECT_EQ(prompter.last().icon, Icon::Information);

    ASSERT_TRUE(dialog.accept());
    const auto stored = core::ConnectConfig::read(app->iniPath());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->server, database.path());
    EXPECT_TRUE(stored->integrated);

    core::CDlgDBConnect reopened(*app, prompter);
    reopened.open();
    EXPECT_EQ(reopened.server, database.path());
    EXPECT_EQ(reopened.choice, Dlg::IntegratedSecurity);

    // A comma cannot be stored: refused with a message, hr.ini unchanged.
    reopened.choice = Dlg::ServerLogin;
    reopened.user = QStringLiteral("sa");
    reopened.password = QStringLiteral("a,b");
    EXPECT_FALSE(reopened.accept());
    EXPECT_EQ(prompter.last().icon, Icon::Error);
    EXPECT_TRUE(core::ConnectConfig::read(app->iniPath())->integrated);
}

TEST_F(ConnectTest, CheckOffersRetryAndNeverLetsTheAskingCommandRun)
{
    connectApp();
    int closeRequests = 0;
    core::ConnectionCheck check(*app, prompter);
    check.requestClose = [&] { ++closeRequests; };
    EXPECT_TRUE(check.run());
    EXPECT_TRUE(prompter.shown().empty());

    // Connection lost; the first retry still fails, the second reconnects.
    const QString kept = app->connectionString();
    app->database().Close();
    app->setConnectionString(QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;"
                                            "Persist Security Info=False;Initial Catalog=x;"
                                            "Data Source=") +
                             dir.filePath("gone/x.db"));
    prompter.answer(Answer::Retry).answer(Answer::Retry);
    prompter.onShown = [&](const testutil::ScriptedPrompter::Shown&) {
        if (prompter.shown().size() == 2)
            app->setConnectionString(kept);
    };
    EXPECT_FALSE(check.run());
    ASSERT_EQ(prompter.shown().size(), 2u);
    for (const auto& s : prompter.shown()) {
        EXPECT_EQ(s.kind, Kind::RetryCancel);
        EXPECT_EQ(s.text, kLost);
        EXPECT_EQ(s.caption, QStringLiteral("告警"));
        EXPECT_EQ(s.icon, Icon::Error);
    }
    EXPECT_TRUE(app->database().IsOpen());
    EXPECT_TRUE(check.run()); // the operator issues the command again
    EXPECT_EQ(closeRequests, 0);

    prompter.onShown = nullptr;
    app->database().Close();
    prompter.answer(Answer::Cancel);
    EXPECT_FALSE(check.run());
    EXPECT_EQ(closeRequests, 1);
    EXPECT_FALSE(app->database().IsOpen());
}

TEST_F(ConnectTest, StartupRunsTheStepsInOrderAndReadsTheRetention)
{
    int argc = 1;
    char name[] = "login_test";
    char* argv[] = {name, nullptr};
    QCoreApplication qapp(argc, argv); // the translations belong to a running application
    QStringList steps;
    core::StartupFlow flow(*app);
    flow.applyLook = [&](int look) { steps << QStringLiteral("look:%1").arg(look); };
    flow.runLogin = [&] {
        steps << "login";
        connectApp();
        return true;
    };
    flow.createMainFrame = [&] {
        steps << QStringLiteral("frame:%1").arg(app->recentDays());
        return true;
    };
    app->settings().setApplicationLook(215);
    EXPECT_EQ(app->recentDays(), 60);
    ASSERT_TRUE(database.db().Execute(
        QStringLiteral("UPDATE qp_SysOption SET sContent=' 15 days' WHERE nType=2")));
    // No hr.ini: the login itself asks for the connection, start-up runs it directly.
    EXPECT_TRUE(flow.run());
    EXPECT_EQ(steps, (QStringList{"look:215", "login", "frame:15"}));
    EXPECT_EQ(flow.applicationLook(), 215);

    // Chinese whatever the system locale: Qt's own texts and the default locale.
    EXPECT_EQ(QLocale().name(), QStringLiteral("zh_CN"));
    EXPECT_EQ(QLocale().monthName(3), QStringLiteral("三月"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"),
              QStringLiteral("文件夹"));

    // A cancelled login ends without a frame.
    steps.clear();
    flow.runLogin = [&] {
        steps << "login";
        return false;
    };
    EXPECT_FALSE(flow.run());
    EXPECT_EQ(steps, (QStringList{"look:215", "login"}));

    ASSERT_TRUE(database.db().Execute(QStringLiteral("DELETE FROM qp_SysOption WHERE nType=2")));
    EXPECT_EQ(core::readRecentDays(database.db()), 0);
    ASSERT_TRUE(database.db().Execute(
        QStringLiteral("INSERT INTO qp_SysOption (nType,sContent) VALUES (2,'many')")));
    EXPECT_EQ(core::readRecentDays(database.db()), 0);
    flow.runLogin = [] { return true; };
    flow.createMainFrame = [] { return false; };
    EXPECT_FALSE(flow.run());
}
