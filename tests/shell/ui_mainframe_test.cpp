// The main frame built headless: menus with their accelerators, navigation, status bar, children.

#include "shell_fixture.h"

#include "shell/commandtable.h"
#include "shell/ui/cmainframe.h"

#include "shell/cpropertypagegeneral.h"
#include "shell/ui/cpropertysheetsystemset.h"
#include "widgets/codeeditor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStyleOptionButton>
#include <QTest>
#include <QTextBrowser>
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

namespace {

// The mnemonic letter of a menu text ("人事管理(&P)" gives 'P'), or 0.
QChar mnemonic(const QString& text)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("&([^&])")).match(text);
    return m.hasMatch() ? m.captured(1).at(0).toUpper() : QChar();
}

void expectUniqueMnemonics(const QList<QAction*>& actions, const QString& where)
{
    QHash<QChar, QString> seen;
    for (QAction* action : actions) {
        const QChar letter = mnemonic(action->text());
        if (!letter.isNull()) {
            EXPECT_FALSE(seen.contains(letter))
                << where.toStdString() << ": " << action->text().toStdString() << " and "
                << seen.value(letter).toStdString();
            seen.insert(letter, action->text());
        }
        if (action->menu())
            expectUniqueMnemonics(action->menu()->actions(), action->text());
    }
}

// The frame's own findChild(handle) hides QObject's, hence the cast.
QAction* namedAction(QObject& frame, const QString& name)
{
    return frame.findChild<QAction*>(name);
}

QWidget* visibleTopLevel(const QString& objectName)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == objectName && w->isVisible())
            return w;
    }
    return nullptr;
}

} // namespace

TEST_F(MainFrameUi, MenusWindowsHelpAndLooksBehave)
{
    shell::ui::CMainFrame frame(app, &prompter);
    frame.resize(1280, 800);
    frame.show();
    EXPECT_FALSE(frame.windowIcon().isNull());
    expectUniqueMnemonics(frame.menuBar()->actions(), QStringLiteral("menu bar"));
    auto* about = namedAction(frame, QStringLiteral("about"));
    ASSERT_NE(about, nullptr);

    // Ctrl+F4 closes the active tab; cascading leaves tab mode instead of shrinking a child.
    auto* closeChild = namedAction(frame, QStringLiteral("closeChild"));
    ASSERT_NE(closeChild, nullptr);
    EXPECT_EQ(closeChild->shortcut(), QKeySequence(QStringLiteral("Ctrl+F4")));
    frame.action(2100)->trigger();
    ASSERT_EQ(frame.mdiArea()->subWindowList().size(), 1);
    namedAction(frame, QStringLiteral("cascade"))->trigger();
    QMdiSubWindow* child = frame.mdiArea()->subWindowList().first();
    EXPECT_EQ(frame.mdiArea()->viewMode(), QMdiArea::SubWindowView);
    EXPECT_FALSE(child->isMinimized());
    EXPECT_GT(child->width(), 300);
    EXPECT_GT(child->height(), 200);
    namedAction(frame, QStringLiteral("tabbed"))->trigger();
    EXPECT_EQ(frame.mdiArea()->viewMode(), QMdiArea::TabbedView);
    closeChild->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(frame.mdiArea()->subWindowList().isEmpty());

    // Help opens centred over the frame, hides under the lock and closes with Escape.
    frame.action(CommandTable::HelpTopics)->trigger();
    QWidget* help = visibleTopLevel(QStringLiteral("help"));
    ASSERT_NE(help, nullptr);
    EXPECT_LE((help->geometry().center() - frame.geometry().center()).manhattanLength(), 40);
    bool hiddenWhileLocked = false;
    frame.flow().runLockDialog = [&] {
        hiddenWhileLocked = !help->isVisible();
        return true;
    };
    frame.action(33230)->trigger();
    EXPECT_TRUE(hiddenWhileLocked);
    EXPECT_TRUE(help->isVisible());
    QPointer<QWidget> helpGuard(help);
    QTest::keyClick(help, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(helpGuard.isNull() || !helpGuard->isVisible());

    // The banner grows with its text instead of clipping it in a narrow window.
    frame.showNormal();
    frame.resize(800, 600);
    QApplication::processEvents();
    auto* banner = static_cast<QObject&>(frame).findChild<QTextBrowser*>();
    ASSERT_NE(banner, nullptr);
    EXPECT_LE(banner->document()->size().height(), banner->viewport()->height() + 1);

    // An empty check box stays visible in the dark style.
    frame.action(215)->trigger();
    QCheckBox box;
    box.resize(24, 24);
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect indicator =
        box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    const QImage image = box.grab().toImage();
    int lightest = 0;
    for (int y = indicator.top(); y <= indicator.bottom(); ++y)
        for (int x = indicator.left(); x <= indicator.right(); ++x)
            lightest = qMax(lightest, QColor(image.pixel(x, y)).lightness());
    EXPECT_GT(lightest, 120);
    frame.action(213)->trigger();

    prompter.answer(Answer::Yes);
    frame.close();
}

TEST_F(MainFrameUi, PopupComesBackWhereItWasAndGivingUpTheConnectionAsksToExit)
{
    shell::ui::CMainFrame frame(app, &prompter);
    frame.show();
    const auto popup = [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowTitle() == QStringLiteral("人事提醒"))
                return w;
        }
        return static_cast<QWidget*>(nullptr);
    };
    frame.flow().timers().onShowReminder();
    ASSERT_NE(popup(), nullptr);
    popup()->move(123, 145);
    const QPoint moved = popup()->pos();
    popup()->close(); // closed by the operator, not by its own timer
    QApplication::processEvents();
    EXPECT_FALSE(frame.flow().timers().popupShowing);
    frame.flow().timers().onShowReminder();
    ASSERT_NE(popup(), nullptr);
    EXPECT_EQ(popup()->pos(), moved);
    popup()->close();

    // Cancel on the connection warning runs the ordinary exit, question included.
    frame.flow().gate().requestClose();
    prompter.answer(Answer::No);
    QApplication::processEvents();
    EXPECT_EQ(prompter.last().kind, Kind::YesNo);
    EXPECT_EQ(prompter.last().text, QStringLiteral("确定要退出系统吗?"));
    EXPECT_TRUE(frame.isVisible());
    prompter.answer(Answer::Yes);
    frame.close();
}

TEST_F(MainFrameUi, SystemSettingsFieldsFollowTheRule)
{
    shell::ui::CPropertySheetSystemSet sheet(app, prompter);
    sheet.show();
    EXPECT_EQ(sheet.lengthBox()->maximum(), shell::CPropertyPageGeneral::MaxNumberLength);
    EXPECT_EQ(sheet.ruleBox()->itemText(2), QStringLiteral("自动编号(分部门前缀+顺序号)"));
    EXPECT_FALSE(sheet.prefixEdit()->isEnabled()); // delivered rule: sequence only
    sheet.ruleBox()->setCurrentIndex(1);
    EXPECT_TRUE(sheet.prefixEdit()->isEnabled());
    sheet.ruleBox()->setCurrentIndex(3);
    EXPECT_FALSE(sheet.lengthBox()->isEnabled());
    EXPECT_FALSE(sheet.prefixEdit()->isEnabled());
    EXPECT_GT(sheet.scriptEditor()->lineNumberWidth(), 0);
    EXPECT_TRUE(QFontInfo(sheet.scriptEditor()->font()).fixedPitch());
    // Sized to its content, not to a fixed guess.
    EXPECT_LE(sheet.width(), sheet.sizeHint().width() + 1);

    // A syntax error keeps the window open on the script page at the error's line.
    sheet.ruleBox()->setCurrentIndex(0);
    sheet.scriptEditor()->setPlainText(QStringLiteral("x = 1\ny = (2\n"));
    sheet.accept();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.scriptEditor()->textCursor().blockNumber(), 1);
}

} // namespace orvane::shelltest

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
