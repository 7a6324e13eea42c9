#pragma once

#include "core/colfmt.h"
#include "core/gridcolumn.h"
#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace orvane::widgets {

// The small column-format dialog of the personnel and wage grids: bold, text colour and
// background colour, with a sample of the result.
class ColumnFormatDialog : public QDialog
{
    Q_OBJECT
public:
    ColumnFormatDialog(const QString& caption, const core::ColFmt& format,
                       QWidget* parent = nullptr);

    core::ColFmt format() const { return m_format; }
    QCheckBox* boldBox() const { return m_bold; }

private:
    void chooseColour(quint32& colour, const QString& title);
    void showSample();

    core::ColFmt m_format;
    QCheckBox* m_bold;
    QLabel* m_sample;
};

// The grids' "format column" command for a view workflow that describes its columns
// (canFormatColumn, columns, storeColumnFormat): the dialog for the grid's current column, and
// the format the workflow stored shown in the model.
template <class View>
void formatGridColumn(View& view, CGridView* grid, GridModel* model, QWidget* parent)
{
    const int column = grid->currentColumn();
    if (!view.canFormatColumn(column))
        return;
    const core::GridColumn& described = view.columns().at(column);
    ColumnFormatDialog dialog(described.caption, described.format, parent);
    if (dialog.exec() == QDialog::Accepted && view.storeColumnFormat(column, dialog.format()))
        model->setColumnFormat(column, view.columns().at(column).format);
}

} // namespace orvane::widgets
