#pragma once

#include "payroll/cdlgwagetablenew.h"

#include <QDialog>

class QComboBox;
class QDateEdit;

namespace orvane::payroll::ui {

// "新建薪资表": the month picker and the sort selector.
class WageTableNewDialog : public QDialog
{
    Q_OBJECT
public:
    WageTableNewDialog(CDlgWageTableNew& table, QWidget* parent = nullptr);
    QDateEdit* monthEdit() const { return m_month; }
    void accept() override;

private:
    CDlgWageTableNew& m_table;
    QDateEdit* m_month;
    QComboBox* m_sorts;
};

} // namespace orvane::payroll::ui
