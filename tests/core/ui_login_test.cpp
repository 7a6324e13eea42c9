#include "core/appsettings.h"
#include "core/connectconfig.h"
#include "core/corvaneapp.h"
#include "core/passwordhash.h"
#include "core/ui/dbconnectdialog.h"
#include "core/ui/idlelockeddialog.h"
#include "core/ui/logindialog.h"
#include "core/ui/passwordmodifydialog.h"
#include "testutil/qtprinters.h"
#include "testutil/scriptedprompter.h"
#include "testutil/testdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace orvane;

namespace {

class LoginWidgetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(database.isOpen()) << database.error().toStdString();
        app = std::make_unique<core::COrvaneApp>(
            dir.path(), std::make_unique<core::AppSettings>(dir.filePath("settings.ini")));
        ASSERT_TRUE(core::ConnectConfig::write(app->iniPath(), database.path(), true, {}, {}));
    }

    template <typename T> static T* child(QWidget& w, const char* name)
    {
        auto* c = w.findChild<T*>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static void clickOk(QDialog& d)
    {
        auto* box = d.findChild<QDialogButtonBox*>();
        ASSERT_NE(box, nullptr);
        QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }

    QTemporaryDir dir;
    testutil::TestDatabase database;
    std::unique_ptr<core::COrvaneApp> app;
    testutil::ScriptedPrompter prompter;
};

} // namespace

TEST_F(LoginWidgetTest, LoginAcceptsTheRightPasswordAndClosesAfterThreeWrongOnes)
{
    ASSERT_TRUE(database.db().Execute(
        QStringLiteral("UPDATE qp_Users SET Pwd='%1'").arg(core::passwordHash("pw"))));
    {
        core::ui::LoginDialog dialog(*app, prompter);
        dialog.show();
        EXPECT_EQ(child<QLineEdit>(dialog, "password")->echoMode(), QLineEdit::Password);
        QTest::keyClicks(child<QLineEdit>(dialog, "userName"), QStringLiteral("admin"));
        QTest::keyClicks(child<QLineEdit>(dialog, "password"), QStringLiteral("pw"));
        child<QCheckBox>(dialog, "savePassword")->setChecked(true);
        clickOk(dialog);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_EQ(app->currentOperator().UserName, QStringLiteral("admin"));

    core::ui::LoginDialog relogin(*app, prompter, true);
    relogin.show();
    // Remembered name and (enciphered) password are filled in; a wrong typed one counts.
    EXPECT_EQ(child<QLineEdit>(relogin, "userName")->text(), QStringLiteral("admin"));
    EXPECT_TRUE(child<QCheckBox>(relogin, "savePassword")->isChecked());
    auto* password = child<QLineEdit>(relogin, "password");
    for (int i = 0; i < 3; ++i) {
        password->clear();
        QTest::keyClicks(password, QStringLiteral("bad"));
        QTest::keyClick(password, Qt::Key_Return);
    }
    EXPECT_EQ(relogin.result(), QDialog::Rejected);
    EXPECT_EQ(prompter.messageTexts().size(), 3);
    EXPECT_EQ(app->currentOperator().UserName, QStringLiteral("admin"));
}

TEST_F(LoginWidgetTest, ConnectDialogEnablesCredentialsByChoiceAndWritesTheFile)
{
    core::ui::DBConnectDialog dialog(*app, prompter);
    dialog.show();
    auto* user = child<QLineEdit>(dialog, "user");
    EXPECT_EQ(child<QLineEdit>(dialog, "server")->text(), database.path()); // from hr.ini
    EXPECT_FALSE(user->isEnabled());

    auto* server = child<QLineEdit>(dialog, "server");
    server->clear();
    clickOk(dialog);
    EXPECT_EQ(prompter.last().text, QStringLiteral("请输入数据库服务器名称或IP!"));
    EXPECT_TRUE(dialog.isVisible());

    prompter.chooseFile(database.path());
    QTest::mouseClick(child<QPushButton>(dialog, "browse"), Qt::LeftButton);
    EXPECT_EQ(server->text(), database.path());
    QTest::mouseClick(child<QPushButton>(dialog, "test"), Qt::LeftButton);
    EXPECT_EQ(prompter.last().text, QStringLiteral("连接成功！"));

    const auto radios = dialog.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 2);
    radios[1]->click(); // a server login
    EXPECT_TRUE(user->isEnabled());
    server->setText(QStringLiteral("dbhost"));
    QTest::keyClicks(user, QStringLiteral("sa"));
    clickOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const auto stored = core::ConnectConfig::read(app->iniPath());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->server, QStringLiteral("dbhost"));
    EXPECT_EQ(stored->user, QStringLiteral("sa"));
    EXPECT_FALSE(stored->integrated);
}

TEST_F(LoginWidgetTest, LockLeavesOnlyWithThePasswordAndPasswordChangeRuns)
{
    core::OperatorRecord op;
    op.UserID = 1;
    op.UserName = QStringLiteral("admin");
    app->setCurrentOperator(op);
    ASSERT_TRUE(app->database().Open(database.path()));

    core::ui::IdleLockedDialog lock(*app);
    lock.show();
    auto* password = child<QLineEdit>(lock, "password");
    QTest::keyClick(&lock, Qt::Key_Escape);
    lock.close();
    EXPECT_TRUE(lock.isVisible());
    // Only a button that does something: OK.
    auto* box = lock.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->buttons().size(), 1);
    auto* hint = child<QLabel>(lock, "hint");
    EXPECT_TRUE(hint->isHidden());
    QTest::keyClicks(password, QStringLiteral("wrong"));
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_TRUE(lock.isVisible());
    EXPECT_EQ(password->selectedText(), QStringLiteral("wrong"));
    EXPECT_FALSE(hint->isHidden());
    EXPECT_TRUE(hint->text().startsWith(QStringLiteral("密码错误")));
    password->clear(); // the stored password is empty
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_FALSE(lock.isVisible());
    EXPECT_EQ(lock.result(), QDialog::Accepted);

    // Three wrong passwords in a row end the lock as rejected (the frame then ends the run).
    core::ui::IdleLockedDialog second(*app);
    second.show();
    auto* secondPassword = child<QLineEdit>(second, "password");
    for (int i = 0; i < 3; ++i) {
        secondPassword->setText(QStringLiteral("bad"));
        QTest::keyClick(secondPassword, Qt::Key_Return);
    }
    EXPECT_FALSE(second.isVisible());
    EXPECT_EQ(second.result(), QDialog::Rejected);

    core::ui::PasswordModifyDialog modify(*app, prompter);
    modify.show();
    QTest::keyClicks(child<QLineEdit>(modify, "newPassword"), QStringLiteral("n3w"));
    QTest::keyClicks(child<QLineEdit>(modify, "confirmation"), QStringLiteral("n3w"));
    clickOk(modify);
    EXPECT_EQ(modify.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.last().text, QStringLiteral("登录口令修改成功!!!"));
    EXPECT_EQ(database.scalar(QStringLiteral("SELECT Pwd FROM qp_Users WHERE UserID=1")),
              core::passwordHash(QStringLiteral("n3w")));
}

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
