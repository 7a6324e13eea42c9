#include "shell/commandgate.h"

#include "core/connectioncheck.h"
#include "core/corvaneapp.h"
#include "core/operatorrights.h"
#include "core/prompter.h"
#include "shell/commandtable.h"

#include <algorithm>
#include <iterator>

namespace orvane::shell {

CommandGate::CommandGate(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

bool CommandGate::allow(int commandId)
{
    const CommandEntry* entry = CommandTable::find(commandId);
    if (!entry || !m_app.isLoggedIn())
        return false;

    // Every command, gated or not, first makes sure the database still answers.
    core::ConnectionCheck check(m_app, m_prompter);
    check.requestClose = requestClose;
    if (!check.run())
        return false;
    if (entry->gating == CommandGating::None)
        return true;

    if (entry->gating == CommandGating::SuperOnly) {
        if (m_app.currentOperator().ISuper)
            return true;
        m_prompter.message(core::OperatorRights::noRightMessage(), core::COrvaneApp::productTitle(),
                           core::Prompter::Icon::Warning);
        return false;
    }
    return core::OperatorRights::checkRight(m_app, m_prompter, entry->right);
}

bool CommandGate::isEnabled(int commandId) const
{
    const CommandEntry* entry = CommandTable::find(commandId);
    if (!entry || !m_app.isLoggedIn())
        return false;
    // Only these entries are greyed by rights; the others are refused when issued.
    static const int kGreyedByRights[] = {
        CommandTable::Personnel, CommandTable::Redeploy,  CommandTable::SortAlter,
        CommandTable::WageOpen,  CommandTable::WageTotal, CommandTable::WageSet,
        CommandTable::SystemSet, CommandTable::UserList,  CommandTable::SysLog};
    if (std::find(std::begin(kGreyedByRights), std::end(kGreyedByRights), commandId) ==
        std::end(kGreyedByRights))
        return true;
    switch (entry->gating) {
    case CommandGating::None:
        return true;
    case CommandGating::SuperOnly:
        return m_app.currentOperator().ISuper;
    case CommandGating::Right:
        return core::OperatorRights::hasRight(m_app, entry->right, false);
    }
    return false;
}

} // namespace orvane::shell
