#include "shell/frametimers.h"

#include "shell/remindersource.h"
#include "shell/shellclock.h"

#include <algorithm>

namespace orvane::shell {

FrameTimers::FrameTimers(const ShellClock& clock, ReminderSource& reminders)
    : m_clock(clock), m_reminders(reminders), m_lastInput(clock.nowMs()), m_lastUnlock(m_lastInput)
{
}

FrameTimers::Timer& FrameTimers::timer(TimerId id)
{
    switch (id) {
    case StartTimer:
        return m_start;
    case ReminderTimer:
        return m_reminder;
    case IdleTimer:
        break;
    }
    return m_idle;
}

bool FrameTimers::isRunning(TimerId id) const
{
    return const_cast<FrameTimers*>(this)->timer(id).running;
}

void FrameTimers::start(const Settings& settings)
{
    m_settings = settings;
    m_start = {true, StartDelayMs, m_clock.nowMs() + StartDelayMs};
}

void FrameTimers::noteInput()
{
    m_lastInput = m_clock.nowMs();
}

void FrameTimers::startTimers()
{
    const qint64 now = m_clock.nowMs();
    if (m_settings.enableIdleLocked)
        m_idle = {true, IdlePeriodMs, now + IdlePeriodMs};
    if (m_settings.enableWakeup && m_settings.wakeupPerTime > 0) {
        const qint64 period = qint64(m_settings.wakeupPerTime) * 60000;
        m_reminder = {true, period, now + period};
        runReminderCheck();
    }
}

void FrameTimers::runReminderCheck()
{
    if (popupShowing || m_reminders.suppressed())
        return;
    ++m_checks;
    if (m_reminders.anyDue() && onShowReminder)
        onShowReminder();
}

void FrameTimers::poll()
{
    const qint64 now = m_clock.nowMs();
    if (m_start.running && now >= m_start.due) {
        m_start.running = false;
        startTimers();
    }
    if (m_idle.running && now >= m_idle.due) {
        m_idle.due = now + m_idle.period;
        const qint64 idleLimit = qint64(m_settings.idleLockTime) * 60000;
        std::optional<qint64> desktopIdle = desktopIdleMs ? desktopIdleMs() : std::nullopt;
        // The desktop's idle time counts input to every program; since the last unlock at most.
        const qint64 idle =
            desktopIdle ? std::min(*desktopIdle, now - m_lastUnlock) : now - m_lastInput;
        if (idle >= idleLimit) {
            m_idle.running = false;
            if (onIdleLock)
                onIdleLock();
            return; // the lock may have restarted the timers; look again at the next poll
        }
    }
    if (m_reminder.running && now >= m_reminder.due) {
        m_reminder.due = now + m_reminder.period;
        runReminderCheck();
    }
}

void FrameTimers::stopForLock()
{
    m_reminder.running = false;
    m_idle.running = false;
    m_start.running = false;
}

void FrameTimers::restartAfterUnlock(const Settings& settings)
{
    m_settings = settings;
    m_lastInput = m_lastUnlock = m_clock.nowMs();
    m_reminder.running = false;
    m_idle.running = false;
    startTimers();
}

void FrameTimers::stopAll()
{
    m_start.running = m_reminder.running = m_idle.running = false;
}

} // namespace orvane::shell
