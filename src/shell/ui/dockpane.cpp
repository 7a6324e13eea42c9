#include "shell/ui/dockpane.h"

#include <QMainWindow>

namespace orvane::shell::ui {

QDockWidget* addDockPane(QMainWindow* window, const QString& title, const QString& name,
                         QWidget* content, Qt::DockWidgetArea area,
                         QDockWidget::DockWidgetFeatures features)
{
    auto* pane = new QDockWidget(title, window);
    pane->setObjectName(name);
    pane->setWidget(content);
    pane->setFeatures(features);
    window->addDockWidget(area, pane);
    return pane;
}

} // namespace orvane::shell::ui
