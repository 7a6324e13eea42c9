#include "widgets/commandbutton.h"

#include <QBoxLayout>
#include <QPushButton>

namespace orvane::widgets {

QPushButton* commandButton(QWidget* parent, const QString& text, const QString& name)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name.isEmpty() ? text : name);
    button->setAutoDefault(false);
    return button;
}

QPushButton* addCommandButton(QBoxLayout* row, QWidget* parent, const QString& text)
{
    QPushButton* button = commandButton(parent, text);
    row->addWidget(button);
    return button;
}

} // namespace orvane::widgets
