#pragma once

#include <QWidget>

class QPlainTextEdit;
class QStackedWidget;
class QTextEdit;
class QToolBar;

namespace orvane::widgets {

// The HTML editor of payslip templates: a design view over Qt's rich-text document and a source
// view, with font face and size, bold, italic, underline, text and background colour, alignment,
// pictures, links, tables (insert, properties, rows, columns, merge, split, cell colour),
// horizontal lines, remove formatting, and opening and saving HTML files.
class HtmlEditor : public QWidget
{
    Q_OBJECT
public:
    explicit HtmlEditor(QWidget* parent = nullptr);

    QString html() const;
    void setHtml(const QString& html);
    // Inserts text at the cursor of the view shown.
    void insertText(const QString& text);
    bool sourceView() const;
    void setSourceView(bool source);
    QTextEdit* designEditor() const { return m_design; }

private:
    void buildToolBar();
    void insertTable();
    void tableProperties();
    void insertHorizontalLine();

    QToolBar* m_tools = nullptr;       // font and paragraph
    QToolBar* m_insertTools = nullptr; // pictures, links, tables, views and files
    QStackedWidget* m_stack = nullptr;
    QTextEdit* m_design = nullptr;
    QPlainTextEdit* m_source = nullptr;
};

} // namespace orvane::widgets
