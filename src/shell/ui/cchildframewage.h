#pragma once

#include "shell/mainframeflow.h"

#include <QMdiSubWindow>

class QMainWindow;

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::widgets {
class CDeptPane;
}

namespace orvane::payroll::ui {
class WageView;
}

namespace orvane::shell::ui {

// A wage child window: one per wage sort and month, carrying the sort's ID, title, data table,
// month and wage table ID. The wage view with the navigation pane "导航" on its left; the view
// publishes its wage context whenever the window becomes active.
class CChildFrameWage : public QMdiSubWindow
{
    Q_OBJECT
public:
    CChildFrameWage(core::COrvaneApp& app, core::Prompter& prompter, const ChildInfo& info,
                    QWidget* parent = nullptr);
    const ChildInfo& info() const { return m_info; }
    int handle() const { return m_info.handle; }
    payroll::ui::WageView* view() const { return m_view; }
    widgets::CDeptPane* deptPane() const { return m_dept; }
    // Reads the wage table again (on activation from the wage-table chooser).
    void refresh();

private:
    ChildInfo m_info;
    QMainWindow* m_inner;
    payroll::ui::WageView* m_view;
    widgets::CDeptPane* m_dept;
};

} // namespace orvane::shell::ui
