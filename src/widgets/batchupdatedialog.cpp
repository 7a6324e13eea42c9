#include "widgets/batchupdatedialog.h"

#include "core/cdlgbatchupdate.h"
#include "core/gridcolumn.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace orvane::widgets {

BatchUpdateDialog::BatchUpdateDialog(core::CDlgBatchUpdate& batch, const QString& title,
                                     QWidget* parent)
    : QDialog(parent), m_batch(batch), m_form(new QFormLayout), m_fields(new QComboBox(this)),
      m_operations(new QComboBox(this)), m_value(new QLineEdit(this)), m_date(new QDateEdit(this))
{
    setObjectName(QStringLiteral("BatchUpdateDialog"));
    setWindowTitle(title);
    m_fields->setObjectName(QStringLiteral("field"));
    m_operations->setObjectName(QStringLiteral("operation"));
    m_value->setObjectName(QStringLiteral("value"));
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setCalendarPopup(true);
    m_date->setDate(QDate::currentDate());
    for (const core::CDlgBatchUpdate::Field& field : batch.fields())
        m_fields->addItem(field.caption);
    m_fields->setCurrentIndex(batch.field >= 0 ? batch.field : 0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_form->addRow(QStringLiteral("修改项目："), m_fields);
    m_form->addRow(QStringLiteral("修改方式："), m_operations);
    m_form->addRow(QStringLiteral("值："), m_value);
    m_form->addRow(QStringLiteral("日期："), m_date);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &BatchUpdateDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_fields, &QComboBox::currentIndexChanged, this, &BatchUpdateDialog::fieldChanged);
    fieldChanged();
    resize(360, sizeHint().height());
}

void BatchUpdateDialog::fieldChanged()
{
    const int index = m_fields->currentIndex();
    m_operations->clear();
    m_operations->addItems(m_batch.operationsFor(index));
    m_operations->setCurrentIndex(-1); // the operator chooses one
    const bool date = index >= 0 && m_batch.fieldAt(index).dataType == core::GridColumn::Date;
    // A date field takes its value from the date picker, any other from the line.
    m_form->setRowVisible(m_value, !date);
    m_form->setRowVisible(m_date, date);
}

void BatchUpdateDialog::accept()
{
    m_batch.field = m_fields->currentIndex();
    m_batch.operation = m_operations->currentIndex();
    const bool date =
        m_batch.field >= 0 && m_batch.fieldAt(m_batch.field).dataType == core::GridColumn::Date;
    m_batch.value = date ? m_date->date().toString(QStringLiteral("yyyy-MM-dd")) : m_value->text();
    if (m_batch.confirm())
        QDialog::accept();
}

} // namespace orvane::widgets
