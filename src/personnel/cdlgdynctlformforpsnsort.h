#pragma once

#include "personnel/cdlgdynctlformbase.h"

#include <functional>

namespace orvane::personnel {

// The category form: the record form on qp_PsnSort (key AID) with the name rule and the log
// line. Saving keeps the form open; in add mode it is cleared for the next category.
class CDlgDynCtlFormForPsnSort : public CDlgDynCtlFormBase
{
public:
    CDlgDynCtlFormForPsnSort(core::COrvaneApp& app, core::Prompter& prompter);

    bool build() override;
    bool save() override;

    // Called after each successful save with the AID (the manager reloads its grid).
    std::function<void(int aid)> onSaved;

private:
    QString chosenName() const;

    QString m_nameAtOpening;
};

} // namespace orvane::personnel
