#include "platform/xlsxfilereader.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

#include <zip.h>

#include <algorithm>

namespace orvane::platform {

namespace {

constexpr qint64 kReadChunk = qint64(64) * 1024;

QString relationshipId(const QXmlStreamAttributes& attributes)
{
    // r:id in the relationships namespace; the prefix differs between writers.
    for (const QXmlStreamAttribute& a : attributes) {
        if (a.name() == u"id" && !a.namespaceUri().isEmpty())
            return a.value().toString();
    }
    return {};
}

// Resolves a relationship target against the folder of the part that refers to it.
QString resolveTarget(const QString& sourceFolder, const QString& target)
{
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    return QDir::cleanPath(sourceFolder.isEmpty() ? target : sourceFolder + u'/' + target);
}

QString folderOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash);
}

QString relationshipsPartOf(const QString& part)
{
    const QString folder = folderOf(part);
    const QString file = part.mid(folder.isEmpty() ? 0 : folder.size() + 1);
    return (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("_rels/") + file +
           QStringLiteral(".rels");
}

// A cell reference such as "AA12": zero-based column and row. Letters only is allowed too.
bool parseCellReference(QStringView ref, int* column, int* row)
{
    qint64 col = 0;
    qint64 r = 0;
    int letters = 0;
    int digits = 0;
    for (QChar ch : ref) {
        const char16_t c = ch.unicode();
        if (digits == 0 && ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))) {
            if (++letters > 4)
                return false;
            col = col * 26 + ((c | 0x20) - u'a' + 1);
        } else if (c >= u'0' && c <= u'9') {
            if (++digits > 9)
                return false;
            r = r * 10 + (c - u'0');
        } else {
            return false;
        }
    }
    if (letters == 0)
        return false;
    *column = int(col - 1);
    *row = digits > 0 ? int(r - 1) : -1;
    return digits == 0 || r > 0;
}

QString xmlError(const QXmlStreamReader& xml, const QString& part)
{
    return QStringLiteral("工作簿内容 %1 有误（第 %2 行）：%3")
        .arg(part)
        .arg(xml.lineNumber())
        .arg(xml.errorString());
}

// Position of an "_xHHHH_" escape at `i` (the form workbook text uses for characters XML cannot
// carry): the character it stands for, or -1.
int escapedCharAt(const QString& text, qsizetype i)
{
    if (i + 7 > text.size() || text.at(i) != u'_' || text.at(i + 1) != u'x' ||
        text.at(i + 6) != u'_')
        return -1;
    bool ok = false;
    const int code = text.mid(i + 2, 4).toInt(&ok, 16);
    return ok ? code : -1;
}

QString decodeEscapes(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int code = escapedCharAt(text, i);
        if (code < 0) {
            out += text.at(i);
        } else {
            out += QChar(char16_t(code));
            i += 6;
        }
    }
    return out;
}

// Reads the text of a <si> or <is> element: the <t> runs, leaving out phonetic <rPh> runs.
QString readRichText(QXmlStreamReader& xml)
{
    QString text;
    const QString outer = xml.name().toString();
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"t")
                text += decodeEscapes(xml.readElementText(QXmlStreamReader::IncludeChildElements));
            else if (xml.name() == u"rPh")
                xml.skipCurrentElement();
        } else if (token == QXmlStreamReader::EndElement && xml.name() == outer) {
            break;
        }
    }
    return text;
}

// Rejects documents with a DTD: workbook parts never carry one, and entity definitions are the
// way to blow up a small part into a huge text.
bool refuseDtd(QXmlStreamReader& xml)
{
    if (xml.tokenType() == QXmlStreamReader::DTD) {
        xml.raiseError(QStringLiteral("不允许 DTD"));
        return true;
    }
    return false;
}

} // namespace

// Owns a libzip archive opened read-only.
class ZipArchive
{
public:
    explicit ZipArchive(zip_t* archive) : m_archive(archive) {}
    ~ZipArchive() { zip_discard(m_archive); }
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;
    zip_t* get() const { return m_archive; }

private:
    zip_t* m_archive;
};

XlsxFileReader::XlsxFileReader(const WorkbookLimits& limits) : m_limits(limits) {}

XlsxFileReader::~XlsxFileReader() = default;

bool XlsxFileReader::isDateFormat(int numFmtId, const QString& formatCode)
{
    if (formatCode.isEmpty()) {
        // Built-in formats: 14-22 and 45-47 everywhere, 27-36 and 50-58 in East Asian locales.
        return (numFmtId >= 14 && numFmtId <= 22) || (numFmtId >= 45 && numFmtId <= 47) ||
               (numFmtId >= 27 && numFmtId <= 36) || (numFmtId >= 50 && numFmtId <= 58);
    }
    bool inQuotes = false;
    for (qsizetype i = 0; i < formatCode.size(); ++i) {
        const QChar c = formatCode.at(i);
        if (inQuotes) {
            if (c == u'"')
                inQuotes = false;
            continue;
        }
        switch (c.unicode()) {
        case u'"':
            inQuotes = true;
            break;
        case u'\\':
        case u'_':
        case u'*':
            ++i; // the next character is shown literally or used as padding
            break;
        case u'[': {
            const qsizetype close = formatCode.indexOf(u']', i);
            if (close < 0)
                return false;
            // [h], [mm], [ss]: elapsed time; [Red], [$-804], [>100]: not date letters.
            const QString inner = formatCode.mid(i + 1, close - i - 1).toLower();
            if (!inner.isEmpty() && std::all_of(inner.begin(), inner.end(), [](QChar x) {
                    return x == u'h' || x == u'm' || x == u's';
                }))
                return true;
            i = close;
            break;
        }
        case u';':
            return false; // only the first section decides
        default: {
            const char16_t lower = c.toLower().unicode();
            if (lower == u'y' || lower == u'm' || lower == u'd' || lower == u'h' || lower == u's')
                return true;
            // "General" holds none of the date letters.
            break;
        }
        }
    }
    return false;
}

XlsxFileReader::Error XlsxFileReader::open(const QString& path, QString* error)
{
    m_zip.reset();
    m_sheets.clear();
    m_sharedStrings.clear();
    m_dateStyles.clear();
    m_bytesRead = 0;
    m_date1904 = false;

    int code = 0;
    const QByteArray encoded = QFile::encodeName(path);
    zip_t* archive = zip_open(encoded.constData(), ZIP_RDONLY, &code);
    if (!archive) {
        zip_error_t zerr;
        zip_error_init_with_code(&zerr, code);
        const QString reason = QString::fromUtf8(zip_error_strerror(&zerr));
        zip_error_fini(&zerr);
        *error = QStringLiteral("工作簿已损坏，无法打开：%1").arg(reason);
        if (code == ZIP_ER_NOENT || code == ZIP_ER_OPEN)
            return Error::FileNotFound;
        return Error::Corrupt;
    }
    m_zip = std::make_unique<ZipArchive>(archive);

    QString workbookPart;
    Error result = parseRootRelationships(&workbookPart, error);
    if (result != Error::None)
        return result;
    result = parseWorkbook(workbookPart, error);
    if (result != Error::None)
        return result;
    return Error::None;
}

QStringList XlsxFileReader::sheetNames() const
{
    QStringList names;
    for (const Sheet& sheet : m_sheets)
        names.append(sheet.name);
    return names;
}

XlsxFileReader::Error XlsxFileReader::readPart(const QString& part, QByteArray* data, bool required,
                                               QString* error)
{
    data->clear();
    const QByteArray name = part.toUtf8();
    const zip_int64_t index = zip_name_locate(m_zip->get(), name.constData(), ZIP_FL_NOCASE);
    if (index < 0) {
        if (!required)
            return Error::None;
        *error = QStringLiteral("工作簿缺少内容 %1").arg(part);
        return Error::NotAWorkbook;
    }
    zip_file_t* file = zip_fopen_index(m_zip->get(), zip_uint64_t(index), 0);
    if (!file) {
        const int code = zip_error_code_zip(zip_get_error(m_zip->get()));
        *error = QStringLiteral("无法读取工作簿内容 %1：%2")
                     .arg(part, QString::fromUtf8(zip_strerror(m_zip->get())));
        return code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP
                   ? Error::Encrypted
                   : Error::Corrupt;
    }
    // The sizes in the archive's directory are not trusted: the bytes are counted as they come.
    const qint64 budget = m_limits.maxUncompressedBytes - m_bytesRead;
    Error result = Error::None;
    QByteArray chunk(kReadChunk, Qt::Uninitialized);
    for (;;) {
        const zip_int64_t got = zip_fread(file, chunk.data(), zip_uint64_t(chunk.size()));
        if (got < 0) {
            *error = QStringLiteral("工作簿已损坏，读取 %1 出错：%2")
                         .arg(part, QString::fromUtf8(zip_file_strerror(file)));
            result = Error::Corrupt;
            break;
        }
        if (got == 0)
            break;
        if (data->size() + got > budget) {
            *error = QStringLiteral("工作簿解压后超过 %1 MB，拒绝读取")
                         .arg(m_limits.maxUncompressedBytes / (qint64(1024) * 1024));
            result = Error::TooLarge;
            break;
        }
        data->append(chunk.constData(), qsizetype(got));
    }
    zip_fclose(file);
    if (result != Error::None)
        data->clear();
    return result;
}

XlsxFileReader::Error XlsxFileReader::parseRootRelationships(QString* workbookPart, QString* error)
{
    QByteArray data;
    Error result = readPart(QStringLiteral("_rels/.rels"), &data, false, error);
    if (result != Error::None)
        return result;
    *workbookPart = QStringLiteral("xl/workbook.xml");
    if (data.isEmpty())
        return Error::None; // no package relationships: assume the usual layout
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        xml.readNext();
        if (refuseDtd(xml))
            break;
        if (xml.isStartElement() && xml.name() == u"Relationship" &&
            xml.attributes().value(QLatin1String("Type")).endsWith(u"/officeDocument")) {
            *workbookPart = resolveTarget(
                QString(), xml.attributes().value(QLatin1String("Target")).toString());
        }
    }
    if (xml.hasError()) {
        *error = xmlError(xml, QStringLiteral("_rels/.rels"));
        return Error::Corrupt;
    }
    return Error::None;
}

XlsxFileReader::Error XlsxFileReader::parseWorkbook(const QString& workbookPart, QString* error)
{
    QByteArray data;
    Error result = readPart(workbookPart, &data, true, error);
    if (result != Error::None) {
        if (result == Error::NotAWorkbook)
            *error = QStringLiteral("文件不是 Excel 工作簿（缺少 %1）").arg(workbookPart);
        return result;
    }
    QList<QPair<QString, QString>> sheets; // name, relationship id
    {
        QXmlStreamReader xml(data);
        while (!xml.atEnd()) {
            xml.readNext();
            if (refuseDtd(xml) || !xml.isStartElement())
                continue;
            if (xml.name() == u"workbookPr") {
                const auto value = xml.attributes().value(QLatin1String("date1904"));
                m_date1904 = value == u"1" || value == u"true";
            } else if (xml.name() == u"sheet") {
                sheets.append(qMakePair(xml.attributes().value(QLatin1String("name")).toString(),
                                        relationshipId(xml.attributes())));
            }
        }
        if (xml.hasError()) {
            *error = xmlError(xml, workbookPart);
            return Error::Corrupt;
        }
    }

    // Relationship targets of the workbook: the sheets, shared strings and styles.
    const QString relsPart = relationshipsPartOf(workbookPart);
    result = readPart(relsPart, &data, true, error);
    if (result != Error::None)
        return result == Error::NotAWorkbook ? Error::Corrupt : result;
    QHash<QString, QString> targets;
    QString sharedStringsPart;
    QString stylesPart;
    {
        const QString folder = folderOf(workbookPart);
        QXmlStreamReader xml(data);
        while (!xml.atEnd()) {
            xml.readNext();
            if (refuseDtd(xml) || !xml.isStartElement() || xml.name() != u"Relationship")
                continue;
            const auto attributes = xml.attributes();
            if (attributes.value(QLatin1String("TargetMode")) == u"External")
                continue;
            const QString target =
                resolveTarget(folder, attributes.value(QLatin1String("Target")).toString());
            targets.insert(attributes.value(QLatin1String("Id")).toString(), target);
            const auto type = attributes.value(QLatin1String("Type"));
            if (type.endsWith(u"/sharedStrings"))
                sharedStringsPart = target;
            else if (type.endsWith(u"/styles"))
                stylesPart = target;
        }
        if (xml.hasError()) {
            *error = xmlError(xml, relsPart);
            return Error::Corrupt;
        }
    }
    for (const auto& [name, id] : sheets) {
        const QString part = targets.value(id);
        if (name.isEmpty() || part.isEmpty()) {
            *error = QStringLiteral("工作簿的工作表列表有误（工作表“%1”）").arg(name);
            return Error::Corrupt;
        }
        m_sheets.append({name, part});
    }
    if (!sharedStringsPart.isEmpty()) {
        result = parseSharedStrings(sharedStringsPart, error);
        if (result != Error::None)
            return result;
    }
    if (!stylesPart.isEmpty()) {
        result = parseStyles(stylesPart, error);
        if (result != Error::None)
            return result;
    }
    return Error::None;
}

XlsxFileReader::Error XlsxFileReader::parseSharedStrings(const QString& part, QString* error)
{
    QByteArray data;
    const Error result = readPart(part, &data, false, error);
    if (result != Error::None || data.isEmpty())
        return result;
    m_bytesRead += data.size();
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        xml.readNext();
        if (refuseDtd(xml))
            break;
        if (xml.isStartElement() && xml.name() == u"si") {
            if (m_sharedStrings.size() >= m_limits.maxCells) {
                *error = QStringLiteral("工作簿的文本条目超过 %1 条").arg(m_limits.maxCells);
                m_sharedStrings.clear();
                return Error::TooLarge;
            }
            m_sharedStrings.append(readRichText(xml));
        }
    }
    if (xml.hasError()) {
        *error = xmlError(xml, part);
        return Error::Corrupt;
    }
    return Error::None;
}

XlsxFileReader::Error XlsxFileReader::parseStyles(const QString& part, QString* error)
{
    QByteArray data;
    const Error result = readPart(part, &data, false, error);
    if (result != Error::None || data.isEmpty())
        return result;
    QHash<int, QString> customFormats;
    QList<int> cellFormats;
    bool inCellXfs = false;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        xml.readNext();
        if (refuseDtd(xml))
            break;
        if (xml.isEndElement() && xml.name() == u"cellXfs")
            inCellXfs = false;
        if (!xml.isStartElement())
            continue;
        const auto attributes = xml.attributes();
        if (xml.name() == u"numFmt") {
            customFormats.insert(attributes.value(QLatin1String("numFmtId")).toInt(),
                                 attributes.value(QLatin1String("formatCode")).toString());
        } else if (xml.name() == u"cellXfs") {
            inCellXfs = true;
        } else if (inCellXfs && xml.name() == u"xf") {
            cellFormats.append(attributes.value(QLatin1String("numFmtId")).toInt());
        }
    }
    if (xml.hasError()) {
        *error = xmlError(xml, part);
        return Error::Corrupt;
    }
    m_dateStyles.reserve(cellFormats.size());
    for (int id : cellFormats)
        m_dateStyles.append(isDateFormat(id, customFormats.value(id)));
    return Error::None;
}

XlsxFileReader::Error XlsxFileReader::readSheet(int index, QList<QVariantList>* rows,
                                                QString* error)
{
    rows->clear();
    if (!m_zip || index < 0 || index >= m_sheets.size()) {
        *error = QStringLiteral("工作表不存在");
        return Error::NoSuchSheet;
    }
    QByteArray data;
    const Error result = readPart(m_sheets.at(index).part, &data, true, error);
    if (result != Error::None)
        return result == Error::NotAWorkbook ? Error::Corrupt : result;
    return parseWorksheet(data, rows, error);
}

XlsxFileReader::Error XlsxFileReader::parseWorksheet(const QByteArray& data,
                                                     QList<QVariantList>* rows, QString* error)
{
    QXmlStreamReader xml(data);
    int rowIndex = -1;
    int columnIndex = -1;
    qint64 cells = 0;
    bool inSheetData = false;
    auto tooLarge = [&](const QString& what) {
        *error = QStringLiteral("工作表超过 %1 的上限").arg(what);
        rows->clear();
        return Error::TooLarge;
    };
    while (!xml.atEnd()) {
        xml.readNext();
        if (refuseDtd(xml))
            break;
        if (xml.isEndElement() && xml.name() == u"sheetData")
            inSheetData = false;
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"sheetData") {
            inSheetData = true;
            continue;
        }
        if (!inSheetData)
            continue;
        if (xml.name() == u"row") {
            bool ok = false;
            const qint64 r = xml.attributes().value(QLatin1String("r")).toLongLong(&ok);
            rowIndex = ok && r > 0 && r <= m_limits.maxRows ? int(r - 1) : rowIndex + 1;
            if (ok && r > m_limits.maxRows)
                return tooLarge(QStringLiteral("%1 行").arg(m_limits.maxRows));
            columnIndex = -1;
            continue;
        }
        if (xml.name() != u"c")
            continue;

        const auto attributes = xml.attributes();
        const QString type = attributes.value(QLatin1String("t")).toString();
        const auto ref = attributes.value(QLatin1String("r"));
        int refColumn = -1;
        int refRow = -1;
        if (!ref.isEmpty() && parseCellReference(ref, &refColumn, &refRow)) {
            columnIndex = refColumn;
            if (refRow >= 0)
                rowIndex = refRow;
        } else {
            ++columnIndex;
        }
        if (rowIndex < 0)
            rowIndex = 0;
        if (rowIndex >= m_limits.maxRows)
            return tooLarge(QStringLiteral("%1 行").arg(m_limits.maxRows));
        if (columnIndex >= m_limits.maxColumns)
            return tooLarge(QStringLiteral("%1 列").arg(m_limits.maxColumns));
        bool styleOk = false;
        const int style = attributes.value(QLatin1String("s")).toInt(&styleOk);
        const bool dateStyle =
            styleOk && style >= 0 && style < m_dateStyles.size() && m_dateStyles.at(style);

        QString raw;
        bool haveValue = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"c")
                break;
            if (!xml.isStartElement())
                continue;
            if (xml.name() == u"v") {
                raw = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                haveValue = true;
            } else if (xml.name() == u"is") {
                raw = readRichText(xml);
                haveValue = true;
            } else {
                xml.skipCurrentElement(); // formula text, extensions
            }
        }
        if (xml.hasError())
            break;
        if (!haveValue)
            continue;

        QVariant value;
        if (type == u"s") {
            bool ok = false;
            const qint64 i = raw.trimmed().toLongLong(&ok);
            if (!ok || i < 0 || i >= m_sharedStrings.size()) {
                *error = QStringLiteral("工作表单元格引用了不存在的共享文本 %1").arg(raw);
                rows->clear();
                return Error::Corrupt;
            }
            value = m_sharedStrings.at(qsizetype(i));
        } else if (type == u"str" || type == u"inlineStr") {
            value = raw;
        } else if (type == u"b") {
            value =
                raw.trimmed() == u"1" || raw.trimmed().compare(u"true", Qt::CaseInsensitive) == 0;
        } else if (type == u"e") {
            continue; // #N/A, #DIV/0! ...: no value
        } else if (type == u"d") {
            QDateTime dt = QDateTime::fromString(raw.trimmed(), Qt::ISODateWithMs);
            if (dt.isValid())
                value = QDateTime(dt.date(), dt.time());
            else if (!raw.isEmpty())
                value = raw;
        } else {
            bool ok = false;
            const double number = raw.trimmed().toDouble(&ok);
            if (!ok) {
                if (!raw.trimmed().isEmpty())
                    value = raw; // keep what the cell holds rather than lose it
            } else if (dateStyle) {
                const QDateTime dt = WorkbookReader::dateFromSerial(number, m_date1904);
                value = dt.isValid() ? QVariant(dt) : QVariant(number);
            } else {
                value = number;
            }
        }
        if (!value.isValid())
            continue;
        if (++cells > m_limits.maxCells)
            return tooLarge(QStringLiteral("%1 个单元格").arg(m_limits.maxCells));
        if (rows->size() <= rowIndex)
            rows->resize(rowIndex + 1);
        QVariantList& row = (*rows)[rowIndex];
        if (row.size() <= columnIndex)
            row.resize(columnIndex + 1);
        row[columnIndex] = value;
    }
    if (xml.hasError()) {
        *error = xmlError(xml, QStringLiteral("工作表"));
        rows->clear();
        return Error::Corrupt;
    }
    return Error::None;
}

} // namespace orvane::platform
