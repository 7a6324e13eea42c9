#include "biff8builder.h"

#include "platform/workbookreader.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using orvane::platform::WorkbookReader;

namespace {

class XlsReaderTest : public ::testing::Test
{
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(XlsReaderTest, ReadsSheetsTextsNumbersDatesAndBlanks)
{
    Biff8Builder book;
    book.addSheet(QStringLiteral("人员"));
    book.addText(0, 0, QStringLiteral("编号"));
    book.addText(0, 1, QStringLiteral("姓名"));
    book.addText(0, 2, QStringLiteral("入职日期"));
    book.addText(0, 3, QStringLiteral("工资"));
    book.addText(0, 4, QStringLiteral("在职"));
    book.addText(1, 0, QStringLiteral("001"));
    book.addText(1, 1, QStringLiteral("张三"));
    book.addNumber(1, 2, 45366.0, Biff8Builder::Date); // 2024-03-15
    book.addNumber(1, 3, 1234.5);
    book.addBoolean(1, 4, true);
    book.addText(2, 1, QStringLiteral("李四")); // no number: blank cell
    book.addNumber(2, 2, 45366.5, Biff8Builder::DateTime);
    book.addNumber(2, 3, 9007199254740991.0); // largest exact integer of a double
    book.addSheet(QStringLiteral("Sheet2"));
    book.addText(0, 0, QStringLiteral("x"));

    WorkbookReader reader;
    ASSERT_TRUE(reader.open(write(QStringLiteral("book.xls"), book.build())))
        << reader.errorString().toStdString();
    EXPECT_EQ(reader.format(), WorkbookReader::Format::Xls);
    EXPECT_EQ(reader.sheetNames(), QStringList({QStringLiteral("人员"), QStringLiteral("Sheet2")}));
    EXPECT_EQ(reader.sheetIndex(QStringLiteral("SHEET2")), 1);

    QList<QVariantList> rows;
    ASSERT_TRUE(reader.readSheet(0, &rows)) << reader.errorString().toStdString();
    ASSERT_EQ(rows.size(), 3);
    for (const QVariantList& row : rows)
        EXPECT_EQ(row.size(), 5);
    EXPECT_EQ(rows[0][1].toString(), QStringLiteral("姓名"));
    EXPECT_EQ(rows[1][0].toString(), QStringLiteral("001"));
    EXPECT_EQ(rows[1][2].toDateTime(), QDateTime(QDate(2024, 3, 15), QTime(0, 0)));
    EXPECT_EQ(rows[1][3].toDouble(), 1234.5);
    EXPECT_FALSE(rows[2][0].isValid());
    EXPECT_EQ(rows[2][2].toDateTime(), QDateTime(QDate(2024, 3, 15), QTime(12, 0)));
    EXPECT_EQ(rows[2][3].toDouble(), 9007199254740991.0);
    EXPECT_NE(rows[1][4].toInt(), 0);

    ASSERT_TRUE(reader.readSheet(1, &rows));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_FALSE(reader.readSheet(2, &rows));
    EXPECT_EQ(reader.error(), WorkbookReader::Error::NoSuchSheet);
}

TEST_F(XlsReaderTest, ProtectedAndBrokenFilesGiveClearErrors)
{
    Biff8Builder book;
    book.addSheet(QStringLiteral("Sheet1"));
    book.addText(0, 0, QStringLiteral("a"));
    book.setObfuscated(true);
    WorkbookReader reader;
    EXPECT_FALSE(reader.open(write(QStringLiteral("locked.xls"), book.build())));
    EXPECT_EQ(reader.error(), WorkbookReader::Error::Encrypted);

    // A password-protected .xlsx is a compound file holding only an encrypted package.
    const QByteArray package =
        Biff8Builder::compoundFile(QByteArray(5000, 'x'), QStringLiteral("EncryptedPackage"));
    EXPECT_FALSE(reader.open(write(QStringLiteral("locked.xlsx"), package)));
    EXPECT_EQ(reader.error(), WorkbookReader::Error::Encrypted);
    EXPECT_FALSE(reader.errorString().isEmpty());

    const QByteArray other =
        Biff8Builder::compoundFile(QByteArray(5000, 'x'), QStringLiteral("WordDocument"));
    EXPECT_FALSE(reader.open(write(QStringLiteral("letter.xls"), other)));
    EXPECT_EQ(reader.error(), WorkbookReader::Error::NotAWorkbook);

    // Every cut of a good file is refused or read, never a crash.
    Biff8Builder good;
    good.addSheet(QStringLiteral("Sheet1"));
    for (int r = 0; r < 20; ++r)
        good.addNumber(r, 0, r);
    const QByteArray bytes = good.build();
    for (int cut : {8, 100, 512, 1024, 1536, 2000, int(bytes.size()) - 700}) {
        const bool opened = reader.open(write(QStringLiteral("cut.xls"), bytes.left(cut)));
        if (opened) {
            QList<QVariantList> rows;
            reader.readSheet(0, &rows);
        } else {
            EXPECT_NE(reader.error(), WorkbookReader::Error::None) << cut;
        }
    }
    // Garbage after a valid signature.
    QByteArray garbage = bytes.left(8);
    for (int i = 0; i < 4000; ++i)
        garbage.append(char((i * 7919) & 0xFF));
    EXPECT_FALSE(reader.open(write(QStringLiteral("garbage.xls"), garbage)));
}

} // namespace
