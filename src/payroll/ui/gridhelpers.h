#pragma once

#include <QList>
#include <QString>

class QPushButton;
class QWidget;

namespace orvane::db {
class ResultSet;
}

namespace orvane::widgets {
class CGridView;
class GridModel;
} // namespace orvane::widgets

namespace orvane::payroll::ui {

// A shared grid with its model, whole-row selection, read-only until the caller sets an edit
// hook on the model.
widgets::CGridView* createGrid(QWidget* parent, widgets::GridModel** model, const char* name);

// Shows rows in the grid, hiding the given columns (keys and order values), keeping the current
// row where it still exists, and sets the footer. `widths` gives the shown columns' widths in
// order (110 pixels for the rest).
void showRows(widgets::CGridView* grid, widgets::GridModel* model, const db::ResultSet& rows,
              const QList<int>& hiddenColumns, int currentRow, const QString& footer = QString(),
              const QList<int>& widths = {});

QPushButton* commandButton(QWidget* parent, const QString& text, const char* name);

} // namespace orvane::payroll::ui
