#include "core/appsettings.h"
#include "core/cdlgappidlelocked.h"
#include "core/cdlglogin.h"
#include "core/cdlgpasswordmodify.h"
#include "core/connectconfig.h"
#include "core/corvaneapp.h"
#include "core/inifile.h"
#include "core/passwordhash.h"
#include "core/sqltext.h"
#include "db/cadorecordset.h"
#include "platform/configcipher.h"
#include "testutil/scriptedprompter.h"
#include "testutil/testdatabase.h"

#include <QSysInfo>
#include <QTemporaryDir>

#include "testutil/qtprinters.h"

#include <gtest/gtest.h>

using namespace orvane;
using core::CDlgLogin;
using Icon = core::Prompter::Icon;

namespace {

QString integratedConnection(const QString& path)
{
    core::ConnectConfig c;
    c.server = path;
    c.integrated = true;
    return c.connectionString();
}

const QString kAttempt1 = QStringLiteral("错误：第1次错误，请确认后重新输入!");
const QString kAttempt2 = QStringLiteral("错误：第2次错误，请确认后重新输入!");
const QString kTooMany = QStringLiteral("错误：输入错误!请联系统管理员!");
const QString kLocked = QStringLiteral("抱歉,该用户被锁定,请与管理员联系!");

// An application whose hr.ini points at a fresh copy of the seeded database.
class LoginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(database.isOpen()) << database.error().toStdString();
        app = std::make_unique<core::COrvaneApp>(
            dir.path(), std::make_unique<core::AppSettings>(dir.filePath("settings.ini")));
        ASSERT_TRUE(core::ConnectConfig::write(app->iniPath(), database.path(), true, {}, {}));
    }

    int addUser(const QString& name, const QString& password, int locked = 0,
                const QString& purview = QStringLiteral("8000000000000000|1|1|"))
    {
        EXPECT_TRUE(database.db().Execute(
            QStringLiteral("INSERT INTO qp_Users (UserName,Pwd,Locked,ISuper,Descr,Purview) "
                           "VALUES (%1,'%2',%3,0,'',%4)")
                .arg(core::sqlQuote(name), core::passwordHash(password))
                .arg(locked)
                .arg(core::sqlQuote(purview))));
        return database.scalarInt(QStringLiteral("SELECT UserID FROM qp_Users WHERE UserName=%1")
                                      .arg(core::sqlQuote(name)));
    }

    CDlgLogin::Result login(CDlgLogin& dialog, const QString& user, const QString& password)
    {
        dialog.setUserName(user);
        dialog.setPassword(password);
        return dialog.submit();
    }

    QTemporaryDir dir;
    testutil::TestDatabase database;
    std::unique_ptr<core::COrvaneApp> app;
    testutil::ScriptedPrompter prompter;
};

} // namespace

TEST_F(LoginTest, NameIsCleanedAndMatchedWithoutCaseAndTheLoginIsLogged)
{
    const int id = addUser(QStringLiteral("Zhang"), QStringLiteral("secret"), 0,
                           QStringLiteral("8000000000000000|3,2,1|99|"));
    CDlgLogin dialog(*app, prompter);
    dialog.open();
    EXPECT_EQ(login(dialog, QStringLiteral("  z;HA,nG "), QStringLiteral(" secret ")),
              CDlgLogin::Result::Accepted);
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(app->currentOperator().UserID, id);
    EXPECT_EQ(app->currentOperator().UserName, QStringLiteral("Zhang"));
    EXPECT_EQ(app->currentOperator().Pwd, core::passwordHash(QStringLiteral("secret")));
    EXPECT_EQ(app->currentOperator().purview.rightsMask, 0x8000000000000000ULL);
    EXPECT_FALSE(app->currentOperator().ISuper);
    EXPECT_TRUE(app->currentOperator().allCategories); // the three delivered categories
    EXPECT_TRUE(app->database().IsOpen());
    EXPECT_EQ(app->connectionString(), integratedConnection(database.path()));
    const QString line =
        QStringLiteral("登录系统[计算机名：") + QSysInfo::machineHostName() + QLatin1Char(']');
    EXPECT_EQ(database.scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Log")), 1);
    EXPECT_EQ(database.scalar(QStringLiteral("SELECT lAction FROM qp_Log WHERE lUser='Zhang'")),
              line);
    EXPECT_EQ(app->settings().saveUserPwd(), 0);
    EXPECT_EQ(app->settings().password(), QString());
}

TEST_F(LoginTest, SuperOperatorWithEmptyPasswordLogsInWithEmptyPassword)
{
    // Logging off in the database: not even the login is written.
    ASSERT_TRUE(database.db().Execute(
        QStringLiteral("UPDATE qp_SysOption SET sContent='0' WHERE nType=2")));
    CDlgLogin dialog(*app, prompter);
    dialog.open();
    ASSERT_EQ(login(dialog, QStringLiteral("ADMIN"), QString()), CDlgLogin::Result::Accepted);
    EXPECT_TRUE(app->currentOperator().ISuper);
    EXPECT_TRUE(app->currentOperator().allCategories);
    EXPECT_TRUE(app->currentOperator().allDepartments);
    EXPECT_EQ(database.scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Log")), 0);
}

TEST_F(LoginTest, RememberedPasswordIsPaddedEncipheredAndUsableWithoutRetyping)
{
    addUser(QStringLiteral("li"), QStringLiteral("abc"));
    addUser(QStringLiteral("wang"), QStringLiteral("longpassword12345"));
    {
        CDlgLogin dialog(*app, prompter);
        dialog.open();
        dialog.setSavePassword(true);
        ASSERT_EQ(login(dialog, QStringLiteral(" li "), QStringLiteral("abc")),
                  CDlgLogin::Result::Accepted);
    }
    EXPECT_EQ(app->settings().saveUserPwd(), 1);
    EXPECT_EQ(app->settings().userName(), QStringLiteral("li"));
    EXPECT_NE(app->settings().password(), QStringLiteral("abc         "));
    EXPECT_EQ(platform::ConfigCipher::decipher(app->settings().password()),
              QStringLiteral("abc         "));

    CDlgLogin again(*app, prompter);
    again.open();
    EXPECT_TRUE(again.savePassword());
    EXPECT_EQ(again.userName(), QStringLiteral("li"));
    EXPECT_EQ(again.password(), app->settings().password()); // the field holds the cipher text
    EXPECT_EQ(again.submit(), CDlgLogin::Result::Accepted);

    CDlgLogin third(*app, prompter);
    third.open();
    third.setSavePassword(true);
    ASSERT_EQ(login(third, QStringLiteral("wang"), QStringLiteral("longpassword12345")),
              CDlgLogin::Result::Accepted);
    EXPECT_EQ(platform::ConfigCipher::decipher(app->settings().password()),
              QStringLiteral("longpassword12345"));

    CDlgLogin forget(*app, prompter);
    forget.open();
    forget.setSavePassword(false);
    ASSERT_EQ(forget.submit(), CDlgLogin::Result::Accepted);
    EXPECT_EQ(app->settings().saveUserPwd(), 0);
    EXPECT_EQ(app->settings().userName(), QString());
    EXPECT_EQ(app->settings().password(), QString());
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(LoginTest, ThreeFailedAttemptsCloseTheDialogAndALockedOperatorIsNotCounted)
{
    addUser(QStringLiteral("li"), QStringLiteral("abc"));
    addUser(QStringLiteral("locked"), QStringLiteral("pw"), 1);
    CDlgLogin dialog(*app, prompter);
    dialog.open();
    EXPECT_EQ(login(dialog, QStringLiteral("li"), QStringLiteral("ABC")), CDlgLogin::Result::Stay);
    EXPECT_EQ(login(dialog, QStringLiteral("locked"), QStringLiteral("pw")),
              CDlgLogin::Result::Stay);
    EXPECT_EQ(dialog.failedAttempts(), 1);
    EXPECT_EQ(login(dialog, QStringLiteral("nobody"), QStringLiteral("abc")),
              CDlgLogin::Result::Stay);
    EXPECT_EQ(login(dialog, QStringLiteral("li"), QString()), CDlgLogin::Result::Rejected);
    EXPECT_EQ(prompter.messageTexts(), (QStringList{kAttempt1, kLocked, kAttempt2, kTooMany}));
    EXPECT_EQ(prompter.shown()[0].icon, Icon::Warning);
    EXPECT_EQ(prompter.shown()[1].icon, Icon::Warning);
    EXPECT_EQ(prompter.shown()[3].icon, Icon::Error);
    for (const auto& s : prompter.shown())
        EXPECT_EQ(s.caption, QStringLiteral("提示"));
    EXPECT_FALSE(app->isLoggedIn());
}

TEST_F(LoginTest, HostileNamesNeverChangeTheQuery)
{
    addUser(QStringLiteral("O'Brien [x]--"), QStringLiteral("pw"));
    CDlgLogin dialog(*app, prompter);
    dialog.open();
    // Would log in as anyone if the quote were not doubled.
    EXPECT_EQ(login(dialog, QStringLiteral("x' OR '1'='1"), QString()), CDlgLogin::Result::Stay);
    EXPECT_EQ(login(dialog, QStringLiteral("admin'--"), QString()), CDlgLogin::Result::Stay);
    EXPECT_EQ(prompter.messageTexts(), (QStringList{kAttempt1, kAttempt2}));
    EXPECT_EQ(login(dialog, QStringLiteral("o'brien [X]--"), QStringLiteral("pw")),
              CDlgLogin::Result::Accepted);
    EXPECT_EQ(app->currentOperator().UserName, QStringLiteral("O'Brien [x]--"));
    EXPECT_EQ(database.scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Users")), 2);
}

TEST_F(LoginTest, EmptyNameAndMissingOrBrokenConfigurationKeepTheDialogOpen)
{
    int connectDialogs = 0;
    CDlgLogin dialog(*app, prompter);
    dialog.runConnectDialog = [&] { ++connectDialogs; };
    dialog.open();
    EXPECT_EQ(login(dialog, QStringLiteral(" ;, "), QStringLiteral("x")), CDlgLogin::Result::Stay);
    EXPECT_EQ(connectDialogs, 0);

    QFile::remove(app->iniPath());
    EXPECT_EQ(login(dialog, QStringLiteral("admin"), QString()), CDlgLogin::Result::Stay);
    EXPECT_EQ(connectDialogs, 1);

    // An order code outside 1..3 leaves the server empty: the connection fails.
    ASSERT_TRUE(core::IniFile::write(
        app->iniPath(), QStringLiteral("ConnectInfo"), QStringLiteral("DBConnect"),
        platform::ConfigCipher::encipher(QStringLiteral("7,") + database.path() + ",,,1")));
    EXPECT_EQ(login(dialog, QStringLiteral("admin"), QString()), CDlgLogin::Result::Stay);
    EXPECT_EQ(connectDialogs, 2);

    ASSERT_TRUE(
        core::ConnectConfig::write(app->iniPath(), dir.filePath("missing/none.db"), true, {}, {}));
    EXPECT_EQ(login(dialog, QStringLiteral("admin"), QString()), CDlgLogin::Result::Stay);
    EXPECT_EQ(connectDialogs, 3);

    const QString failed =
        QStringLiteral("登录失败! \n\r\n\r请检查:\n\r1.网络连接是否正常!\n\r"
                       "2.数据库服务器是否正常运行!\n\r3.数据库连接配置是否正确!");
    QStringList texts = prompter.messageTexts();
    ASSERT_EQ(texts.size(), 4);
    for (int i : {2, 3}) {
        EXPECT_TRUE(texts[i].startsWith(failed + QStringLiteral("\n\r\n\r数据库："))) << i;
        texts[i] = failed;
    }
    EXPECT_EQ(texts, (QStringList{QStringLiteral("用户名不能为空!"),
                                  QStringLiteral("数据库连接配置没找到!"), failed, failed}));
    EXPECT_EQ(prompter.shown()[2].icon, Icon::Error);
    EXPECT_EQ(dialog.failedAttempts(), 0);
    EXPECT_FALSE(app->isLoggedIn());
}

TEST_F(LoginTest, ReloginKeepsThePreviousOperatorUnlessItSucceeds)
{
    addUser(QStringLiteral("li"), QStringLiteral("abc"));
    {
        CDlgLogin first(*app, prompter);
        first.open();
        ASSERT_EQ(login(first, QStringLiteral("admin"), QString()), CDlgLogin::Result::Accepted);
    }
    QFile::remove(app->iniPath()); // re-login uses the open database, not hr.ini
    CDlgLogin relogin(*app, prompter, true);
    relogin.open();
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(login(relogin, QStringLiteral("li"), QStringLiteral("x")),
                  CDlgLogin::Result::Stay);
    EXPECT_EQ(login(relogin, QStringLiteral("li"), QStringLiteral("x")),
              CDlgLogin::Result::Rejected);
    EXPECT_EQ(app->currentOperator().UserName, QStringLiteral("admin"));

    CDlgLogin second(*app, prompter, true);
    second.open();
    EXPECT_EQ(login(second, QStringLiteral("LI"), QStringLiteral("abc")),
              CDlgLogin::Result::Accepted);
    EXPECT_EQ(app->currentOperator().UserName, QStringLiteral("li"));

    // A query that cannot run: the dialog stays, silently and without counting.
    app->database().Close();
    prompter.clear();
    CDlgLogin broken(*app, prompter, true);
    EXPECT_EQ(login(broken, QStringLiteral("li"), QStringLiteral("abc")), CDlgLogin::Result::Stay);
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(broken.failedAttempts(), 0);
}

TEST_F(LoginTest, PasswordChangeAndLockUseTheStoredHash)
{
    using Lock = core::CDlgAppIdleLocked;
    const int id = addUser(QStringLiteral("li"), QStringLiteral("old"));
    CDlgLogin dialog(*app, prompter);
    ASSERT_EQ(login(dialog, QStringLiteral("li"), QStringLiteral("old")),
              CDlgLogin::Result::Accepted);
    EXPECT_FALSE(app->currentOperator().allCategories); // only category 1 of three

    // A wrong password keeps the lock with a hint; the right one resets the count.
    Lock lock(*app);
    EXPECT_EQ(lock.userName(), QStringLiteral("li"));
    EXPECT_TRUE(lock.caption().startsWith(QStringLiteral("离开挂起 - ")));
    EXPECT_TRUE(lock.hint().isEmpty());
    EXPECT_EQ(lock.unlock(QStringLiteral("OLD")), Lock::Result::Stay);
    EXPECT_EQ(lock.hint(), QStringLiteral("密码错误（第1次，共3次机会），请重新输入。"));
    EXPECT_EQ(lock.unlock(QStringLiteral("old")), Lock::Result::Unlocked);
    EXPECT_EQ(lock.failedAttempts(), 0);
    for (int i = 1; i < Lock::kMaxAttempts; ++i)
        EXPECT_EQ(lock.unlock(QStringLiteral("x")), Lock::Result::Stay);
    EXPECT_EQ(lock.unlock(QStringLiteral("x")), Lock::Result::TooManyAttempts);
    EXPECT_TRUE(prompter.shown().empty()); // the lock never shows a message box

    using Modify = core::CDlgPassWordModify;
    Modify modify(*app, prompter);
    EXPECT_EQ(modify.submit(QStringLiteral("wrong"), QStringLiteral("n"), QStringLiteral("n")),
              Modify::Result::Stay);
    EXPECT_EQ(modify.focusField(), Modify::Field::OldPassword);
    EXPECT_EQ(modify.submit(QStringLiteral("old"), QStringLiteral("new1"), QStringLiteral("New1")),
              Modify::Result::Stay);
    EXPECT_EQ(modify.focusField(), Modify::Field::Confirmation);
    EXPECT_EQ(modify.submit(QStringLiteral("old"), QStringLiteral("new1"), QStringLiteral("new1")),
              Modify::Result::Closed);
    EXPECT_EQ(prompter.messageTexts(), (QStringList{QStringLiteral("请输入原登录口令!"),
                                                    QStringLiteral("新密码与密码确认不一致!"),
                                                    QStringLiteral("登录口令修改成功!!!")}));
    EXPECT_EQ(prompter.last().icon, Icon::Information);
    const QString stored =
        database.scalar(QStringLiteral("SELECT Pwd FROM qp_Users WHERE UserID=%1").arg(id));
    EXPECT_EQ(stored, core::passwordHash(QStringLiteral("new1")));
    EXPECT_EQ(app->currentOperator().Pwd, stored);
    EXPECT_EQ(Lock(*app).unlock(QStringLiteral("new1")), Lock::Result::Unlocked);
    EXPECT_EQ(database.scalar(QStringLiteral("SELECT lAction FROM qp_Log WHERE lUser='li' "
                                             "ORDER BY id DESC")),
              QStringLiteral("系统管理[修改登录口令]"));

    // An empty new password is stored only after the operator confirms it.
    prompter.answer(core::Prompter::Answer::No);
    EXPECT_EQ(modify.submit(QStringLiteral("new1"), QString(), QString()), Modify::Result::Stay);
    EXPECT_EQ(modify.focusField(), Modify::Field::NewPassword);
    EXPECT_EQ(app->currentOperator().Pwd, stored);
    prompter.answer(core::Prompter::Answer::Yes);
    EXPECT_EQ(modify.submit(QStringLiteral("new1"), QString(), QString()), Modify::Result::Closed);
    EXPECT_EQ(database.scalar(QStringLiteral("SELECT Pwd FROM qp_Users WHERE UserID=%1").arg(id),
                              QStringLiteral("<none>")),
              QString());
    // A failed update closes silently.
    app->database().Close();
    prompter.clear();
    EXPECT_EQ(modify.submit(QString(), QStringLiteral("x"), QStringLiteral("x")),
              Modify::Result::Closed);
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(app->currentOperator().Pwd, QString());
}

TEST_F(LoginTest, FailedLoginsAndReloginAreLoggedAndRetentionZeroWritesNothing)
{
    addUser(QStringLiteral("li"), QStringLiteral("abc"));
    const QString host = QSysInfo::machineHostName();
    {
        CDlgLogin first(*app, prompter);
        EXPECT_EQ(login(first, QStringLiteral("nobody"), QStringLiteral("x")),
                  CDlgLogin::Result::Stay);
        EXPECT_EQ(login(first, QStringLiteral("admin"), QString()), CDlgLogin::Result::Accepted);
        CDlgLogin relogin(*app, prompter, true);
        EXPECT_EQ(login(relogin, QStringLiteral("li"), QStringLiteral("abc")),
                  CDlgLogin::Result::Accepted);
    }
    QStringList lines;
    db::CADORecordset rs(&database.db());
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT lUser,lAction FROM qp_Log ORDER BY id")));
    for (; !rs.IsEOF(); rs.MoveNext())
        lines << rs.GetFieldString(QStringLiteral("lUser")) + QLatin1Char(' ') +
                     rs.GetFieldString(QStringLiteral("lAction"));
    EXPECT_EQ(lines,
              (QStringList{QStringLiteral("nobody 系统管理[登录失败'nobody'第1次,计算机名：") +
                               host + "]",
                           QStringLiteral("admin 登录系统[计算机名：") + host + "]",
                           QStringLiteral("admin 登出系统"),
                           QStringLiteral("li 登录系统[计算机名：") + host + "]"}));

    // Retention 0 in the database: the login reads it before writing anything.
    ASSERT_TRUE(database.db().Execute(QStringLiteral("DELETE FROM qp_Log")));
    ASSERT_TRUE(database.db().Execute(
        QStringLiteral("UPDATE qp_SysOption SET sContent='0' WHERE nType=2")));
    app->database().Close();
    app->setRecentDays(60);
    CDlgLogin again(*app, prompter);
    EXPECT_EQ(login(again, QStringLiteral("li"), QStringLiteral("bad")), CDlgLogin::Result::Stay);
    EXPECT_EQ(login(again, QStringLiteral("li"), QStringLiteral("abc")),
              CDlgLogin::Result::Accepted);
    EXPECT_EQ(app->recentDays(), 0);
    EXPECT_EQ(database.scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Log")), 0);
}

TEST_F(LoginTest, MissingDatabaseFileIsNamedWithTheReason)
{
    const QString missing = dir.filePath(QStringLiteral("gone/hr.db"));
    ASSERT_TRUE(core::ConnectConfig::write(app->iniPath(), missing, true, {}, {}));
    CDlgLogin dialog(*app, prompter);
    EXPECT_EQ(login(dialog, QStringLiteral("admin"), QString()), CDlgLogin::Result::Stay);
    EXPECT_TRUE(prompter.last().text.startsWith(QStringLiteral("登录失败! ")));
    EXPECT_TRUE(prompter.last().text.endsWith(QStringLiteral("\n\r\n\r数据库：") + missing +
                                              QStringLiteral("\n\r原因：数据库文件不存在")))
        << prompter.last().text.toStdString();
}
