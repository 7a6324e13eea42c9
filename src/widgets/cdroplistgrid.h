#pragma once

#include "db/resultset.h"

#include <QFrame>

class QLineEdit;
class QTableWidget;

namespace orvane::widgets {

// The drop-down of the person picker: a popup with a filter box above a grid of rows. Typing in
// the filter keeps the rows that contain the text in any cell; a click or Enter picks a row.
class CDropListGrid : public QFrame
{
    Q_OBJECT
public:
    explicit CDropListGrid(QWidget* parent = nullptr);

    // Shows every visible column of `rows` except the first (the key), with the given widths.
    void setRows(const db::ResultSet& rows, const QList<int>& widths);
    void popup(QWidget* anchor);
    void setFilter(const QString& text);
    int visibleRowCount() const;

    QTableWidget* grid() const { return m_grid; }
    QLineEdit* filterEdit() const { return m_filter; }

signals:
    // The row's position in the rows given to setRows().
    void picked(int row);

private:
    QLineEdit* m_filter;
    QTableWidget* m_grid;
};

} // namespace orvane::widgets
