#pragma once

#include <QDockWidget>

class QMainWindow;

namespace orvane::shell::ui {

// Puts `content` into a new dock pane of `window` in `area`. The object name lets the window's
// saved layout find the pane again.
QDockWidget*
addDockPane(QMainWindow* window, const QString& title, const QString& name, QWidget* content,
            Qt::DockWidgetArea area,
            QDockWidget::DockWidgetFeatures features = QDockWidget::DockWidgetMovable |
                                                       QDockWidget::DockWidgetFloatable);

} // namespace orvane::shell::ui
