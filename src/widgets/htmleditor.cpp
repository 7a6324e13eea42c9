#include "widgets/htmleditor.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontComboBox>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QTextTable>
#include <QToolBar>
#include <QVBoxLayout>

namespace orvane::widgets {

HtmlEditor::HtmlEditor(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("HtmlEditor"));
    m_tools = new QToolBar(this);
    m_tools->setIconSize(QSize(16, 16));
    m_tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_insertTools = new QToolBar(this);
    m_insertTools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_design = new QTextEdit(this);
    m_design->setObjectName(QStringLiteral("design"));
    m_design->setAcceptRichText(true);
    m_source = new QPlainTextEdit(this);
    m_source->setObjectName(QStringLiteral("source"));
    m_stack = new QStackedWidget(this);
    m_stack->addWidget(m_design);
    m_stack->addWidget(m_source);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_tools);
    layout->addWidget(m_insertTools);
    layout->addWidget(m_stack, 1);
    buildToolBar();
}

QString HtmlEditor::html() const
{
    return sourceView() ? m_source->toPlainText() : m_design->toHtml();
}

void HtmlEditor::setHtml(const QString& html)
{
    m_design->setHtml(html);
    m_source->setPlainText(html);
}

void HtmlEditor::insertText(const QString& text)
{
    if (sourceView())
        m_source->insertPlainText(text);
    else
        m_design->insertPlainText(text);
}

bool HtmlEditor::sourceView() const
{
    return m_stack->currentWidget() == m_source;
}

void HtmlEditor::setSourceView(bool source)
{
    if (source == sourceView())
        return;
    if (source) {
        m_source->setPlainText(m_design->toHtml());
        m_stack->setCurrentWidget(m_source);
    } else {
        m_design->setHtml(m_source->toPlainText());
        m_stack->setCurrentWidget(m_design);
    }
}

void HtmlEditor::buildToolBar()
{
    auto* font = new QFontComboBox(m_tools);
    font->setObjectName(QStringLiteral("fontFace"));
    font->setMaximumWidth(140);
    m_tools->addWidget(font);
    connect(font, &QFontComboBox::textActivated, this, [this](const QString& family) {
        QTextCharFormat format;
        format.setFontFamilies({family});
        m_design->mergeCurrentCharFormat(format);
    });
    auto* size = new QComboBox(m_tools);
    size->setObjectName(QStringLiteral("fontSize"));
    for (int s : {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36})
        size->addItem(QString::number(s));
    size->setCurrentText(QStringLiteral("10"));
    m_tools->addWidget(size);
    connect(size, &QComboBox::textActivated, this, [this](const QString& text) {
        QTextCharFormat format;
        format.setFontPointSize(text.toDouble());
        m_design->mergeCurrentCharFormat(format);
    });

    QToolBar* bar = m_tools;
    const auto action = [this, &bar](const QString& text, const QString& tip, auto slot) {
        QAction* a = bar->addAction(text);
        a->setToolTip(tip);
        a->setObjectName(tip);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QAction* bold = action(QStringLiteral("B"), QStringLiteral("粗体"), [this](bool on) {
        m_design->setFontWeight(on ? QFont::Bold : QFont::Normal);
    });
    bold->setCheckable(true);
    QAction* italic = action(QStringLiteral("I"), QStringLiteral("斜体"),
                             [this](bool on) { m_design->setFontItalic(on); });
    italic->setCheckable(true);
    QAction* underline = action(QStringLiteral("U"), QStringLiteral("下划线"),
                                [this](bool on) { m_design->setFontUnderline(on); });
    underline->setCheckable(true);
    action(QStringLiteral("字色"), QStringLiteral("文字颜色"), [this] {
        const QColor c = QColorDialog::getColor(m_design->textColor(), this);
        if (c.isValid())
            m_design->setTextColor(c);
    });
    action(QStringLiteral("底色"), QStringLiteral("背景颜色"), [this] {
        const QColor c = QColorDialog::getColor(Qt::yellow, this);
        if (c.isValid())
            m_design->setTextBackgroundColor(c);
    });
    m_tools->addSeparator();
    action(QStringLiteral("左"), QStringLiteral("左对齐"),
           [this] { m_design->setAlignment(Qt::AlignLeft); });
    action(QStringLiteral("中"), QStringLiteral("居中"),
           [this] { m_design->setAlignment(Qt::AlignHCenter); });
    action(QStringLiteral("右"), QStringLiteral("右对齐"),
           [this] { m_design->setAlignment(Qt::AlignRight); });
    bar = m_insertTools;
    action(QStringLiteral("图片"), QStringLiteral("插入图片"), [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QStringLiteral("插入图片"), QString(),
            QStringLiteral("图片文件 (*.png *.jpg *.jpeg *.gif *.bmp);;All Files (*.*)"));
        if (!path.isEmpty())
            m_design->textCursor().insertImage(path);
    });
    action(QStringLiteral("链接"), QStringLiteral("插入超链接"), [this] {
        bool ok = false;
        const QString url =
            QInputDialog::getText(this, QStringLiteral("插入超链接"), QStringLiteral("链接地址："),
                                  QLineEdit::Normal, QStringLiteral("http://"), &ok);
        if (!ok || url.isEmpty())
            return;
        QTextCursor cursor = m_design->textCursor();
        const QString text = cursor.hasSelection() ? cursor.selectedText() : url;
        cursor.insertHtml(
            QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), text.toHtmlEscaped()));
    });
    action(QStringLiteral("横线"), QStringLiteral("插入水平线"),
           [this] { insertHorizontalLine(); });
    bar->addSeparator();
    action(QStringLiteral("表格"), QStringLiteral("插入表格"), [this] { insertTable(); });
    action(QStringLiteral("表属性"), QStringLiteral("表格属性"), [this] { tableProperties(); });
    const auto withTable = [this](auto fn) {
        return [this, fn] {
            QTextCursor cursor = m_design->textCursor();
            if (QTextTable* table = cursor.currentTable())
                fn(table, table->cellAt(cursor));
        };
    };
    action(QStringLiteral("+行"), QStringLiteral("插入行"),
           withTable([](QTextTable* t, QTextTableCell c) { t->insertRows(c.row() + 1, 1); }));
    action(QStringLiteral("-行"), QStringLiteral("删除行"),
           withTable([](QTextTable* t, QTextTableCell c) { t->removeRows(c.row(), 1); }));
    action(QStringLiteral("+列"), QStringLiteral("插入列"),
           withTable([](QTextTable* t, QTextTableCell c) { t->insertColumns(c.column() + 1, 1); }));
    action(QStringLiteral("-列"), QStringLiteral("删除列"),
           withTable([](QTextTable* t, QTextTableCell c) { t->removeColumns(c.column(), 1); }));
    action(QStringLiteral("合并"), QStringLiteral("合并单元格"), [this] {
        QTextCursor cursor = m_design->textCursor();
        if (QTextTable* table = cursor.currentTable())
            table->mergeCells(cursor);
    });
    action(QStringLiteral("拆分"), QStringLiteral("拆分单元格"),
           withTable(
               [](QTextTable* t, QTextTableCell c) { t->splitCell(c.row(), c.column(), 1, 1); }));
    action(QStringLiteral("格色"), QStringLiteral("单元格背景色"),
           withTable([this](QTextTable*, QTextTableCell c) {
               const QColor color = QColorDialog::getColor(Qt::white, this);
               if (!color.isValid())
                   return;
               QTextCharFormat format = c.format();
               format.setBackground(color);
               c.setFormat(format);
           }));
    bar->addSeparator();
    action(QStringLiteral("清除"), QStringLiteral("清除格式"), [this] {
        QTextCursor cursor = m_design->textCursor();
        cursor.setCharFormat(QTextCharFormat());
        m_design->setCurrentCharFormat(QTextCharFormat());
    });
    QAction* source = action(QStringLiteral("源码"), QStringLiteral("源码视图"),
                             [this](bool on) { setSourceView(on); });
    source->setCheckable(true);
    action(QStringLiteral("打开"), QStringLiteral("打开HTML文件"), [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QStringLiteral("打开"), QString(),
            QStringLiteral("HTML文件 (*.htm *.html);;All Files (*.*)"));
        QFile file(path);
        if (!path.isEmpty() && file.open(QIODevice::ReadOnly))
            setHtml(QString::fromUtf8(file.readAll()));
    });
    action(QStringLiteral("保存"), QStringLiteral("保存HTML文件"), [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, QStringLiteral("保存"), QString(), QStringLiteral("HTML文件 (*.htm *.html)"));
        QFile file(path);
        if (!path.isEmpty() && file.open(QIODevice::WriteOnly))
            file.write(html().toUtf8());
    });
    connect(m_design, &QTextEdit::currentCharFormatChanged, this,
            [bold, italic, underline](const QTextCharFormat& format) {
                bold->setChecked(format.fontWeight() >= QFont::Bold);
                italic->setChecked(format.fontItalic());
                underline->setChecked(format.fontUnderline());
            });
}

void HtmlEditor::insertTable()
{
    QTextTableFormat format;
    format.setBorder(1);
    format.setCellPadding(2);
    format.setCellSpacing(0);
    format.setBorderCollapse(true);
    QTextCursor cursor = m_design->textCursor();
    QTextTable* table = cursor.insertTable(3, 3, format);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            table->cellAt(r, c).firstCursorPosition().insertText(QString(QChar(0xA0)));
}

void HtmlEditor::tableProperties()
{
    QTextTable* table = m_design->textCursor().currentTable();
    if (!table)
        return;
    QTextTableFormat format = table->format();
    bool ok = false;
    const int border =
        QInputDialog::getInt(this, QStringLiteral("表格属性"), QStringLiteral("边框宽度："),
                             int(format.border()), 0, 20, 1, &ok);
    if (!ok)
        return;
    const int width = QInputDialog::getInt(this, QStringLiteral("表格属性"),
                                           QStringLiteral("宽度(%)："), 100, 10, 100, 5, &ok);
    if (!ok)
        return;
    format.setBorder(border);
    format.setWidth(QTextLength(QTextLength::PercentageLength, width));
    table->setFormat(format);
}

void HtmlEditor::insertHorizontalLine()
{
    bool ok = false;
    const int width = QInputDialog::getInt(this, QStringLiteral("水平线属性"),
                                           QStringLiteral("宽度(%)："), 100, 10, 100, 5, &ok);
    if (!ok)
        return;
    QTextBlockFormat line;
    line.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth,
                     QTextLength(QTextLength::PercentageLength, width));
    QTextCursor cursor = m_design->textCursor();
    cursor.insertBlock(line);
    cursor.insertBlock(QTextBlockFormat());
    m_design->setTextCursor(cursor);
}

} // namespace orvane::widgets
