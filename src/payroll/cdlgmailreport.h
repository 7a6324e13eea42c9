#pragma once

#include "payroll/mailsettings.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::payroll {

class WageScriptSession;

// A mail template (a row of qp_WageAnnounce).
struct MailTemplate
{
    int aid = 0;
    int sortId = 0;
    QString name;
    QString subject;
    QString content;
};

// One generated mail of the send report.
struct MailRow
{
    enum class Status { None, Connecting, LoggingIn, Sending, Sent, Failed, Marked };

    QString number;
    QString name;
    QString address;
    QString subject;
    QString body;
    QString mailbox; // address of the mailbox used by the last attempt
    int attempts = 0;
    bool done = false; // sent or marked
    Status status = Status::None;
};

// Where the report's workers report to (the dialog's window moves the calls to the user-interface
// thread; a batch job prints them).
class MailReportSink
{
public:
    virtual ~MailReportSink() = default;
    virtual void rowAdded(int row) = 0;
    virtual void rowChanged(int row) = 0;
    virtual void setStatus(int pane, const QString& text) = 0;
    virtual void setProgress(int value, int maximum) = 0; // maximum 0 hides the bar
    // A generation or send run has ended; the commands are enabled again.
    virtual void finished() = 0;
};

// The send report "邮件通知": one mail per person of a result set made from a template, sent
// through the configured mailboxes at random, each mail at most three times in a run.
class CDlgMailReport
{
public:
    CDlgMailReport(db::CADODatabase& database, MailTemplate templ, QString sql,
                   WageScriptSession& script, std::vector<Mailbox> mailboxes);
    ~CDlgMailReport();
    CDlgMailReport(const CDlgMailReport&) = delete;
    CDlgMailReport& operator=(const CDlgMailReport&) = delete;

    // "SELECT Name,Subject,Content FROM qp_WageAnnounce WHERE AID=%d"; aid 0 when it is gone.
    static MailTemplate loadTemplate(db::CADODatabase& database, int aid);
    // The marker a failing subject or body becomes.
    static QString errorMarker() { return QStringLiteral("error!"); }

    QString title() const { return QStringLiteral("邮件通知"); }
    // Column titles of the report: the captions of Number and Name, then the fixed ones.
    QStringList columnTitles() const;

    // The runs on the calling thread.
    void generate(MailReportSink& sink);
    void sendAll(MailReportSink& sink);
    bool sendOne(int row, MailReportSink& sink);
    // The same on the report's worker thread (one at a time).
    void startGenerate(MailReportSink& sink);
    void startSendAll(MailReportSink& sink);
    void startSendOne(int row, MailReportSink& sink);
    bool running() const { return m_running; }
    void wait();

    // "停止": the run ends after the current attempt.
    void stop() { m_stop = true; }
    // "重置": every row back to unsent with no attempts.
    void reset();
    // "标记": toggles a row between marked (skipped by a send-all run) and unsent.
    bool toggleMark(int row);

    void setAttachments(const QStringList& paths) { m_attachments = paths; }
    const QStringList& attachments() const { return m_attachments; }

    int rowCount() const;
    MailRow row(int index) const;
    // True once "群发" was started (the caller then writes its log line).
    bool bulkStarted() const { return m_bulkStarted; }

    // For tests and batch jobs: how a mailbox is picked (given the count, an index) and how the
    // pauses between attempts are waited.
    void setMailboxChooser(std::function<int(int)> chooser) { m_choose = std::move(chooser); }
    void setPause(std::function<void(int milliseconds)> pause) { m_pause = std::move(pause); }
    void setCaFile(const QString& path) { m_caFile = path; }

private:
    bool attempt(int row, MailReportSink& sink);
    void setRowStatus(int row, MailRow::Status status, MailReportSink& sink);
    void launch(std::function<void()> job);

    db::CADODatabase& m_db;
    MailTemplate m_template;
    QString m_sql;
    WageScriptSession& m_script;
    std::vector<Mailbox> m_mailboxes;
    QStringList m_attachments;
    QString m_caFile;
    mutable std::mutex m_mutex;
    std::vector<MailRow> m_rows;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_bulkStarted{false};
    std::thread m_worker;
    std::function<int(int)> m_choose;
    std::function<void(int)> m_pause;
    QString m_numberCaption;
    QString m_nameCaption;
};

} // namespace orvane::payroll
