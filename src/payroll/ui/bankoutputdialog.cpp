#include "payroll/ui/bankoutputdialog.h"

#include "core/prompter.h"
#include "widgets/progressstatusbar.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

BankOutputDialog::BankOutputDialog(CDlgWageBankOutput& output, core::Prompter& prompter,
                                   QWidget* parent)
    : QDialog(parent), m_output(output), m_prompter(prompter)
{
    setObjectName(QStringLiteral("BankOutputDialog"));
    setWindowTitle(output.title());
    resize(820, 560);
    auto* tools = new QToolBar(this);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* save = tools->addAction(QStringLiteral("保存"));
    save->setObjectName(QStringLiteral("save"));
    QAction* print = tools->addAction(QStringLiteral("打印"));
    QAction* quit = tools->addAction(QStringLiteral("退出"));
    m_preview = new QPlainTextEdit(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setReadOnly(true);
    m_preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral("Fixedsys"), 10);
    font.setStyleHint(QFont::TypeWriter);
    if (!QFontDatabase::families().contains(QStringLiteral("Fixedsys")))
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    m_preview->setFont(font);
    m_status = new widgets::ProgressStatusBar(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(m_preview, 1);
    layout->addWidget(m_status);

    connect(save, &QAction::triggered, this, [this] {
        if (!m_output.running())
            m_output.save(m_prompter);
    });
    connect(print, &QAction::triggered, this, &BankOutputDialog::print);
    connect(quit, &QAction::triggered, this, &BankOutputDialog::reject);
}

BankOutputDialog::~BankOutputDialog()
{
    m_output.cancel();
    m_output.wait();
}

void BankOutputDialog::startLater()
{
    QTimer::singleShot(200, this, [this] { m_output.start(*this); });
}

// The sink is called from the worker thread: each call is queued to this window.
void BankOutputDialog::appendText(const QString& text)
{
    QMetaObject::invokeMethod(this, [this, text] {
        m_preview->moveCursor(QTextCursor::End);
        m_preview->insertPlainText(text);
    });
}

void BankOutputDialog::setStatus(int pane, const QString& text)
{
    QMetaObject::invokeMethod(this, [this, pane, text] { m_status->setPane(pane, text); });
}

void BankOutputDialog::setProgress(int value, int maximum)
{
    QMetaObject::invokeMethod(this,
                              [this, value, maximum] { m_status->setProgress(value, maximum); });
}

void BankOutputDialog::print()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        m_preview->print(&printer);
}

void BankOutputDialog::reject()
{
    m_output.cancel();
    m_output.wait();
    QDialog::reject();
}

} // namespace orvane::payroll::ui
