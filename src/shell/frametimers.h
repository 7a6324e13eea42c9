#pragma once

#include <QtGlobal>

#include <functional>
#include <optional>

namespace orvane::shell {

class ShellClock;
class ReminderSource;

// The frame's three timers on an injectable clock: the one-shot start timer, the idle timer that
// locks after a time without input, and the periodic reminder check. The owner calls poll()
// often (the frame from a short Qt timer) and noteInput() on every key or mouse event.
class FrameTimers
{
public:
    enum TimerId { StartTimer = 101, ReminderTimer = 102, IdleTimer = 109 };
    static constexpr qint64 StartDelayMs = 2000;
    static constexpr qint64 IdlePeriodMs = 500;

    // The settings read at start and again after every unlock.
    struct Settings
    {
        bool enableWakeup = true;
        int wakeupPerTime = 60; // minutes
        bool enableIdleLocked = true;
        int idleLockTime = 30; // minutes
    };

    FrameTimers(const ShellClock& clock, ReminderSource& reminders);

    // Starts the one-shot start timer (on creation of the frame).
    void start(const Settings& settings);
    // Fires every timer that is due at the clock's present time, each at most once per call.
    void poll();
    void noteInput();

    // Locking stops the reminder timer (the idle timer stopped itself when it fired);
    // unlocking restarts both with the settings then stored, as the start timer does.
    void stopForLock();
    void restartAfterUnlock(const Settings& settings);
    void stopAll();

    bool isRunning(TimerId id) const;
    qint64 lastInputMs() const { return m_lastInput; }

    // Milliseconds since the last input anywhere on the desktop, when the platform can tell;
    // otherwise (or when unset) the inputs reported through noteInput() count.
    std::function<std::optional<qint64>()> desktopIdleMs;

    // Called when the idle time has passed, and when a reminder check finds something due while
    // no popup is showing.
    std::function<void()> onIdleLock;
    std::function<void()> onShowReminder;
    // Whether the reminder popup is showing now (set by the owner).
    bool popupShowing = false;
    // Number of reminder checks run, for the status of the frame and for tests.
    int reminderChecks() const { return m_checks; }

private:
    struct Timer
    {
        bool running = false;
        qint64 period = 0;
        qint64 due = 0;
    };
    void startTimers();
    void runReminderCheck();
    Timer& timer(TimerId id);

    const ShellClock& m_clock;
    ReminderSource& m_reminders;
    Settings m_settings;
    Timer m_start, m_reminder, m_idle;
    qint64 m_lastInput = 0;
    qint64 m_lastUnlock = 0;
    int m_checks = 0;
};

} // namespace orvane::shell
