#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/workbookbackend.h"
#include "platform/xlsxwriter.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvane::db;
using orvane::platform::XlsxWriter;
using Type = XlsxWriter::ColumnType;

namespace {

QString jet(const QString& path, const QString& header = QStringLiteral("YES"))
{
    return QStringLiteral("Provider='Microsoft.JET.OLEDB.4.0';Data Source=%1;"
                          "Extended Properties=\"Excel 8.0;HDR=%2\"")
        .arg(path, header);
}

class WorkbookBackendTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = dir.filePath(QStringLiteral("import.xlsx"));
        XlsxWriter writer;
        ASSERT_TRUE(
            writer.open(path, QStringLiteral("人员"),
                        {QStringLiteral("编号"), QStringLiteral("姓名"), QStringLiteral("工资"),
                         QStringLiteral("入职日期"), QStringLiteral("在职"), QStringLiteral("备注"),
                         QString(), QStringLiteral("姓名")},
                        {Type::Text, Type::Text, Type::Number, Type::DateTime, Type::Boolean,
                         Type::Number, Type::Text, Type::Text}));
        ASSERT_TRUE(writer.writeRow({QStringLiteral("001"), QStringLiteral("张三"), 123456789012.0,
                                     QDateTime(QDate(2020, 5, 6), QTime(8, 30)), true, 1002,
                                     QStringLiteral("x"), QStringLiteral("dup")}));
        ASSERT_TRUE(
            writer.writeRow({QStringLiteral("002"), QStringLiteral("李'四"), 2500.75, QVariant(),
                             false, QStringLiteral("见附件"), QVariant(), QVariant()}));
        ASSERT_TRUE(writer.commit());
    }

    QTemporaryDir dir;
    QString path;
};

TEST_F(WorkbookBackendTest, SheetReadsAsTypedRecordset)
{
    CADODatabase db;
    ASSERT_TRUE(db.Open(jet(path))) << db.GetLastErrorString().toStdString();
    EXPECT_EQ(db.backendKind(), BackendKind::Workbook);
    EXPECT_EQ(workbookSheetNames(db), QStringList{QStringLiteral("人员")});

    CADORecordset rs(&db);
    for (const char* sql : {"SELECT * FROM [人员]", "select * from 人员", "SELECT * FROM [人员$]",
                            "  SELECT  *  FROM  '人员$' ; "}) {
        ASSERT_TRUE(rs.Open(QString::fromUtf8(sql)))
            << sql << rs.GetLastErrorString().toStdString();
        EXPECT_EQ(rs.GetRecordCount(), 2) << sql;
    }

    const QStringList names{QStringLiteral("编号"), QStringLiteral("姓名"),
                            QStringLiteral("工资"), QStringLiteral("入职日期"),
                            QStringLiteral("在职"), QStringLiteral("备注"),
                            QStringLiteral("F7"),   QStringLiteral("F8")};
    const QList<int> types{adVarWChar, adVarWChar, adDouble,   adDate,
                           adBoolean,  adVarWChar, adVarWChar, adVarWChar};
    ASSERT_EQ(rs.GetFieldCount(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        CADOFieldInfo info;
        ASSERT_TRUE(rs.GetFieldInfo(i, &info));
        EXPECT_EQ(info.m_strName, names.at(i));
        EXPECT_EQ(info.m_nType, types.at(i)) << i;
    }

    rs.MoveFirst();
    qint64 wage = 0;
    ASSERT_TRUE(rs.GetFieldValue(QStringLiteral("工资"), wage));
    EXPECT_EQ(wage, 123456789012LL);
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("编号")), QStringLiteral("001"));
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("入职日期")), QStringLiteral("2020-05-06 08:30:00"));
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("在职")), QStringLiteral("True"));
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("备注")), QStringLiteral("1002")); // number as text
    rs.MoveNext();
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("姓名")), QStringLiteral("李'四"));
    EXPECT_EQ(rs.GetFieldDouble(QStringLiteral("工资")), 2500.75);
    EXPECT_TRUE(rs.IsFieldNull(QStringLiteral("入职日期")));
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("备注")), QStringLiteral("见附件"));
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
}

TEST_F(WorkbookBackendTest, WithoutHeaderEveryRowIsData)
{
    CADODatabase db;
    ASSERT_TRUE(db.Open(jet(path, QStringLiteral("NO"))));
    CADORecordset rs(&db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM [人员$]")));
    EXPECT_EQ(rs.GetRecordCount(), 3);
    CADOFieldInfo info;
    ASSERT_TRUE(rs.GetFieldInfo(2, &info));
    EXPECT_EQ(info.m_strName, QStringLiteral("F3"));
    EXPECT_EQ(info.m_nType, adVarWChar); // the title row makes the column mixed
    rs.MoveFirst();
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("F3")), QStringLiteral("工资"));
}

TEST_F(WorkbookBackendTest, AnythingElseFailsClearly)
{
    CADODatabase db;
    EXPECT_FALSE(db.Open(jet(dir.filePath(QStringLiteral("no/such/folder/missing.xls")))));
    EXPECT_TRUE(db.GetLastErrorString().startsWith(QStringLiteral("CADODataBase Error")));
    EXPECT_FALSE(db.GetErrorDescription().isEmpty());
    EXPECT_FALSE(db.IsOpen());

    const QString text = dir.filePath(QStringLiteral("notes.xls"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("编号\t姓名\n");
    file.close();
    EXPECT_FALSE(db.Open(jet(text)));

    ASSERT_TRUE(db.Open(jet(path)));
    CADORecordset rs(&db);
    for (const char* sql :
         {"SELECT * FROM [Sheet9]", "SELECT 编号 FROM [人员]",
          "SELECT * FROM [人员] WHERE 编号='001'", "SELECT * FROM [人员", "SELECT * FROM"}) {
        EXPECT_FALSE(rs.Open(QString::fromUtf8(sql))) << sql;
        EXPECT_TRUE(rs.GetLastErrorString().startsWith(QStringLiteral("CADORecordset Error")));
    }
    EXPECT_FALSE(db.Execute(QStringLiteral("DELETE FROM [人员]")));
    EXPECT_FALSE(db.Execute(QStringLiteral("CREATE TABLE x (a TEXT)")))
        << "an existing workbook takes no new sheet";
    EXPECT_FALSE(db.BeginTransaction());
    // The connection stays usable after the refusals.
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM [人员]")));
    EXPECT_EQ(rs.GetRecordCount(), 2);
    // Rows of a sheet cannot be written back.
    rs.MoveFirst();
    ASSERT_TRUE(rs.Edit());
    EXPECT_FALSE(rs.SetFieldValue(QStringLiteral("姓名"), QStringLiteral("王五")) && rs.Update());
    EXPECT_TRUE(workbookSheetNames(CADODatabase()).isEmpty());
}

// The export algorithm as the data access layer describes it: CREATE TABLE on a new workbook,
// then rows through a recordset (AddNew, field values, Update) and INSERT.
TEST_F(WorkbookBackendTest, NewWorkbookTakesCreateTableAndRows)
{
    for (const char* name : {"日志.xls", "日志.xlsx"}) {
        const QString file = dir.filePath(QString::fromUtf8(name));
        {
            CADODatabase db;
            ASSERT_TRUE(db.Open(jet(file))) << db.GetLastErrorString().toStdString();
            ASSERT_TRUE(db.Execute(QStringLiteral(
                "CREATE TABLE 日志( 操作员 TEXT,时间 DATETIME,登录 LOGICAL,次数 NUMBER)")))
                << db.GetLastErrorString().toStdString();
            EXPECT_TRUE(QFile::exists(file)) << "the workbook exists once the table does";
            CADORecordset rs(&db);
            ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM 日志")));
            EXPECT_TRUE(rs.IsEOF());
            ASSERT_TRUE(rs.AddNew());
            ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("操作员"), QStringLiteral("admin")));
            ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("时间"),
                                         QDateTime(QDate(2024, 5, 1), QTime(8, 30))));
            ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("次数"), 3));
            ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString().toStdString();
            ASSERT_TRUE(db.Execute(
                QStringLiteral("INSERT INTO 日志 (操作员, 次数) VALUES (N'O''Brien', -2.5)")));
            EXPECT_FALSE(db.Execute(QStringLiteral("INSERT INTO 日志 VALUES (1)")));
            EXPECT_FALSE(db.Execute(QStringLiteral("CREATE TABLE 二 (a TEXT)")));
        } // closing writes the rows

        QFile raw(file);
        ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
        EXPECT_EQ(raw.read(2),
                  QByteArray(QString::fromUtf8(name).endsWith(u"xls") ? "\xD0\xCF" : "PK"));
        CADODatabase db;
        ASSERT_TRUE(db.Open(jet(file)));
        CADORecordset rs(&db);
        ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM [日志]")));
        ASSERT_EQ(rs.GetRecordCount(), 2) << name;
        rs.MoveFirst();
        EXPECT_EQ(rs.GetFieldString(QStringLiteral("操作员")), QStringLiteral("admin"));
        EXPECT_EQ(rs.GetFieldString(QStringLiteral("时间")), QStringLiteral("2024-05-01 08:30:00"));
        rs.MoveNext();
        EXPECT_EQ(rs.GetFieldString(QStringLiteral("操作员")), QStringLiteral("O'Brien"));
        EXPECT_EQ(rs.GetFieldString(QStringLiteral("次数")), QStringLiteral("-2.5"));
    }
}

} // namespace
