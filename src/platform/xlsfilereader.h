#pragma once

#include "platform/workbookreader.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace orvane::platform {

// The .xls side of WorkbookReader, over libfreexl (BIFF2 to BIFF8 workbooks).
class XlsFileReader
{
public:
    using Error = WorkbookReader::Error;

    explicit XlsFileReader(const WorkbookLimits& limits);
    ~XlsFileReader();
    XlsFileReader(const XlsFileReader&) = delete;
    XlsFileReader& operator=(const XlsFileReader&) = delete;

    Error open(const QString& path, QString* error);
    QStringList sheetNames() const;
    Error readSheet(int index, QList<QVariantList>* rows, QString* error);

private:
    void closeHandle();

    WorkbookLimits m_limits;
    const void* m_handle = nullptr;
    QStringList m_sheetNames;
};

} // namespace orvane::platform
