#include "core/passwordhash.h"

#include <QByteArray>
#include <QCryptographicHash>

namespace orvane::core {

QString passwordHash(const QString& password)
{
    if (password.isEmpty())
        return QString();
    const qsizetype n = password.size();
    QByteArray utf16le;
    utf16le.reserve(2 * n);
    for (const QChar c : password) {
        utf16le.append(char(c.unicode() & 0xff));
        utf16le.append(char(c.unicode() >> 8));
    }
    utf16le.truncate(n); // n bytes, not 2n
    return QString::fromLatin1(
        QCryptographicHash::hash(utf16le, QCryptographicHash::Md5).toHex().toUpper());
}

} // namespace orvane::core
