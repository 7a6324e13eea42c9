#include "biff8builder.h"

#include "platform/biff8records.h"
#include "platform/biff8workbook.h"

#include <QtEndian>

namespace {

using namespace orvane::platform::biff8;

QByteArray xf(quint16 format)
{
    QByteArray b;
    put16(b, 0);      // font
    put16(b, format); // number format
    put16(b, 0x0001); // locked cell
    b.append(QByteArray(14, '\0'));
    return b;
}

} // namespace

void Biff8Builder::addSheet(const QString& name)
{
    m_sheets.append({name, {}});
}

void Biff8Builder::addText(int row, int col, const QString& text)
{
    m_sheets.last().cells.append({row, col, Cell::Text, text, 0, General});
}

void Biff8Builder::addNumber(int row, int col, double value, Style style)
{
    m_sheets.last().cells.append({row, col, Cell::Number, {}, value, style});
}

void Biff8Builder::addBoolean(int row, int col, bool value)
{
    m_sheets.last().cells.append({row, col, Cell::Boolean, {}, value ? 1.0 : 0.0, General});
}

QByteArray Biff8Builder::workbookStream() const
{
    QStringList strings;
    for (const Sheet& sheet : m_sheets)
        for (const Cell& cell : sheet.cells)
            if (cell.kind == Cell::Text && !strings.contains(cell.text))
                strings.append(cell.text);

    QByteArray globals;
    record(globals, 0x0809, bof(0x0005));
    if (m_obfuscated) {
        QByteArray pass;
        put16(pass, 0);      // XOR obfuscation
        put16(pass, 0x1234); // key
        put16(pass, 0x5678); // verifier
        record(globals, 0x002F, pass);
    }
    QByteArray codepage;
    put16(codepage, 0x04B0);
    record(globals, 0x0042, codepage);
    QByteArray datemode;
    put16(datemode, 0);
    record(globals, 0x0022, datemode);
    record(globals, 0x00E0, xf(0));
    record(globals, 0x00E0, xf(14));
    record(globals, 0x00E0, xf(22));

    // The sheet records carry the stream offset of each sheet, known once the globals are done.
    QList<int> boundSheetOffsets;
    for (const Sheet& sheet : m_sheets) {
        boundSheetOffsets.append(globals.size() + 4);
        record(globals, 0x0085, boundSheet(sheet.name));
    }
    QByteArray sst;
    put32(sst, quint32(strings.size()));
    put32(sst, quint32(strings.size()));
    for (const QString& s : strings) {
        put16(sst, quint16(s.size()));
        sst.append(char(1));
        sst.append(utf16(s));
    }
    record(globals, 0x00FC, sst);
    record(globals, 0x000A, {});

    QByteArray stream = globals;
    for (int i = 0; i < m_sheets.size(); ++i) {
        const Sheet& sheet = m_sheets.at(i);
        qToLittleEndian(quint32(stream.size()), stream.data() + boundSheetOffsets.at(i));
        record(stream, 0x0809, bof(0x0010));
        int rows = 0;
        int cols = 0;
        for (const Cell& c : sheet.cells) {
            rows = std::max(rows, c.row + 1);
            cols = std::max(cols, c.col + 1);
        }
        record(stream, 0x0200, dimensions(rows, cols));
        for (const Cell& c : sheet.cells) {
            QByteArray b;
            put16(b, quint16(c.row));
            put16(b, quint16(c.col));
            put16(b, quint16(c.style));
            if (c.kind == Cell::Text) {
                put32(b, quint32(strings.indexOf(c.text)));
                record(stream, 0x00FD, b);
            } else if (c.kind == Cell::Number) {
                putDouble(b, c.number);
                record(stream, 0x0203, b);
            } else {
                b.append(char(c.number != 0.0));
                b.append(char(0));
                record(stream, 0x0205, b);
            }
        }
        record(stream, 0x000A, {});
    }
    return stream;
}

QByteArray Biff8Builder::compoundFile(const QByteArray& stream, const QString& streamName)
{
    return orvane::platform::Biff8Workbook::compoundFile(stream, streamName);
}
