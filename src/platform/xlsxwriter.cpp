#include "platform/xlsxwriter.h"

#include "platform/biff8workbook.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace orvane::platform {

namespace {

constexpr int kMaxSheetNameLength = 31;
constexpr int kMaxTextLength = 32767; // longest text an Excel cell holds
constexpr int kMaxColumns = 16384;
constexpr int kMaxRows = 1048576;

lxw_datetime toLxwDateTime(const QDateTime& dt)
{
    const QDate date = dt.date();
    const QTime time = dt.time();
    lxw_datetime out{};
    out.year = date.year();
    out.month = date.month();
    out.day = date.day();
    out.hour = time.hour();
    out.min = time.minute();
    out.sec = time.second() + time.msec() / 1000.0;
    return out;
}

// Excel's day count does not reach before 1900 or past 9999.
bool excelCanHoldDate(const QDateTime& dt)
{
    return dt.isValid() && dt.date().year() >= 1900 && dt.date().year() <= 9999;
}

QDateTime asDateTime(const QVariant& value, bool* ok)
{
    *ok = false;
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        *ok = value.toDateTime().isValid();
        return value.toDateTime();
    case QMetaType::QDate: {
        const QDate date = value.toDate();
        *ok = date.isValid();
        return date.startOfDay();
    }
    case QMetaType::QString: {
        QDateTime dt = QDateTime::fromString(value.toString().trimmed(), Qt::ISODate);
        if (!dt.isValid())
            dt = QDateTime::fromString(value.toString().trimmed(),
                                       QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        *ok = dt.isValid();
        return dt;
    }
    default:
        return {};
    }
}

bool isNumeric(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

// Workbook text writes characters XML cannot carry as "_xHHHH_"; a text that holds such a
// sequence itself gets its underscore escaped ("_x005F_"), so readers show it unchanged.
QString protectEscapes(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool escapeLike =
            i + 7 <= text.size() && text.at(i) == u'_' && text.at(i + 1) == u'x' &&
            text.at(i + 6) == u'_' &&
            std::all_of(text.begin() + i + 2, text.begin() + i + 6,
                        [](QChar c) { return c.unicode() < 128 && isxdigit(c.unicode()); });
        out += escapeLike ? QStringLiteral("_x005F_") : QString(text.at(i));
    }
    return out;
}

} // namespace

struct XlsxWriter::Private
{
    lxw_workbook* workbook = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_format* dateFormat = nullptr;
    lxw_format* dateTimeFormat = nullptr;
    std::unique_ptr<Biff8Workbook> biff; // an .xls target: Excel 97-2003 records instead
    QList<ColumnType> types;
    QString targetPath;
    QString tempPath;
    int nextRow = 0;
    QString error;

    bool fail(const QString& text)
    {
        error = text;
        return false;
    }
    bool check(lxw_error code, const QString& what)
    {
        if (code == LXW_NO_ERROR)
            return true;
        return fail(QStringLiteral("%1失败：%2").arg(what, QString::fromUtf8(lxw_strerror(code))));
    }
    lxw_error writeText(int col, const QString& text)
    {
        if (biff) {
            biff->setText(nextRow, col, text.left(kMaxTextLength));
            return LXW_NO_ERROR;
        }
        const QByteArray utf8 = protectEscapes(text.left(kMaxTextLength)).toUtf8();
        return worksheet_write_string(sheet, nextRow, col, utf8.constData(), nullptr);
    }
    lxw_error writeCell(int col, const QVariant& value);
    void discard();
};

lxw_error XlsxWriter::Private::writeCell(int col, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return LXW_NO_ERROR;
    const ColumnType type = col < types.size() ? types.at(col) : ColumnType::Text;
    switch (type) {
    case ColumnType::Text:
        break;
    case ColumnType::Number: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok && (isNumeric(value) || value.typeId() == QMetaType::QString)) {
            if (!std::isfinite(number))
                return LXW_NO_ERROR;
            if (biff) {
                biff->setNumber(nextRow, col, number);
                return LXW_NO_ERROR;
            }
            return worksheet_write_number(sheet, nextRow, col, number, nullptr);
        }
        break;
    }
    case ColumnType::Boolean:
        if (isNumeric(value) && biff) {
            biff->setBoolean(nextRow, col, value.toDouble() != 0.0);
            return LXW_NO_ERROR;
        }
        if (isNumeric(value))
            return worksheet_write_boolean(sheet, nextRow, col, value.toDouble() != 0.0, nullptr);
        break;
    case ColumnType::DateTime: {
        bool ok = false;
        const QDateTime dt = asDateTime(value, &ok);
        if (ok && excelCanHoldDate(dt) && biff) {
            biff->setDateTime(nextRow, col, dt);
            return LXW_NO_ERROR;
        }
        if (ok && excelCanHoldDate(dt)) {
            lxw_datetime lxw = toLxwDateTime(dt);
            lxw_format* format = dt.time() == QTime(0, 0) ? dateFormat : dateTimeFormat;
            return worksheet_write_datetime(sheet, nextRow, col, &lxw, format);
        }
        break;
    }
    }
    QString text;
    if (value.typeId() == QMetaType::QDateTime)
        text = value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    else if (value.typeId() == QMetaType::Bool)
        text = value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    else
        text = value.toString();
    if (text.isEmpty())
        return LXW_NO_ERROR;
    return writeText(col, text);
}

void XlsxWriter::Private::discard()
{
    biff.reset();
    if (workbook) {
        // The library cannot drop a workbook unwritten: it is closed onto the temporary path,
        // which is removed right after.
        workbook_close(workbook);
        workbook = nullptr;
        sheet = nullptr;
    }
    if (!tempPath.isEmpty()) {
        QFile::remove(tempPath);
        tempPath.clear();
    }
}

XlsxWriter::XlsxWriter() : d(std::make_unique<Private>()) {}

XlsxWriter::~XlsxWriter()
{
    cancel();
}

QString XlsxWriter::validSheetName(const QString& wanted)
{
    QString name = wanted;
    for (QChar& c : name) {
        if (c == u'[' || c == u']' || c == u':' || c == u'*' || c == u'?' || c == u'/' ||
            c == u'\\' || c.category() == QChar::Other_Control)
            c = u'_';
    }
    // Excel refuses a name that begins or ends with an apostrophe.
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    name = name.left(kMaxSheetNameLength);
    while (name.endsWith(u'\''))
        name.chop(1);
    if (name.trimmed().isEmpty())
        name = QStringLiteral("Sheet1");
    return name;
}

bool XlsxWriter::open(const QString& path, const QString& sheetName, const QStringList& columnNames,
                      const QList<ColumnType>& columnTypes)
{
    cancel();
    d->error.clear();
    d->nextRow = 0;
    if (columnNames.isEmpty())
        return d->fail(QStringLiteral("没有可导出的列"));
    if (columnNames.size() > kMaxColumns)
        return d->fail(QStringLiteral("列数超过 Excel 工作表的上限 %1").arg(kMaxColumns));
    if (path.isEmpty())
        return d->fail(QStringLiteral("未指定文件名"));

    const QFileInfo target(path);
    QTemporaryFile temp(target.absoluteDir().filePath(
        QStringLiteral(".%1.XXXXXX.tmp").arg(target.completeBaseName())));
    temp.setAutoRemove(false);
    if (!temp.open())
        return d->fail(
            QStringLiteral("无法在目录 %1 中写入文件：%2")
                .arg(QDir::toNativeSeparators(target.absolutePath()), temp.errorString()));
    d->tempPath = temp.fileName();
    temp.close();

    if (target.suffix().compare(QLatin1String("xls"), Qt::CaseInsensitive) == 0) {
        // The file's content follows its extension: .xls is an Excel 97-2003 workbook.
        if (columnNames.size() > Biff8Workbook::kMaxColumns) {
            d->discard();
            return d->fail(QStringLiteral("列数超过 Excel 97-2003 工作表的上限 %1")
                               .arg(Biff8Workbook::kMaxColumns));
        }
        d->biff = std::make_unique<Biff8Workbook>();
        d->biff->addSheet(validSheetName(sheetName));
        d->types = columnTypes;
        for (int col = 0; col < columnNames.size(); ++col)
            d->writeText(col, columnNames.at(col));
        d->targetPath = path;
        d->nextRow = 1;
        return true;
    }

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they are written
    options.use_zip64 = LXW_TRUE;
    const QByteArray encoded = QFile::encodeName(d->tempPath);
    d->workbook = workbook_new_opt(encoded.constData(), &options);
    if (!d->workbook) {
        d->discard();
        return d->fail(QStringLiteral("无法创建工作簿"));
    }
    const QByteArray sheetUtf8 = validSheetName(sheetName).toUtf8();
    d->sheet = workbook_add_worksheet(d->workbook, sheetUtf8.constData());
    d->dateFormat = workbook_add_format(d->workbook);
    d->dateTimeFormat = workbook_add_format(d->workbook);
    if (!d->sheet || !d->dateFormat || !d->dateTimeFormat) {
        d->discard();
        return d->fail(QStringLiteral("无法创建工作表"));
    }
    format_set_num_format(d->dateFormat, "yyyy-mm-dd");
    format_set_num_format(d->dateTimeFormat, "yyyy-mm-dd hh:mm:ss");

    d->types = columnTypes;
    for (int col = 0; col < columnNames.size(); ++col) {
        if (!d->check(d->writeText(col, columnNames.at(col)), QStringLiteral("写入标题行"))) {
            d->discard();
            return false;
        }
        if (col < columnTypes.size() && columnTypes.at(col) == ColumnType::DateTime)
            worksheet_set_column(d->sheet, col, col, 19, nullptr);
    }
    d->targetPath = path;
    d->nextRow = 1;
    return true;
}

bool XlsxWriter::writeRow(const QVariantList& values)
{
    if (!isOpen())
        return d->fail(QStringLiteral("工作簿未打开"));
    const int maxRows = d->biff ? Biff8Workbook::kMaxRows : kMaxRows;
    if (d->nextRow >= maxRows)
        return d->fail(QStringLiteral("行数超过 Excel 工作表的上限 %1").arg(maxRows));
    const int count = std::min<qsizetype>(values.size(), kMaxColumns);
    for (int col = 0; col < count; ++col) {
        const lxw_error code = d->writeCell(col, values.at(col));
        if (code != LXW_NO_ERROR)
            return d->check(
                code, QStringLiteral("写入第 %1 行第 %2 列").arg(d->nextRow + 1).arg(col + 1));
    }
    ++d->nextRow;
    return true;
}

bool XlsxWriter::commit()
{
    if (!isOpen())
        return d->fail(QStringLiteral("工作簿未打开"));
    if (d->biff) {
        QString reason;
        const QByteArray bytes = d->biff->toBytes(&reason);
        QFile file(d->tempPath);
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size() || !file.flush()) {
            if (reason.isEmpty())
                reason = QStringLiteral("保存工作簿失败：%1").arg(file.errorString());
            file.close();
            d->discard();
            return d->fail(reason);
        }
        file.close();
        d->biff.reset();
    } else {
        const lxw_error closed = workbook_close(d->workbook);
        d->workbook = nullptr;
        d->sheet = nullptr;
        if (!d->check(closed, QStringLiteral("保存工作簿"))) {
            d->discard();
            return false;
        }
    }
    // rename() replaces an existing target in one step on POSIX file systems.
    const QByteArray from = QFile::encodeName(d->tempPath);
    const QByteArray to = QFile::encodeName(d->targetPath);
    if (std::rename(from.constData(), to.constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        d->discard();
        return d->fail(QStringLiteral("无法替换文件 %1：%2")
                           .arg(QDir::toNativeSeparators(d->targetPath), reason));
    }
    d->tempPath.clear();
    return true;
}

void XlsxWriter::cancel()
{
    d->discard();
    d->targetPath.clear();
}

bool XlsxWriter::isOpen() const
{
    return d->workbook != nullptr || d->biff != nullptr;
}

int XlsxWriter::rowsWritten() const
{
    return d->nextRow > 0 ? d->nextRow - 1 : 0;
}

QString XlsxWriter::errorString() const
{
    return d->error;
}

} // namespace orvane::platform
