#pragma once

#include <QString>

class QBoxLayout;
class QPushButton;
class QWidget;

namespace orvane::widgets {

// A button of a dialog's command row: found by its object name (`text` unless given), and never
// the default button, so that Enter in an editor does not press it.
QPushButton* commandButton(QWidget* parent, const QString& text, const QString& name = QString());
// The same, added to `row`.
QPushButton* addCommandButton(QBoxLayout* row, QWidget* parent, const QString& text);

} // namespace orvane::widgets
