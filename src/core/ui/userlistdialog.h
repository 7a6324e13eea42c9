#pragma once

#include "core/cdlguserlist.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace orvane::core::ui {

// The operator list window over CDlgUserList. The editor opens as a modal UserDialog.
class UserListDialog : public QDialog
{
public:
    UserListDialog(COrvaneApp& app, Prompter& prompter, QWidget* parent = nullptr);

    CDlgUserList& workflow() { return m_list; }
    QTableWidget* table() const { return m_table; }
    QLabel* footer() const { return m_footer; }
    QPushButton* newButton() const { return m_new; }
    QPushButton* changeButton() const { return m_change; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* refreshButton() const { return m_refresh; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showRows();
    void run(bool (CDlgUserList::*command)());

    Prompter& m_prompter;
    CDlgUserList m_list;
    QTableWidget* m_table;
    QLabel* m_footer;
    QPushButton* m_new;
    QPushButton* m_change;
    QPushButton* m_delete;
    QPushButton* m_refresh;
};

} // namespace orvane::core::ui
