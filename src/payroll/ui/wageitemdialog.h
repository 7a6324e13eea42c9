#pragma once

#include "payroll/cdlgwageitemset.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orvane::payroll::ui {

// The wage item editor over CDlgWageItemSet. The dictionary row shows for reference items, the
// standard-table row and the formula rows only for numeric items of the matching property.
class WageItemDialog : public QDialog
{
    Q_OBJECT
public:
    WageItemDialog(CDlgWageItemSet& item, core::COrvaneApp& app, int sortId,
                   QWidget* parent = nullptr);

    QLineEdit* captionEdit() const { return m_caption; }
    QComboBox* propertyBox() const { return m_property; }
    QPlainTextEdit* formulaEdit() const { return m_formula; }
    QPushButton* formulaButton() const { return m_formulaButton; }

    void accept() override;

private:
    void updateRows();
    void readBack();
    void editFormula();

    CDlgWageItemSet& m_item;
    core::COrvaneApp& m_app;
    int m_sortId;
    QLineEdit* m_caption;
    QComboBox* m_type;
    QComboBox* m_dict;
    QComboBox* m_property;
    QComboBox* m_decimals;
    QComboBox* m_rounding;
    QCheckBox* m_retain;
    QCheckBox* m_active;
    QComboBox* m_std;
    QPlainTextEdit* m_formula;
    QPushButton* m_formulaButton;
    QList<QWidget*> m_dictRow;
    QList<QWidget*> m_stdRow;
    QList<QWidget*> m_formulaRow;
};

} // namespace orvane::payroll::ui
