#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace orvane::admin {

// One sub-command of orvane-admin. Each command lives in its own cmd_*.cpp and registers itself
// with a static AdminCommandRegistration; main() dispatches on the first argument.
struct AdminCommand
{
    QString name;     // "init", "sql", ...
    QString synopsis; // one line for --help, e.g. "init FILE [--demo N]"
    QString summary;  // what it does, one line
    // Receives the arguments after the command name; returns the process exit code.
    // Errors go to stderr with a non-zero code.
    std::function<int(const QStringList&)> run;
};

std::vector<AdminCommand>& adminCommands();

struct AdminCommandRegistration
{
    explicit AdminCommandRegistration(AdminCommand command)
    {
        adminCommands().push_back(std::move(command));
    }
};

// Writes text to stdout / stderr as UTF-8.
void printOut(const QString& text);
void printErr(const QString& text);

} // namespace orvane::admin
