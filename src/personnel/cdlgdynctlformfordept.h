#pragma once

#include "personnel/cdlgdynctlformbase.h"

#include <functional>

namespace orvane::personnel {

// The department form: the record form on qp_Dept (key DID) with the name and parent rules, the
// path rebuild when the parent changes, and the log line. Saving keeps the form open; in add
// mode it is cleared for the next department.
class CDlgDynCtlFormForDept : public CDlgDynCtlFormBase
{
public:
    CDlgDynCtlFormForDept(core::COrvaneApp& app, core::Prompter& prompter);

    bool build() override;
    bool save() override;

    // Set when the manager opened the form: called after each successful save with the DID, so
    // the manager reloads its grid and selects the department.
    std::function<void(int did)> onSaved;
    int parentAtOpening() const { return m_parentAtOpening; }

private:
    int chosenParent() const;
    QString chosenName() const;
    void refreshPickers();

    int m_parentAtOpening = 0;
    QString m_nameAtOpening;
};

} // namespace orvane::personnel
