#pragma once

#include "payroll/cdlgwagetabledelete.h"

#include <QDialog>

class QDateEdit;
class QRadioButton;

namespace orvane::payroll::ui {

// "删除薪资表": the selected month or a range of months.
class WageTableDeleteDialog : public QDialog
{
    Q_OBJECT
public:
    WageTableDeleteDialog(CDlgWageTableDelete& table, QWidget* parent = nullptr);
    void accept() override;

private:
    CDlgWageTableDelete& m_table;
    QRadioButton* m_range;
    QDateEdit* m_from;
    QDateEdit* m_to;
};

} // namespace orvane::payroll::ui
