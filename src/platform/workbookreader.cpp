#include "platform/workbookreader.h"

#include "platform/xlsfilereader.h"
#include "platform/xlsxfilereader.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace orvane::platform {

namespace {

const QByteArray kZipMagic("PK\x03\x04", 4);
const QByteArray kEmptyZipMagic("PK\x05\x06", 4);
const QByteArray kCompoundFileMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

bool rowIsEmpty(const QVariantList& row)
{
    return std::all_of(row.begin(), row.end(), [](const QVariant& v) { return !v.isValid(); });
}

} // namespace

struct WorkbookReader::Private
{
    WorkbookLimits limits;
    Format format = Format::Unknown;
    QString path;
    std::unique_ptr<XlsxFileReader> xlsx;
    std::unique_ptr<XlsFileReader> xls;
    Error error = Error::None;
    QString errorString;

    bool fail(Error code, const QString& text)
    {
        error = code;
        errorString = path.isEmpty()
                          ? text
                          : QStringLiteral("%1：%2").arg(text, QDir::toNativeSeparators(path));
        return false;
    }
};

WorkbookReader::WorkbookReader(const WorkbookLimits& limits) : d(std::make_unique<Private>())
{
    d->limits = limits;
}

WorkbookReader::~WorkbookReader() = default;

bool WorkbookReader::open(const QString& path)
{
    close();
    d->path = path;
    d->error = Error::None;
    d->errorString.clear();

    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return d->fail(Error::FileNotFound, QStringLiteral("文件不存在"));
    if (!info.isFile())
        return d->fail(Error::NotAWorkbook, QStringLiteral("不是 Excel 工作簿"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return d->fail(Error::FileNotFound,
                       QStringLiteral("无法读取文件（%1）").arg(file.errorString()));
    const QByteArray head = file.read(8);
    file.close();

    QString reason;
    Error result = Error::None;
    if (head.startsWith(kZipMagic) || head.startsWith(kEmptyZipMagic)) {
        d->format = Format::Xlsx;
        d->xlsx = std::make_unique<XlsxFileReader>(d->limits);
        result = d->xlsx->open(path, &reason);
    } else if (head.startsWith(kCompoundFileMagic)) {
        d->format = Format::Xls;
        d->xls = std::make_unique<XlsFileReader>(d->limits);
        result = d->xls->open(path, &reason);
    } else {
        result = Error::NotAWorkbook;
        reason = QStringLiteral("不是 Excel 工作簿");
    }
    if (result != Error::None) {
        const QString keptPath = d->path;
        close();
        d->path = keptPath;
        return d->fail(result, reason);
    }
    return true;
}

void WorkbookReader::close()
{
    d->xlsx.reset();
    d->xls.reset();
    d->format = Format::Unknown;
    d->path.clear();
}

bool WorkbookReader::isOpen() const
{
    return d->xlsx || d->xls;
}

WorkbookReader::Format WorkbookReader::format() const
{
    return d->format;
}

QString WorkbookReader::path() const
{
    return d->path;
}

QStringList WorkbookReader::sheetNames() const
{
    if (d->xlsx)
        return d->xlsx->sheetNames();
    if (d->xls)
        return d->xls->sheetNames();
    return {};
}

int WorkbookReader::sheetIndex(const QString& name) const
{
    const QStringList names = sheetNames();
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool WorkbookReader::readSheet(int index, QList<QVariantList>* rows)
{
    rows->clear();
    d->error = Error::None;
    d->errorString.clear();
    if (!isOpen())
        return d->fail(Error::NoSuchSheet, QStringLiteral("工作簿未打开"));
    QString reason;
    const Error result = d->xlsx ? d->xlsx->readSheet(index, rows, &reason)
                                 : d->xls->readSheet(index, rows, &reason);
    if (result != Error::None) {
        rows->clear();
        return d->fail(result, reason);
    }

    while (!rows->isEmpty() && rowIsEmpty(rows->constLast()))
        rows->removeLast();
    qsizetype width = 0;
    for (const QVariantList& row : std::as_const(*rows))
        width = std::max(width, row.size());
    if (qint64(rows->size()) * width > d->limits.maxCells) {
        const qsizetype height = rows->size();
        rows->clear();
        return d->fail(Error::TooLarge,
                       QStringLiteral("工作表过大（%1 行 × %2 列）").arg(height).arg(width));
    }
    for (QVariantList& row : *rows)
        row.resize(width);
    return true;
}

WorkbookReader::Error WorkbookReader::error() const
{
    return d->error;
}

QString WorkbookReader::errorString() const
{
    return d->errorString;
}

QDateTime WorkbookReader::dateFromSerial(double serial, bool date1904)
{
    // Beyond year 9999 or before year 100 a number is not a date.
    if (!std::isfinite(serial) || serial < -657434.0 || serial > 2958466.0)
        return {};
    const qint64 ms = std::llround(serial * 86400000.0);
    qint64 days = ms / 86400000;
    qint64 rest = ms % 86400000;
    if (rest < 0) {
        rest += 86400000;
        --days;
    }
    // Excel counts a 29 February 1900 that never was: days 1 to 59 (January and February 1900)
    // are one day later than the plain count from 1899-12-30 that holds from March 1900 on.
    QDate epoch = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    if (!date1904 && days >= 1 && days < 60)
        epoch = QDate(1899, 12, 31);
    return QDateTime(epoch.addDays(days), QTime::fromMSecsSinceStartOfDay(int(rest)));
}

} // namespace orvane::platform
