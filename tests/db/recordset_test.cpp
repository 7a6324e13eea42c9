#include "dbtestfixture.h"

#include "db/valuetext.h"

using namespace orvane::db;

namespace {

class RecordsetTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(QStringLiteral(
            "CREATE TABLE qp_Sample (ID int IDENTITY(1,1) PRIMARY KEY, sName nvarchar(50) NULL, "
            "nCount int NULL, fRate float NULL, dDate datetime NULL, bFlag bit NULL, "
            "pData image NULL)"));
        exec(QStringLiteral("INSERT INTO qp_Sample (sName, nCount, fRate, dDate, bFlag) "
                            "VALUES ('张三', 42, 0.1, '2024-03-05 14:07:09', 1)"));
        exec(QStringLiteral("INSERT INTO qp_Sample (sName, nCount, fRate, dDate, bFlag) "
                            "VALUES (NULL, NULL, NULL, NULL, 0)"));
    }
};

TEST(ValueTextTest, DoublesUseShortestFormUpToTwentyDigits)
{
    EXPECT_EQ(valuetext::formatDouble(0.1), "0.1");
    EXPECT_EQ(valuetext::formatDouble(3.0), "3");
    EXPECT_EQ(valuetext::formatDouble(-1234567.125), "-1234567.125");
    EXPECT_EQ(valuetext::formatDouble(1e19), "10000000000000000000");
    EXPECT_EQ(valuetext::formatDouble(1e20), "1e+20");
    EXPECT_EQ(valuetext::formatDouble(0.0001), "0.0001");
    EXPECT_EQ(valuetext::formatDouble(1.5e-7), "1.5e-07");
    EXPECT_EQ(valuetext::formatDouble(1.0 / 3.0), "0.3333333333333333");
}

TEST(ValueTextTest, DateTextsParseAndFormat)
{
    const QDateTime dt = valuetext::parseDateTime(QStringLiteral("2024-3-5 04:07:09.250"));
    ASSERT_TRUE(dt.isValid());
    EXPECT_EQ(valuetext::formatDateTime(dt, QStringLiteral("%Y-%m-%d %H:%M:%S")),
              "2024-03-05 04:07:09");
    EXPECT_EQ(valuetext::formatDateTime(dt, QStringLiteral("%Y年%m月%d日 %%")), "2024年03月05日 %");
    EXPECT_FALSE(valuetext::parseDateTime(QStringLiteral("2024-02-30")).isValid());
    EXPECT_FALSE(valuetext::parseDateTime(QStringLiteral("not a date")).isValid());
    EXPECT_FALSE(valuetext::parseDateTime(QStringLiteral("2024-01-01 10:00 junk")).isValid());
}

TEST_F(RecordsetTest, TextFormsOfEveryKindOfValue)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM qp_Sample ORDER BY ID")))
        << rs.GetLastErrorString().toStdString();
    QString text;
    ASSERT_TRUE(rs.GetFieldValue(QStringLiteral("sName"), text));
    EXPECT_EQ(text, "张三");
    ASSERT_TRUE(rs.GetFieldValue(QStringLiteral("nCount"), text));
    EXPECT_EQ(text, "42");
    ASSERT_TRUE(rs.GetFieldValue(QStringLiteral("fRate"), text));
    EXPECT_EQ(text, "0.1");
    ASSERT_TRUE(rs.GetFieldValue(QStringLiteral("dDate"), text));
    EXPECT_EQ(text, "2024-03-05 14:07:09");
    ASSERT_TRUE(rs.GetFieldValue(QStringLiteral("dDate"), text, QStringLiteral("%Y/%m/%d")));
    EXPECT_EQ(text, "2024/03/05");
    ASSERT_TRUE(rs.GetFieldValue(QStringLiteral("bFlag"), text));
    EXPECT_EQ(text, "True");

    QDateTime date;
    ASSERT_TRUE(rs.GetFieldValue(QStringLiteral("dDate"), date));
    EXPECT_EQ(date, QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    int count = 0;
    EXPECT_FALSE(rs.GetFieldValue(QStringLiteral("dDate"), count)) << "a date is not a number";

    rs.MoveNext();
    ASSERT_FALSE(rs.IsEOF());
    for (const char* field : {"sName", "nCount", "fRate", "dDate"}) {
        text = QStringLiteral("x");
        ASSERT_TRUE(rs.GetFieldValue(QString::fromLatin1(field), text));
        EXPECT_EQ(text, "") << field;
    }
    ASSERT_TRUE(rs.GetFieldValue(QStringLiteral("bFlag"), text));
    EXPECT_EQ(text, "False");
    count = 7;
    double rate = 7;
    ASSERT_TRUE(rs.GetFieldValue(QStringLiteral("nCount"), count));
    ASSERT_TRUE(rs.GetFieldValue(QStringLiteral("fRate"), rate));
    ASSERT_TRUE(rs.GetFieldValue(QStringLiteral("dDate"), date));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(rate, 0.0);
    EXPECT_FALSE(date.isValid());

    // A missing field fails that read only.
    EXPECT_FALSE(rs.GetFieldValue(QStringLiteral("NoSuchField"), text));
    EXPECT_TRUE(rs.GetFieldValue(QStringLiteral("bFlag"), text));
}

TEST_F(RecordsetTest, FieldsCountAndCursor)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(QStringLiteral("select ID, sName, nCount, fRate, dDate, bFlag, "
                                       "nCount * 2 AS Twice FROM qp_Sample ORDER BY ID"),
                        CADORecordset::openTable)); // a SELECT text is a query whatever the option
    EXPECT_EQ(rs.GetRecordCount(), 2);
    EXPECT_EQ(rs.GetFieldCount(), 7) << "key columns added for updating stay hidden";
    const std::vector<std::pair<const char*, int>> expected = {
        {"ID", adInteger},        {"sName", adVarWChar}, {"nCount", adInteger}, {"fRate", adDouble},
        {"dDate", adDBTimeStamp}, {"bFlag", adBoolean},  {"Twice", adInteger}};
    for (int i = 0; i < 7; ++i) {
        CADOFieldInfo info;
        ASSERT_TRUE(rs.GetFieldInfo(i, &info));
        EXPECT_EQ(info.m_strName, expected[size_t(i)].first);
        EXPECT_EQ(info.m_nType, expected[size_t(i)].second) << expected[size_t(i)].first;
    }
    CADOFieldInfo info;
    ASSERT_TRUE(rs.GetFieldInfo(1, &info));
    EXPECT_EQ(info.m_lDefinedSize, 50);

    rs.MoveNext();
    EXPECT_EQ(rs.GetRecordCount(), 2);
    EXPECT_EQ(rs.GetFieldInt(QStringLiteral("ID")), 2) << "counting leaves the cursor in place";
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    rs.MoveFirst();
    EXPECT_EQ(rs.GetFieldInt(QStringLiteral("ID")), 1);

    CADORecordset empty(&m_db);
    ASSERT_TRUE(empty.Open(QStringLiteral("SELECT * FROM qp_Sample WHERE ID = -1")));
    EXPECT_TRUE(empty.IsEOF());
    EXPECT_EQ(empty.GetRecordCount(), 0);
    QString text;
    EXPECT_FALSE(empty.GetFieldValue(QStringLiteral("sName"), text));
}

TEST_F(RecordsetTest, ChangesNeedAddNewOrEdit)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT ID, sName, nCount FROM qp_Sample WHERE ID = 1")));
    EXPECT_TRUE(rs.Update()) << "Update without pending changes succeeds";
    EXPECT_FALSE(rs.SetFieldValue(QStringLiteral("sName"), QStringLiteral("李四")));
    EXPECT_TRUE(rs.GetLastErrorString().startsWith(QStringLiteral("CADORecordset Error\n")));
    EXPECT_TRUE(rs.Update());
    EXPECT_EQ(scalar(QStringLiteral("SELECT sName FROM qp_Sample WHERE ID = 1")), "张三");

    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("sName"), QStringLiteral("李四")));
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("nCount"), 7));
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("sName")), "李四") << "pending value is visible";
    ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString().toStdString();
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::dbEditNone);
    EXPECT_EQ(scalar(QStringLiteral("SELECT sName + '/' + CAST(nCount AS varchar(10)) "
                                    "FROM qp_Sample WHERE ID = 1")),
              "李四/7");

    // An empty text is stored as null.
    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("sName"), QString()));
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Sample WHERE ID = 1 AND sName IS NULL")),
        "1");
}

TEST_F(RecordsetTest, RefusedUpdateCancelsPendingChanges)
{
    exec(QStringLiteral("CREATE TABLE qp_Strict (ID int IDENTITY(1,1) PRIMARY KEY, "
                        "Title nvarchar(20) NOT NULL, Num int NULL)"));
    exec(QStringLiteral("INSERT INTO qp_Strict (Title, Num) VALUES ('a', 1)"));
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM qp_Strict")));
    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("Num"), 5));
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("Title"), QString())); // null violates NOT NULL
    EXPECT_FALSE(rs.Update());
    EXPECT_TRUE(rs.GetLastErrorString().startsWith(QStringLiteral("CADORecordset Error\n")));
    EXPECT_TRUE(
        rs.GetLastErrorString().endsWith(QStringLiteral("Query = SELECT * FROM qp_Strict")));
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::dbEditNone);
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("Title")), "a");
    EXPECT_EQ(rs.GetFieldInt(QStringLiteral("Num")), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Num FROM qp_Strict")), "1");

    // A refused insert removes the blank record again.
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("Num"), 9));
    EXPECT_FALSE(rs.Update());
    EXPECT_EQ(rs.GetRecordCount(), 1);

    // The recordset is usable again: a valid insert returns the new identity.
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("Title"), "b"));
    ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString().toStdString();
    EXPECT_EQ(rs.GetRecordCount(), 2);
    // A server may have spent an identity value on the refused row, as SQL Server does.
    const int id = rs.GetFieldInt(QStringLiteral("ID"));
    EXPECT_GE(id, 2);
    EXPECT_TRUE(rs.IsFieldNull(QStringLiteral("Num")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Title FROM qp_Strict WHERE ID = %1").arg(id)), "b");
}

TEST_F(RecordsetTest, JoinedRowsWriteEachColumnToItsOwnTable)
{
    exec(QStringLiteral("CREATE TABLE qp_Dept (DID int IDENTITY(1,1) PRIMARY KEY, "
                        "DName nvarchar(50) NULL)"));
    exec(QStringLiteral("CREATE TABLE qp_Psn (PID int IDENTITY(1,1) PRIMARY KEY, DID int NULL, "
                        "PName nvarchar(50) NULL)"));
    exec(QStringLiteral("INSERT INTO qp_Dept (DName) VALUES ('财务')"));
    exec(QStringLiteral("INSERT INTO qp_Dept (DName) VALUES ('人事')"));
    exec(QStringLiteral("INSERT INTO qp_Psn (DID, PName) VALUES (1, 'A')"));
    exec(QStringLiteral("INSERT INTO qp_Psn (DID, PName) VALUES (2, 'B')"));
    exec(QStringLiteral("INSERT INTO qp_Psn (DID, PName) VALUES (2, 'C')"));

    // Neither key is in the select list.
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT p.PName, d.DName AS Dept, p.PName + '*' AS Marked "
                                       "FROM qp_Psn p INNER JOIN qp_Dept AS d ON p.DID = d.DID "
                                       "WHERE p.PName = 'B'")));
    ASSERT_EQ(rs.GetRecordCount(), 1);
    EXPECT_EQ(rs.GetFieldCount(), 3);
    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("PName"), "B2"));
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("Dept"), "人事部"));
    EXPECT_FALSE(rs.SetFieldValue(QStringLiteral("Marked"), "x")) << "an expression has no table";
    ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString().toStdString();

    EXPECT_EQ(scalar(QStringLiteral("SELECT PName FROM qp_Psn WHERE PID = 2")), "B2");
    EXPECT_EQ(scalar(QStringLiteral("SELECT PName FROM qp_Psn WHERE PID = 3")), "C");
    EXPECT_EQ(scalar(QStringLiteral("SELECT DName FROM qp_Dept WHERE DID = 2")), "人事部");
    EXPECT_EQ(scalar(QStringLiteral("SELECT DName FROM qp_Dept WHERE DID = 1")), "财务");

    // A row deleted by another operator meanwhile cannot be written, and the change already
    // made to the other table of the row is undone with it.
    exec(QStringLiteral("DELETE FROM qp_Dept WHERE DID = 2"));
    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("PName"), "B3"));
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("Dept"), "x"));
    EXPECT_FALSE(rs.Update());
    EXPECT_EQ(scalar(QStringLiteral("SELECT PName FROM qp_Psn WHERE PID = 2")), "B2");
}

TEST_F(RecordsetTest, BinaryChunksAndOpenCursorsSurviveStatements)
{
    QByteArray bytes(70000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT ID, pData FROM qp_Sample WHERE ID = 1")));
    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.AppendChunk(QStringLiteral("pData"), bytes));
    ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString().toStdString();

    CADORecordset again(&m_db);
    ASSERT_TRUE(again.Open(QStringLiteral("SELECT pData FROM qp_Sample WHERE ID = 1")));
    QByteArray read;
    ASSERT_TRUE(again.GetChunk(QStringLiteral("pData"), read));
    EXPECT_EQ(read, bytes);
    QString text;
    EXPECT_FALSE(again.GetFieldValue(QStringLiteral("pData"), text)) << "binary has no text form";

    // Rows are held by the client: deleting them does not disturb an open recordset.
    CADORecordset all(&m_db);
    ASSERT_TRUE(all.Open(QStringLiteral("SELECT * FROM qp_Sample ORDER BY ID")));
    exec(QStringLiteral("DELETE FROM qp_Sample"));
    EXPECT_EQ(m_db.GetRecordsAffected(), 2);
    EXPECT_EQ(all.GetRecordCount(), 2);
    EXPECT_EQ(all.GetFieldString(QStringLiteral("sName")), "张三");
}

} // namespace
