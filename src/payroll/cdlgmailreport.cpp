#include "payroll/cdlgmailreport.h"

#include "payroll/recordtext.h"
#include "payroll/wagescriptsession.h"

#include "core/catalog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <utility>

namespace orvane::payroll {

namespace {

QString captionOf(db::CADODatabase& database, const char* column)
{
    return core::Catalog(database).text(
        QStringLiteral("SELECT Alias FROM qp_Items WHERE (UPPER(TblName)='QP_PSNBASE' AND "
                       "UPPER(Name)='%1')")
            .arg(QLatin1String(column)));
}

// A mailbox at random, seeded by the clock as each pick is made.
int randomMailbox(int count)
{
    std::mt19937 generator(unsigned(std::chrono::steady_clock::now().time_since_epoch().count()));
    return int(std::uniform_int_distribution<int>(0, count - 1)(generator));
}

void sleepFor(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace

CDlgMailReport::CDlgMailReport(db::CADODatabase& database, MailTemplate templ, QString sql,
                               WageScriptSession& script, std::vector<Mailbox> mailboxes)
    : m_db(database), m_template(std::move(templ)), m_sql(std::move(sql)), m_script(script),
      m_mailboxes(std::move(mailboxes)), m_choose(randomMailbox), m_pause(sleepFor)
{
    m_numberCaption = captionOf(m_db, "NUMBER");
    m_nameCaption = captionOf(m_db, "NAME");
}

CDlgMailReport::~CDlgMailReport()
{
    stop();
    wait();
}

MailTemplate CDlgMailReport::loadTemplate(db::CADODatabase& database, int aid)
{
    MailTemplate templ;
    db::CADORecordset rs(&database);
    if (!rs.Open(QStringLiteral("SELECT Name,Subject,Content,SID FROM qp_WageAnnounce WHERE AID=%1")
                     .arg(aid)) ||
        rs.IsEOF())
        return templ;
    templ.aid = aid;
    templ.name = rs.GetFieldString(QStringLiteral("Name"));
    templ.subject = rs.GetFieldString(QStringLiteral("Subject"));
    templ.content = rs.GetFieldString(QStringLiteral("Content"));
    templ.sortId = rs.GetFieldInt(QStringLiteral("SID"));
    return templ;
}

QStringList CDlgMailReport::columnTitles() const
{
    return {QString(),
            m_numberCaption,
            m_nameCaption,
            QStringLiteral("邮箱"),
            QStringLiteral("主题"),
            QStringLiteral("内容"),
            QStringLiteral("发送邮箱"),
            QStringLiteral("频率")};
}

int CDlgMailReport::rowCount() const
{
    std::lock_guard lock(m_mutex);
    return int(m_rows.size());
}

MailRow CDlgMailReport::row(int index) const
{
    std::lock_guard lock(m_mutex);
    return index >= 0 && index < int(m_rows.size()) ? m_rows[size_t(index)] : MailRow();
}

void CDlgMailReport::generate(MailReportSink& sink)
{
    const QString addressField = MailSettings(m_db).addressField();
    m_script.reset();
    {
        std::lock_guard lock(m_mutex);
        m_rows.clear();
    }
    db::CADORecordset rs(&m_db);
    if (!rs.Open(m_sql) || rs.IsEOF() || rs.GetRecordCount() == 0) {
        sink.finished();
        return;
    }
    const int count = rs.GetRecordCount();
    sink.setStatus(0, QStringLiteral("正在生成邮件..."));
    sink.setProgress(0, count);
    int n = 1;
    for (rs.MoveFirst(); !rs.IsEOF() && !m_stop; rs.MoveNext(), ++n) {
        const auto personal = [&](const QString& text) {
            QString out = RecordText::substitute(text, rs);
            return RecordText::expand(out, m_script.engine()) ? out : errorMarker();
        };
        MailRow mail;
        mail.number = rs.GetFieldString(m_numberCaption);
        mail.name = rs.GetFieldString(m_nameCaption);
        mail.address =
            addressField.isEmpty() ? QString() : rs.GetFieldString(addressField).trimmed();
        mail.subject = personal(m_template.subject);
        mail.body = personal(m_template.content);
        if (mail.subject == errorMarker() || mail.body == errorMarker())
            break;
        int added = 0;
        {
            std::lock_guard lock(m_mutex);
            m_rows.push_back(mail);
            added = int(m_rows.size()) - 1;
        }
        sink.rowAdded(added);
        sink.setStatus(1, QStringLiteral("%1%").arg(n * 100 / count));
        sink.setProgress(n, count);
    }
    sink.setStatus(0, QStringLiteral("记录数：%1").arg(count));
    sink.setStatus(1, QString());
    sink.setProgress(0, 0);
    m_stop = false;
    sink.finished();
}

void CDlgMailReport::setRowStatus(int row, MailRow::Status status, MailReportSink& sink)
{
    {
        std::lock_guard lock(m_mutex);
        m_rows[size_t(row)].status = status;
    }
    sink.rowChanged(row);
}

bool CDlgMailReport::attempt(int row, MailReportSink& sink)
{
    if (m_mailboxes.empty())
        return false;
    const int pick = std::clamp(m_choose(int(m_mailboxes.size())), 0, int(m_mailboxes.size()) - 1);
    const platform::MailServer& server = m_mailboxes[size_t(pick)].server;
    const MailRow mail = this->row(row);
    bool ok = false;
    if (!mail.address.isEmpty() && !server.address.isEmpty()) {
        platform::SmtpMailer mailer(server);
        if (!m_caFile.isEmpty())
            mailer.setCaFile(m_caFile);
        mailer.setProgress([&](platform::SmtpMailer::Stage stage) {
            using Stage = platform::SmtpMailer::Stage;
            switch (stage) {
            case Stage::Connect:
                setRowStatus(row, MailRow::Status::Connecting, sink);
                break;
            case Stage::AuthLogin:
                setRowStatus(row, MailRow::Status::LoggingIn, sink);
                break;
            case Stage::Send:
                setRowStatus(row, MailRow::Status::Sending, sink);
                break;
            default:
                break;
            }
        });
        ok = mailer.send({mail.address, mail.subject, mail.body, m_attachments});
        m_pause(500);
    }
    {
        std::lock_guard lock(m_mutex);
        MailRow& r = m_rows[size_t(row)];
        r.done = ok;
        r.status = ok ? MailRow::Status::Sent : MailRow::Status::Failed;
        r.mailbox = server.address;
        ++r.attempts;
    }
    sink.rowChanged(row);
    return ok;
}

void CDlgMailReport::sendAll(MailReportSink& sink)
{
    m_bulkStarted = true;
    while (!m_stop) {
        m_pause(3);
        int next = -1;
        {
            std::lock_guard lock(m_mutex);
            for (size_t i = 0; i < m_rows.size() && next < 0; ++i) {
                if (!m_rows[i].done && m_rows[i].attempts < 3)
                    next = int(i);
            }
        }
        if (next < 0)
            break;
        attempt(next, sink);
    }
    m_stop = false;
    sink.finished();
}

bool CDlgMailReport::sendOne(int row, MailReportSink& sink)
{
    const bool ok = row >= 0 && row < rowCount() && attempt(row, sink);
    sink.finished();
    return ok;
}

void CDlgMailReport::reset()
{
    m_stop = true;
    wait();
    m_stop = false;
    std::lock_guard lock(m_mutex);
    for (MailRow& r : m_rows) {
        r.done = false;
        r.status = MailRow::Status::None;
        r.mailbox.clear();
        r.attempts = 0;
    }
}

bool CDlgMailReport::toggleMark(int row)
{
    std::lock_guard lock(m_mutex);
    if (row < 0 || row >= int(m_rows.size()))
        return false;
    MailRow& r = m_rows[size_t(row)];
    const bool marking = r.status != MailRow::Status::Marked;
    r.done = marking;
    r.status = marking ? MailRow::Status::Marked : MailRow::Status::None;
    return true;
}

void CDlgMailReport::launch(std::function<void()> job)
{
    wait();
    m_running = true;
    m_worker = std::thread([this, job = std::move(job)] {
        job();
        m_running = false;
    });
}

void CDlgMailReport::startGenerate(MailReportSink& sink)
{
    launch([this, &sink] { generate(sink); });
}

void CDlgMailReport::startSendAll(MailReportSink& sink)
{
    launch([this, &sink] { sendAll(sink); });
}

void CDlgMailReport::startSendOne(int row, MailReportSink& sink)
{
    launch([this, row, &sink] { sendOne(row, sink); });
}

void CDlgMailReport::wait()
{
    if (m_worker.joinable() && m_worker.get_id() != std::this_thread::get_id())
        m_worker.join();
}

} // namespace orvane::payroll
