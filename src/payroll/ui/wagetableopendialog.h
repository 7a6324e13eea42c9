#pragma once

#include "payroll/cdlgwagetableopen.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace orvane::widgets {
class CGridView;
class GridModel;
} // namespace orvane::widgets

namespace orvane::payroll::ui {

// The wage archive ("薪资档案"): the sort's months with open, new, delete and re-open.
class WageTableOpenDialog : public QDialog
{
    Q_OBJECT
public:
    WageTableOpenDialog(CDlgWageTableOpen& archive, QWidget* parent = nullptr);

    widgets::CGridView* grid() const { return m_grid; }

private:
    void showMonths();

    CDlgWageTableOpen& m_archive;
    QComboBox* m_sorts;
    QCheckBox* m_latest;
    QSpinBox* m_count;
    widgets::GridModel* m_model = nullptr;
    widgets::CGridView* m_grid = nullptr;
    db::ResultSet m_display;
};

} // namespace orvane::payroll::ui
