#pragma once

#include "payroll/cdlgwagebanktemplet.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;

namespace orvane::payroll::ui {

// "银行代发设置": the template's texts, its data fields and the preview.
class BankTempletDialog : public QDialog
{
    Q_OBJECT
public:
    BankTempletDialog(core::COrvaneApp& app, core::Prompter& prompter, int sortId, int eid,
                      QWidget* parent = nullptr);
    int eid() const { return m_flow.eid(); }

private:
    void collect();
    void showFields();
    void editField(bool isNew);
    void preview();
    void accept() override;

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId;
    CDlgWageBankTemplet m_flow;
    QLineEdit* m_name = nullptr;
    QPlainTextEdit* m_header = nullptr;
    QPlainTextEdit* m_footer = nullptr;
    QLineEdit* m_sep = nullptr;
    QLineEdit* m_ext = nullptr;
    QSpinBox* m_rows = nullptr;
    QTableWidget* m_fields = nullptr;
};

// "添加数据域项": one data field.
class BankDetailDialog : public QDialog
{
    Q_OBJECT
public:
    BankDetailDialog(CDlgWageBankDetail& flow, const QStringList& captions, BankField field,
                     QWidget* parent = nullptr);
    const BankField& field() const { return m_field; }

private:
    void accept() override;

    CDlgWageBankDetail& m_flow;
    BankField m_field;
    QLineEdit* m_name = nullptr;
    QRadioButton* m_source = nullptr;
    QRadioButton* m_custom = nullptr;
    QComboBox* m_caption = nullptr;
    QLineEdit* m_content = nullptr;
    QCheckBox* m_fixed = nullptr;
    QSpinBox* m_length = nullptr;
    QComboBox* m_fill = nullptr;
    QComboBox* m_direction = nullptr;
    QComboBox* m_quote = nullptr;
};

} // namespace orvane::payroll::ui
