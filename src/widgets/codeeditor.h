#pragma once

#include <QPlainTextEdit>

namespace orvane::widgets {

// A plain-text editor for scripts and formulas: fixed-pitch font, no wrapping, and the line
// numbers in a margin on the left (so a reported error line can be found).
class CodeEditor : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit CodeEditor(QWidget* parent = nullptr);

    // Width of the line-number margin for the current number of lines.
    int lineNumberWidth() const;
    // Puts the cursor at the start of a 1-based line and shows it.
    void goToLine(int line);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class LineNumberArea;
    friend class LineNumberArea;
    void paintLineNumbers(QPaintEvent* event);
    void updateMargin();
    void scrollMargin(const QRect& rect, int dy);

    QWidget* m_margin = nullptr;
};

} // namespace orvane::widgets
