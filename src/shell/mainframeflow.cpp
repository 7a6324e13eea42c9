#include "shell/mainframeflow.h"

#include "core/apphelpers.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/systemlog.h"
#include "shell/commandtable.h"

namespace orvane::shell {

MainFrameFlow::MainFrameFlow(core::COrvaneApp& app, core::Prompter& prompter,
                             const ShellClock& clock, ReminderSource& reminders)
    : m_app(app), m_prompter(prompter), m_gate(app, prompter), m_timers(clock, reminders)
{
}

FrameTimers::Settings MainFrameFlow::storedTimerSettings() const
{
    core::AppSettings& s = m_app.settings();
    FrameTimers::Settings settings;
    settings.enableWakeup = s.enableWakeup() != 0;
    settings.wakeupPerTime = s.wakeupPerTime();
    settings.enableIdleLocked = s.enableIdleLocked() != 0;
    settings.idleLockTime = s.idleLockTime();
    return settings;
}

void MainFrameFlow::start()
{
    m_timers.start(storedTimerSettings());
}

bool MainFrameFlow::execute(int commandId)
{
    if (!m_gate.allow(commandId))
        return false;
    switch (commandId) {
    case CommandTable::Personnel:
        openPersonnel();
        return true;
    case CommandTable::WageOpen: {
        ChildInfo info;
        if (chooseWageTable && chooseWageTable(info))
            openWage(info);
        else if (!chooseWageTable && runCommand)
            runCommand(commandId);
        return true;
    }
    case CommandTable::LockNow:
        lock();
        return true;
    case CommandTable::Relogin:
        relogin();
        return true;
    case CommandTable::CloseAll:
        closeAllChildren();
        return true;
    default:
        if (runCommand)
            runCommand(commandId);
        return true;
    }
}

MainFrameFlow::OpenResult MainFrameFlow::openPersonnel()
{
    for (const ChildInfo& child : m_children) {
        if (child.kind == ChildInfo::Kind::Personnel) {
            if (activateChild)
                activateChild(child, false);
            return OpenResult::Activated;
        }
    }
    ChildInfo info;
    info.kind = ChildInfo::Kind::Personnel;
    info.handle = m_nextHandle++;
    info.caption = QStringLiteral("人员档案");
    m_children.append(info);
    if (createChild)
        createChild(info);
    core::AddSystemLog(m_app, QStringLiteral("人员档案[查看]"));
    return OpenResult::Created;
}

MainFrameFlow::OpenResult MainFrameFlow::openWage(const ChildInfo& wanted)
{
    for (const ChildInfo& child : m_children) {
        if (child.kind == ChildInfo::Kind::Wage && child.sortId == wanted.sortId &&
            child.fDate == wanted.fDate) {
            if (activateChild)
                activateChild(child, true);
            return OpenResult::Activated;
        }
    }
    ChildInfo info = wanted;
    info.kind = ChildInfo::Kind::Wage;
    info.handle = m_nextHandle++;
    info.caption =
        QStringLiteral("薪资表(%1 - %2)")
            .arg(info.sortTitle, core::monthText(info.fDate.year() * 100 + info.fDate.month()));
    m_children.append(info);
    if (createChild)
        createChild(info);
    return OpenResult::Created;
}

bool MainFrameFlow::closeAllChildren()
{
    while (!m_children.isEmpty()) {
        const int handle = m_children.last().handle;
        const bool closed = closeChild ? closeChild(handle) : true;
        if (!closed)
            return false;
        childClosed(handle); // harmless when the frame already reported it
    }
    return true;
}

void MainFrameFlow::childClosed(int handle)
{
    for (qsizetype i = 0; i < m_children.size(); ++i) {
        if (m_children[i].handle == handle) {
            m_children.removeAt(i);
            return;
        }
    }
}

void MainFrameFlow::lock()
{
    m_timers.stopForLock();
    core::AddSystemLog(m_app, QStringLiteral("系统管理[离开挂起]"));
    if (minimise)
        minimise();
    if (m_timers.popupShowing) {
        if (hidePopup)
            hidePopup();
        m_timers.popupShowing = false;
    }
    // The lock dialog returns once the password was right, or after the last wrong attempt.
    if (runLockDialog && !runLockDialog()) {
        core::AddSystemLog(m_app, QStringLiteral("系统管理[解除挂起失败,退出系统]"));
        m_prompter.message(QStringLiteral("错误：输入错误!请联系统管理员!"), core::promptCaption(),
                           core::Prompter::Icon::Error);
        leave();
        if (endProgram)
            endProgram();
        return;
    }
    core::AddSystemLog(m_app, QStringLiteral("系统管理[解除挂起]"));
    m_timers.restartAfterUnlock(storedTimerSettings());
    if (restore)
        restore();
}

bool MainFrameFlow::relogin()
{
    if (!runReloginDialog || !runReloginDialog())
        return false;
    closeAllChildren();
    if (navigationChanged)
        navigationChanged();
    return true;
}

bool MainFrameFlow::exitRequested()
{
    if (m_app.settings().exitYesNo() != 0) {
        const auto answer =
            m_prompter.askYesNo(QStringLiteral("确定要退出系统吗?"), core::promptCaption(),
                                core::Prompter::Icon::Question, core::Prompter::Answer::No);
        if (answer != core::Prompter::Answer::Yes)
            return false;
    }
    leave();
    return true;
}

void MainFrameFlow::leave()
{
    core::AddSystemLog(m_app, QStringLiteral("登出系统"), true);
    if (closePopup)
        closePopup();
    m_timers.popupShowing = false;
    m_timers.stopAll();
    closeAllChildren();
}

QList<NavigationGroup> MainFrameFlow::navigation() const
{
    return buildNavigation(m_app.currentOperator());
}

QString MainFrameFlow::statusUserText() const
{
    return QStringLiteral("当前用户:") + m_app.currentOperator().UserName;
}

} // namespace orvane::shell
