#pragma once

#include "core/gridrows.h"

class QAbstractItemModel;
class QItemSelectionModel;

namespace orvane::core {

// GridRows over any editable QAbstractItemModel (flat list, top-level rows) with an optional
// selection model for the current row. Rows are exchanged cell by cell through itemData(), so
// the model only needs setItemData() to work; no row insertion or removal takes place.
class ItemModelGridRows : public GridRows
{
public:
    ItemModelGridRows(QAbstractItemModel& model, QItemSelectionModel* selection);

    int rowCount() const override;
    int currentRow() const override;
    void setCurrentRow(int row) override;
    int cellInt(int row, int column) const override;
    void setCellInt(int row, int column, int value) override;
    void swapRows(int first, int second) override;

private:
    QAbstractItemModel& m_model;
    QItemSelectionModel* m_selection;
    int m_current = -1; // used when there is no selection model
};

} // namespace orvane::core
