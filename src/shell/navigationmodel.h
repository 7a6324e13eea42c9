#pragma once

#include <QList>
#include <QString>

namespace orvane::core {
struct OperatorRecord;
}

namespace orvane::shell {

struct NavigationButton
{
    QString text;
    int commandId = 0;
    bool operator==(const NavigationButton&) const = default;
};

struct NavigationGroup
{
    QString title;
    QList<NavigationButton> buttons;
};

// The groups and buttons of the navigation pane for one operator, in display order. A super user
// sees everything; otherwise a group needs its group right and a button its own right.
QList<NavigationGroup> buildNavigation(const core::OperatorRecord& op);

} // namespace orvane::shell
