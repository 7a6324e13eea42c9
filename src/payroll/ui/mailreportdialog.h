#pragma once

#include "payroll/cdlgmailreport.h"

#include <QDialog>

class QTableWidget;
class QTextBrowser;
class QToolBar;

namespace orvane::core {
class Prompter;
}
namespace orvane::widgets {
class ProgressStatusBar;
}

namespace orvane::payroll::ui {

// "邮件通知": the generated mails with their status, the HTML preview of the selected one and
// the commands 群发, 单发, 停止, 重置, 标记, 附件, 退出.
class MailReportDialog : public QDialog, private MailReportSink
{
    Q_OBJECT
public:
    MailReportDialog(CDlgMailReport& report, core::Prompter& prompter, QWidget* parent = nullptr);
    ~MailReportDialog() override;

private:
    void rowAdded(int row) override;
    void rowChanged(int row) override;
    void setStatus(int pane, const QString& text) override;
    void setProgress(int value, int maximum) override;
    void finished() override;
    void showRow(int row);
    void setBusy(bool busy, bool sending = false);
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

    CDlgMailReport& m_report;
    core::Prompter& m_prompter;
    QToolBar* m_tools = nullptr;
    QAction* m_stop = nullptr;
    QAction* m_quit = nullptr;
    QTableWidget* m_table = nullptr;
    QTextBrowser* m_preview = nullptr;
    widgets::ProgressStatusBar* m_status = nullptr;
    bool m_sending = false;
};

} // namespace orvane::payroll::ui
