#pragma once

#include "payroll/cdlgwagestdtable.h"

#include <QDialog>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvane::payroll::ui {

// The standard table definition window ("薪资标准表设置"): name, description and the tree of
// dictionaries with their codes as tick boxes.
class WageStdTableDialog : public QDialog
{
    Q_OBJECT
public:
    WageStdTableDialog(CDlgWageStdTable& table, QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return m_name; }
    QTreeWidget* tree() const { return m_tree; }

    void accept() override;

private:
    void itemChanged(QTreeWidgetItem* item);

    CDlgWageStdTable& m_table;
    QLineEdit* m_name;
    QLineEdit* m_descr;
    QTreeWidget* m_tree;
    bool m_filling = false;
};

} // namespace orvane::payroll::ui
