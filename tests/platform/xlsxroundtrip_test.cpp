#include "platform/workbookreader.h"
#include "platform/xlsxwriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using orvane::platform::WorkbookReader;
using orvane::platform::XlsxWriter;
using Type = XlsxWriter::ColumnType;

namespace {

QList<QVariantList> readBack(const QString& path, QStringList* sheets = nullptr)
{
    WorkbookReader reader;
    EXPECT_TRUE(reader.open(path)) << reader.errorString().toStdString();
    if (sheets)
        *sheets = reader.sheetNames();
    QList<QVariantList> rows;
    EXPECT_TRUE(reader.readSheet(0, &rows)) << reader.errorString().toStdString();
    return rows;
}

QStringList tempFilesIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden);
}

// Both file types: .xlsx, and .xls written as a real Excel 97-2003 workbook.
class TypedCells : public ::testing::TestWithParam<const char*>
{
};

TEST_P(TypedCells, ComeBackAsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("人员名单.") + QLatin1String(GetParam()));
    XlsxWriter writer;
    ASSERT_TRUE(writer.open(path, QStringLiteral("人员名单"),
                            {QStringLiteral("姓名"), QStringLiteral("工资"), QStringLiteral("在职"),
                             QStringLiteral("出生日期"), QStringLiteral("备注")},
                            {Type::Text, Type::Number, Type::Boolean, Type::DateTime, Type::Text}))
        << writer.errorString().toStdString();
    const QDateTime born(QDate(1985, 7, 1), QTime(0, 0));
    const QDateTime stamp(QDate(2024, 12, 31), QTime(23, 59, 58));
    ASSERT_TRUE(writer.writeRow({QStringLiteral("张三"), 123456789012.0, true, born,
                                 QStringLiteral("<&\"'> ünïcode 😀 _x0041_ \x01")}));
    ASSERT_TRUE(writer.writeRow({QStringLiteral("O'Brien"), -0.1, false, stamp, QVariant()}));
    // Empty and null cells, values of other types in a typed column.
    ASSERT_TRUE(
        writer.writeRow({QVariant(), QStringLiteral("12.5"), 1, QStringLiteral("n/a"), 42}));
    ASSERT_TRUE(writer.writeRow(
        {QString(), QStringLiteral("abc"), QVariant(), QDateTime(), QDate(2020, 2, 29)}));
    EXPECT_EQ(writer.rowsWritten(), 4);
    ASSERT_TRUE(writer.commit()) << writer.errorString().toStdString();

    QStringList sheets;
    const QList<QVariantList> rows = readBack(path, &sheets);
    EXPECT_EQ(sheets, QStringList{QStringLiteral("人员名单")});
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0],
              (QVariantList{QStringLiteral("姓名"), QStringLiteral("工资"), QStringLiteral("在职"),
                            QStringLiteral("出生日期"), QStringLiteral("备注")}));
    EXPECT_EQ(rows[1], (QVariantList{QStringLiteral("张三"), 123456789012.0, true, born,
                                     QStringLiteral("<&\"'> ünïcode 😀 _x0041_ \x01")}));
    EXPECT_EQ(rows[2], (QVariantList{QStringLiteral("O'Brien"), -0.1, false, stamp, QVariant()}));
    EXPECT_EQ(rows[3],
              (QVariantList{QVariant(), 12.5, true, QStringLiteral("n/a"), QStringLiteral("42")}));
    EXPECT_EQ(rows[4], (QVariantList{QVariant(), QStringLiteral("abc"), QVariant(), QVariant(),
                                     QStringLiteral("2020-02-29")}));
    EXPECT_TRUE(tempFilesIn(dir.path()).isEmpty());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray magic = file.read(4);
    EXPECT_EQ(magic, QLatin1String(GetParam()) == QLatin1String("xls")
                         ? QByteArray("\xD0\xCF\x11\xE0", 4) // compound file
                         : QByteArray("PK\x03\x04", 4))      // zip package
        << "the content matches the extension";
}

INSTANTIATE_TEST_SUITE_P(XlsxRoundTripTest, TypedCells, ::testing::Values("xlsx", "xls"));

TEST(XlsxRoundTripTest, LargeXlsWorkbooksKeepEveryString)
{
    // More text than one record holds, one cell longer than a record, many rows.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.xls"));
    XlsxWriter writer;
    ASSERT_TRUE(writer.open(path, QStringLiteral("log"), {QStringLiteral("N"), QStringLiteral("T")},
                            {Type::Number, Type::Text}));
    const QString longText = QString(6000, u'长') + QStringLiteral("尾");
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(writer.writeRow({i, i == 1500 ? longText : QStringLiteral("行%1").arg(i)}));
    ASSERT_TRUE(writer.commit()) << writer.errorString().toStdString();
    const QList<QVariantList> rows = readBack(path);
    ASSERT_EQ(rows.size(), 3001);
    EXPECT_EQ(rows[2999].value(1).toString(), QStringLiteral("行2998"));
    EXPECT_EQ(rows[1501].value(1).toString(), longText);
    EXPECT_EQ(rows[3000].value(0).toDouble(), 2999.0);
}

TEST(XlsxRoundTripTest, ExistingFileIsReplacedOnlyOnCommit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.xls"));
    auto writeOne = [&](const QString& value, bool commit) {
        XlsxWriter writer;
        EXPECT_TRUE(writer.open(path, QStringLiteral("out"), {QStringLiteral("A")}, {Type::Text}));
        EXPECT_TRUE(writer.writeRow({value}));
        if (commit)
            EXPECT_TRUE(writer.commit());
    };
    writeOne(QStringLiteral("first"), true);
    writeOne(QStringLiteral("second"), true);
    EXPECT_EQ(readBack(path).value(1).value(0).toString(), QStringLiteral("second"));

    writeOne(QStringLiteral("abandoned"), false); // destroyed without commit
    EXPECT_EQ(readBack(path).value(1).value(0).toString(), QStringLiteral("second"));
    EXPECT_TRUE(tempFilesIn(dir.path()).isEmpty());

    XlsxWriter writer;
    EXPECT_FALSE(writer.open(dir.filePath(QStringLiteral("no/such/folder/x.xlsx")),
                             QStringLiteral("x"), {QStringLiteral("A")}, {Type::Text}));
    EXPECT_FALSE(writer.errorString().isEmpty());
    EXPECT_FALSE(writer.writeRow({1}));
    EXPECT_FALSE(writer.commit());
    EXPECT_FALSE(writer.open(path, QStringLiteral("x"), {}, {}));
}

TEST(XlsxRoundTripTest, SheetNamesAreMadeAcceptable)
{
    EXPECT_EQ(XlsxWriter::validSheetName(QStringLiteral("a[b]:c*d?e/f\\g")),
              QStringLiteral("a_b__c_d_e_f_g"));
    EXPECT_EQ(XlsxWriter::validSheetName(QStringLiteral("'quoted'")), QStringLiteral("quoted"));
    EXPECT_EQ(XlsxWriter::validSheetName(QString(40, u'长')).size(), 31);
    EXPECT_EQ(XlsxWriter::validSheetName(QString()), QStringLiteral("Sheet1"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.xlsx"));
    XlsxWriter writer;
    ASSERT_TRUE(
        writer.open(path, QStringLiteral("工资[2024]"), {QStringLiteral("A")}, {Type::Number}));
    ASSERT_TRUE(writer.commit());
    QStringList sheets;
    const QList<QVariantList> rows = readBack(path, &sheets);
    EXPECT_EQ(sheets, QStringList{QStringLiteral("工资_2024_")});
    EXPECT_EQ(rows.size(), 1);
}

} // namespace
