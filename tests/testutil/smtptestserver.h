#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

namespace orvane::testutil {

// An SMTP server on 127.0.0.1 run by Debian's Python with aiosmtpd (tests/testutil/smtpserver.py)
// for the life of the object. Each received mail is parsed back by Python's e-mail package and
// available as a JSON object (subject, from_name, html, attachments ...).
class SmtpTestServer
{
public:
    struct Options
    {
        bool startTls = false; // requires STARTTLS with a certificate made for 127.0.0.1
        QString user;          // AUTH LOGIN required when set
        QString password;
        bool dropOnData = false; // closes the connection when the message has been sent
    };

    explicit SmtpTestServer(const Options& options);
    SmtpTestServer() : SmtpTestServer(Options{}) {}
    ~SmtpTestServer();

    bool running() const { return m_port > 0; }
    QString error() const { return m_error; }
    int port() const { return m_port; }
    // The certificate the STARTTLS server presents (to trust in the client).
    QString certificate() const { return m_dir.filePath(QStringLiteral("cert.pem")); }
    // The messages received so far, in order.
    std::vector<QJsonObject> messages() const;

    // A loopback port where nothing listens.
    static int closedPort();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    QString m_error;
};

} // namespace orvane::testutil
