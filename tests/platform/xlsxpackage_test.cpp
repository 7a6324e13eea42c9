#include "platform/workbookreader.h"
#include "platform/xlsxfilereader.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

#include <gtest/gtest.h>

#include <map>

using orvane::platform::WorkbookLimits;
using orvane::platform::WorkbookReader;
using orvane::platform::XlsxFileReader;

namespace {

using Parts = std::map<QString, QByteArray>;

const QByteArray kRootRels =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>)";

QByteArray workbookXml(bool date1904)
{
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"
 xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<workbookPr date1904=")") +
           (date1904 ? "1" : "0") + R"("/>
<sheets><sheet name="数据" sheetId="1" r:id="rId1"/><sheet name="Other" sheetId="2" r:id="rId9"/></sheets>
</workbook>)";
}

const QByteArray kWorkbookRels =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet2.xml"/>
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>
<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>
</Relationships>)";

const QByteArray kSharedStrings =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="2" uniqueCount="2">
<si><t>编号</t></si>
<si><r><t xml:space="preserve">Rich </t></r><r><rPr><b/></rPr><t>text</t></r><rPh sb="0" eb="1"><t>ルビ</t></rPh></si>
</sst>)";

const QByteArray kStyles =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<numFmts count="2"><numFmt numFmtId="164" formatCode="yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot; hh:mm"/>
<numFmt numFmtId="165" formatCode="0.00&quot; days&quot;"/></numFmts>
<cellStyleXfs count="1"><xf numFmtId="14"/></cellStyleXfs>
<cellXfs count="5"><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/><xf numFmtId="165"/><xf numFmtId="31"/></cellXfs>
</styleSheet>)";

QByteArray sheetXml(const QByteArray& rows)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
           rows + "</sheetData></worksheet>";
}

const QByteArray kSheetRows = R"(
<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="inlineStr"><is><t>姓名</t></is></c><c r="AA1" t="s"><v>1</v></c></row>
<row r="3"><c r="A3"><v>42</v></c><c r="B3" s="1"><v>45366</v></c><c r="C3" s="2"><v>45366.75</v></c>
<c r="D3" s="3"><v>3.5</v></c><c r="E3" t="b"><v>1</v></c><c r="F3" t="e"><v>#N/A</v></c>
<c r="G3" t="str"><f>A1&amp;"x"</f><v>calc</v></c><c r="H3" s="4"><v>45366</v></c><c r="I3"/></row>
<row><c><v>1</v></c><c><v>-2.25</v></c></row>
<row r="10"><c r="A10" s="1"/></row>)";

Parts basicParts(const QByteArray& sheetRows = kSheetRows, bool date1904 = false)
{
    return {{QStringLiteral("_rels/.rels"), kRootRels},
            {QStringLiteral("xl/workbook.xml"), workbookXml(date1904)},
            {QStringLiteral("xl/_rels/workbook.xml.rels"), kWorkbookRels},
            {QStringLiteral("xl/sharedStrings.xml"), kSharedStrings},
            {QStringLiteral("xl/styles.xml"), kStyles},
            {QStringLiteral("xl/worksheets/sheet1.xml"), sheetXml(sheetRows)},
            {QStringLiteral("xl/worksheets/sheet2.xml"), sheetXml("")}};
}

class XlsxReaderTest : public ::testing::Test
{
protected:
    QString writeZip(const Parts& parts, const QString& encryptedPart = QString())
    {
        const QString path = dir.filePath(QStringLiteral("book%1.xlsx").arg(++counter));
        int error = 0;
        zip_t* zip =
            zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        EXPECT_NE(zip, nullptr);
        for (const auto& [name, data] : parts) {
            zip_source_t* source = zip_source_buffer(zip, data.constData(), data.size(), 0);
            const zip_int64_t index =
                zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
            EXPECT_GE(index, 0);
            if (name == encryptedPart) {
                const zip_uint16_t method = zip_encryption_method_supported(ZIP_EM_AES_256, 1)
                                                ? ZIP_EM_AES_256
                                                : ZIP_EM_TRAD_PKWARE;
                EXPECT_EQ(zip_file_set_encryption(zip, zip_uint64_t(index), method, "secret"), 0);
            }
        }
        EXPECT_EQ(zip_close(zip), 0);
        return path;
    }
    QString writeRaw(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("raw%1.xlsx").arg(++counter));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // Opens a package and reads its first sheet; returns the error seen, None when both worked.
    WorkbookReader::Error readFirstSheet(const QString& path, QList<QVariantList>* rows,
                                         const WorkbookLimits& limits = {})
    {
        WorkbookReader reader(limits);
        if (!reader.open(path))
            return reader.error();
        if (!reader.readSheet(0, rows)) {
            EXPECT_FALSE(reader.errorString().isEmpty());
            return reader.error();
        }
        return WorkbookReader::Error::None;
    }

    QTemporaryDir dir;
    int counter = 0;
};

TEST_F(XlsxReaderTest, ReadsCellKindsStylesAndSparseReferences)
{
    WorkbookReader reader;
    ASSERT_TRUE(reader.open(writeZip(basicParts()))) << reader.errorString().toStdString();
    EXPECT_EQ(reader.format(), WorkbookReader::Format::Xlsx);
    EXPECT_EQ(reader.sheetNames(), QStringList({QStringLiteral("数据"), QStringLiteral("Other")}));

    QList<QVariantList> rows;
    ASSERT_TRUE(reader.readSheet(0, &rows)) << reader.errorString().toStdString();
    ASSERT_EQ(rows.size(), 4); // the trailing row with an empty cell is dropped
    for (const QVariantList& row : rows)
        ASSERT_EQ(row.size(), 27); // A..AA

    EXPECT_EQ(rows[0][0], QVariant(QStringLiteral("编号")));
    EXPECT_EQ(rows[0][1], QVariant(QStringLiteral("姓名")));
    EXPECT_EQ(rows[0][26], QVariant(QStringLiteral("Rich text"))); // phonetic run left out
    EXPECT_FALSE(rows[0][2].isValid());

    for (const QVariant& v : rows[1])
        EXPECT_FALSE(v.isValid()); // row 2 is absent from the file

    const QVariantList& r3 = rows[2];
    EXPECT_EQ(r3[0].typeId(), QMetaType::Double);
    EXPECT_EQ(r3[0].toDouble(), 42.0);
    EXPECT_EQ(r3[1], QVariant(QDateTime(QDate(2024, 3, 15), QTime(0, 0))));
    EXPECT_EQ(r3[2], QVariant(QDateTime(QDate(2024, 3, 15), QTime(18, 0))));
    EXPECT_EQ(r3[3], QVariant(3.5)); // "days" in quotes is not a date format
    EXPECT_EQ(r3[4], QVariant(true));
    EXPECT_FALSE(r3[5].isValid()); // error value
    EXPECT_EQ(r3[6], QVariant(QStringLiteral("calc")));
    EXPECT_EQ(r3[7], QVariant(QDateTime(QDate(2024, 3, 15), QTime(0, 0)))); // built-in 31
    EXPECT_FALSE(r3[8].isValid());

    EXPECT_EQ(rows[3][0], QVariant(1.0)); // row and cells without references follow on
    EXPECT_EQ(rows[3][1], QVariant(-2.25));

    ASSERT_TRUE(reader.readSheet(1, &rows));
    EXPECT_TRUE(rows.isEmpty());
}

TEST_F(XlsxReaderTest, DatesFollowTheWorkbookDateSystem)
{
    QList<QVariantList> rows;
    ASSERT_EQ(
        readFirstSheet(
            writeZip(basicParts(R"(<row r="1"><c r="A1" s="1"><v>0</v></c></row>)", true)), &rows),
        WorkbookReader::Error::None);
    EXPECT_EQ(rows[0][0].toDateTime(), QDateTime(QDate(1904, 1, 1), QTime(0, 0)));

    EXPECT_EQ(WorkbookReader::dateFromSerial(45366.5), QDateTime(QDate(2024, 3, 15), QTime(12, 0)));
    EXPECT_EQ(WorkbookReader::dateFromSerial(-0.25), QDateTime(QDate(1899, 12, 29), QTime(18, 0)));
    EXPECT_EQ(WorkbookReader::dateFromSerial(45366 + (12 * 3600 + 34 * 60 + 56) / 86400.0),
              QDateTime(QDate(2024, 3, 15), QTime(12, 34, 56)));
    EXPECT_FALSE(WorkbookReader::dateFromSerial(1e12).isValid());
    // Excel's days before its phantom 1900-02-29 (day 60).
    EXPECT_EQ(WorkbookReader::dateFromSerial(1).date(), QDate(1900, 1, 1));
    EXPECT_EQ(WorkbookReader::dateFromSerial(59).date(), QDate(1900, 2, 28));
    EXPECT_EQ(WorkbookReader::dateFromSerial(61).date(), QDate(1900, 3, 1));
}

TEST(XlsxDateFormatTest, RecognisesDateAndTimeFormats)
{
    EXPECT_TRUE(XlsxFileReader::isDateFormat(14, {}));
    EXPECT_TRUE(XlsxFileReader::isDateFormat(22, {}));
    EXPECT_TRUE(XlsxFileReader::isDateFormat(46, {}));
    EXPECT_FALSE(XlsxFileReader::isDateFormat(0, {}));
    EXPECT_FALSE(XlsxFileReader::isDateFormat(2, {}));
    EXPECT_FALSE(XlsxFileReader::isDateFormat(49, {}));
    const auto custom = [](const char* code) {
        return XlsxFileReader::isDateFormat(170, QString::fromUtf8(code));
    };
    EXPECT_TRUE(custom("yyyy-mm-dd"));
    EXPECT_TRUE(custom("[$-804]yyyy\"年\"m\"月\"d\"日\""));
    EXPECT_TRUE(custom("[h]:mm:ss"));
    EXPECT_TRUE(custom("hh:mm AM/PM"));
    EXPECT_FALSE(custom("General"));
    EXPECT_FALSE(custom("#,##0.00_);[Red](#,##0.00)"));
    EXPECT_FALSE(custom("0.00\" days\""));
    EXPECT_FALSE(custom("\\d0"));
    EXPECT_FALSE(custom("[Red]0.00"));
    EXPECT_FALSE(custom("@"));
    EXPECT_FALSE(custom("0;\"yes\";\"no\""));
}

TEST_F(XlsxReaderTest, BrokenOrForeignFilesGiveClearErrors)
{
    QList<QVariantList> rows;
    using Error = WorkbookReader::Error;
    EXPECT_EQ(readFirstSheet(dir.filePath(QStringLiteral("missing.xlsx")), &rows),
              Error::FileNotFound);
    EXPECT_EQ(readFirstSheet(dir.path(), &rows), Error::NotAWorkbook);
    EXPECT_EQ(readFirstSheet(writeRaw(""), &rows), Error::NotAWorkbook);
    EXPECT_EQ(readFirstSheet(writeRaw("编号,姓名\n001,张三\n"), &rows), Error::NotAWorkbook);

    // A zip that is no workbook, and a workbook cut short.
    EXPECT_EQ(readFirstSheet(writeZip({{QStringLiteral("word/document.xml"), "<w/>"}}), &rows),
              Error::NotAWorkbook);
    QFile good(writeZip(basicParts()));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    for (qsizetype cut : {qsizetype(10), bytes.size() / 2, bytes.size() - 30})
        EXPECT_EQ(readFirstSheet(writeRaw(bytes.left(cut)), &rows), Error::Corrupt) << cut;
    // Damaged compressed data inside an intact directory.
    QByteArray flipped = bytes;
    for (qsizetype i = 60; i < 400; i += 3)
        flipped[i] = char(flipped[i] ^ 0x5A);
    EXPECT_NE(readFirstSheet(writeRaw(flipped), &rows), Error::None);

    Parts parts = basicParts();
    parts[QStringLiteral("xl/worksheets/sheet1.xml")] = sheetXml("<row><c><v>1</v></row>");
    EXPECT_EQ(readFirstSheet(writeZip(parts), &rows), Error::Corrupt);
    EXPECT_TRUE(rows.isEmpty());

    parts = basicParts(R"(<row><c t="s"><v>7</v></c></row>)");
    EXPECT_EQ(readFirstSheet(writeZip(parts), &rows), Error::Corrupt);

    parts = basicParts();
    parts.erase(QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_EQ(readFirstSheet(writeZip(parts), &rows), Error::Corrupt);

    EXPECT_EQ(readFirstSheet(writeZip(basicParts(), QStringLiteral("xl/workbook.xml")), &rows),
              Error::Encrypted);
}

TEST_F(XlsxReaderTest, HostileContentIsBounded)
{
    QList<QVariantList> rows;
    using Error = WorkbookReader::Error;

    // Entity expansion: any DTD is refused.
    Parts parts = basicParts();
    parts[QStringLiteral("xl/worksheets/sheet1.xml")] =
        R"(<?xml version="1.0"?><!DOCTYPE w [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;">]>
<worksheet><sheetData><row><c t="inlineStr"><is><t>&b;</t></is></c></row></sheetData></worksheet>)";
    EXPECT_EQ(readFirstSheet(writeZip(parts), &rows), Error::Corrupt);

    // A part that inflates past the limit is cut off while reading, whatever its header says.
    WorkbookLimits small;
    small.maxUncompressedBytes = 256 * 1024;
    QByteArray padding(400 * 1024, ' ');
    EXPECT_EQ(readFirstSheet(writeZip(basicParts(padding)), &rows, small), Error::TooLarge);
    EXPECT_EQ(readFirstSheet(writeZip(basicParts()), &rows, small), Error::None);
    small.maxCells = 1; // fewer than the workbook's shared texts
    EXPECT_EQ(readFirstSheet(writeZip(basicParts()), &rows, small), Error::TooLarge);

    // Far-away cells may not blow up the padded grid.
    EXPECT_EQ(
        readFirstSheet(writeZip(basicParts(R"(<row r="2000000"><c><v>1</v></c></row>)")), &rows),
        Error::TooLarge);
    EXPECT_EQ(readFirstSheet(writeZip(basicParts(R"(<row r="1"><c r="ZZZZ1"><v>1</v></c></row>)")),
                             &rows),
              Error::TooLarge);
    EXPECT_EQ(readFirstSheet(
                  writeZip(basicParts(R"(<row r="1048576"><c r="XFD1048576"><v>1</v></c></row>)")),
                  &rows),
              Error::TooLarge);
}

} // namespace
