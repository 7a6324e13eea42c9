#include "payroll/ui/mailreportdialog.h"

#include "core/prompter.h"
#include "widgets/progressstatusbar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QStyle>
#include <QTableWidget>
#include <QTextBrowser>
#include <QThread>
#include <QToolBar>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

namespace {

QIcon statusIcon(MailRow::Status status)
{
    QStyle* style = QApplication::style();
    switch (status) {
    case MailRow::Status::Connecting:
        return style->standardIcon(QStyle::SP_BrowserReload);
    case MailRow::Status::LoggingIn:
        return style->standardIcon(QStyle::SP_DialogYesButton);
    case MailRow::Status::Sending:
        return style->standardIcon(QStyle::SP_ArrowRight);
    case MailRow::Status::Sent:
        return style->standardIcon(QStyle::SP_DialogApplyButton);
    case MailRow::Status::Failed:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case MailRow::Status::Marked:
        return style->standardIcon(QStyle::SP_DialogOkButton);
    default:
        return {};
    }
}

QString statusText(MailRow::Status status)
{
    switch (status) {
    case MailRow::Status::Connecting:
        return QStringLiteral("连接中");
    case MailRow::Status::LoggingIn:
        return QStringLiteral("登录中");
    case MailRow::Status::Sending:
        return QStringLiteral("发送中");
    case MailRow::Status::Sent:
        return QStringLiteral("已发送");
    case MailRow::Status::Failed:
        return QStringLiteral("失败");
    case MailRow::Status::Marked:
        return QStringLiteral("已标记");
    default:
        return QString();
    }
}

} // namespace

MailReportDialog::MailReportDialog(CDlgMailReport& report, core::Prompter& prompter,
                                   QWidget* parent)
    : QDialog(parent), m_report(report), m_prompter(prompter)
{
    setObjectName(QStringLiteral("MailReportDialog"));
    setWindowTitle(report.title());
    resize(1000, 640);
    m_tools = new QToolBar(this);
    m_tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* all = m_tools->addAction(QStringLiteral("群发"));
    QAction* one = m_tools->addAction(QStringLiteral("单发"));
    m_stop = m_tools->addAction(QStringLiteral("停止"));
    QAction* reset = m_tools->addAction(QStringLiteral("重置"));
    QAction* mark = m_tools->addAction(QStringLiteral("标记"));
    QAction* attach = m_tools->addAction(QStringLiteral("附件"));
    m_quit = m_tools->addAction(QStringLiteral("退出"));
    m_table = new QTableWidget(0, 8, this);
    m_table->setObjectName(QStringLiteral("mails"));
    m_table->setHorizontalHeaderLabels(report.columnTitles());
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    const int widths[] = {70, 80, 80, 180, 200, 200, 150, 50};
    for (int c = 0; c < 8; ++c)
        m_table->setColumnWidth(c, widths[c]);
    m_preview = new QTextBrowser(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_table);
    split->addWidget(m_preview);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    m_status = new widgets::ProgressStatusBar(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tools);
    layout->addWidget(split, 1);
    layout->addWidget(m_status);

    connect(m_table, &QTableWidget::currentCellChanged, this,
            [this](int row) { m_preview->setHtml(row >= 0 ? m_report.row(row).body : QString()); });
    connect(all, &QAction::triggered, this, [this] {
        setBusy(true, true);
        m_report.startSendAll(*this);
    });
    connect(one, &QAction::triggered, this, [this] {
        const int row = m_table->currentRow();
        if (row < 0) {
            m_prompter.message(QStringLiteral("请选择项！"), core::promptCaption(),
                               core::Prompter::Icon::Warning);
            return;
        }
        setBusy(true, true);
        m_report.startSendOne(row, *this);
    });
    connect(m_stop, &QAction::triggered, this, [this] { m_report.stop(); });
    connect(reset, &QAction::triggered, this, [this] {
        m_report.reset();
        for (int r = 0; r < m_report.rowCount(); ++r)
            showRow(r);
    });
    connect(mark, &QAction::triggered, this, [this] {
        const int row = m_table->currentRow();
        if (m_report.toggleMark(row))
            showRow(row);
    });
    connect(attach, &QAction::triggered, this, [this] {
        QStringList files = m_report.attachments();
        const QStringList chosen = m_prompter.openFileNames(QStringLiteral("附件"), QString(),
                                                            QStringLiteral("All Files (*.*)"));
        if (chosen.isEmpty()) {
            if (!files.isEmpty() &&
                m_prompter.askYesNo(QStringLiteral("清除已选的%1个附件吗?").arg(files.size()),
                                    core::promptCaption(),
                                    core::Prompter::Icon::Question) == core::Prompter::Answer::Yes)
                m_report.setAttachments({});
        } else {
            files << chosen;
            files.removeDuplicates();
            m_report.setAttachments(files);
        }
        m_status->setPane(1, QStringLiteral("附件：%1个").arg(m_report.attachments().size()));
    });
    connect(m_quit, &QAction::triggered, this, &MailReportDialog::reject);
    setBusy(true);
    m_report.startGenerate(*this);
}

MailReportDialog::~MailReportDialog()
{
    m_report.stop();
    m_report.wait();
}

void MailReportDialog::setBusy(bool busy, bool sending)
{
    m_sending = sending;
    for (QAction* a : m_tools->actions())
        a->setEnabled(!busy || a == m_stop || (a == m_quit && !sending));
}

void MailReportDialog::showRow(int row)
{
    const MailRow mail = m_report.row(row);
    if (row >= m_table->rowCount())
        m_table->setRowCount(row + 1);
    auto* status = new QTableWidgetItem(statusIcon(mail.status), statusText(mail.status));
    m_table->setItem(row, 0, status);
    const QString texts[] = {mail.number,
                             mail.name,
                             mail.address,
                             mail.subject,
                             mail.body.left(200),
                             mail.mailbox,
                             QString::number(mail.attempts)};
    for (int c = 0; c < 7; ++c)
        m_table->setItem(row, c + 1, new QTableWidgetItem(texts[c]));
}

void MailReportDialog::rowAdded(int row)
{
    QMetaObject::invokeMethod(this, [this, row] { showRow(row); });
}

void MailReportDialog::rowChanged(int row)
{
    QMetaObject::invokeMethod(this, [this, row] { showRow(row); });
}

void MailReportDialog::setStatus(int pane, const QString& text)
{
    QMetaObject::invokeMethod(this, [this, pane, text] { m_status->setPane(pane, text); });
}

void MailReportDialog::setProgress(int value, int maximum)
{
    QMetaObject::invokeMethod(this,
                              [this, value, maximum] { m_status->setProgress(value, maximum); });
}

void MailReportDialog::finished()
{
    QMetaObject::invokeMethod(this, [this] {
        setBusy(false);
        if (m_table->currentRow() < 0 && m_table->rowCount() > 0)
            m_table->selectRow(0);
    });
}

void MailReportDialog::reject()
{
    if (m_sending && m_report.running())
        return; // only "停止" ends a running send
    m_report.stop();
    m_report.wait();
    QDialog::reject();
}

void MailReportDialog::closeEvent(QCloseEvent* event)
{
    if (m_sending && m_report.running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace orvane::payroll::ui
