#pragma once

#include "core/colfmt.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace orvane::widgets {

// The small column-format dialog of the personnel and wage grids: bold, text colour and
// background colour, with a sample of the result.
class ColumnFormatDialog : public QDialog
{
    Q_OBJECT
public:
    ColumnFormatDialog(const QString& caption, const core::ColFmt& format,
                       QWidget* parent = nullptr);

    core::ColFmt format() const { return m_format; }
    QCheckBox* boldBox() const { return m_bold; }

private:
    void chooseColour(quint32& colour, const QString& title);
    void showSample();

    core::ColFmt m_format;
    QCheckBox* m_bold;
    QLabel* m_sample;
};

} // namespace orvane::widgets
