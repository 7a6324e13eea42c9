#include "payroll/orderedlist.h"

#include "db/cadorecordset.h"

#include <utility>

namespace orvane::payroll {

bool OrderedList::load(db::CADODatabase& database, const QString& tsql)
{
    const int key = currentKey();
    clear();
    db::CADORecordset rs(&database);
    if (!rs.Open(tsql))
        return false;
    const int fields = rs.GetFieldCount();
    for (int c = 0; c < fields; ++c) {
        db::CADOFieldInfo info;
        rs.GetFieldInfo(c, &info);
        m_rows.addColumn(info.m_strName, info.m_nType);
    }
    for (; !rs.IsEOF(); rs.MoveNext()) {
        QVariantList row;
        for (int c = 0; c < fields; ++c) {
            QVariant value;
            rs.GetFieldValue(c, value);
            row << value;
        }
        m_rows.appendRow(row);
    }
    if (!selectKey(key) && rowCount() > 0)
        m_current = 0;
    return true;
}

void OrderedList::clear()
{
    m_rows = db::ResultSet();
    m_current = -1;
}

void OrderedList::setCurrentRow(int row)
{
    m_current = row >= 0 && row < rowCount() ? row : -1;
}

int OrderedList::cellInt(int row, int column) const
{
    return m_rows.at(row, column).toInt();
}

void OrderedList::setCellInt(int row, int column, int value)
{
    m_rows.at(row, column) = value;
}

void OrderedList::swapRows(int first, int second)
{
    for (int c = 0; c < m_rows.columnCount(); ++c)
        std::swap(m_rows.at(first, c), m_rows.at(second, c));
}

int OrderedList::currentKey() const
{
    return m_current >= 0 && m_current < rowCount() ? cellInt(m_current, 0) : 0;
}

QVariant OrderedList::currentValue(const QString& column) const
{
    return m_current >= 0 && m_current < rowCount() ? m_rows.value(m_current, column) : QVariant();
}

bool OrderedList::selectKey(int key)
{
    for (int r = 0; key != 0 && r < rowCount(); ++r) {
        if (cellInt(r, 0) == key) {
            m_current = r;
            return true;
        }
    }
    return false;
}

bool OrderedList::move(db::CADODatabase& database, core::RowOrder::Direction direction,
                       const core::OrderColumns& columns)
{
    return core::RowOrder::moveGridRow(database, *this, direction, columns);
}

} // namespace orvane::payroll
