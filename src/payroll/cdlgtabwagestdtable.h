#pragma once

#include "payroll/orderedlist.h"

#include "db/resultset.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

class CDlgWageStdTable;

// The standard tables page: the sort's tables, and beside them the amounts of the selected one
// in one or two dimensions, with new, change, delete, up, down and refresh.
class CDlgTabWageStdTable
{
public:
    CDlgTabWageStdTable(core::COrvaneApp& app, core::Prompter& prompter);

    void setSort(int sortId, bool force = false);
    int sortId() const { return m_sortId; }
    bool refresh();
    OrderedList& tables() { return m_tables; }

    // Loads the amounts of the current table (empty without one).
    bool loadAmounts();
    const db::ResultSet& amounts() const { return m_amounts; }
    // True for the grid columns that hold amounts (the first two are the key and the code).
    bool isAmountColumn(int column) const;
    // Stores a typed amount; false with a message when it is not a number or the table is gone.
    bool setAmount(int row, int column, const QString& text);

    bool newTable();
    bool changeTable();
    bool deleteTable();
    bool moveTable(core::RowOrder::Direction direction);

    std::function<bool(CDlgWageStdTable& editor)> runEditor;

private:
    void warn(const QString& text);
    QString sortTitle() const;

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId = -1;
    OrderedList m_tables;
    db::ResultSet m_amounts;
    QString m_dataTable;
    QStringList m_amountColumns; // physical column of each grid column from the third on
};

} // namespace orvane::payroll
