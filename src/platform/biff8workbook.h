#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

namespace orvane::platform {

// An Excel 97-2003 workbook (.xls): BIFF8 records in a compound file, built in memory. Text
// cells go to the shared string table, dates are day numbers with a date format, as Excel
// writes them. Limits of the format: 65,536 rows and 256 columns per sheet, 32,767 characters
// per cell, a few megabytes per workbook.
class Biff8Workbook
{
public:
    static constexpr int kMaxRows = 65536;
    static constexpr int kMaxColumns = 256;

    void addSheet(const QString& name);
    // Cells of the last sheet added.
    void setText(int row, int column, const QString& text);
    void setNumber(int row, int column, double value);
    void setBoolean(int row, int column, bool value);
    // A date (no time of day) or a date and time.
    void setDateTime(int row, int column, const QDateTime& value);

    // The whole file; empty with `error` set when it exceeds what the format holds.
    QByteArray toBytes(QString* error) const;

    // The compound file holding `stream` under `streamName` (also used by tests to wrap streams
    // they build themselves). Empty when the stream is too large for one level of FAT.
    static QByteArray compoundFile(const QByteArray& stream, const QString& streamName);

private:
    struct Cell
    {
        int row;
        int column;
        enum Kind { Text, Number, Boolean, Date, DateTime } kind;
        double number;
        int string; // index in the string table
    };
    struct Sheet
    {
        QString name;
        QList<Cell> cells;
    };
    QByteArray workbookStream() const;

    QList<Sheet> m_sheets;
    QList<QString> m_strings;
    QHash<QString, int> m_stringIndex;
};

} // namespace orvane::platform
