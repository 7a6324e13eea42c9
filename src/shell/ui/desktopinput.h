#pragma once

#include <QtGlobal>

#include <optional>

namespace orvane::shell::ui {

// What the desktop knows about the operator's input, read from X11 when the client runs there:
// the time since the last keyboard or mouse input anywhere on the desktop (screen-saver
// extension) and the real caps/num/scroll lock state (XKB indicators). The X11 libraries are
// loaded at run time, so the client also runs without them (offscreen, Wayland); the answers
// are then empty and the frame falls back to its own input events.
class DesktopInput
{
public:
    struct LockKeys
    {
        bool capsLock = false;
        bool numLock = false;
        bool scrollLock = false;
    };

    // Milliseconds since the last input on the whole desktop; nothing when unknown.
    static std::optional<qint64> idleMs();
    // The lock keys' indicator state; nothing when unknown.
    static std::optional<LockKeys> lockKeys();
};

} // namespace orvane::shell::ui
