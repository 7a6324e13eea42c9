#include "payroll/ui/wagetablenewdialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>

namespace orvane::payroll::ui {

WageTableNewDialog::WageTableNewDialog(CDlgWageTableNew& table, QWidget* parent)
    : QDialog(parent), m_table(table)
{
    setObjectName(QStringLiteral("WageTableNewDialog"));
    setWindowTitle(QStringLiteral("新建薪资表"));
    m_month = new QDateEdit(QDate(table.year, table.month, 1), this);
    m_month->setObjectName(QStringLiteral("month"));
    m_month->setDisplayFormat(QStringLiteral("yyyy年MM月"));
    m_sorts = new QComboBox(this);
    m_sorts->setObjectName(QStringLiteral("sorts"));
    for (const WageSortEntry& sort : table.sorts())
        m_sorts->addItem(sort.title, sort.id);
    m_sorts->setCurrentIndex(table.sortIndex);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &WageTableNewDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("薪资期间："), m_month);
    form->addRow(QStringLiteral("薪资类别："), m_sorts);
    form->addRow(box);
    setMinimumWidth(340);
}

void WageTableNewDialog::accept()
{
    m_table.year = m_month->date().year();
    m_table.month = m_month->date().month();
    m_table.sortIndex = m_sorts->currentIndex();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool created = m_table.create();
    QApplication::restoreOverrideCursor();
    if (created)
        QDialog::accept();
}

} // namespace orvane::payroll::ui
