#pragma once

#include <QByteArray>
#include <QString>

// Little-endian writers for BIFF8 record bodies, shared by the workbook writer and the tests
// that build workbooks of their own.
namespace orvane::platform::biff8 {

void put16(QByteArray& out, quint16 v);
void put32(QByteArray& out, quint32 v);
void putDouble(QByteArray& out, double v);
// A record: type, body length, body.
void record(QByteArray& out, quint16 type, const QByteArray& body);
// The characters of `s` as UTF-16LE bytes.
QByteArray utf16(const QString& s);
// A short string (up to 255 characters): its length in one byte, the UTF-16 flag, the characters.
void putShortString(QByteArray& out, const QString& s);
// The body of a BOF record for a workbook globals (0x0005) or worksheet (0x0010) substream.
QByteArray bof(quint16 kind);
// The body of a BOUNDSHEET record of a visible worksheet; its stream offset (the first four
// bytes) is patched in once the sheet's position is known.
QByteArray boundSheet(const QString& name);
// The body of a DIMENSIONS record for `rows` rows and `columns` columns starting at A1.
QByteArray dimensions(int rows, int columns);

} // namespace orvane::platform::biff8
