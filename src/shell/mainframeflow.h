#pragma once

#include "shell/commandgate.h"
#include "shell/frametimers.h"
#include "shell/navigationmodel.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::shell {

// A child window of the frame as the workflow knows it.
struct ChildInfo
{
    enum class Kind { Personnel, Wage };
    Kind kind = Kind::Personnel;
    int handle = 0; // unique per frame
    // Wage frames only.
    int sortId = 0;
    QString sortTitle;
    QString tableName;
    QDate fDate;
    int wageTableId = 0;
    QString caption;
};

// Everything the main frame does apart from drawing: command gating and dispatch, the child
// windows it keeps (one personnel frame, one wage frame per sort and month), lock, re-login,
// closing all children and the exit sequence. The widgets are reached through the callbacks.
class MainFrameFlow
{
public:
    enum class OpenResult { Refused, Created, Activated };

    MainFrameFlow(core::COrvaneApp& app, core::Prompter& prompter, const ShellClock& clock,
                  ReminderSource& reminders);

    CommandGate& gate() { return m_gate; }
    FrameTimers& timers() { return m_timers; }

    // Starts the start timer with the stored settings (on creation of the frame).
    void start();
    FrameTimers::Settings storedTimerSettings() const;

    // Gates the command (connection, then right) and carries it out; false when refused.
    bool execute(int commandId);

    OpenResult openPersonnel();
    // Opens (or activates and refreshes) the wage frame of the sort and month in `info`.
    OpenResult openWage(const ChildInfo& info);
    // Asks each child to close, most recent first; true when none is left.
    bool closeAllChildren();
    // Told by the frame when a child window has gone.
    void childClosed(int handle);
    const QList<ChildInfo>& children() const { return m_children; }

    // Locks until the operator's password is typed; the last allowed wrong password ends the
    // program (logout line, children closed, then endProgram).
    void lock();
    // True when a new operator (or the same) logged in.
    bool relogin();
    // The exit sequence; false when the operator chose to stay.
    bool exitRequested();

    QList<NavigationGroup> navigation() const;
    QString statusUserText() const;

    // --- widgets, supplied by the frame (or a test) ---
    std::function<void(const ChildInfo&)> createChild;
    std::function<void(const ChildInfo&, bool refresh)> activateChild;
    // Closes the child; false when it refused to close.
    std::function<bool(int handle)> closeChild;
    // Any command that is not one of the frame's own sequences.
    std::function<void(int commandId)> runCommand;
    // Asks the wage-table chooser; false when cancelled. Fills sort and month into the info.
    std::function<bool(ChildInfo&)> chooseWageTable;
    // True when the right password was typed, false after too many wrong ones.
    std::function<bool()> runLockDialog;
    // Closes the frame without the exit question (the logout was already written).
    std::function<void()> endProgram;
    std::function<bool()> runReloginDialog;
    std::function<void()> minimise;
    std::function<void()> restore;
    std::function<void()> hidePopup;
    std::function<void()> closePopup;
    std::function<void()> navigationChanged;

private:
    // The end of every session: logout line, popup and timers stopped, children closed.
    void leave();

    int m_nextHandle = 1;
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    CommandGate m_gate;
    FrameTimers m_timers;
    QList<ChildInfo> m_children;
};

} // namespace orvane::shell
