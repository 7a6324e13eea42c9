// The main frame built headless: menus with their accelerators, navigation, status bar, children.

#include "shell_fixture.h"

#include "shell/commandtable.h"
#include "shell/ui/cmainframe.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QToolBox>

namespace orvane::shelltest {

using shell::CommandTable;

class MainFrameUi : public ShellTest
{
};

TEST_F(MainFrameUi, BuildsMenusPanesAndChildWindows)
{
    addOperator(QStringLiteral("hr"), {0, 11});
    shell::ui::CMainFrame frame(app, &prompter);
    EXPECT_EQ(frame.action(2100)->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(frame.action(33158)->shortcut(), QKeySequence(Qt::Key_F11));
    EXPECT_EQ(frame.action(33236)->shortcut(), QKeySequence(Qt::Key_F12));
    EXPECT_EQ(frame.action(33230)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    EXPECT_EQ(frame.action(2104)->text(), QStringLiteral("离职管理(&I)"));
    EXPECT_EQ(frame.statusUserText(), QStringLiteral("当前用户:admin"));
    EXPECT_EQ(frame.navigationPane()->windowTitle(), QStringLiteral("功能导航"));
    auto* box = frame.navigationPane()->findChild<QToolBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), 3);

    // The personnel frame opens once; the wage command of this build says it is not available.
    frame.action(2100)->trigger();
    frame.action(2100)->trigger();
    EXPECT_EQ(frame.mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(frame.flow().children().size(), 1);

    // Re-login as hr: the child is closed, navigation and status follow the new operator.
    frame.flow().runReloginDialog = [this] {
        loginAs(QStringLiteral("hr"));
        return true;
    };
    frame.action(33301)->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(frame.mdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(frame.flow().children().isEmpty());
    EXPECT_EQ(box->count(), 1);
    EXPECT_EQ(box->widget(0)->findChildren<QPushButton*>().size(), 2);
    EXPECT_EQ(frame.statusUserText(), QStringLiteral("当前用户:hr"));
    EXPECT_FALSE(frame.action(2300)->isEnabled());
    EXPECT_FALSE(frame.action(2104)->isEnabled());
    ASSERT_TRUE(frame.action(2101)->isEnabled());

    // Taken away after the menu was enabled: the command rereads the rights and refuses.
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_Users SET Purview='%1' WHERE "
                                            "UserName='hr'")
                                 .arg(maskOf({0}))));
    frame.action(2101)->trigger();
    EXPECT_EQ(prompter.messageTexts(), QStringList{core::OperatorRights::noRightMessage()});

    // Visual styles are stored.
    frame.action(215)->trigger();
    EXPECT_EQ(app.settings().applicationLook(), 215);

    // The reminder popup shows once; locking closes it and clears the mark.
    frame.flow().timers().onShowReminder();
    frame.flow().timers().onShowReminder();
    int popups = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        popups += w->isVisible() && w->windowTitle() == QStringLiteral("人事提醒");
    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(frame.flow().timers().popupShowing);
    frame.flow().runLockDialog = [] { return true; };
    frame.action(33230)->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(frame.flow().timers().popupShowing);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible() && w->windowTitle() == QStringLiteral("人事提醒"));

    // Closing asks; No keeps the frame.
    frame.show();
    prompter.answer(Answer::No);
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
}

} // namespace orvane::shelltest

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
