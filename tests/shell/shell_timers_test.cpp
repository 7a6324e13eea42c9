#include "shell_fixture.h"

#include "shell/commandtable.h"

namespace orvane::shelltest {

using shell::FrameTimers;

class Timers : public ShellTest
{
protected:
    void advance(qint64 ms, qint64 step = 500)
    {
        for (qint64 done = 0; done < ms; done += step) {
            clock.now += std::min(step, ms - done);
            flow.timers().poll();
        }
    }
};

TEST_F(Timers, StartTimerStartsIdleAndReminderTimersAndChecksOnce)
{
    app.settings().setWakeupPerTime(2);
    flow.start();
    advance(1500);
    EXPECT_TRUE(flow.timers().isRunning(FrameTimers::StartTimer));
    EXPECT_EQ(reminders.asked, 0);
    advance(500);
    EXPECT_FALSE(flow.timers().isRunning(FrameTimers::StartTimer));
    EXPECT_TRUE(flow.timers().isRunning(FrameTimers::IdleTimer));
    EXPECT_TRUE(flow.timers().isRunning(FrameTimers::ReminderTimer));
    EXPECT_EQ(reminders.asked, 1);

    // Then every two minutes; a due reminder asks for the popup, which blocks further checks.
    int popups = 0;
    flow.timers().onShowReminder = [&] {
        ++popups;
        flow.timers().popupShowing = true;
    };
    reminders.due = true;
    flow.timers().noteInput();
    advance(120000, 10000);
    EXPECT_EQ(reminders.asked, 2);
    EXPECT_EQ(popups, 1);
    advance(120000, 10000);
    EXPECT_EQ(reminders.asked, 2);
}

TEST_F(Timers, NoReminderTimerWithPeriodZeroOrDisabled)
{
    app.settings().setWakeupPerTime(0);
    flow.start();
    advance(3000);
    EXPECT_FALSE(flow.timers().isRunning(FrameTimers::ReminderTimer));
    EXPECT_TRUE(flow.timers().isRunning(FrameTimers::IdleTimer));
    EXPECT_EQ(reminders.asked, 0);

    app.settings().setWakeupPerTime(5);
    app.settings().setEnableWakeup(0);
    app.settings().setEnableIdleLocked(0);
    flow.timers().restartAfterUnlock(flow.storedTimerSettings());
    EXPECT_FALSE(flow.timers().isRunning(FrameTimers::ReminderTimer));
    EXPECT_FALSE(flow.timers().isRunning(FrameTimers::IdleTimer));
}

TEST_F(Timers, IdleTimeLocksAndInputPostponesIt)
{
    app.settings().setIdleLockTime(1);
    app.settings().setEnableWakeup(0);
    int locks = 0;
    flow.timers().onIdleLock = [&] { ++locks; };
    flow.start();
    advance(2000);
    advance(50000);
    flow.timers().noteInput();
    advance(59000);
    EXPECT_EQ(locks, 0);
    advance(1500);
    EXPECT_EQ(locks, 1);
    EXPECT_FALSE(flow.timers().isRunning(FrameTimers::IdleTimer));
    advance(120000, 10000);
    EXPECT_EQ(locks, 1);
}

TEST_F(Timers, LockHidesPopupAndUnlockUsesTheSettingsThenStored)
{
    app.settings().setWakeupPerTime(10);
    flow.start();
    advance(2000);
    flow.timers().popupShowing = true;
    QStringList seen;
    flow.minimise = [&] { seen << "minimise"; };
    flow.hidePopup = [&] { seen << "hide popup"; };
    flow.restore = [&] { seen << "restore"; };
    flow.runLockDialog = [&] {
        seen << QStringLiteral("lock reminder=%1 idle=%2")
                    .arg(flow.timers().isRunning(FrameTimers::ReminderTimer))
                    .arg(flow.timers().isRunning(FrameTimers::IdleTimer));
        // Changed in the options while the frame was locked (by another window of the run).
        app.settings().setWakeupPerTime(0);
        app.settings().setIdleLockTime(2);
        return true;
    };
    const int checksBefore = reminders.asked;
    EXPECT_TRUE(flow.execute(shell::CommandTable::LockNow));
    EXPECT_EQ(seen, (QStringList{"minimise", "hide popup", "lock reminder=0 idle=0", "restore"}));
    EXPECT_FALSE(flow.timers().popupShowing);
    EXPECT_FALSE(flow.timers().isRunning(FrameTimers::ReminderTimer));
    EXPECT_TRUE(flow.timers().isRunning(FrameTimers::IdleTimer));
    EXPECT_EQ(reminders.asked, checksBefore);

    // The new idle time of two minutes counts from the unlock.
    int locks = 0;
    flow.timers().onIdleLock = [&] { ++locks; };
    advance(110000, 10000);
    EXPECT_EQ(locks, 0);
    advance(10000, 500);
    EXPECT_EQ(locks, 1);
}

} // namespace orvane::shelltest

namespace orvane::shelltest {

TEST_F(Timers, DesktopIdleTimeCountsInputToOtherProgramsToo)
{
    app.settings().setIdleLockTime(1);
    int locks = 0;
    flow.timers().onIdleLock = [&] { ++locks; };
    std::optional<qint64> desktopIdle = 0;
    flow.timers().desktopIdleMs = [&] { return desktopIdle; };
    flow.start();
    advance(2000);
    // The operator types in another program: the client saw nothing, the desktop did.
    desktopIdle = 30000;
    advance(70000, 500);
    EXPECT_EQ(locks, 0);
    desktopIdle = 60000;
    advance(500);
    EXPECT_EQ(locks, 1);

    // Without a desktop to ask, the client's own input counts.
    flow.timers().desktopIdleMs = [] { return std::optional<qint64>(); };
    flow.timers().restartAfterUnlock(flow.storedTimerSettings());
    advance(50000, 500);
    flow.timers().noteInput();
    advance(50000, 500);
    EXPECT_EQ(locks, 1);
    advance(10000, 500);
    EXPECT_EQ(locks, 2);
}

TEST_F(Timers, LockAndUnlockAreLoggedAndTooManyWrongPasswordsEndTheProgram)
{
    flow.start();
    QStringList seen;
    flow.restore = [&] { seen << "restore"; };
    flow.endProgram = [&] { seen << "end"; };
    flow.runLockDialog = [] { return true; };
    flow.lock();
    EXPECT_EQ(seen, QStringList{"restore"});
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[解除挂起]"));

    seen.clear();
    flow.runLockDialog = [] { return false; };
    flow.lock();
    EXPECT_EQ(seen, QStringList{"end"});
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{QStringLiteral("错误：输入错误!请联系统管理员!")});
    EXPECT_EQ(lastLogLine(), QStringLiteral("登出系统"));
    EXPECT_FALSE(flow.timers().isRunning(FrameTimers::IdleTimer));
}

} // namespace orvane::shelltest
