#pragma once

#include "core/cdlgsyslogmanage.h"
#include "core/resultsetmodel.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace orvane::core::ui {

// The operation-log viewer window over CDlgSysLogManage.
class SysLogManageDialog : public QDialog
{
public:
    SysLogManageDialog(COrvaneApp& app, Prompter& prompter, QWidget* parent = nullptr);

    CDlgSysLogManage& workflow() { return m_viewer; }
    QComboBox* operatorBox() const { return m_user; }
    QCheckBox* startBox() const { return m_useStart; }
    QDateEdit* startEdit() const { return m_start; }
    QCheckBox* endBox() const { return m_useEnd; }
    QDateEdit* endEdit() const { return m_end; }
    QLineEdit* actionEdit() const { return m_action; }
    QTableView* table() const { return m_table; }
    QLabel* footer() const { return m_footer; }
    QPushButton* refreshButton() const { return m_refresh; }
    QPushButton* exportButton() const { return m_export; }

private:
    void refresh();
    void showRows();

    Prompter& m_prompter;
    CDlgSysLogManage m_viewer;
    ResultSetModel m_model;
    QComboBox* m_user;
    QCheckBox* m_useStart;
    QDateEdit* m_start;
    QCheckBox* m_useEnd;
    QDateEdit* m_end;
    QLineEdit* m_action;
    QPushButton* m_options = nullptr;
    QTableView* m_table;
    QLabel* m_footer;
    QPushButton* m_refresh;
    QPushButton* m_export;
};

} // namespace orvane::core::ui
