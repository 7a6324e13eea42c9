#include "platform/xlsfilereader.h"

#include <QDateTime>
#include <QFile>

#include <freexl.h>

namespace orvane::platform {

namespace {

// An encrypted .xlsx is a compound file holding an "EncryptedPackage" stream instead of a
// workbook; its directory entry names are UTF-16.
bool looksLikeEncryptedPackage(const QString& path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray needle = QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    const QByteArray data = file.read(std::min<qint64>(maxBytes, qint64(16) * 1024 * 1024));
    return data.contains(needle);
}

QString describe(int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("文件不存在或无法读取");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("内存不足");
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("文件不是 Excel 工作簿");
    case FREEXL_CRAFTED_FILE:
        return QStringLiteral("文件结构异常（疑为恶意构造）");
    case FREEXL_INVALID_CHARACTER:
    case FREEXL_UNSUPPORTED_CHARSET:
        return QStringLiteral("文本编码无法识别");
    default:
        return QStringLiteral("文件已损坏（错误 %1）").arg(code);
    }
}

QVariant cellValue(const FreeXL_CellValue& cell)
{
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return double(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return cell.value.double_value;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return cell.value.text_value ? QString::fromUtf8(cell.value.text_value) : QString();
    case FREEXL_CELL_DATE: {
        const QDate date = QDate::fromString(QString::fromLatin1(cell.value.text_value),
                                             QStringLiteral("yyyy-MM-dd"));
        return date.isValid() ? QVariant(QDateTime(date, QTime(0, 0))) : QVariant();
    }
    case FREEXL_CELL_DATETIME: {
        const QDateTime dt = QDateTime::fromString(QString::fromLatin1(cell.value.text_value),
                                                   QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    case FREEXL_CELL_TIME: {
        // A time alone is the time of day 0, as Excel counts days.
        const QTime time = QTime::fromString(QString::fromLatin1(cell.value.text_value),
                                             QStringLiteral("HH:mm:ss"));
        return time.isValid() ? QVariant(QDateTime(QDate(1899, 12, 30), time)) : QVariant();
    }
    default:
        return {};
    }
}

} // namespace

XlsFileReader::XlsFileReader(const WorkbookLimits& limits) : m_limits(limits) {}

XlsFileReader::~XlsFileReader()
{
    closeHandle();
}

void XlsFileReader::closeHandle()
{
    if (m_handle)
        freexl_close(m_handle);
    m_handle = nullptr;
    m_sheetNames.clear();
}

XlsFileReader::Error XlsFileReader::open(const QString& path, QString* error)
{
    closeHandle();
    if (QFile(path).size() > m_limits.maxFileBytes) {
        *error = QStringLiteral("工作簿超过 %1 MB，拒绝读取")
                     .arg(m_limits.maxFileBytes / (qint64(1024) * 1024));
        return Error::TooLarge;
    }
    const QByteArray encoded = QFile::encodeName(path);
    const void* handle = nullptr;
    const int code = freexl_open(encoded.constData(), &handle);
    if (code != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        if (code == FREEXL_BIFF_WORKBOOK_NOT_FOUND &&
            looksLikeEncryptedPackage(path, m_limits.maxFileBytes)) {
            *error = QStringLiteral("工作簿受密码保护，无法读取");
            return Error::Encrypted;
        }
        *error = describe(code);
        switch (code) {
        case FREEXL_FILE_NOT_FOUND:
            return Error::FileNotFound;
        case FREEXL_INVALID_CFBF_HEADER:
        case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
            return Error::NotAWorkbook;
        case FREEXL_INSUFFICIENT_MEMORY:
            return Error::TooLarge;
        default:
            return Error::Corrupt;
        }
    }
    m_handle = handle;

    unsigned int info = 0;
    if (freexl_get_info(m_handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED) {
        closeHandle();
        *error = QStringLiteral("工作簿受密码保护，无法读取");
        return Error::Encrypted;
    }
    unsigned int count = 0;
    if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) {
        closeHandle();
        *error = describe(FREEXL_BIFF_WORKBOOK_NOT_FOUND);
        return Error::NotAWorkbook;
    }
    for (unsigned int i = 0; i < count && i < 0xFFFF; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(m_handle, static_cast<unsigned short>(i), &name) !=
                FREEXL_OK ||
            !name) {
            closeHandle();
            *error = describe(FREEXL_BIFF_ILLEGAL_SHEET_INDEX);
            return Error::Corrupt;
        }
        m_sheetNames.append(QString::fromUtf8(name));
    }
    return Error::None;
}

QStringList XlsFileReader::sheetNames() const
{
    return m_sheetNames;
}

XlsFileReader::Error XlsFileReader::readSheet(int index, QList<QVariantList>* rows, QString* error)
{
    rows->clear();
    if (!m_handle || index < 0 || index >= m_sheetNames.size()) {
        *error = QStringLiteral("工作表不存在");
        return Error::NoSuchSheet;
    }
    int code = freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index));
    unsigned int rowCount = 0;
    unsigned short columnCount = 0;
    if (code == FREEXL_OK)
        code = freexl_worksheet_dimensions(m_handle, &rowCount, &columnCount);
    if (code != FREEXL_OK) {
        *error = describe(code);
        return Error::Corrupt;
    }
    if (rowCount > unsigned(m_limits.maxRows) || columnCount > m_limits.maxColumns ||
        qint64(rowCount) * columnCount > m_limits.maxCells) {
        *error = QStringLiteral("工作表过大（%1 行 × %2 列）").arg(rowCount).arg(columnCount);
        return Error::TooLarge;
    }
    rows->reserve(rowCount);
    for (unsigned int r = 0; r < rowCount; ++r) {
        QVariantList row;
        for (unsigned short c = 0; c < columnCount; ++c) {
            FreeXL_CellValue cell{};
            const int got = freexl_get_cell_value(m_handle, r, c, &cell);
            if (got == FREEXL_ILLEGAL_CELL_ROW_COL)
                break;
            if (got != FREEXL_OK) {
                *error = describe(got);
                rows->clear();
                return Error::Corrupt;
            }
            const QVariant value = cellValue(cell);
            if (value.isValid()) {
                if (row.size() <= c)
                    row.resize(c + 1);
                row[c] = value;
            }
        }
        rows->append(row);
    }
    return Error::None;
}

} // namespace orvane::platform
