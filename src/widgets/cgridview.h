#pragma once

// The grid every list of the client shows: a GridModel in a table with frozen leading columns,
// a footer line merged across the columns, whole-row or cell selection, several selected rows,
// copy as tab-separated text (Ctrl+C) and editors by data type (GridDelegate).
//
//     auto* model = new widgets::GridModel(this);
//     model->setSource(&recordset.resultSet(), columns);   // columns: QList<core::GridColumn>
//     auto* grid = new widgets::CGridView(this);
//     grid->setModel(model);
//     grid->setFrozenColumns(2);
//     grid->setFooterText(QStringLiteral("共 计：%1 人").arg(model->rowCount()));
//     connect(grid, &widgets::CGridView::columnResized, ...);  // store the width
//
// Call applyColumns() after the model's columns changed (widths, hidden columns).

#include <QList>
#include <QPointer>
#include <QWidget>

class QLabel;
class QTableView;
class QModelIndex;

namespace orvane::widgets {

class GridModel;

class CGridView : public QWidget
{
    Q_OBJECT
public:
    explicit CGridView(QWidget* parent = nullptr);
    ~CGridView() override;

    void setModel(GridModel* model);
    GridModel* model() const { return m_model.data(); }
    QTableView* table() const { return m_table; }
    QTableView* frozenTable() const { return m_frozen; }

    // Applies the widths and visibility of the model's column descriptions.
    void applyColumns();

    // Freezes the first `visibleColumns` shown columns (hidden ones are skipped over).
    void setFrozenColumns(int visibleColumns);
    int frozenColumns() const { return m_frozenCount; }
    // The number of shown columns from the first up to and including `column`.
    int visibleColumnsThrough(int column) const;

    void setFooterText(const QString& text);
    QString footerText() const;

    void setWholeRowSelection(bool wholeRows);
    bool wholeRowSelection() const { return m_wholeRows; }

    // Selected rows in ascending order; the current row when nothing is selected.
    QList<int> selectedRows() const;
    int currentRow() const;
    int currentColumn() const;
    // Selects the row alone, scrolls it into view and gives the grid the focus.
    void selectRow(int row);
    void selectAllRows();

    // The selection as tab-separated text: whole selected rows over the shown columns, or the
    // rectangle spanning the selected cells.
    QString selectionTsv() const;
    void copySelection();

signals:
    void currentRowChanged(int row);
    // A width changed by the operator (logical column, pixels).
    void columnResized(int column, int width);
    void rowActivated(int row);
    void contextMenuRequested(const QPoint& globalPos);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateFrozenGeometry();
    void updateFrozenColumns();
    QList<int> shownColumns() const;

    QPointer<GridModel> m_model; // may go before the view (a sibling deleted first)
    QTableView* m_table;
    QTableView* m_frozen;
    QLabel* m_footer;
    int m_frozenCount = 0;
    bool m_wholeRows = true;
    bool m_applying = false;
};

} // namespace orvane::widgets
