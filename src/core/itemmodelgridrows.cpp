#include "core/itemmodelgridrows.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>

namespace orvane::core {

ItemModelGridRows::ItemModelGridRows(QAbstractItemModel& model, QItemSelectionModel* selection)
    : m_model(model), m_selection(selection)
{
}

int ItemModelGridRows::rowCount() const
{
    return m_model.rowCount();
}

int ItemModelGridRows::currentRow() const
{
    if (m_selection == nullptr)
        return m_current < m_model.rowCount() ? m_current : -1;
    const QModelIndex current = m_selection->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void ItemModelGridRows::setCurrentRow(int row)
{
    if (m_selection == nullptr) {
        m_current = row;
        return;
    }
    const QModelIndex index = m_model.index(row, 0);
    m_selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                            | QItemSelectionModel::Rows);
}

int ItemModelGridRows::cellInt(int row, int column) const
{
    return m_model.data(m_model.index(row, column), Qt::EditRole).toInt();
}

void ItemModelGridRows::setCellInt(int row, int column, int value)
{
    m_model.setData(m_model.index(row, column), value, Qt::EditRole);
}

void ItemModelGridRows::swapRows(int first, int second)
{
    const int columns = m_model.columnCount();
    for (int column = 0; column < columns; ++column) {
        const QModelIndex a = m_model.index(first, column);
        const QModelIndex b = m_model.index(second, column);
        const auto dataA = m_model.itemData(a);
        const auto dataB = m_model.itemData(b);
        // Clear first: setItemData() of some models merges roles instead of replacing them.
        m_model.clearItemData(a);
        m_model.setItemData(a, dataB);
        m_model.clearItemData(b);
        m_model.setItemData(b, dataA);
    }
}

} // namespace orvane::core
