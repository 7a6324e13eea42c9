#pragma once

#include "core/gridcolumn.h"
#include "core/gridrowsource.h"
#include "core/resultsetrows.h"

#include <QAbstractTableModel>
#include <QList>

#include <functional>

namespace orvane::db {
class ResultSet;
}

namespace orvane::widgets {

// Table model over rows of a query: held in memory (a recordset's ResultSet) or fetched in blocks
// as they are shown (core::PagedRows). Nothing is built per row: a cell is converted to text only
// when the view asks for it, so 100,000 rows cost no more than the screen shown. Column i of the
// model is column i of the result, described by a core::GridColumn (caption, type, format,
// editor, visibility).
//
// Editing goes through `commitEdit`: the owner checks the value and writes it (usually through
// the recordset, which updates the rows the model reads); returning true tells the view the cell
// changed. Without `commitEdit` the model is read-only.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);

    // Shows `rows` (which must outlive the model or be replaced) with the given column
    // descriptions; missing descriptions default to the result's column names as captions.
    void setSource(const db::ResultSet* rows, QList<core::GridColumn> columns);
    // The same for rows read cell by cell; `rows` must outlive the model or be replaced.
    void setSource(const core::GridRowSource* rows, QList<core::GridColumn> columns);
    // After the rows were changed in place (same shape): redraws everything.
    void rowsChanged();
    // After cells were rewritten (same rows, same order): redraws them, keeping the current cell
    // and the selection.
    void cellsChanged();
    // Describes the result columns with their names as captions.
    static QList<core::GridColumn> defaultColumns(const db::ResultSet& rows);
    static QList<core::GridColumn> defaultColumns(int count);

    const QList<core::GridColumn>& columns() const { return m_columns; }
    const core::GridColumn& column(int index) const { return m_columns.at(index); }
    void setColumnFormat(int column, const core::ColFmt& format);
    void setColumnWidth(int column, int width) { m_columns[column].width = width; }

    std::function<bool(int row, int column, const QVariant& value)> commitEdit;
    // Asked before an editor opens; false refuses the edit (e.g. the row was deleted meanwhile).
    std::function<bool(int row, int column)> startEdit;

    // The text a cell shows (dates "yyyy-MM-dd", numbers with the column's decimals).
    QString cellText(int row, int column) const;
    // The given rows and columns as tab-separated lines (tabs and line breaks in a cell become
    // spaces), for the clipboard.
    QString toTsv(const QList<int>& rows, const QList<int>& columns) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QVariant editValue(int row, int column) const;

    core::ResultSetRows m_held;
    const core::GridRowSource* m_rows = nullptr;
    QList<core::GridColumn> m_columns;
};

} // namespace orvane::widgets
