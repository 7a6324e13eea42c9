#include "payroll/ui/gridhelpers.h"

#include "payroll/candidatelist.h"

#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include "db/resultset.h"

namespace orvane::payroll::ui {

widgets::CGridView* createGrid(QWidget* parent, widgets::GridModel** model, const char* name)
{
    auto* grid = new widgets::CGridView(parent);
    grid->setObjectName(QLatin1String(name));
    *model = new widgets::GridModel(grid);
    grid->setModel(*model);
    grid->setWholeRowSelection(true);
    return grid;
}

void showRows(widgets::CGridView* grid, widgets::GridModel* model, const db::ResultSet& rows,
              const QList<int>& hiddenColumns, int currentRow, const QString& footer,
              const QList<int>& widths)
{
    QList<core::GridColumn> columns = widgets::GridModel::defaultColumns(rows);
    int shown = 0;
    for (int c = 0; c < columns.size(); ++c) {
        columns[c].visible = !hiddenColumns.contains(c);
        if (columns[c].visible)
            columns[c].width = shown < widths.size() ? widths[shown++] : 110;
    }
    model->setSource(&rows, columns);
    grid->applyColumns();
    if (!footer.isEmpty())
        grid->setFooterText(footer);
    if (currentRow >= 0 && currentRow < rows.rowCount())
        grid->selectRow(currentRow);
}

void showCandidates(widgets::CGridView* grid, widgets::GridModel* model, CandidateList& candidates,
                    db::ResultSet& display)
{
    display = candidates.rows().rows();
    for (int r = 0; r < display.rowCount(); ++r)
        display.at(r, CandidateList::Ticked) = display.at(r, CandidateList::Ticked).toInt()
                                                   ? QStringLiteral("☑")
                                                   : QStringLiteral("☐");
    QList<core::GridColumn> columns = widgets::GridModel::defaultColumns(display);
    for (int c = 0; c < columns.size(); ++c) {
        columns[c].visible = c != CandidateList::Pid && c != CandidateList::Order;
        columns[c].width = c == CandidateList::Ticked ? 48 : 140;
    }
    if (columns.size() > CandidateList::Ticked)
        columns[CandidateList::Ticked].caption = QStringLiteral("选择");
    model->setSource(&display, columns);
    grid->applyColumns();
    grid->setFooterText(candidates.footerText());
}

void toggleCandidate(widgets::GridModel* model, CandidateList& candidates, db::ResultSet& display,
                     int row)
{
    OrderedList& rows = candidates.rows();
    if (row < 0 || row >= rows.rowCount())
        return;
    const bool ticked = rows.cellInt(row, CandidateList::Ticked) == 0;
    if (!candidates.setTicked(row, ticked))
        return;
    display.at(row, CandidateList::Ticked) = ticked ? QStringLiteral("☑") : QStringLiteral("☐");
    model->rowsChanged();
}

} // namespace orvane::payroll::ui
