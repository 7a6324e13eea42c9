#include "widgets/optionaldateedit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

namespace orvane::widgets {

OptionalDateEdit::OptionalDateEdit(QWidget* parent)
    : QWidget(parent), m_check(new QCheckBox(this)), m_edit(new QDateEdit(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_check);
    layout->addWidget(m_edit, 1);
    m_edit->setCalendarPopup(true);
    m_edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_edit->setDate(QDate::currentDate());
    m_edit->setEnabled(false);
    setFocusProxy(m_edit);
    setAutoFillBackground(true);
    connect(m_check, &QCheckBox::toggled, this, [this](bool on) {
        m_edit->setEnabled(on);
        emit dateChanged(date());
    });
    connect(m_edit, &QDateEdit::dateChanged, this, [this] { emit dateChanged(date()); });
}

QDate OptionalDateEdit::date() const
{
    return m_check->isChecked() ? m_edit->date() : QDate();
}

void OptionalDateEdit::setDate(const QDate& date)
{
    m_check->setChecked(date.isValid());
    if (date.isValid())
        m_edit->setDate(date);
}

} // namespace orvane::widgets
