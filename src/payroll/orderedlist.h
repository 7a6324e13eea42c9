#pragma once

#include "core/gridrows.h"
#include "core/roworder.h"

#include "db/resultset.h"

#include <QString>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::payroll {

// The rows of a list the operator can reorder: the result of its query, the current row and the
// shared up/down move of core::RowOrder over them.
class OrderedList : public core::GridRows
{
public:
    // Runs the query; on failure the list is empty and false is returned.
    bool load(db::CADODatabase& database, const QString& tsql);
    void clear();

    const db::ResultSet& rows() const { return m_rows; }
    int rowCount() const override { return m_rows.rowCount(); }
    int currentRow() const override { return m_current; }
    void setCurrentRow(int row) override;
    int cellInt(int row, int column) const override;
    void setCellInt(int row, int column, int value) override;
    void swapRows(int first, int second) override;

    // Key (first column) of the current row, 0 without one.
    int currentKey() const;
    QVariant currentValue(const QString& column) const;
    // Makes the row with this key current; false when there is none.
    bool selectKey(int key);

    // Moves the current row up or down by exchanging order values with its neighbour.
    bool move(db::CADODatabase& database, core::RowOrder::Direction direction,
              const core::OrderColumns& columns);

private:
    db::ResultSet m_rows;
    int m_current = -1;
};

} // namespace orvane::payroll
