#include "dbtestfixture.h"

#include "db/connectionstring.h"
#include "db/sqlitebackend.h"

using namespace orvane::db;

namespace {

TEST(ConnectionStringTest, TargetsAndValues)
{
    struct Case
    {
        QString text;
        ConnectionString::Target target;
        QString location;
    };
    const std::vector<Case> cases = {
        {"Provider=SQLOLEDB;Server=/srv/hr.db;UID=sa;PWD=p;w;Database=Talvery_ORVANE_DB",
         ConnectionString::Target::SqliteFile, "/srv/hr.db"},
        {"Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
         "Initial Catalog=Talvery_ORVANE_DB;Data Source=C:\\hr\\data",
         ConnectionString::Target::SqliteFile, "C:\\hr\\data"},
        {"Provider=SQLOLEDB;Server=hr.sqlite3;UID=;PWD=;Database=x",
         ConnectionString::Target::SqliteFile, "hr.sqlite3"},
        {"Provider=SQLOLEDB;Server=DBHOST\\SQLEXPRESS;UID=sa;PWD=;Database=x",
         ConnectionString::Target::SqlServer, "DBHOST\\SQLEXPRESS"}, // a named instance
        {"Provider=SQLOLEDB;Server=\\\\fs01\\hr\\orvane;UID=;PWD=;Database=x",
         ConnectionString::Target::SqliteFile, "\\\\fs01\\hr\\orvane"},
        {"Provider=SQLOLEDB;Server=192.168.1.5;UID=sa;PWD=;Database=x",
         ConnectionString::Target::SqlServer, "192.168.1.5"},
        {"Provider='Microsoft.JET.OLEDB.4.0';Data Source=/tmp/a b.xls;"
         "Extended Properties=\"Excel 8.0;HDR=YES\"",
         ConnectionString::Target::Workbook, "/tmp/a b.xls"},
        {"/var/lib/orvane/hr.db", ConnectionString::Target::SqliteFile, "/var/lib/orvane/hr.db"},
        {"", ConnectionString::Target::Invalid, ""},
        {"Provider=SQLOLEDB;UID=sa", ConnectionString::Target::Invalid, ""},
        {"just words", ConnectionString::Target::Invalid, ""},
    };
    for (const Case& c : cases) {
        const ConnectionString cs = ConnectionString::parse(c.text);
        EXPECT_EQ(int(cs.target()), int(c.target)) << c.text.toStdString();
        EXPECT_EQ(cs.location(), c.location) << c.text.toStdString();
    }
    const ConnectionString jet = ConnectionString::parse(cases[6].text);
    EXPECT_EQ(jet.value(QStringLiteral("extended properties")), "Excel 8.0;HDR=YES");
    EXPECT_EQ(ConnectionString::parse(cases[0].text).value(QStringLiteral("pwd")), "p")
        << "an unquoted value ends at the semicolon";
}

TEST(RowidColumnsTest, KeysAreAddedOnlyWhereRowsAreBaseRows)
{
    auto keyed = [](const char* sql) {
        return SqliteBackend::addRowidColumns(QString::fromUtf8(sql));
    };

    auto k = keyed("SELECT a.x, b.y FROM t1 AS a LEFT JOIN \"t2\" b ON a.id = b.id WHERE a.x > 1");
    EXPECT_EQ(k.tables, QStringList({"t1", "t2"}));
    EXPECT_EQ(k.aliases, QStringList({"a", "b"}));
    EXPECT_TRUE(k.sql.contains(QStringLiteral(", a.rowid AS \"__orvane_key0\", b.rowid AS ")))
        << k.sql.toStdString();
    EXPECT_TRUE(k.sql.endsWith(
        QStringLiteral(" FROM t1 AS a LEFT JOIN \"t2\" b ON a.id = b.id WHERE a.x > 1")));

    k = keyed("select * from main.t1, t2 where t1.id = t2.id order by 1");
    EXPECT_EQ(k.tables, QStringList({"t1", "t2"}));
    EXPECT_EQ(k.aliases, QStringList({"main.t1", "t2"}));

    k = keyed("SELECT x, (SELECT MAX(y) FROM t9) FROM (SELECT x FROM t1) s JOIN t2 ON 1=1");
    EXPECT_EQ(k.tables, QStringList({"t2"})) << "sub-queries are not written back";

    for (const char* sql :
         {"SELECT DISTINCT x FROM t1", "SELECT x, COUNT(*) FROM t1 GROUP BY x",
          "SELECT x FROM t1 UNION SELECT x FROM t2", "SELECT 1", "UPDATE t1 SET x = 1"})
        EXPECT_TRUE(keyed(sql).sql.isEmpty()) << sql;
}

class WritebackTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(QStringLiteral("CREATE TABLE qp_Dept (DID int IDENTITY(1,1) PRIMARY KEY, "
                            "ParentID int NULL, DName nvarchar(50) NULL, "
                            "Stat int NOT NULL DEFAULT 5)"));
        exec(QStringLiteral("INSERT INTO qp_Dept (ParentID, DName) VALUES (0, '总部')"));
        exec(QStringLiteral("INSERT INTO qp_Dept (ParentID, DName) VALUES (1, '分部')"));
    }
};

TEST_F(WritebackTest, ReadOnlyResultsRefuseChanges)
{
    for (const char* sql :
         {"SELECT c.DName, p.DName AS Parent FROM qp_Dept c JOIN qp_Dept p ON c.ParentID = p.DID",
          "SELECT DISTINCT DName FROM qp_Dept",
          "SELECT DName, COUNT(*) AS N FROM qp_Dept GROUP BY DName"}) {
        CADORecordset rs(&m_db);
        ASSERT_TRUE(rs.Open(QString::fromUtf8(sql))) << rs.GetLastErrorString().toStdString();
        EXPECT_FALSE(rs.GetFieldString(QStringLiteral("DName")).isEmpty());
        ASSERT_TRUE(rs.Edit());
        EXPECT_FALSE(rs.SetFieldValue(QStringLiteral("DName"), "x")) << sql;
        EXPECT_TRUE(rs.Update());
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Dept WHERE DName = 'x'")), "0");
}

TEST_F(WritebackTest, AddNewOnAnEmptyQueryReadsBackIdentityAndDefaults)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM qp_Dept WHERE 1 = 0")));
    EXPECT_TRUE(rs.IsEOF());
    const QString hostile = QStringLiteral("O'Brien'); DROP TABLE qp_Dept; --");
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("DName"), hostile));
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("ParentID"), 1));
    ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString().toStdString();
    EXPECT_EQ(rs.GetFieldInt(QStringLiteral("DID")), 3);
    EXPECT_EQ(rs.GetFieldInt(QStringLiteral("Stat")), 5);
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("DName")), hostile);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Dept")), "3");

    // Moving off a record being edited writes it, as the provider does.
    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("DName"), "新部门"));
    rs.MoveNext();
    EXPECT_EQ(rs.GetEditMode(), CADORecordset::dbEditNone);
    EXPECT_EQ(scalar(QStringLiteral("SELECT DName FROM qp_Dept WHERE DID = 3")), "新部门");

    // Typed values keep their kind through the write and the read-back.
    CADORecordset one(&m_db);
    ASSERT_TRUE(one.Open(QStringLiteral("SELECT DID, ParentID FROM qp_Dept WHERE DID = 2")));
    ASSERT_TRUE(one.Edit());
    ASSERT_TRUE(one.SetFieldValue(QStringLiteral("ParentID"), QStringLiteral("3")));
    ASSERT_TRUE(one.Update());
    int parent = 0;
    ASSERT_TRUE(one.GetFieldValue(QStringLiteral("ParentID"), parent));
    EXPECT_EQ(parent, 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Dept WHERE ParentID = 3")), "1");
}

TEST_F(WritebackTest, WrittenDatesAndDecimalsTakeTheColumnsForm)
{
    exec(QStringLiteral("CREATE TABLE qp_Psn (PID int IDENTITY(1,1) PRIMARY KEY, "
                        "Birthday datetime NULL, F1 decimal(18,2) NULL)"));
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM qp_Psn WHERE 1 = 0")));
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("Birthday"), QStringLiteral("1999-05-31")));
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("F1"), 1.23456));
    ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT PID FROM qp_Psn WHERE "
                                    "Birthday = CONVERT(DATETIME,'1999-05-31',102)")),
              "1");
    EXPECT_EQ(scalar(QStringLiteral("SELECT F1 FROM qp_Psn")), "1.23");

    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("Birthday"), QStringLiteral("no date")));
    EXPECT_FALSE(rs.Update()) << "a text that is no date is refused";
    EXPECT_EQ(scalar(QStringLiteral("SELECT Birthday FROM qp_Psn")), "1999-05-31 00:00:00");
}

TEST_F(WritebackTest, RowWriterWritesByKeyAndAFailedRowLeavesItToTheTransaction)
{
    Backend* backend = m_db.backend();
    ASSERT_NE(backend, nullptr);
    const QStringList key{QStringLiteral("DID")};
    const QStringList columns{QStringLiteral("DName"), QStringLiteral("Stat")};
    {
        const auto writer = backend->rowWriter(QStringLiteral("qp_Dept"), key, columns);
        for (int did = 1; did <= 2; ++did)
            ASSERT_TRUE(writer->update({did}, {QStringLiteral("部门%1").arg(did), 10 + did}))
                << backend->lastError().description.toStdString();
        EXPECT_FALSE(writer->update({99}, {QStringLiteral("x"), 1}));
        EXPECT_TRUE(backend->lastError().description.contains(QStringLiteral("cannot be located")))
            << backend->lastError().description.toStdString();
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT DName + '/' + CAST(Stat AS varchar) FROM qp_Dept "
                                    "WHERE DID = 2")),
              QStringLiteral("部门2/12"));

    // Inside a transaction a refused row fails the batch; the caller rolls back, and the
    // connection and later writers go on working.
    ASSERT_TRUE(m_db.BeginTransaction());
    {
        const auto writer = backend->rowWriter(QStringLiteral("qp_Dept"), key, columns);
        ASSERT_TRUE(writer->update({1}, {QStringLiteral("改"), 7}));
        EXPECT_FALSE(writer->update({2}, {QStringLiteral("改"), QVariant()})) << "Stat NOT NULL";
    }
    ASSERT_TRUE(m_db.RollbackTransaction());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Stat FROM qp_Dept WHERE DID = 1")), "11");
    const auto writer = backend->rowWriter(QStringLiteral("qp_Dept"), key, {columns[1]});
    EXPECT_TRUE(writer->update({1}, {3})) << backend->lastError().description.toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT Stat FROM qp_Dept WHERE DID = 1")), "3");
}

TEST_F(WritebackTest, StatementResultsAsSqlServerGivesThem)
{
    ASSERT_TRUE(m_db.Execute(QStringLiteral("CREATE TABLE t9 (A int)")));
    EXPECT_EQ(m_db.GetRecordsAffected(), -1) << "DDL reports no row count";
    ASSERT_TRUE(m_db.Execute(QStringLiteral("UPDATE qp_Dept SET Stat = 1 WHERE DID = 99")));
    EXPECT_EQ(m_db.GetRecordsAffected(), 0);

    // A transaction written out in one text.
    ASSERT_TRUE(m_db.Execute(QStringLiteral("BEGIN TRANSACTION; UPDATE qp_Dept SET Stat = 2; "
                                            "INSERT INTO t9 (A) VALUES (1); COMMIT TRANSACTION")))
        << m_db.GetLastErrorString().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Dept WHERE Stat = 2")), "2");
    ASSERT_TRUE(m_db.Execute(QStringLiteral("BEGIN TRAN UPDATE qp_Dept SET Stat = 3 ROLLBACK")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Dept WHERE Stat = 2")), "2");

    // Expression columns have no name; the translation names itself as the source of errors.
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT COUNT(*), MAX(DID) AS M FROM qp_Dept")));
    CADOFieldInfo info;
    ASSERT_TRUE(rs.GetFieldInfo(0, &info));
    EXPECT_EQ(info.m_strName, "");
    ASSERT_TRUE(rs.GetFieldInfo(1, &info));
    EXPECT_EQ(info.m_strName, "M");
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT DISTINCT(DName), -Stat FROM qp_Dept")));
    ASSERT_TRUE(rs.GetFieldInfo(0, &info));
    EXPECT_EQ(info.m_strName, "DName") << "a column in parentheses keeps its name";
    ASSERT_TRUE(rs.GetFieldInfo(1, &info));
    EXPECT_EQ(info.m_strName, "");
    EXPECT_FALSE(m_db.Execute(QStringLiteral("SELECT FROM WHERE")));
    EXPECT_TRUE(m_db.GetLastErrorString().contains(QStringLiteral("Source = T-SQL translator")))
        << m_db.GetLastErrorString().toStdString();
}

} // namespace
