#include "platform/biff8workbook.h"

#include "platform/biff8records.h"

#include <QtEndian>

namespace orvane::platform {

namespace {

using namespace biff8;

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFree = 0xFFFFFFFF;
constexpr quint32 kFatSector = 0xFFFFFFFD;
constexpr int kSector = 512;
constexpr int kMaxRecordBody = 8224;
constexpr int kMaxCellText = 32767;

QByteArray font()
{
    QByteArray b;
    put16(b, 200);    // 10 points
    put16(b, 0);      // no attributes
    put16(b, 0x7FFF); // automatic colour
    put16(b, 400);    // normal weight
    put16(b, 0);
    b.append(char(0));    // no underline
    b.append(char(0));    // family
    b.append(char(0x86)); // GB2312 character set
    b.append(char(0));
    putShortString(b, QStringLiteral("宋体"));
    return b;
}

QByteArray xf(quint16 format, bool style)
{
    QByteArray b;
    put16(b, 0);                                     // font
    put16(b, format);                                // number format
    put16(b, style ? 0xFFF5 : 0x0001);               // style XF / cell XF of style 0, locked
    b.append(char(0x20));                            // bottom aligned
    b.append(char(0));                               // rotation
    b.append(char(0));                               // indent
    b.append(char(style ? 0 : (format ? 0x04 : 0))); // attributes of its own: the format
    put32(b, 0);                                     // borders
    put32(b, 0);
    put16(b, 0x20C0); // pattern colours
    return b;
}

// The shared string table, continued in CONTINUE records. A string's header never straddles
// two records; its characters may, the continuation starting with its encoding flag again.
void sharedStrings(QByteArray& out, const QList<QString>& strings)
{
    QByteArray body;
    put32(body, quint32(strings.size()));
    put32(body, quint32(strings.size()));
    bool first = true;
    auto flush = [&] {
        record(out, first ? 0x00FC : 0x003C, body);
        first = false;
        body.clear();
    };
    for (const QString& s : strings) {
        if (body.size() + 3 > kMaxRecordBody)
            flush();
        put16(body, quint16(s.size()));
        body.append(char(1)); // UTF-16
        const QByteArray chars = utf16(s);
        qsizetype pos = 0;
        while (pos < chars.size()) {
            const qsizetype room = (kMaxRecordBody - body.size()) & ~qsizetype(1);
            const qsizetype take = std::min(room, chars.size() - pos);
            body.append(chars.mid(pos, take));
            pos += take;
            if (pos < chars.size()) {
                flush();
                body.append(char(1));
            }
        }
    }
    flush();
}

QByteArray directoryEntry(const QString& name, quint8 type, quint32 child, quint32 start,
                          quint32 size)
{
    QByteArray e;
    QByteArray n = utf16(name);
    n.append(2, '\0');
    const quint16 nameBytes = name.isEmpty() ? 0 : quint16(n.size());
    n.resize(64, '\0');
    e.append(n);
    put16(e, nameBytes);
    e.append(char(type));
    e.append(char(1)); // black
    put32(e, kFree);   // left sibling
    put32(e, kFree);   // right sibling
    put32(e, child);
    e.append(QByteArray(16 + 4 + 16, '\0')); // class id, state, times
    put32(e, start);
    put32(e, size);
    put32(e, 0);
    return e;
}

} // namespace

void Biff8Workbook::addSheet(const QString& name)
{
    m_sheets.append({name.left(31), {}});
}

void Biff8Workbook::setText(int row, int column, const QString& text)
{
    const QString cut = text.left(kMaxCellText);
    auto it = m_stringIndex.constFind(cut);
    if (it == m_stringIndex.constEnd()) {
        it = m_stringIndex.insert(cut, int(m_strings.size()));
        m_strings.append(cut);
    }
    m_sheets.last().cells.append({row, column, Cell::Text, 0, it.value()});
}

void Biff8Workbook::setNumber(int row, int column, double value)
{
    m_sheets.last().cells.append({row, column, Cell::Number, value, 0});
}

void Biff8Workbook::setBoolean(int row, int column, bool value)
{
    m_sheets.last().cells.append({row, column, Cell::Boolean, value ? 1.0 : 0.0, 0});
}

void Biff8Workbook::setDateTime(int row, int column, const QDateTime& value)
{
    // Excel counts days from 1899-12-30 (its 1900 leap day is absorbed by that base).
    const double days = double(QDate(1899, 12, 30).daysTo(value.date())) +
                        value.time().msecsSinceStartOfDay() / 86400000.0;
    m_sheets.last().cells.append(
        {row, column, value.time() == QTime(0, 0) ? Cell::Date : Cell::DateTime, days, 0});
}

QByteArray Biff8Workbook::workbookStream() const
{
    QByteArray globals;
    record(globals, 0x0809, bof(0x0005));
    QByteArray codepage;
    put16(codepage, 0x04B0); // UTF-16
    record(globals, 0x0042, codepage);
    QByteArray window;
    for (quint16 v : {0, 0, 0x3000, 0x2000, 0x0038, 0, 0, 1, 0x0258})
        put16(window, v);
    record(globals, 0x003D, window);
    QByteArray datemode;
    put16(datemode, 0);
    record(globals, 0x0022, datemode);
    for (int i = 0; i < 5; ++i) // font 4 is never referenced, but must exist
        record(globals, 0x0031, font());
    for (int i = 0; i < 15; ++i)
        record(globals, 0x00E0, xf(0, true));
    record(globals, 0x00E0, xf(0, false));  // 15: general
    record(globals, 0x00E0, xf(14, false)); // 16: date
    record(globals, 0x00E0, xf(22, false)); // 17: date and time
    QByteArray style;
    put16(style, 0x8000); // built-in style "Normal" on XF 0
    style.append(char(0));
    style.append(char(char(0xFF)));
    record(globals, 0x0293, style);

    // Each sheet record carries its sheet's stream offset, known once the globals are done.
    QList<qsizetype> offsets;
    for (const Sheet& sheet : m_sheets) {
        offsets.append(globals.size() + 4);
        record(globals, 0x0085, boundSheet(sheet.name));
    }
    sharedStrings(globals, m_strings);
    record(globals, 0x000A, {});

    QByteArray stream = globals;
    for (qsizetype i = 0; i < m_sheets.size(); ++i) {
        const Sheet& sheet = m_sheets.at(i);
        qToLittleEndian(quint32(stream.size()), stream.data() + offsets.at(i));
        record(stream, 0x0809, bof(0x0010));
        int rows = 0;
        int columns = 0;
        for (const Cell& c : sheet.cells) {
            rows = std::max(rows, c.row + 1);
            columns = std::max(columns, c.column + 1);
        }
        record(stream, 0x0200, dimensions(rows, columns));
        QByteArray window2;
        for (quint16 v : {quint16(i == 0 ? 0x06B6 : 0x00B6), quint16(0), quint16(0), quint16(64),
                          quint16(0), quint16(0), quint16(0), quint16(0), quint16(0)})
            put16(window2, v);
        record(stream, 0x023E, window2);
        for (const Cell& c : sheet.cells) {
            QByteArray b;
            put16(b, quint16(c.row));
            put16(b, quint16(c.column));
            switch (c.kind) {
            case Cell::Text:
                put16(b, 15);
                put32(b, quint32(c.string));
                record(stream, 0x00FD, b);
                break;
            case Cell::Number:
            case Cell::Date:
            case Cell::DateTime:
                put16(b, c.kind == Cell::Number ? 15 : (c.kind == Cell::Date ? 16 : 17));
                putDouble(b, c.number);
                record(stream, 0x0203, b);
                break;
            case Cell::Boolean:
                put16(b, 15);
                b.append(char(c.number != 0.0));
                b.append(char(0));
                record(stream, 0x0205, b);
                break;
            }
        }
        record(stream, 0x000A, {});
    }
    return stream;
}

QByteArray Biff8Workbook::toBytes(QString* error) const
{
    for (const Sheet& sheet : m_sheets) {
        for (const Cell& c : sheet.cells) {
            if (c.row >= kMaxRows || c.column >= kMaxColumns) {
                if (error)
                    *error = QStringLiteral("Excel 97-2003 工作表最多 %1 行、%2 列，请导出为 .xlsx")
                                 .arg(kMaxRows)
                                 .arg(kMaxColumns);
                return {};
            }
        }
    }
    const QByteArray file = compoundFile(workbookStream(), QStringLiteral("Workbook"));
    if (file.isEmpty() && error)
        *error = QStringLiteral("数据太多，Excel 97-2003 工作簿放不下，请导出为 .xlsx");
    return file;
}

QByteArray Biff8Workbook::compoundFile(const QByteArray& streamIn, const QString& streamName)
{
    // Streams under 4096 bytes would live in the mini stream; padding keeps this to plain
    // sectors: the FAT first, then the directory, then the stream.
    QByteArray stream = streamIn;
    if (stream.size() < 4096)
        stream.append(QByteArray(4096 - stream.size(), '\0'));
    const qsizetype streamSectors = (stream.size() + kSector - 1) / kSector;
    stream.resize(streamSectors * kSector, '\0');
    constexpr int entriesPerSector = kSector / 4;
    qsizetype fatSectors = 1;
    while (fatSectors * entriesPerSector < fatSectors + 1 + streamSectors)
        ++fatSectors;
    if (fatSectors > 109) // all FAT sectors must be listed in the header
        return {};
    const quint32 directorySector = quint32(fatSectors);
    const quint32 firstStreamSector = directorySector + 1;

    QByteArray header;
    header.append("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    header.append(QByteArray(16, '\0'));
    put16(header, 0x003E);
    put16(header, 0x0003);
    put16(header, 0xFFFE);
    put16(header, 9); // 512-byte sectors
    put16(header, 6); // 64-byte mini sectors
    header.append(QByteArray(6, '\0'));
    put32(header, 0); // directory sectors (version 3)
    put32(header, quint32(fatSectors));
    put32(header, directorySector);
    put32(header, 0);           // transaction signature
    put32(header, 4096);        // mini stream cutoff
    put32(header, kEndOfChain); // first mini FAT sector
    put32(header, 0);
    put32(header, kEndOfChain); // first DIFAT sector
    put32(header, 0);
    for (int i = 0; i < 109; ++i)
        put32(header, i < fatSectors ? quint32(i) : kFree);

    QByteArray fat;
    for (qsizetype i = 0; i < fatSectors; ++i)
        put32(fat, kFatSector);
    put32(fat, kEndOfChain); // the directory
    for (qsizetype i = 0; i < streamSectors; ++i)
        put32(fat, i + 1 < streamSectors ? quint32(firstStreamSector + i + 1) : kEndOfChain);
    while (fat.size() < fatSectors * kSector)
        put32(fat, kFree);

    QByteArray directory;
    directory.append(directoryEntry(QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0));
    directory.append(directoryEntry(streamName, 2, kFree, firstStreamSector,
                                    quint32(std::max<qsizetype>(streamIn.size(), 4096))));
    directory.append(directoryEntry(QString(), 0, kFree, 0, 0));
    directory.append(directoryEntry(QString(), 0, kFree, 0, 0));

    return header + fat + directory + stream;
}

} // namespace orvane::platform
