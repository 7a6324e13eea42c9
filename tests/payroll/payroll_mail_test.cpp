// Payslip mail: the texts made for each person, and the send runs with retry, rotation, marking
// and reset against a real SMTP server on loopback.
#include "payroll_fixture.h"

#include "payroll/cdlgmailreport.h"
#include "payroll/mailsettings.h"
#include "payroll/wageexportquery.h"
#include "payroll/wagescriptsession.h"

#include "testutil/smtptestserver.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <deque>

namespace orvane::payrolltest {
namespace {

using payroll::CDlgMailReport;
using payroll::MailRow;

struct CountingSink : payroll::MailReportSink
{
    void rowAdded(int) override { ++added; }
    void rowChanged(int row) override { changed.push_back(row); }
    void setStatus(int pane, const QString& text) override { status[pane] = text; }
    void setProgress(int, int) override {}
    void finished() override { ++runs; }
    int added = 0;
    std::vector<int> changed;
    QString status[2];
    int runs = 0;
};

class PayslipMail : public PayrollTest
{
protected:
    void SetUp() override
    {
        PayrollTest::SetUp();
        sort = addSort(QStringLiteral("工资"));
        pay = addItem(sort, QStringLiteral("实发工资"));
        const QList<std::tuple<QString, QString, int>> persons = {
            {QStringLiteral("张三"), QStringLiteral("zhang@example.com"), 10},
            {QStringLiteral("李四"), QString(), 20},
            {QStringLiteral("王五"), QStringLiteral("wang@example.com"), 30}};
        int ord = 1;
        for (const auto& [name, mail, amount] : persons) {
            const int pid = addPerson(QStringLiteral("A%1").arg(ord), name, 1);
            ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_PsnBase SET Email='%1' WHERE PID=%2")
                                         .arg(mail)
                                         .arg(pid)));
            ASSERT_TRUE(db().Execute(
                QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES (%1,%2,%3)")
                    .arg(sort)
                    .arg(pid)
                    .arg(ord++)));
        }
        ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202501").arg(sort)));
        ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE %1 SET %2=(SELECT Ord*10 FROM qp_PsnBase "
                                                "WHERE qp_PsnBase.PID=%1.PID)")
                                     .arg(wageTable(sort), pay)));
    }

    std::unique_ptr<CDlgMailReport> report(const QString& subject, const QString& body,
                                           std::vector<payroll::Mailbox> boxes = {})
    {
        payroll::WageExportQuery query(db());
        const payroll::WageSelection selection{sort, 202501, 0, 0};
        session = std::make_unique<payroll::WageScriptSession>(
            db(), query.context(selection, QStringLiteral("admin")));
        payroll::MailTemplate templ;
        templ.name = QStringLiteral("工资条");
        templ.subject = subject;
        templ.content = body;
        auto r = std::make_unique<CDlgMailReport>(db(), templ, query.selectSql(selection), *session,
                                                  std::move(boxes));
        r->setPause([](int) {});
        return r;
    }

    static payroll::Mailbox box(const QString& address, int port)
    {
        payroll::Mailbox b;
        b.server.host = QStringLiteral("127.0.0.1");
        b.server.port = port;
        b.server.authenticate = false;
        b.server.address = address;
        return b;
    }

    int sort = 0;
    QString pay;
    std::unique_ptr<payroll::WageScriptSession> session;
};

TEST_F(PayslipMail, EachPersonGetsTheTemplateWithValuesAndExpressions)
{
    auto r = report(QStringLiteral("{$SDate()$}工资条 [姓名]"),
                    QStringLiteral("<p>{$&nbsp;[姓名]&nbsp;$}，[姓名]：{$[实发工资]*2$} "
                                   "{$NoSuchName$}[无此列]</p>"));
    CountingSink sink;
    r->generate(sink);
    ASSERT_EQ(r->rowCount(), 3);
    EXPECT_EQ(sink.status[0], QStringLiteral("记录数：3"));
    const MailRow first = r->row(0);
    EXPECT_EQ(first.number, QStringLiteral("A1"));
    EXPECT_EQ(first.name, QStringLiteral("张三"));
    EXPECT_EQ(first.address, QStringLiteral("zhang@example.com"));
    EXPECT_EQ(first.subject, QStringLiteral("202501工资条 \"张三\""));
    EXPECT_EQ(first.body, QStringLiteral("<p>张三，\"张三\"：20 NoSuchName</p>"));
    EXPECT_EQ(r->row(1).address, QString());
    EXPECT_EQ(
        r->columnTitles().mid(1, 3),
        QStringList({QStringLiteral("编号"), QStringLiteral("姓名"), QStringLiteral("邮箱")}));

    // A body that fails for the second person ends the generation there.
    auto failing = report(QStringLiteral("x"), QStringLiteral("{$CInt(100/([实发工资]-20))$}"));
    failing->generate(sink);
    ASSERT_EQ(failing->rowCount(), 1);
    EXPECT_EQ(failing->row(0).body, QStringLiteral("-10"));
}

TEST_F(PayslipMail, SendAllRetriesThroughOtherMailboxesThreeTimesAtMost)
{
    testutil::SmtpTestServer server;
    ASSERT_TRUE(server.running()) << server.error().toStdString();
    const int closed = testutil::SmtpTestServer::closedPort();
    auto r = report(QStringLiteral("工资条"), QStringLiteral("<p>[姓名]</p>"),
                    {box(QStringLiteral("good@example.com"), server.port()),
                     box(QStringLiteral("dead@example.com"), closed)});
    // Picks: Zhang fails twice on the dead mailbox, then goes through; Li has no address (three
    // failed attempts, no connection); Wang fails three times.
    std::deque<int> picks = {1, 1, 0, 0, 1, 1, 0, 1};
    std::vector<int> offered;
    r->setMailboxChooser([&](int count) {
        offered.push_back(count);
        const int pick = picks.empty() ? 1 : picks.front();
        if (!picks.empty())
            picks.pop_front();
        return pick;
    });
    CountingSink sink;
    r->generate(sink);
    ASSERT_TRUE(r->toggleMark(2)); // Wang is marked: the run skips him
    r->sendAll(sink);
    EXPECT_TRUE(r->bulkStarted());

    const MailRow zhang = r->row(0);
    EXPECT_TRUE(zhang.done);
    EXPECT_EQ(zhang.status, MailRow::Status::Sent);
    EXPECT_EQ(zhang.attempts, 3);
    EXPECT_EQ(zhang.mailbox, QStringLiteral("good@example.com"));
    const MailRow li = r->row(1);
    EXPECT_FALSE(li.done);
    EXPECT_EQ(li.status, MailRow::Status::Failed);
    EXPECT_EQ(li.attempts, 3);
    EXPECT_EQ(r->row(2).status, MailRow::Status::Marked);
    EXPECT_EQ(r->row(2).attempts, 0);
    EXPECT_EQ(offered.size(), 6u);
    ASSERT_EQ(server.messages().size(), 1u);
    EXPECT_EQ(server.messages()[0][QStringLiteral("html")].toString().trimmed(),
              QStringLiteral("<p>\"张三\"</p>"));

    // "单发" sends a marked row; "重置" makes every row eligible again.
    picks = {0};
    EXPECT_TRUE(r->sendOne(2, sink));
    EXPECT_EQ(r->row(2).status, MailRow::Status::Sent);
    r->reset();
    for (int i = 0; i < r->rowCount(); ++i) {
        EXPECT_EQ(r->row(i).attempts, 0);
        EXPECT_FALSE(r->row(i).done);
        EXPECT_EQ(r->row(i).status, MailRow::Status::None);
        EXPECT_EQ(r->row(i).mailbox, QString());
    }
    // A run on a worker thread, stopped at once, ends without sending anything new.
    picks = {1, 1, 1};
    r->stop();
    r->startSendAll(sink);
    r->wait();
    EXPECT_FALSE(r->running());
    EXPECT_EQ(server.messages().size(), 2u);
}

TEST_F(PayslipMail, MailboxPasswordsAreStoredEnciphered)
{
    ASSERT_TRUE(db().Execute(
        QStringLiteral("EXEC qp_AddMailServer 0,N'smtp.example.com',465,1,1,N'hr',N'%1',"
                       "N'hr@example.com',N'人事部'")
            .arg(payroll::MailSettings::storedPassword(QStringLiteral("pa'ss;--")))));
    const QString stored =
        database().scalar(QStringLiteral("SELECT password FROM qp_BatchMailSet WHERE dt=3"));
    EXPECT_FALSE(stored.contains(QStringLiteral("pa'ss")));
    const auto boxes = payroll::MailSettings(db()).mailboxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].server.password, QStringLiteral("pa'ss;--"));
    EXPECT_EQ(boxes[0].server.security, platform::MailServer::Ssl);
    EXPECT_EQ(boxes[0].server.senderName, QStringLiteral("人事部"));
    EXPECT_EQ(payroll::MailSettings::plainPassword(QStringLiteral("legacy")),
              QStringLiteral("legacy"));
}

} // namespace
} // namespace orvane::payrolltest
