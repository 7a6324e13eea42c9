#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace orvane::platform {

// Bounds that keep a hostile or broken workbook from exhausting memory.
struct WorkbookLimits
{
    qint64 maxUncompressedBytes = 200LL * 1024 * 1024; // all parts read from one .xlsx
    qint64 maxFileBytes = 200LL * 1024 * 1024;         // an .xls file as a whole
    int maxRows = 1048576;
    int maxColumns = 16384;
    qint64 maxCells = 20'000'000; // rows x columns of one sheet after padding
};

// Reads the worksheets of an .xlsx or .xls workbook (the format is taken from the file's content,
// not its extension). Cell values come as QVariant: QString for text, double for numbers,
// bool, QDateTime (local time) for cells formatted as dates, and a null QVariant for empty
// cells. Every row of a sheet has the same number of columns; trailing empty rows are dropped.
class WorkbookReader
{
public:
    enum class Format { Unknown, Xlsx, Xls };
    enum class Error {
        None,
        FileNotFound,
        NotAWorkbook,
        Corrupt,
        Encrypted,
        TooLarge,
        NoSuchSheet
    };

    explicit WorkbookReader(const WorkbookLimits& limits = {});
    ~WorkbookReader();
    WorkbookReader(const WorkbookReader&) = delete;
    WorkbookReader& operator=(const WorkbookReader&) = delete;

    // Opens the file and reads its sheet list.
    bool open(const QString& path);
    void close();
    bool isOpen() const;
    Format format() const;
    QString path() const;

    QStringList sheetNames() const;
    // Index of a sheet by name, without regard to case; -1 when there is none.
    int sheetIndex(const QString& name) const;
    bool readSheet(int index, QList<QVariantList>* rows);

    Error error() const;
    QString errorString() const;

    // Date of an Excel day number: days since 1899-12-30 (Excel's own count in January and
    // February 1900), or since 1904-01-01 in 1904 mode.
    static QDateTime dateFromSerial(double serial, bool date1904 = false);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace orvane::platform
