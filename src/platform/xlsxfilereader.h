#pragma once

#include "platform/workbookreader.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace orvane::platform {

class ZipArchive;

// The .xlsx side of WorkbookReader: the package is read with libzip, its XML parts with
// QXmlStreamReader. Rows come back sparse (each as long as its last non-empty cell); the caller
// evens them out.
class XlsxFileReader
{
public:
    using Error = WorkbookReader::Error;

    explicit XlsxFileReader(const WorkbookLimits& limits);
    ~XlsxFileReader();
    XlsxFileReader(const XlsxFileReader&) = delete;
    XlsxFileReader& operator=(const XlsxFileReader&) = delete;

    Error open(const QString& path, QString* error);
    QStringList sheetNames() const;
    Error readSheet(int index, QList<QVariantList>* rows, QString* error);

    // Whether an Excel number format shows a date or time: the built-in ids and custom codes
    // with date or time letters outside quoted text, escapes and [colour] sections.
    static bool isDateFormat(int numFmtId, const QString& formatCode);

private:
    struct Sheet
    {
        QString name;
        QString part; // path of the worksheet inside the package
    };

    Error readPart(const QString& part, QByteArray* data, bool required, QString* error);
    Error parseRootRelationships(QString* workbookPart, QString* error);
    Error parseWorkbook(const QString& workbookPart, QString* error);
    Error parseSharedStrings(const QString& part, QString* error);
    Error parseStyles(const QString& part, QString* error);
    Error parseWorksheet(const QByteArray& xml, QList<QVariantList>* rows, QString* error);

    WorkbookLimits m_limits;
    std::unique_ptr<ZipArchive> m_zip;
    qint64 m_bytesRead = 0; // parts kept for the whole session
    QList<Sheet> m_sheets;
    QStringList m_sharedStrings;
    QList<bool> m_dateStyles; // per cell style index
    bool m_date1904 = false;
};

} // namespace orvane::platform
