#pragma once

#include "core/treerow.h"

#include <QTreeView>

class QStandardItem;
class QStandardItemModel;

namespace orvane::widgets {

// A grid whose rows hold sub-rows: the department manager's and the prefix editor's list. Columns
// and rows come from the workflow; one hidden column holds each row's key, by which rows are
// selected. Widths changed by the operator are reported (the catalogue keeps them); an editable
// column reports each finished edit.
class CTreeGrid : public QTreeView
{
    Q_OBJECT
public:
    explicit CTreeGrid(QWidget* parent = nullptr);

    void setColumns(const QList<core::TreeColumn>& columns);
    // Replaces all rows (every row expanded); the row with the previous current key stays current.
    void setRows(const QList<core::TreeRow>& rows);
    void setKeyColumn(int column) { m_keyColumn = column; }
    // Cells of this column can be edited in place (-1: none).
    void setEditableColumn(int column) { m_editableColumn = column; }

    // Key of the current row, -1 for none.
    int currentKey() const;
    bool selectKey(int key);
    QStandardItemModel* gridModel() const { return m_model; }

signals:
    void columnWidthChanged(int column, int width, const QString& caption);
    void currentKeyChanged(int key);
    void rowActivated(int key);
    void cellEdited(int key, int column, const QString& text);

private:
    void addRows(QStandardItem* parent, const QList<core::TreeRow>& rows);
    QModelIndex findKey(const QModelIndex& parent, int key) const;

    QStandardItemModel* m_model;
    QList<core::TreeColumn> m_columns;
    int m_keyColumn = -1;
    int m_editableColumn = -1;
    bool m_filling = false;
};

} // namespace orvane::widgets
