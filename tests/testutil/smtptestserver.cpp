#include "testutil/smtptestserver.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvane::testutil {

SmtpTestServer::SmtpTestServer(const Options& options)
{
    QStringList args{QStringLiteral(ORVANE_SMTP_SERVER_SCRIPT), m_dir.path()};
    if (options.startTls) {
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
                       QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                       m_dir.filePath(QStringLiteral("key.pem")), QStringLiteral("-out"),
                       certificate()});
        if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) {
            m_error =
                QStringLiteral("openssl: ") + QString::fromUtf8(openssl.readAllStandardError());
            return;
        }
        args << QStringLiteral("--cert") << certificate() << QStringLiteral("--key")
             << m_dir.filePath(QStringLiteral("key.pem"));
    }
    if (!options.user.isEmpty())
        args << QStringLiteral("--user") << options.user << QStringLiteral("--password")
             << options.password;
    if (options.dropOnData)
        args << QStringLiteral("--drop");
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(QStringLiteral("/usr/bin/python3"), args);
    while (m_process.waitForReadyRead(30000)) {
        const QByteArray line = m_process.readLine().trimmed();
        if (line.startsWith("PORT ")) {
            m_port = line.mid(5).toInt();
            return;
        }
        if (!m_process.canReadLine() && m_process.state() != QProcess::Running)
            break;
    }
    m_error = QStringLiteral("the SMTP test server did not start: ") +
              QString::fromUtf8(m_process.readAllStandardError());
}

SmtpTestServer::~SmtpTestServer()
{
    if (m_process.state() == QProcess::Running) {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
}

std::vector<QJsonObject> SmtpTestServer::messages() const
{
    std::vector<QJsonObject> out;
    for (int n = 1;; ++n) {
        QFile file(m_dir.filePath(QStringLiteral("%1.json").arg(n)));
        if (!file.open(QIODevice::ReadOnly))
            break;
        out.push_back(QJsonDocument::fromJson(file.readAll()).object());
    }
    return out;
}

int SmtpTestServer::closedPort()
{
    // Bind a free port and close it again: nothing listens there afterwards.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

} // namespace orvane::testutil
