#include "platform/idcardreader.h"

#include <QDir>
#include <QFile>
#include <QLibrary>

namespace orvane::platform {

namespace {

constexpr int kTextBytes = 256;
constexpr int kLastPosition = 79; // the identity number ends before this character
constexpr qint64 kMaxPhotoBytes = 1024 * 1024;

const char16_t* const kNations[] = {
    u"汉族",       u"蒙古族",   u"回族",     u"藏族",   u"维吾尔族", u"苗族",     u"彝族",
    u"壮族",       u"布依族",   u"朝鲜族",   u"满族",   u"侗族",     u"瑶族",     u"白族",
    u"土家族",     u"哈尼族",   u"哈萨克族", u"傣族",   u"黎族",     u"傈僳族",   u"佤族",
    u"畲族",       u"高山族",   u"拉祜族",   u"水族",   u"东乡族",   u"纳西族",   u"景颇族",
    u"柯尔克孜族", u"土族",     u"达斡尔族", u"仫佬族", u"羌族",     u"布朗族",   u"撒拉族",
    u"毛南族",     u"仡佬族",   u"锡伯族",   u"阿昌族", u"普米族",   u"塔吉克族", u"怒族",
    u"乌孜别克族", u"俄罗斯族", u"鄂温克族", u"德昂族", u"保安族",   u"裕固族",   u"京族",
    u"塔塔尔族",   u"独龙族",   u"鄂伦春族", u"赫哲族", u"门巴族",   u"珞巴族",   u"基诺族",
};

} // namespace

IdCardReader::IdCardReader(const QString& programFolder) : m_folder(programFolder)
{
    const QDir dir(programFolder);
    for (const char* name : {"termb.dll", "libtermb.so"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        if (!QFile::exists(path))
            continue;
        auto library = std::make_unique<QLibrary>(path);
        if (!library->load())
            continue;
        m_init = reinterpret_cast<InitFn>(library->resolve("CVR_InitComm"));
        m_close = reinterpret_cast<VoidFn>(library->resolve("CVR_CloseComm"));
        m_authenticate = reinterpret_cast<VoidFn>(library->resolve("CVR_Authenticate"));
        m_read = reinterpret_cast<ReadFn>(library->resolve("CVR_Read_Content"));
        m_library = std::move(library);
        break;
    }
}

IdCardReader::~IdCardReader() = default;

void IdCardReader::closePort()
{
    if (isLoaded())
        m_close();
}

IdCardReader::Result IdCardReader::read(IdCardData& data, QByteArray& photo)
{
    if (!isLoaded())
        return Result::NoLibrary;
    bool open = false;
    for (int port = 1001; port <= 1016 && !open; ++port)
        open = m_init(port) == 1;
    for (int port = 1; port <= 16 && !open; ++port)
        open = m_init(port) == 1;
    if (!open) {
        m_close();
        return Result::PortFailed;
    }
    Result result = Result::NotAuthenticated;
    if (m_authenticate() == 1) {
        result = Result::ReadFailed;
        if (m_read(1) == 1) {
            const QDir dir(m_folder);
            QFile text(dir.filePath(QStringLiteral("wz.txt")));
            QByteArray bytes;
            if (text.open(QIODevice::ReadOnly))
                bytes = text.read(kTextBytes);
            text.close();
            result = parseText(bytes, data) ? Result::Ok : Result::BadText;
            QFile picture(dir.filePath(QStringLiteral("zp.bmp")));
            if (picture.open(QIODevice::ReadOnly) && picture.size() <= kMaxPhotoBytes)
                photo = picture.readAll();
            picture.close();
            QFile::remove(text.fileName());
            QFile::remove(picture.fileName());
        }
    }
    m_close();
    return result;
}

bool IdCardReader::parseText(const QByteArray& bytes, IdCardData& data)
{
    const QByteArray head = bytes.left(kTextBytes);
    QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(head.constData()), head.size() / 2);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (text.size() < kLastPosition)
        return false;
    const auto field = [&text](int from, int count) { return text.mid(from, count).trimmed(); };
    data.name = field(0, 15);
    data.sex = field(15, 1) == QLatin1String("1") ? QStringLiteral("男") : QStringLiteral("女");
    bool numeric = false;
    const int code = field(16, 2).toInt(&numeric);
    data.nation = numeric ? nationName(code) : QString();
    data.birthday = QDate::fromString(field(18, 8), QStringLiteral("yyyyMMdd"));
    data.address = field(26, 35);
    data.idNumber = field(61, 18);
    return true;
}

QString IdCardReader::nationName(int code)
{
    if (code >= 1 && code <= 56)
        return QString::fromUtf16(kNations[code - 1]);
    if (code == 97)
        return QStringLiteral("其他");
    if (code == 98)
        return QStringLiteral("外国血统中国籍人士");
    return QString();
}

} // namespace orvane::platform
