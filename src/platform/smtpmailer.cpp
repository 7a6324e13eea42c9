#include "platform/smtpmailer.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <curl/curl.h>

#include <memory>

namespace orvane::platform {

namespace {

// curl_global_init once per process, before the first handle.
void initialiseCurl()
{
    static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
    (void)done;
}

struct CurlDeleter
{
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    void operator()(curl_mime* mime) const { curl_mime_free(mime); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// An address without the characters that would let it break out of its header or command.
bool plainAddress(const QString& address)
{
    if (address.isEmpty() || !address.contains(QLatin1Char('@')))
        return false;
    for (const QChar c : address) {
        if (c.unicode() <= 32 || c == u'<' || c == u'>' || c == u',' || c == u'"' || c == u'\x7f')
            return false;
    }
    return true;
}

// Watches the SMTP conversation to report logging in and sending.
int debugWatch(CURL*, curl_infotype type, char* data, size_t size, void* user)
{
    if (type != CURLINFO_HEADER_OUT)
        return 0;
    const QByteArray line = QByteArray::fromRawData(data, qsizetype(size));
    auto* mailer = static_cast<std::function<void(SmtpMailer::Stage)>*>(user);
    if (line.startsWith("AUTH"))
        (*mailer)(SmtpMailer::Stage::AuthLogin);
    else if (line.startsWith("MAIL FROM"))
        (*mailer)(SmtpMailer::Stage::Send);
    return 0;
}

} // namespace

SmtpMailer::SmtpMailer(MailServer server) : m_server(std::move(server)) {}

void SmtpMailer::setTimeouts(int connectSeconds, int totalSeconds)
{
    m_connectTimeout = connectSeconds;
    m_totalTimeout = totalSeconds;
}

void SmtpMailer::report(Stage stage)
{
    m_last = stage;
    if (m_progress)
        m_progress(stage);
}

QByteArray SmtpMailer::encodedWords(const QString& text)
{
    bool plain = true;
    for (const QChar c : text)
        plain = plain && c.unicode() >= 32 && c.unicode() < 127;
    if (plain && !text.contains(QLatin1String("=?")))
        return text.toLatin1();
    // Encoded words of at most 45 bytes of text each, never splitting a character.
    QByteArray out;
    QByteArray chunk;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString one = text.mid(i, text.at(i).isHighSurrogate() ? 2 : 1);
        if (one.size() == 2)
            ++i;
        const QByteArray bytes = one.toUtf8();
        if (chunk.size() + bytes.size() > 45) {
            out +=
                (out.isEmpty() ? "" : "\r\n ") + QByteArray("=?UTF-8?B?") + chunk.toBase64() + "?=";
            chunk.clear();
        }
        chunk += bytes;
    }
    if (!chunk.isEmpty() || out.isEmpty())
        out += (out.isEmpty() ? "" : "\r\n ") + QByteArray("=?UTF-8?B?") + chunk.toBase64() + "?=";
    return out;
}

bool SmtpMailer::send(const MailMessage& message)
{
    m_error.clear();
    const auto fail = [this](const QString& why) {
        m_error = why;
        report(Stage::Error);
        return false;
    };
    if (!plainAddress(message.recipient))
        return fail(QStringLiteral("收件人地址无效: %1").arg(message.recipient));
    if (!plainAddress(m_server.address))
        return fail(QStringLiteral("发件邮箱地址无效: %1").arg(m_server.address));
    if (m_server.host.trimmed().isEmpty())
        return fail(QStringLiteral("邮件服务器不能为空!"));
    for (const QString& path : message.attachments) {
        if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable())
            return fail(QStringLiteral("附件不存在: %1").arg(path));
    }

    initialiseCurl();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return fail(QStringLiteral("libcurl 初始化失败"));
    CURL* h = curl.get();
    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);

    const QString scheme =
        m_server.security == MailServer::Ssl ? QStringLiteral("smtps") : QStringLiteral("smtp");
    const QByteArray url = QStringLiteral("%1://%2:%3/%4")
                               .arg(scheme, m_server.host.trimmed())
                               .arg(m_server.port)
                               .arg(QStringLiteral("orvane.local"))
                               .toUtf8();
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    if (m_server.security == MailServer::StartTls)
        curl_easy_setopt(h, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    const QByteArray caFile = m_caFile.toLocal8Bit();
    if (!caFile.isEmpty())
        curl_easy_setopt(h, CURLOPT_CAINFO, caFile.constData());
    const QByteArray account = m_server.account.toUtf8();
    const QByteArray password = m_server.password.toUtf8();
    if (m_server.authenticate) {
        curl_easy_setopt(h, CURLOPT_USERNAME, account.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(h, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    }
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, long(m_connectTimeout));
    curl_easy_setopt(h, CURLOPT_TIMEOUT, long(m_totalTimeout));
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);

    const QByteArray from = "<" + m_server.address.toUtf8() + ">";
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, from.constData());
    const QByteArray to = "<" + message.recipient.toUtf8() + ">";
    std::unique_ptr<curl_slist, CurlDeleter> recipients(curl_slist_append(nullptr, to.constData()));
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, recipients.get());

    // The headers of the mail; curl adds the MIME headers of the body.
    const QByteArray fromHeader =
        "From: " +
        (m_server.senderName.isEmpty() ? QByteArray() : encodedWords(m_server.senderName) + " ") +
        from;
    const QByteArray headerLines[] = {
        fromHeader,
        "To: " + to,
        "Reply-To: " + from,
        "Subject: " + encodedWords(message.subject),
        "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1(),
        "Message-ID: <" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + "@" +
            m_server.address.section(QLatin1Char('@'), 1).toUtf8() + ">",
        "X-Priority: 3",
        "X-Mailer: SMailer(v3.2) Professional",
    };
    curl_slist* headerList = nullptr;
    for (const QByteArray& line : headerLines)
        headerList = curl_slist_append(headerList, line.constData());
    std::unique_ptr<curl_slist, CurlDeleter> headers(headerList);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());

    std::unique_ptr<curl_mime, CurlDeleter> mime(curl_mime_init(h));
    curl_mimepart* body = curl_mime_addpart(mime.get());
    const QByteArray html = message.htmlBody.toUtf8();
    curl_mime_data(body, html.constData(), size_t(html.size()));
    curl_mime_type(body, "text/html; charset=UTF-8");
    curl_mime_encoder(body, "base64");
    std::vector<QByteArray> names;
    for (const QString& path : message.attachments) {
        curl_mimepart* part = curl_mime_addpart(mime.get());
        const QByteArray local = QFile::encodeName(path);
        curl_mime_filedata(part, local.constData());
        const QString fileName = QFileInfo(path).fileName();
        bool ascii = true;
        for (const QChar c : fileName)
            ascii = ascii && c.unicode() > 32 && c.unicode() < 127 && c != u'"';
        names.push_back(ascii ? fileName.toLatin1()
                              : "=?UTF-8?B?" + fileName.toUtf8().toBase64() + "?=");
        curl_mime_filename(part, names.back().constData());
        curl_mime_type(part, "application/octet-stream");
        curl_mime_encoder(part, "base64");
    }
    curl_easy_setopt(h, CURLOPT_MIMEPOST, mime.get());

    std::function<void(Stage)> watcher = [this](Stage stage) { report(stage); };
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, debugWatch);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, &watcher);
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);

    report(Stage::Connect);
    const CURLcode code = curl_easy_perform(h);
    if (code != CURLE_OK) {
        return fail(QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(code)));
    }
    report(Stage::Success);
    return true;
}

} // namespace orvane::platform
