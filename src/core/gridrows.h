#pragma once

namespace orvane::core {

// The little a grid must offer for the shared move-up/move-down commands: read and write the
// integer cells holding a row's key and order value, exchange two rows and keep a current row.
class GridRows
{
public:
    virtual ~GridRows() = default;

    virtual int rowCount() const = 0;
    // -1 when no row is selected.
    virtual int currentRow() const = 0;
    virtual void setCurrentRow(int row) = 0;
    virtual int cellInt(int row, int column) const = 0;
    virtual void setCellInt(int row, int column, int value) = 0;
    // Exchanges the positions of two rows with all their cells.
    virtual void swapRows(int first, int second) = 0;
};

} // namespace orvane::core
