#include "core/connectconfig.h"

#include "core/inifile.h"
#include "platform/configcipher.h"

#include <QRandomGenerator>
#include <QStringList>

namespace orvane::core {

namespace {
const QString kSection = QStringLiteral("ConnectInfo");
const QString kKey = QStringLiteral("DBConnect");
} // namespace

QString ConnectConfig::connectionString() const
{
    if (integrated) {
        return QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security "
                              "Info=False;Initial Catalog=%1;Data Source=%2")
            .arg(databaseName(), server);
    }
    return QStringLiteral("Provider=SQLOLEDB;Server=%1;UID=%2;PWD=%3;Database=%4")
        .arg(server, user, password, databaseName());
}

std::optional<ConnectConfig> ConnectConfig::parse(const QString& fields)
{
    const QStringList parts = fields.split(QLatin1Char(','));
    if (parts.size() < 5)
        return std::nullopt;
    ConnectConfig c;
    switch (parts[0].trimmed().toInt()) {
    case 1:
        c.password = parts[1];
        c.server = parts[2];
        c.user = parts[3];
        break;
    case 2:
        c.server = parts[1];
        c.password = parts[2];
        c.user = parts[3];
        break;
    case 3:
        c.server = parts[1];
        c.user = parts[2];
        c.password = parts[3];
        break;
    default:
        break;
    }
    c.integrated = parts[4].trimmed().toInt() != 0;
    return c;
}

QString ConnectConfig::format(int orderCode) const
{
    QStringList f{QString::number(orderCode)};
    switch (orderCode) {
    case 1:
        f << password << server << user;
        break;
    case 2:
        f << server << password << user;
        break;
    default:
        f << server << user << password;
        break;
    }
    f << (integrated ? QStringLiteral("1") : QStringLiteral("0"));
    return f.join(QLatin1Char(','));
}

std::optional<ConnectConfig> ConnectConfig::read(const QString& iniPath)
{
    const QString stored = IniFile::read(iniPath, kSection, kKey);
    if (stored.isEmpty())
        return std::nullopt;
    const auto plain = platform::ConfigCipher::decipher(stored);
    if (!plain)
        return std::nullopt;
    return parse(*plain);
}

bool ConnectConfig::write(const QString& iniPath, const QString& server, bool integrated,
                          const QString& user, const QString& password, QString* error)
{
    for (const QString& text : {server, user, password}) {
        if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('\n')) ||
            text.contains(QLatin1Char('\r'))) {
            if (error)
                *error = QStringLiteral("连接配置中不能含有逗号或换行!");
            return false;
        }
    }
    ConnectConfig c{server, user, password, integrated};
    const int code = int(QRandomGenerator::global()->bounded(1, 4));
    const QString enciphered = platform::ConfigCipher::encipher(c.format(code));
    if (enciphered.isEmpty()) {
        if (error)
            *error = QStringLiteral("连接配置加密失败!");
        return false;
    }
    return IniFile::write(iniPath, kSection, kKey, enciphered, error);
}

} // namespace orvane::core
