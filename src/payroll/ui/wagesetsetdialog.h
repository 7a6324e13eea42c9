#pragma once

#include "payroll/cdlgwagesetset.h"

#include <QDialog>

class QLineEdit;

namespace orvane::widgets {
class CGridView;
class GridModel;
} // namespace orvane::widgets

namespace orvane::payroll::ui {

// The sort manager window ("薪资类别设置") over CDlgWageSetSet.
class WageSetSetDialog : public QDialog
{
    Q_OBJECT
public:
    WageSetSetDialog(core::COrvaneApp& app, core::Prompter& prompter, QWidget* parent = nullptr);

    CDlgWageSetSet& workflow() { return m_flow; }
    QLineEdit* titleEdit() const { return m_title; }
    QLineEdit* descrEdit() const { return m_descr; }

private:
    void showSorts();
    void rowChanged(int row);

    CDlgWageSetSet m_flow;
    widgets::GridModel* m_model = nullptr;
    widgets::CGridView* m_grid = nullptr;
    QLineEdit* m_title;
    QLineEdit* m_descr;
};

} // namespace orvane::payroll::ui
