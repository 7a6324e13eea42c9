#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace orvane::platform {

// One sending mailbox.
struct MailServer
{
    enum Security { None = 0, Ssl = 1, StartTls = 2 };

    QString host;
    int port = 25;
    bool authenticate = true; // AUTH LOGIN with the account and password
    int security = None;
    QString account;
    QString password;
    QString address;    // sender and reply-to address
    QString senderName; // display name of the sender
};

struct MailMessage
{
    QString recipient;
    QString subject;
    QString htmlBody;
    QStringList attachments; // file paths
};

// Sends one mail through SMTP with libcurl: plain, SSL from the start or STARTTLS, optionally
// AUTH LOGIN. The mail is MIME: an HTML body in UTF-8, the subject and the sender's name as
// RFC 2047 encoded words, attachments in base64 with their file names.
class SmtpMailer
{
public:
    // The steps reported while sending (connecting, logging in, sending, sent, failed).
    enum class Stage { Connect, AuthLogin, Send, Success, Error };

    explicit SmtpMailer(MailServer server);

    void setProgress(std::function<void(Stage)> progress) { m_progress = std::move(progress); }
    // Seconds allowed for connecting and for the whole mail.
    void setTimeouts(int connectSeconds, int totalSeconds);
    // A certificate file to trust besides the system's (a company's own mail server).
    void setCaFile(const QString& path) { m_caFile = path; }

    // True when the server accepted the mail; otherwise errorText() says why.
    bool send(const MailMessage& message);
    const QString& errorText() const { return m_error; }

    // "=?UTF-8?B?...?=" words for a header value; plain ASCII without control characters stays.
    static QByteArray encodedWords(const QString& text);

private:
    void report(Stage stage);

    MailServer m_server;
    std::function<void(Stage)> m_progress;
    int m_connectTimeout = 15;
    int m_totalTimeout = 120;
    QString m_caFile;
    QString m_error;
    Stage m_last = Stage::Connect;
};

} // namespace orvane::platform
