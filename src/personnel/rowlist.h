#pragma once

#include "core/gridrows.h"

#include <QList>
#include <QVariantList>

namespace orvane::personnel {

// The rows of a flat list held by a workflow: the cells of each row in column order and the
// current row. It is the grid the shared reorder routine and the record form's stepping work on.
class RowList : public core::GridRows
{
public:
    void setRows(const QList<QVariantList>& rows);
    const QList<QVariantList>& rows() const { return m_rows; }
    const QVariantList& row(int index) const { return m_rows[index]; }
    // The first row whose cell in `column` holds `value`, or -1.
    int find(int column, int value) const;

    int rowCount() const override { return int(m_rows.size()); }
    int currentRow() const override { return m_current; }
    void setCurrentRow(int row) override;
    int cellInt(int row, int column) const override;
    void setCellInt(int row, int column, int value) override;
    void swapRows(int first, int second) override;

private:
    QList<QVariantList> m_rows;
    int m_current = -1;
};

} // namespace orvane::personnel
