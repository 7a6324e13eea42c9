#include "widgets/ceditlblctl.h"

#include <QHBoxLayout>
#include <QLabel>

namespace orvane::widgets {

CEditlblCtl::CEditlblCtl(const QString& caption, QWidget* editor, bool required, QWidget* parent)
    : QWidget(parent), m_label(new QLabel(caption, this)), m_editor(editor)
{
    m_label->setFixedWidth(LabelWidth);
    m_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_label->setBuddy(editor);
    if (required)
        m_label->setStyleSheet(QStringLiteral("color: #1a3a8a;"));
    editor->setParent(this);
    setFocusProxy(editor);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(m_label);
    layout->addWidget(editor, 1);
}

} // namespace orvane::widgets
