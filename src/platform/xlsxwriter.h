#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace orvane::platform {

// Writes one worksheet of an .xlsx workbook row by row: a header row of column names, then typed
// data rows. A target named *.xls gets an Excel 97-2003 workbook instead (Biff8Workbook), so a
// file's content always matches its extension. The workbook goes to a temporary file beside the
// target and replaces the target only in commit(), so a failed or abandoned export leaves an
// existing file untouched.
class XlsxWriter
{
public:
    enum class ColumnType { Text, Number, Boolean, DateTime };

    XlsxWriter();
    ~XlsxWriter();
    XlsxWriter(const XlsxWriter&) = delete;
    XlsxWriter& operator=(const XlsxWriter&) = delete;

    // Starts a workbook for `path` with one sheet named `sheetName` (characters Excel refuses in
    // sheet names are replaced, the name is cut to 31 characters) and writes the header row.
    bool open(const QString& path, const QString& sheetName, const QStringList& columnNames,
              const QList<ColumnType>& columnTypes);

    // Writes the next data row. A null or invalid value leaves its cell empty; a value that does
    // not fit its column's type is written as text rather than lost.
    bool writeRow(const QVariantList& values);

    // Finishes the workbook and moves it over the target path.
    bool commit();
    // Drops the temporary file; the target is left as it was. Called by the destructor.
    void cancel();

    bool isOpen() const;
    int rowsWritten() const; // data rows, header not counted
    QString errorString() const;

    // The sheet name actually used for a wanted name.
    static QString validSheetName(const QString& wanted);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace orvane::platform
