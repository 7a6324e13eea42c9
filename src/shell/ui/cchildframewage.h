#pragma once

#include "shell/mainframeflow.h"

#include <QMdiSubWindow>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::shell::ui {

// A wage child window: one per wage sort and month, carrying the sort's ID, title, data table,
// month and wage table ID. Its tool bar reaches the month's bank file and payslip mail.
class CChildFrameWage : public QMdiSubWindow
{
    Q_OBJECT
public:
    CChildFrameWage(core::COrvaneApp& app, core::Prompter& prompter, const ChildInfo& info,
                    QWidget* parent = nullptr);
    const ChildInfo& info() const { return m_info; }
    int handle() const { return m_info.handle; }
    // Reads the wage table again (on activation from the wage-table chooser).
    void refresh();

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    ChildInfo m_info;
};

} // namespace orvane::shell::ui
