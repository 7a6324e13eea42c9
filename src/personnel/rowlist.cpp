#include "personnel/rowlist.h"

namespace orvane::personnel {

void RowList::setRows(const QList<QVariantList>& rows)
{
    m_rows = rows;
    if (m_current >= m_rows.size())
        m_current = -1;
}

int RowList::find(int column, int value) const
{
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].value(column).toInt() == value)
            return i;
    return -1;
}

void RowList::setCurrentRow(int row)
{
    m_current = row >= 0 && row < m_rows.size() ? row : -1;
}

int RowList::cellInt(int row, int column) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].value(column).toInt() : 0;
}

void RowList::setCellInt(int row, int column, int value)
{
    if (row >= 0 && row < m_rows.size() && column >= 0 && column < m_rows[row].size())
        m_rows[row][column] = value;
}

void RowList::swapRows(int first, int second)
{
    if (first >= 0 && second >= 0 && first < m_rows.size() && second < m_rows.size())
        m_rows.swapItemsAt(first, second);
}

} // namespace orvane::personnel
