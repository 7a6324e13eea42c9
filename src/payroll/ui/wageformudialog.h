#pragma once

#include "payroll/cdlgwageformu.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QTreeWidget;

namespace orvane::payroll::ui {

// The formula editor ("[caption] - 公式设置"): the field tree (double click inserts a
// reference), the function tree with the selected function's description, the operator and
// digit buttons, and the formula box in a fixed-pitch font.
class WageFormuDialog : public QDialog
{
    Q_OBJECT
public:
    WageFormuDialog(CDlgWageFormu& formu, QWidget* parent = nullptr);

    QPlainTextEdit* editor() const { return m_edit; }
    QTreeWidget* fieldTree() const { return m_fields; }
    QTreeWidget* functionTree() const { return m_functions; }

    void accept() override;

private:
    void insert(const QString& text);

    CDlgWageFormu& m_formu;
    QPlainTextEdit* m_edit;
    QTreeWidget* m_fields;
    QTreeWidget* m_functions;
    QLabel* m_description;
};

} // namespace orvane::payroll::ui
