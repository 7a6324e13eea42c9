#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/excelexport.h"
#include "platform/workbookreader.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvane::db;
using orvane::platform::WorkbookReader;
using orvane::platform::XlsxWriter;

namespace {

class WorkbookExportTest : public ::testing::Test
{
protected:
    // The export reads any recordset alike; its source table is made in SQLite's own dialect
    // (BLOB, X'..') in a file of the test's own, whatever backend the suite runs on.
    void SetUp() override
    {
        ASSERT_TRUE(db.Open(dir.filePath(QStringLiteral("source.db")), true))
            << db.GetLastErrorString().toStdString();
        native("CREATE TABLE src (Name NVARCHAR(50), Born DATETIME, Active BIT, Age INT, "
               "Wage FLOAT, Photo BLOB)");
        native("INSERT INTO src VALUES ('张三', '1985-07-01 00:00:00', 1, 39, 1234.5, X'0102')");
        native("INSERT INTO src VALUES (NULL, NULL, NULL, NULL, NULL, NULL)");
        native("INSERT INTO src VALUES ('O''Brien', '2001-02-03 04:05:06', 0, 23, -0.25, NULL)");
    }
    void native(const char* sql)
    {
        BackendError error;
        ASSERT_TRUE(db.runNative(QString::fromUtf8(sql), nullptr, error))
            << error.description.toStdString();
    }
    QList<QVariantList> readBack(const QString& path, QStringList* sheets)
    {
        WorkbookReader reader;
        EXPECT_TRUE(reader.open(path)) << reader.errorString().toStdString();
        *sheets = reader.sheetNames();
        QList<QVariantList> rows;
        EXPECT_TRUE(reader.readSheet(0, &rows));
        return rows;
    }

    QTemporaryDir dir;
    CADODatabase db;
};

TEST_F(WorkbookExportTest, SheetHoldsFieldNamesThenTypedRecords)
{
    CADORecordset rs(&db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT Age, Name, Born, Active, Wage, Photo FROM src")))
        << rs.GetLastErrorString().toStdString();
    rs.MoveNext(); // positioned anywhere: the export still starts at the first record

    const QString path = dir.filePath(QStringLiteral("人员.导出.xls"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older file of the same name");
    old.close();

    QString error;
    ASSERT_TRUE(ExportRecordsetToExcel(rs, path, &error)) << error.toStdString();
    EXPECT_EQ(rs.GetAbsolutePosition(), 1);

    QStringList sheets;
    const QList<QVariantList> rows = readBack(path, &sheets);
    EXPECT_EQ(sheets, QStringList{QStringLiteral("人员.导出")});
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], (QVariantList{QStringLiteral("Age"), QStringLiteral("Name"),
                                     QStringLiteral("Born"), QStringLiteral("Active"),
                                     QStringLiteral("Wage"), QStringLiteral("Photo")}));
    EXPECT_EQ(rows[1],
              (QVariantList{39.0, QStringLiteral("张三"), QDateTime(QDate(1985, 7, 1), QTime(0, 0)),
                            true, 1234.5, QVariant()}));
    for (const QVariant& v : rows[2])
        EXPECT_FALSE(v.isValid()); // a record of nulls is a row of empty cells
    EXPECT_EQ(rows[3], (QVariantList{23.0, QStringLiteral("O'Brien"),
                                     QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), false, -0.25,
                                     QVariant()}));
}

TEST_F(WorkbookExportTest, ColumnTypesFollowTheFieldTypes)
{
    // The less obvious members of each group.
    EXPECT_EQ(excelColumnType(adGUID), XlsxWriter::ColumnType::Text);
    EXPECT_EQ(excelColumnType(adDBTime), XlsxWriter::ColumnType::DateTime);
    EXPECT_EQ(excelColumnType(adLongVarBinary), XlsxWriter::ColumnType::Number);

    // An exported sheet reads back through the workbook connection with the same kinds.
    CADORecordset rs(&db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT Name, Born, Active, Wage FROM src")));
    const QString path = dir.filePath(QStringLiteral("round.xlsx"));
    ASSERT_TRUE(ExportRecordsetToExcel(rs, path));
    CADODatabase book;
    ASSERT_TRUE(book.Open(QStringLiteral("Provider='Microsoft.JET.OLEDB.4.0';Data Source=%1;"
                                         "Extended Properties=\"Excel 8.0;HDR=YES\"")
                              .arg(path)));
    CADORecordset sheet(&book);
    ASSERT_TRUE(sheet.Open(QStringLiteral("SELECT * FROM [round$]")));
    const QList<int> expected{adVarWChar, adDate, adBoolean, adDouble};
    for (int i = 0; i < expected.size(); ++i) {
        CADOFieldInfo info;
        ASSERT_TRUE(sheet.GetFieldInfo(i, &info));
        EXPECT_EQ(info.m_nType, expected.at(i)) << i;
    }
    EXPECT_EQ(sheet.GetRecordCount(), 3);
}

TEST_F(WorkbookExportTest, FailuresSayWhyAndWriteNothing)
{
    CADORecordset closed(&db);
    QString error;
    EXPECT_FALSE(ExportRecordsetToExcel(closed, dir.filePath(QStringLiteral("a.xlsx")), &error));
    EXPECT_FALSE(error.isEmpty());

    CADORecordset rs(&db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT Name FROM src")));
    error.clear();
    EXPECT_FALSE(ExportRecordsetToExcel(rs, dir.filePath(QStringLiteral("none/a.xlsx")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none/a.xlsx"))));
}

} // namespace
