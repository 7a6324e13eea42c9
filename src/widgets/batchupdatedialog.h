#pragma once

#include <QDialog>

class QComboBox;
class QDateEdit;
class QFormLayout;
class QLabel;
class QLineEdit;

namespace orvane::core {
class CDlgBatchUpdate;
}

namespace orvane::widgets {

// The window of the shared batch change (core::CDlgBatchUpdate): the field, the operations the
// field allows, the value (a date picker for a date field) and OK/Cancel. OK runs the
// workflow's checks and question and closes only when the change may run.
class BatchUpdateDialog : public QDialog
{
    Q_OBJECT
public:
    BatchUpdateDialog(core::CDlgBatchUpdate& batch, const QString& title,
                      QWidget* parent = nullptr);

    QComboBox* fieldList() const { return m_fields; }
    QComboBox* operationList() const { return m_operations; }
    QLineEdit* valueEdit() const { return m_value; }

    void accept() override;

private:
    void fieldChanged();

    core::CDlgBatchUpdate& m_batch;
    QFormLayout* m_form;
    QComboBox* m_fields;
    QComboBox* m_operations;
    QLineEdit* m_value;
    QDateEdit* m_date;
};

} // namespace orvane::widgets
