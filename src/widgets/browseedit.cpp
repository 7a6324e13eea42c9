#include "widgets/browseedit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace orvane::widgets {

BrowseEdit::BrowseEdit(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this))
{
    m_edit->setReadOnly(true);
    m_edit->setPlaceholderText(emptyText());
    m_edit->installEventFilter(this);
    m_button->setArrowType(Qt::DownArrow);
    m_button->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(m_edit);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    connect(m_button, &QToolButton::clicked, this, [this] {
        if (!m_readOnly)
            openDropDown();
    });
}

QString BrowseEdit::emptyText()
{
    return QStringLiteral("<请选择...>");
}

void BrowseEdit::setChoice(int id, const QString& text)
{
    m_id = id;
    m_text = text;
    m_edit->setText(text);
    m_edit->setCursorPosition(0);
}

void BrowseEdit::choose(int id, const QString& text)
{
    const bool changed = id != m_id || text != m_text;
    setChoice(id, text);
    if (changed)
        emit choiceChanged(id, text);
}

void BrowseEdit::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_button->setEnabled(!readOnly);
}

bool BrowseEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && !m_readOnly && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F4 ||
            (key->key() == Qt::Key_Down && key->modifiers() & Qt::AltModifier)) {
            openDropDown();
            return true;
        }
        if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) {
            choose(0, QString());
            return true;
        }
    }
    if (watched == m_edit && !m_readOnly && event->type() == QEvent::MouseButtonDblClick) {
        openDropDown();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orvane::widgets
