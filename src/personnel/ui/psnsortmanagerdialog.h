#pragma once

#include "personnel/cdlgpsnsortmanager.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace orvane::personnel::ui {

// The category manager window ("人员类别") over CDlgPsnSortManager.
class PsnSortManagerDialog : public QDialog
{
public:
    PsnSortManagerDialog(core::COrvaneApp& app, core::Prompter& prompter,
                         QWidget* parent = nullptr);

    CDlgPsnSortManager& workflow() { return m_manager; }
    QTableWidget* table() const { return m_table; }

private:
    void showRows();
    void run(bool (CDlgPsnSortManager::*command)());

    core::Prompter& m_prompter;
    CDlgPsnSortManager m_manager;
    QTableWidget* m_table;
    bool m_filling = false;
};

} // namespace orvane::personnel::ui
