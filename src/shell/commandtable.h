#pragma once

#include <QString>

#include <span>

namespace orvane::shell {

// How a command is gated before it runs.
enum class CommandGating {
    None,      // anyone logged in
    Right,     // the operator needs the right with `right` (super users always pass)
    SuperOnly, // super users only
};

// What a command does once it is allowed: open a child view, run a dialog, or act on the frame.
enum class CommandKind { ChildView, Dialog, FrameAction };

struct CommandEntry
{
    int id;
    const char* text;        // UTF-8 menu text with its & mnemonic
    const char* accelerator; // portable key sequence text ("F2", "Ctrl+L"), empty for none
    CommandGating gating;
    int right; // index into the rights table, -1 when not gated by a right
    CommandKind kind;

    QString menuText() const { return QString::fromUtf8(text); }
    QString acceleratorText() const { return QString::fromLatin1(accelerator); }
};

// The commands of the main frame with their ids, texts, accelerators and gating.
class CommandTable
{
public:
    // Command ids used by the frame.
    enum : int {
        Personnel = 2100,
        Redeploy = 2101,
        SortAlter = 2104,
        StatAnalyze = 33249,
        WakeupManage = 33222,
        WageOpen = 33158,
        WageTotal = 2201,
        WageSet = 2202,
        DeptManager = 33188,
        PsnSortManager = 33189,
        TableManage = 33174,
        DictManage = 33171,
        SystemSet = 2300,
        UserList = 2301,
        SysLog = 2302,
        PasswordModify = 2303,
        LockNow = 33230,
        Relogin = 33301,
        CloseAll = 32871,
        Calculator = 33242,
        Calendar = 33243,
        Options = 32776,
        ToggleMenuBar = 33236,
        ToggleNavigation = 32796,
        ToggleBanner = 322,
        LookFirst = 210,
        LookLast = 218,
        HelpTopics = 57665,
    };

    static std::span<const CommandEntry> entries();
    // nullptr for an unknown id. The visual styles 210..218 are entries of their own.
    static const CommandEntry* find(int id);
    static bool isLook(int id) { return id >= LookFirst && id <= LookLast; }
};

} // namespace orvane::shell
