#include "platform/biff8records.h"

#include <QtEndian>

#include <cstring>

namespace orvane::platform::biff8 {

void put16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void putDouble(QByteArray& out, double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    char b[8];
    qToLittleEndian(bits, b);
    out.append(b, 8);
}

void record(QByteArray& out, quint16 type, const QByteArray& body)
{
    put16(out, type);
    put16(out, quint16(body.size()));
    out.append(body);
}

QByteArray utf16(const QString& s)
{
    return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

void putShortString(QByteArray& out, const QString& s)
{
    out.append(char(s.size()));
    out.append(char(1)); // UTF-16
    out.append(utf16(s));
}

QByteArray bof(quint16 kind)
{
    QByteArray b;
    put16(b, 0x0600); // BIFF8
    put16(b, kind);
    put16(b, 0x0DBB);
    put16(b, 0x07CC);
    put32(b, 0);
    put32(b, 0x06);
    return b;
}

QByteArray boundSheet(const QString& name)
{
    QByteArray b;
    put32(b, 0);
    b.append(char(0)); // visible
    b.append(char(0)); // worksheet
    putShortString(b, name);
    return b;
}

QByteArray dimensions(int rows, int columns)
{
    QByteArray b;
    put32(b, 0);
    put32(b, quint32(rows));
    put16(b, 0);
    put16(b, quint16(columns));
    put16(b, 0);
    return b;
}

} // namespace orvane::platform::biff8
