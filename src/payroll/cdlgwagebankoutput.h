#pragma once

#include "payroll/banktemplate.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>
#include <vector>

namespace orvane::core {
class Prompter;
}
namespace orvane::db {
class CADODatabase;
class CADORecordset;
} // namespace orvane::db

namespace orvane::payroll {

class WageScriptSession;

// Where the generation reports to: the dialog's window (which moves each call to the user-interface
// thread) or a test.
class BankOutputSink
{
public:
    virtual ~BankOutputSink() = default;
    virtual void appendText(const QString& text) = 0;
    virtual void setStatus(int pane, const QString& text) = 0;
    // maximum 0 hides the progress bar.
    virtual void setProgress(int value, int maximum) = 0;
};

// The bank disbursement file of a result set: generation through the template on a worker
// thread, the preview text, the GBK check and the saving into one or several files.
class CDlgWageBankOutput
{
public:
    // A character GBK cannot hold, with the person and the data field it came from.
    struct EncodingIssue
    {
        int line = 0; // 0-based line of the preview text
        QString person;
        QString field;
        QString character; // one character (a surrogate pair stays whole)
    };

    CDlgWageBankOutput(db::CADODatabase& database, BankTemplate templ, QString exportSql,
                       WageScriptSession& script);
    ~CDlgWageBankOutput();
    CDlgWageBankOutput(const CDlgWageBankOutput&) = delete;
    CDlgWageBankOutput& operator=(const CDlgWageBankOutput&) = delete;

    // "SELECT iSource,DContent,... FROM qp_WageExportDetail WHERE EID=%d ORDER BY Ord".
    static std::vector<BankField> loadFields(db::CADODatabase& database, int eid);
    // The template row with its fields; eid 0 when it does not exist.
    static BankTemplate loadTemplate(db::CADODatabase& database, int eid);

    QString title() const { return QStringLiteral("银行代发数据 - ") + m_template.name; }

    // The generation itself, on the calling thread.
    void generate(BankOutputSink& sink);
    // The generation on a worker thread; the sink is called from that thread.
    void start(BankOutputSink& sink);
    // Sets the cancel flag; the worker stops before the next record or field.
    void cancel() { m_cancel = true; }
    // Waits for the worker thread to end.
    void wait();
    bool running() const { return m_running; }

    const QString& previewText() const { return m_preview; }
    int recordCount() const { return m_recordCount; }
    const std::vector<EncodingIssue>& encodingIssues() const { return m_issues; }

    // "保存": asks for the file name and writes. False when cancelled or failed.
    bool save(core::Prompter& prompter);
    // Writes the preview into `path` (split by the lines per file); every file is written to a
    // temporary file first and renamed, so that no half-written file is left. False with a
    // message through the prompter when a character cannot be written or a file fails.
    bool saveTo(const QString& path, core::Prompter& prompter);
    bool saved() const { return m_saved; }
    // The files the last save wrote.
    const QStringList& writtenFiles() const { return m_written; }

    // The names of the files a save into `path` writes for `lineCount` counted lines.
    static QStringList outputFiles(const QString& path, int lineCount, int linesPerFile);

private:
    bool fieldValue(const BankField& field, db::CADORecordset& record, int n, QString& value);
    void noteIssues(const QString& text, const QString& person, const QString& field);

    db::CADODatabase& m_db;
    BankTemplate m_template;
    QString m_sql;
    WageScriptSession& m_script;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_running{false};
    std::thread m_worker;
    QString m_preview;
    int m_line = 0;
    int m_recordCount = 0;
    std::vector<EncodingIssue> m_issues;
    bool m_saved = false;
    QStringList m_written;
};

} // namespace orvane::payroll
