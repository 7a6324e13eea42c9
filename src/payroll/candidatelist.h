#pragma once

#include "payroll/orderedlist.h"

#include <QString>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// A per-operator candidate table ("##tmp<operator>" or "tmpWageUser<operator>") as the member
// dialogs show it: the rows of "EXEC qp_SelectWagePsn", ticks kept in its CKD column, the search
// by number, name or department, and the "共 计：%d 人" footer.
class CandidateList
{
public:
    // Columns of the rows: PID, ord, CKD, number, name, department.
    enum Column { Pid = 0, Order = 1, Ticked = 2, Number = 3, Name = 4, Department = 5 };

    CandidateList(core::COrvaneApp& app, QString tableName);

    const QString& tableName() const { return m_table; }
    bool reload();
    OrderedList& rows() { return m_rows; }
    QString footerText() const;

    // The checks before the ticked persons are added to a sort: someone is ticked (else 112),
    // the sort still exists (else 118) and the operator confirms; `askFirst` puts the question
    // before the sort check. Returns the number of ticked persons, 0 when refused.
    int confirmAdding(core::Prompter& prompter, int sortId, bool askFirst);

    bool setTicked(int row, bool ticked);
    bool tickAll(bool ticked);
    int tickedCount();

    // The first row whose number matches, else whose name, else whose department; -1 for none.
    // The row found becomes current.
    int search(const QString& text);

    // Drops the table (the dialogs call it when they close).
    void drop(const QString& statement);

private:
    core::COrvaneApp& m_app;
    QString m_table;
    OrderedList m_rows;
};

} // namespace orvane::payroll
