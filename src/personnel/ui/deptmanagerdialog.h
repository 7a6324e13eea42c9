#pragma once

#include "personnel/cdlgdeptmanager.h"

#include <QDialog>

class QPushButton;

namespace orvane::widgets {
class CTreeGrid;
}

namespace orvane::personnel::ui {

// The department manager window ("组织机构") over CDlgDeptManager: toolbar buttons above the tree
// grid. The prefix editor opens from "编号前缀".
class DeptManagerDialog : public QDialog
{
public:
    DeptManagerDialog(core::COrvaneApp& app, core::Prompter& prompter, QWidget* parent = nullptr);

    CDlgDeptManager& workflow() { return m_manager; }
    widgets::CTreeGrid* grid() const { return m_grid; }
    QPushButton* button(const QString& name) const;

    void done(int result) override;

private:
    void showRows();
    void run(bool (CDlgDeptManager::*command)());
    void openPrefixes();

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    CDlgDeptManager m_manager;
    widgets::CTreeGrid* m_grid;
};

} // namespace orvane::personnel::ui
