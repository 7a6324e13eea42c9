#include "payroll/ui/wagetabledeletedialog.h"

#include <QDate>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

namespace {

QDate monthDate(int fDate)
{
    const QDate date(fDate / 100, fDate % 100, 1);
    return date.isValid() ? date
                          : QDate(QDate::currentDate().year(), QDate::currentDate().month(), 1);
}

int monthKey(const QDate& date)
{
    return date.year() * 100 + date.month();
}

} // namespace

WageTableDeleteDialog::WageTableDeleteDialog(CDlgWageTableDelete& table, QWidget* parent)
    : QDialog(parent), m_table(table)
{
    setObjectName(QStringLiteral("WageTableDeleteDialog"));
    setWindowTitle(QStringLiteral("删除薪资表"));
    auto* selected = new QRadioButton(QStringLiteral("删除当前选择的月份薪资表(&C)"), this);
    m_range = new QRadioButton(QStringLiteral("删除以下月份区间薪资表(&S)："), this);
    m_range->setObjectName(QStringLiteral("range"));
    selected->setChecked(true);
    m_from = new QDateEdit(monthDate(table.fromMonth), this);
    m_to = new QDateEdit(monthDate(table.toMonth), this);
    for (QDateEdit* edit : {m_from, m_to}) {
        edit->setDisplayFormat(QStringLiteral("yyyy年MM月"));
        edit->setEnabled(false);
    }
    connect(m_range, &QRadioButton::toggled, m_from, &QWidget::setEnabled);
    connect(m_range, &QRadioButton::toggled, m_to, &QWidget::setEnabled);
    auto* months = new QHBoxLayout;
    months->addSpacing(24);
    months->addWidget(new QLabel(QStringLiteral("从"), this));
    months->addWidget(m_from);
    months->addWidget(new QLabel(QStringLiteral("至"), this));
    months->addWidget(m_to);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &WageTableDeleteDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(selected);
    layout->addWidget(m_range);
    layout->addLayout(months);
    layout->addWidget(box);
}

void WageTableDeleteDialog::accept()
{
    m_table.range = m_range->isChecked();
    m_table.fromMonth = monthKey(m_from->date());
    m_table.toMonth = monthKey(m_to->date());
    if (m_table.accept())
        QDialog::accept();
}

} // namespace orvane::payroll::ui
