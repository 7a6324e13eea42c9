#pragma once

#include <functional>

namespace orvane::core {

class COrvaneApp;
class Prompter;

// Run before every command: does the shared database still answer? When it does not, the
// operator may retry (reconnecting with the kept connection string) or end the program.
class ConnectionCheck
{
public:
    ConnectionCheck(COrvaneApp& app, Prompter& prompter);

    // True only when the database answered at once. After a lost connection it returns false
    // even when a retry reconnected: the command that asked is not carried out.
    bool run();

    // Asked to close the main window when the operator cancels (which ends the program).
    std::function<void()> requestClose;

private:
    bool databaseAnswers();

    COrvaneApp& m_app;
    Prompter& m_prompter;
};

} // namespace orvane::core
