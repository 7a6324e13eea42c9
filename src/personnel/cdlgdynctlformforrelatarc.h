#pragma once

#include "personnel/cdlgdynctlformbase.h"

#include <functional>

namespace orvane::personnel {

// The form of a person's related records (a one-to-many table with the key ID and the person's
// PID): new rows are added with the PID and sorted last; the log names the person and the table.
class CDlgDynCtlFormForRelatArc : public CDlgDynCtlFormBase
{
public:
    CDlgDynCtlFormForRelatArc(core::COrvaneApp& app, core::Prompter& prompter);

    // The person the rows belong to, and the related table's title for the log.
    void setPerson(int pid, const QString& name, const QString& number);
    void setTableTitle(const QString& title) { m_tableTitle = title; }

    bool save() override;

    // Called after each successful save with the row's ID (the owner refreshes and selects it).
    std::function<void(int id)> onSaved;

private:
    int m_pid = 0;
    QString m_personName;
    QString m_personNumber;
    QString m_tableTitle;
};

} // namespace orvane::personnel
