#pragma once

#include "db/adotypes.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace orvane::db {

// Description of one column of a result.
struct ColumnInfo
{
    QString name;
    int adoType = adVarWChar;
    qint64 definedSize = 0;
    int attributes = 0;
    // The table and column the value comes from, when the backend knows them (empty for
    // expressions). A column with a base table and a key (see ResultSet::tables) is updatable.
    QString baseTable;
    QString baseColumn;
    int tableIndex = -1; // index into ResultSet::tables, -1 when the column cannot be written
};

// A base table that a result's rows can be written back to: the key columns that locate a row of
// it and the (usually hidden) result columns that hold their values.
struct BaseTableKey
{
    QString table;
    QStringList keyColumns;            // e.g. {"rowid"} for SQLite
    std::vector<int> keyResultColumns; // indexes into ResultSet columns, one per key column
};

// The rows of a query held in memory (client-side static cursor). Cells are stored row by row
// in one flat vector; values keep the backend's raw form (null, qlonglong, double, QString,
// QByteArray, bool or QDateTime) and are converted by the reader according to the column type.
// Columns past visibleColumns are hidden helpers (keys) that callers never see.
class ResultSet
{
public:
    std::vector<ColumnInfo> columns;
    int visibleColumns = 0;
    std::vector<BaseTableKey> tables;

    int rowCount() const { return columns.empty() ? 0 : int(m_cells.size() / columns.size()); }
    int columnCount() const { return int(columns.size()); }

    const QVariant& at(int row, int column) const { return m_cells[index(row, column)]; }
    QVariant& at(int row, int column) { return m_cells[index(row, column)]; }

    // Appends a row; `values` is padded with nulls or cut to the column count.
    void appendRow(const QVariantList& values);
    // Appends a row of nulls and returns its index.
    int appendBlankRow();
    void removeRow(int row);
    // Appends one cell; a backend fills a row by appending exactly columnCount() cells.
    void appendValue(QVariant value) { m_cells.push_back(std::move(value)); }
    void reserveRows(int rows) { m_cells.reserve(size_t(rows) * columns.size()); }
    void clearRows() { m_cells.clear(); }

    // Records `key` as a base table the rows can be written back to: the visible columns that
    // come from that table (by name, case-insensitive) become updatable through it. The table is
    // kept when some column comes from it, or, with `onlyTable`, when it is the query's only
    // table.
    void addBaseTable(const BaseTableKey& key, bool onlyTable);

    // Adds a visible column (only before rows are added).
    void addColumn(const QString& name, int adoType = adVarWChar);
    // Index of the visible column with this name (case-insensitive), or -1.
    int columnIndex(const QString& name) const;
    // Convenience for procedures and tools: the value of a visible column by name, null when
    // the name is unknown.
    QVariant value(int row, const QString& name) const;

private:
    size_t index(int row, int column) const
    {
        return size_t(row) * columns.size() + size_t(column);
    }

    std::vector<QVariant> m_cells;
};

} // namespace orvane::db
