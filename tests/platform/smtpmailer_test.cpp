// Mail through a real SMTP server on loopback: the MIME form read back by a mail parser, STARTTLS,
// AUTH LOGIN and the failures a sender meets.
#include "platform/smtpmailer.h"

#include "testutil/smtptestserver.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace orvane::platform {
namespace {

using testutil::SmtpTestServer;

MailServer mailbox(int port, int security = MailServer::None, bool auth = false)
{
    MailServer server;
    server.host = QStringLiteral("127.0.0.1");
    server.port = port;
    server.security = security;
    server.authenticate = auth;
    server.account = QStringLiteral("payroll");
    server.password = QStringLiteral("s3cret");
    server.address = QStringLiteral("payroll@example.com");
    server.senderName = QStringLiteral("人力资源部");
    return server;
}

TEST(SmtpMailer, SendsMimeThatMailProgramsReadBack)
{
    SmtpTestServer server;
    ASSERT_TRUE(server.running()) << server.error().toStdString();
    QTemporaryDir dir;
    const QString attachment = dir.filePath(QStringLiteral("工资明细.pdf"));
    QFile file(attachment);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i)
        bytes.append(char(i * 7));
    file.write(bytes);
    file.close();

    SmtpMailer mailer(mailbox(server.port()));
    std::vector<SmtpMailer::Stage> stages;
    mailer.setProgress([&](SmtpMailer::Stage s) { stages.push_back(s); });
    MailMessage message;
    message.recipient = QStringLiteral("zhang.san@example.com");
    message.subject = QStringLiteral("2025年01月工资条——张三，请查收（含附件）");
    message.htmlBody = QStringLiteral("<p>张三，您好：</p><p>实发 <b>8,000.00</b> 元。</p>");
    message.attachments << attachment;
    ASSERT_TRUE(mailer.send(message)) << mailer.errorText().toStdString();
    EXPECT_EQ(stages,
              (std::vector<SmtpMailer::Stage>{SmtpMailer::Stage::Connect, SmtpMailer::Stage::Send,
                                              SmtpMailer::Stage::Success}));

    const auto received = server.messages();
    ASSERT_EQ(received.size(), 1u);
    const QJsonObject& mail = received.front();
    EXPECT_EQ(mail[QStringLiteral("subject")].toString(), message.subject);
    EXPECT_TRUE(
        mail[QStringLiteral("raw_subject")].toString().startsWith(QStringLiteral("=?UTF-8?B?")));
    EXPECT_EQ(mail[QStringLiteral("from_name")].toString(), QStringLiteral("人力资源部"));
    EXPECT_EQ(mail[QStringLiteral("from_addr")].toString(), QStringLiteral("payroll@example.com"));
    EXPECT_EQ(mail[QStringLiteral("mail_from")].toString(), QStringLiteral("payroll@example.com"));
    EXPECT_EQ(mail[QStringLiteral("rcpt_tos")].toArray().first().toString(), message.recipient);
    EXPECT_EQ(mail[QStringLiteral("x_mailer")].toString(),
              QStringLiteral("SMailer(v3.2) Professional"));
    EXPECT_EQ(mail[QStringLiteral("html_charset")].toString(), QStringLiteral("utf-8"));
    EXPECT_EQ(mail[QStringLiteral("html")].toString().trimmed(), message.htmlBody);
    const QJsonArray attachments = mail[QStringLiteral("attachments")].toArray();
    ASSERT_EQ(attachments.size(), 1);
    EXPECT_EQ(attachments[0][QStringLiteral("name")].toString(), QStringLiteral("工资明细.pdf"));
    EXPECT_EQ(attachments[0][QStringLiteral("encoding")].toString(), QStringLiteral("base64"));
    EXPECT_EQ(QByteArray::fromBase64(attachments[0][QStringLiteral("data")].toString().toLatin1()),
              bytes);
}

TEST(SmtpMailer, StartTlsWithLoginAndTheFailuresOfAMailbox)
{
    SmtpTestServer::Options options;
    options.startTls = true;
    options.user = QStringLiteral("payroll");
    options.password = QStringLiteral("s3cret");
    SmtpTestServer server(options);
    ASSERT_TRUE(server.running()) << server.error().toStdString();

    MailMessage message;
    message.recipient = QStringLiteral("li.si@example.com");
    message.subject = QStringLiteral("工资条");
    message.htmlBody = QStringLiteral("<p>李四</p>");

    SmtpMailer mailer(mailbox(server.port(), MailServer::StartTls, true));
    mailer.setCaFile(server.certificate());
    std::vector<SmtpMailer::Stage> stages;
    mailer.setProgress([&](SmtpMailer::Stage s) { stages.push_back(s); });
    ASSERT_TRUE(mailer.send(message)) << mailer.errorText().toStdString();
    EXPECT_EQ(stages[1], SmtpMailer::Stage::AuthLogin);
    ASSERT_EQ(server.messages().size(), 1u);
    EXPECT_TRUE(server.messages().front()[QStringLiteral("auth")].toBool());

    struct Case
    {
        const char* what;
        MailServer server;
        MailMessage message;
        bool trustCertificate = true;
    };
    MailServer wrongPassword = mailbox(server.port(), MailServer::StartTls, true);
    wrongPassword.password = QStringLiteral("wrong");
    MailServer untrusted = mailbox(server.port(), MailServer::StartTls, true); // no CA given
    MailServer plainRefused = mailbox(server.port(), MailServer::None, true);
    MailMessage vanished = message;
    vanished.attachments << QStringLiteral("/nonexistent/附件.xls");
    MailMessage hostileRecipient = message;
    hostileRecipient.recipient = QStringLiteral("a@b.c>\r\nRCPT TO:<x@y.z");
    const Case cases[] = {
        {"wrong password", wrongPassword, message},
        {"untrusted certificate", untrusted, message, false},
        {"plain to a server that requires STARTTLS", plainRefused, message},
        {"closed port", mailbox(SmtpTestServer::closedPort()), message},
        {"attachment vanished", mailbox(server.port(), MailServer::StartTls, true), vanished},
        {"hostile recipient", mailbox(server.port(), MailServer::StartTls, true), hostileRecipient},
    };
    for (const Case& c : cases) {
        SmtpMailer failing(c.server);
        if (c.trustCertificate)
            failing.setCaFile(server.certificate());
        failing.setTimeouts(5, 10);
        bool errorReported = false;
        failing.setProgress(
            [&](SmtpMailer::Stage s) { errorReported |= s == SmtpMailer::Stage::Error; });
        EXPECT_FALSE(failing.send(c.message)) << c.what;
        EXPECT_TRUE(errorReported) << c.what;
        EXPECT_FALSE(failing.errorText().isEmpty()) << c.what;
    }
    EXPECT_EQ(server.messages().size(), 1u);
}

TEST(SmtpMailer, AServerThatDropsTheConnectionIsAFailure)
{
    SmtpTestServer::Options options;
    options.dropOnData = true;
    SmtpTestServer server(options);
    ASSERT_TRUE(server.running()) << server.error().toStdString();
    SmtpMailer mailer(mailbox(server.port()));
    mailer.setTimeouts(5, 10);
    MailMessage message;
    message.recipient = QStringLiteral("wang@example.com");
    message.subject = QStringLiteral("x");
    message.htmlBody = QString(20000, QLatin1Char('y'));
    EXPECT_FALSE(mailer.send(message));
}

TEST(SmtpMailer, EncodedWordsKeepAsciiAndSplitLongTexts)
{
    EXPECT_EQ(SmtpMailer::encodedWords(QStringLiteral("Payslip 2025")), QByteArray("Payslip 2025"));
    const QByteArray words = SmtpMailer::encodedWords(QString(40, QChar(0x5DE5)));
    const QList<QByteArray> parts = words.split('\n');
    EXPECT_EQ(parts.size(), 3); // 120 bytes in words of at most 45
    for (const QByteArray& part : parts)
        EXPECT_LE(part.trimmed().size(), 75);
}

} // namespace
} // namespace orvane::platform
