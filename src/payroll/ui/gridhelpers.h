#pragma once

#include "widgets/commandbutton.h"

#include <QList>
#include <QString>

class QWidget;

namespace orvane::db {
class ResultSet;
}

namespace orvane::widgets {
class CGridView;
class GridModel;
} // namespace orvane::widgets

namespace orvane::payroll {
class CandidateList;
}

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

// The candidates of a member dialog (CandidateList) in a grid: the tick column drawn as a box in
// `display`, the keys hidden, the footer set.
void showCandidates(widgets::CGridView* grid, widgets::GridModel* model, CandidateList& candidates,
                    db::ResultSet& display);
// Toggles the tick of a candidate row and redraws its box.
void toggleCandidate(widgets::GridModel* model, CandidateList& candidates, db::ResultSet& display,
                     int row);

using widgets::commandButton;

} // namespace orvane::payroll::ui
