#include "db/resultset.h"

namespace orvane::db {

void ResultSet::appendRow(const QVariantList& values)
{
    const int n = columnCount();
    for (int c = 0; c < n; ++c)
        m_cells.push_back(c < values.size() ? values.at(c) : QVariant());
}

int ResultSet::appendBlankRow()
{
    m_cells.resize(m_cells.size() + columns.size());
    return rowCount() - 1;
}

void ResultSet::removeRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    const auto first = m_cells.begin() + std::ptrdiff_t(index(row, 0));
    m_cells.erase(first, first + std::ptrdiff_t(columns.size()));
}

void ResultSet::addBaseTable(const BaseTableKey& key, bool onlyTable)
{
    const int tableIndex = int(tables.size());
    bool used = false;
    for (int c = 0; c < visibleColumns; ++c) {
        ColumnInfo& col = columns[size_t(c)];
        if (col.baseTable.compare(key.table, Qt::CaseInsensitive) == 0 &&
            !col.baseColumn.isEmpty()) {
            col.tableIndex = tableIndex;
            col.attributes |= adFldUpdatable;
            used = true;
        }
    }
    if (used || onlyTable)
        tables.push_back(key);
}

void ResultSet::addColumn(const QString& name, int adoType)
{
    ColumnInfo info;
    info.name = name;
    info.adoType = adoType;
    columns.insert(columns.begin() + visibleColumns, info);
    ++visibleColumns;
}

int ResultSet::columnIndex(const QString& name) const
{
    for (int c = 0; c < visibleColumns; ++c) {
        if (columns[size_t(c)].name.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

QVariant ResultSet::value(int row, const QString& name) const
{
    const int c = columnIndex(name);
    if (c < 0 || row < 0 || row >= rowCount())
        return {};
    return at(row, c);
}

} // namespace orvane::db
