#include "widgets/optionaldateedit.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QToolButton>

namespace orvane::widgets {

OptionalDateEdit::OptionalDateEdit(QWidget* parent)
    : QWidget(parent), m_edit(new QDateEdit(this)), m_clear(new QToolButton(this))
{
    // The minimum date stands for "no date" and shows as a blank field.
    m_edit->setMinimumDate(emptyMarker());
    m_edit->setSpecialValueText(QStringLiteral(" "));
    m_edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_edit->setCalendarPopup(true);
    m_edit->setDate(emptyMarker());
    m_clear->setText(QStringLiteral("×"));
    m_clear->setToolTip(QStringLiteral("清除日期"));
    m_clear->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(m_edit);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_clear);

    connect(m_clear, &QToolButton::clicked, this, [this] { clear(); });
    connect(m_edit, &QDateEdit::dateChanged, this, [this] {
        if (isEmpty())
            emit dateChanged(date());
    });
}

QDate OptionalDateEdit::emptyMarker()
{
    return QDate(1752, 9, 14);
}

QDate OptionalDateEdit::date() const
{
    const QDate d = m_edit->date();
    return d == emptyMarker() ? QDate() : d;
}

void OptionalDateEdit::setDate(const QDate& date)
{
    m_edit->setDate(date.isValid() && date > emptyMarker() ? date : emptyMarker());
}

void OptionalDateEdit::setReadOnly(bool readOnly)
{
    m_edit->setReadOnly(readOnly);
    m_clear->setEnabled(!readOnly);
}

} // namespace orvane::widgets
