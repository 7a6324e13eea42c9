#pragma once

#include <QWidget>

class QLabel;

namespace orvane::widgets {

// One labelled editor of the record form: the field's caption on the left, its editor on the
// right. Required fields show their caption in dark blue.
class CEditlblCtl : public QWidget
{
    Q_OBJECT
public:
    CEditlblCtl(const QString& caption, QWidget* editor, bool required, QWidget* parent = nullptr);

    QLabel* label() const { return m_label; }
    QWidget* editor() const { return m_editor; }
    static constexpr int LabelWidth = 96;

private:
    QLabel* m_label;
    QWidget* m_editor;
};

} // namespace orvane::widgets
