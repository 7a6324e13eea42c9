#pragma once

#include <functional>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::shell {

// Decides whether a command of the frame may run. Issuing a command checks the connection first,
// then the operator's right with a fresh read of his rights; enabling menu entries uses only the
// rights already in memory.
class CommandGate
{
public:
    CommandGate(core::COrvaneApp& app, core::Prompter& prompter);

    // Connection check, then the refreshing right check (which shows the refusal itself).
    // False when the command must not run; an unknown id is refused.
    bool allow(int commandId);

    // Whether the menu entry or navigation button is enabled, without reading the database.
    bool isEnabled(int commandId) const;

    // Asked when the operator gives up on a lost connection (ends the program).
    std::function<void()> requestClose;

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
};

} // namespace orvane::shell
