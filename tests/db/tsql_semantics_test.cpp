// Runs translated T-SQL on SQLite and checks that the rows are those SQL Server returns.
#include "tsql_testsupport.h"

#include <QDate>

#include <gtest/gtest.h>

using orvane::db::test::TsqlConnection;

namespace {

QString day(int offset)
{
    return QDate::currentDate().addDays(offset).toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(" 00:00:00");
}

// A small organisation built through the translator's own DDL.
class TsqlSemantics : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* const script[] = {
            "CREATE TABLE qp_Dept (DID int IDENTITY(1,1) NOT NULL, ParentID int, Name nvarchar(50),"
            " Ord int, ParentArr varchar(500) DEFAULT '', PRIMARY KEY (DID))",
            "CREATE TABLE qp_PsnBase (PID int IDENTITY(1,1) PRIMARY KEY, DID int, AID int,"
            " Number varchar(20), Name nvarchar(50), Sex nvarchar(4), JoinDate datetime,"
            " WorkAge int, Ord int, Photo image)",
            "CREATE TABLE qp_Wage1 (ID int IDENTITY(1,1), fDate int, PID int, DID int,"
            " Jb money DEFAULT 0, Ord int)",
            "CREATE TABLE qp_Log (id int IDENTITY(1,1), lDate datetime DEFAULT (getdate()),"
            " lUser nvarchar(50), lAction nvarchar(2000))",
            "INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (0,N'总部',1,'|1|'),"
            " (1,N'财务部',2,'|2|1|'), (1,N'人事部',3,'|3|1|'), (3,N'招聘组',4,'|4|3|1|'),"
            " (0,N'分公司',5,'|5|'), (5,N'销售部',6,'|13|5|')",
            "INSERT INTO qp_PsnBase (DID,AID,Number,Name,Sex,JoinDate,Ord) VALUES"
            " (2,1,'A001',N'张三',N'男','2010-07-15 00:00:00',1),"
            " (3,1,'a002','Li Si',N'女','2015-03-01 00:00:00',2),"
            " (4,2,'A003','wang wu',N'男',NULL,3),"
            " (6,1,'B001',N'赵六',N'女','2020-12-31 00:00:00',4)",
            "INSERT INTO qp_Wage1 (fDate,PID,DID,Jb,Ord) VALUES (202404,1,2,3000,1),"
            " (202405,1,2,3100,1), (202405,2,3,4000.5,2), (202312,2,3,3900,2), (202405,3,4,2500,3)",
            "INSERT INTO qp_Log (lDate,lUser,lAction) VALUES ('2024-05-01 08:30:00','admin',"
            " N'系统管理[登录系统]'), ('2024-05-02 09:00:00','Admin',N'人员档案[增加]'),"
            " ('2024-04-30 23:59:59','guest',N'系统管理[登录系统]')",
        };
        for (const char* sql : script)
            ASSERT_TRUE(db.exec(QString::fromUtf8(sql))) << qPrintable(db.lastError());
    }

    TsqlConnection db;
};

TEST_F(TsqlSemantics, DepartmentPathsAndPermittedLists)
{
    // A department with its whole subtree; '|1|' must not match '|13|'.
    EXPECT_EQ(db.rows("SELECT DID FROM qp_Dept WHERE CHARINDEX('|3|',ParentArr)>0 ORDER BY DID"),
              QStringList({"3", "4"}));
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM qp_Dept WHERE (CHARINDEX('|1|',ParentArr)>0)"), "4");
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM qp_Dept WHERE (DID IN (SELECT DID FROM qp_Dept WHERE "
                       "(CHARINDEX('|3|',ParentArr)>0))) AND (DID=4)"),
              "1");
    // Permitted departments: the key between two commas of the list.
    EXPECT_EQ(db.rows("SELECT qp_PsnBase.Number FROM qp_PsnBase LEFT OUTER JOIN qp_Dept ON "
                      "qp_PsnBase.DID=qp_Dept.DID WHERE (CHARINDEX('|1|',qp_Dept.ParentArr)>0) AND "
                      "(CHARINDEX(','+CONVERT(VARCHAR,qp_PsnBase.DID)+',',',2,4,')>0) "
                      "ORDER BY qp_Dept.Ord,qp_PsnBase.Ord"),
              QStringList({"A001", "A003"}));
    // CHARINDEX compares without regard to case and honours its start position.
    EXPECT_EQ(db.value("SELECT CHARINDEX('b', 'ABCb', 3)"), "4");
    EXPECT_EQ(db.value("SELECT CHARINDEX('', 'abc')"), "0");
}

TEST_F(TsqlSemantics, TopAndOrder)
{
    EXPECT_EQ(db.rows("SELECT TOP 2 Number FROM qp_PsnBase ORDER BY Ord DESC"),
              QStringList({"B001", "A003"}));
    EXPECT_EQ(db.value("SELECT TOP 1 fDate FROM qp_Wage1 WHERE PID=2 ORDER BY fDate DESC"),
              "202405");
    EXPECT_EQ(db.rows("SELECT TOP (1) Name FROM (SELECT TOP 3 Name, Ord FROM qp_PsnBase ORDER BY "
                      "Ord) AS t ORDER BY Ord DESC"),
              QStringList({"wang wu"}));
}

TEST_F(TsqlSemantics, LogFiltersByDayAndRange)
{
    const QString base = QStringLiteral("SELECT id,lDate AS 时间,lUser AS 用户 FROM qp_Log ");
    EXPECT_EQ(db.rows(base + "WHERE (YEAR(lDate)=2024 AND MONTH(lDate)=5 AND DAY(lDate)=1) "
                             "ORDER BY lDate DESC"),
              QStringList({"1|2024-05-01 08:30:00|admin"}));
    // The user name compares without regard to case, as under SQL Server's collation.
    EXPECT_EQ(db.rows(base + "WHERE lUser='ADMIN' AND (lDate>='2024-05-01' AND "
                             "lDate<='2024-05-31 23:59:59') ORDER BY lDate DESC")
                  .size(),
              2);
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM qp_Log WHERE (lAction LIKE '%登录%')"), "2");
    // A DEFAULT (getdate()) column is filled with the current local time.
    ASSERT_TRUE(db.exec("INSERT INTO qp_Log (lUser) VALUES ('x')"));
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM qp_Log WHERE DATEDIFF(day, lDate, GETDATE())=0"), "1");
}

TEST_F(TsqlSemantics, ReminderDateWindow)
{
    ASSERT_TRUE(
        db.exec(QStringLiteral("UPDATE qp_PsnBase SET JoinDate='%1' WHERE PID=1").arg(day(3))));
    ASSERT_TRUE(
        db.exec(QStringLiteral("UPDATE qp_PsnBase SET JoinDate='%1' WHERE PID=2").arg(day(0))));
    ASSERT_TRUE(
        db.exec(QStringLiteral("UPDATE qp_PsnBase SET JoinDate='%1' WHERE PID=3").arg(day(7))));
    ASSERT_TRUE(
        db.exec(QStringLiteral("UPDATE qp_PsnBase SET JoinDate='%1' WHERE PID=4").arg(day(8))));
    // Dates after today up to and including today + BefDays are found; NULL is not.
    const QString window = QStringLiteral(
        "WHERE (RIGHT(CONVERT(char(8),[qp_PsnBase].[JoinDate],112),8)>RIGHT(CONVERT(char(8),"
        "GETDATE(),112),8) AND RIGHT(CONVERT(char(8),[qp_PsnBase].[JoinDate],112),8)<=RIGHT("
        "CONVERT(char(8),GETDATE()+%1, 112),8))");
    const QString from =
        QStringLiteral(" FROM qp_PsnBase LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID ");
    EXPECT_EQ(db.rows("SELECT qp_PsnBase.PID" + from + window.arg(7) +
                      " ORDER BY qp_Dept.Ord,"
                      "qp_PsnBase.Ord"),
              QStringList({"1", "3"}));
    EXPECT_EQ(db.value("SELECT COUNT(*)" + from + window.arg(2)), "0");
}

TEST_F(TsqlSemantics, SelectIntoAndWorkTables)
{
    ASSERT_TRUE(db.exec("SELECT qp_Wage1.PID,SUM(Jb) AS 基本工资,MAX(qp_PsnBase.Ord) AS Ord INTO "
                        "tmpWageUser1 FROM qp_Wage1 INNER JOIN qp_PsnBase ON qp_Wage1.PID = "
                        "qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID WHERE "
                        "(fDate>=202401) AND (fDate<=202412) GROUP BY qp_Wage1.PID"))
        << qPrintable(db.lastError());
    EXPECT_EQ(db.value("SELECT 1 FROM sysobjects WHERE [name]='tmpWageUser1'"), "1");
    EXPECT_EQ(db.rows("SELECT qp_PsnBase.Number AS 编号,[tmpWageUser1].基本工资 FROM "
                      "[tmpWageUser1] INNER JOIN qp_PsnBase ON [tmpWageUser1].PID = qp_PsnBase.PID "
                      "INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID ORDER BY qp_Dept.Ord,"
                      "[tmpWageUser1].Ord"),
              QStringList({"A001|6100", "a002|4000.5", "A003|2500"}));
    ASSERT_TRUE(db.exec("DROP TABLE tmpWageUser1"));
    EXPECT_EQ(db.rows("SELECT 1 FROM sysobjects WHERE [name]='tmpWageUser1'"), QStringList());

    // #names are connection-local temporary tables, invisible in sysobjects.
    ASSERT_TRUE(db.exec("SELECT PID, Number INTO #sel FROM qp_PsnBase WHERE AID=1"));
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM #sel"), "3");
    EXPECT_EQ(db.rows("SELECT name FROM sysobjects WHERE name LIKE '%sel%'"), QStringList());
}

TEST_F(TsqlSemantics, UpdateAndDeleteThroughJoins)
{
    // Working age from a joined FROM list, restricted by a joined table's column.
    ASSERT_TRUE(db.exec("UPDATE qp_PsnBase SET qp_PsnBase.[WorkAge]=(CASE WHEN ('0630'>RIGHT("
                        "CONVERT(CHAR(8),JoinDate,112),4)) THEN (YEAR('2024-06-30')-YEAR(JoinDate))"
                        " ELSE (YEAR('2024-06-30')-YEAR(JoinDate)-1) END)  FROM qp_PsnBase LEFT "
                        "OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID  WHERE (CHARINDEX('|1|',"
                        "qp_Dept.ParentArr)>0) AND (ISDATE(JoinDate)=1 AND YEAR('2024-06-30')>"
                        "YEAR(JoinDate))"))
        << qPrintable(db.lastError());
    EXPECT_EQ(db.rows("SELECT Number, WorkAge FROM qp_PsnBase ORDER BY PID"),
              QStringList({"A001|13", "a002|9", "A003|<null>", "B001|<null>"}));

    // New values read from another table of the join.
    ASSERT_TRUE(db.exec("UPDATE qp_PsnBase SET DID=3 WHERE PID=1"));
    ASSERT_TRUE(db.exec("UPDATE w SET w.DID = p.DID FROM qp_Wage1 w INNER JOIN qp_PsnBase p ON "
                        "w.PID = p.PID WHERE w.fDate = 202405"))
        << qPrintable(db.lastError());
    EXPECT_EQ(db.rows("SELECT fDate, DID FROM qp_Wage1 WHERE PID=1 ORDER BY fDate"),
              QStringList({"202404|2", "202405|3"}));

    // DELETE without FROM, and DELETE t FROM t JOIN ...
    ASSERT_TRUE(db.exec("DELETE qp_Wage1 WHERE fDate=202312"));
    ASSERT_TRUE(db.exec("DELETE w FROM qp_Wage1 w INNER JOIN qp_PsnBase p ON w.PID=p.PID WHERE "
                        "p.Sex=N'男' AND w.fDate=202405"));
    EXPECT_EQ(db.rows("SELECT PID, fDate FROM qp_Wage1 ORDER BY ID"),
              QStringList({"1|202404", "2|202405"}));
}

TEST_F(TsqlSemantics, PlusAddsOrConcatenatesLikeSqlServer)
{
    EXPECT_EQ(db.value("SELECT 'No.' + Number + '/' + Name FROM qp_PsnBase WHERE PID=2"),
              "No.a002/Li Si");
    EXPECT_EQ(db.value("SELECT Ord + 1 FROM qp_PsnBase WHERE PID=2"), "3");
    EXPECT_EQ(db.value("SELECT Ord + '10' FROM qp_PsnBase WHERE PID=2"), "12");
    EXPECT_EQ(db.value("SELECT Jb + Jb FROM qp_Wage1 WHERE ID=3"), "8001");
    // A date column plus days moves the date; NULL stays NULL.
    EXPECT_EQ(db.value("SELECT JoinDate + 1 FROM qp_PsnBase WHERE PID=4"), "2021-01-01 00:00:00");
    EXPECT_EQ(db.value("SELECT Name + JoinDate FROM qp_PsnBase WHERE PID=3"), "<null>");
    EXPECT_EQ(db.value("SELECT CONVERT(varchar(10), GETDATE()-1, 120)"),
              QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy-MM-dd")));
    // A text that is no number added to a number fails as in SQL Server, with a clear message.
    EXPECT_FALSE(db.exec("SELECT Name + Ord FROM qp_PsnBase WHERE PID=2"));
    EXPECT_TRUE(db.lastError().contains("Li Si")) << qPrintable(db.lastError());
}

TEST_F(TsqlSemantics, IdentitiesAndObjectCatalogue)
{
    EXPECT_EQ(db.value("SELECT IDENT_CURRENT('qp_Dept')"), "6");
    ASSERT_TRUE(db.exec("INSERT INTO qp_Dept (ParentID,Name) VALUES (1,'x')"));
    EXPECT_EQ(db.value("SELECT IDENT_CURRENT('QP_DEPT')"), "7");
    EXPECT_EQ(db.value("SELECT @@IDENTITY"), "7");
    ASSERT_TRUE(db.exec("DELETE FROM qp_Dept WHERE DID=7"));
    EXPECT_EQ(db.value("SELECT IDENT_CURRENT('qp_Dept')"), "7"); // identities are not reused
    ASSERT_TRUE(db.exec("CREATE TABLE qp_Empty (ID int IDENTITY(1,1), Title varchar(10))"));
    EXPECT_EQ(db.value("SELECT IDENT_CURRENT('qp_Empty')"), "1"); // the seed, as SQL Server
    ASSERT_TRUE(db.exec("CREATE TABLE qp_Seeded (ID int IDENTITY(100,1), Title varchar(10))"));
    ASSERT_TRUE(db.exec("INSERT INTO qp_Seeded (Title) VALUES ('a')"));
    EXPECT_EQ(db.value("SELECT ID FROM qp_Seeded"), "100");
    EXPECT_EQ(db.value("SELECT IDENT_CURRENT('qp_Seeded')"), "100");
    EXPECT_EQ(db.value("SELECT IDENT_CURRENT('qp_Nothing')"), "<null>");

    EXPECT_EQ(db.value("SELECT 1 FROM sysobjects WHERE [name]='QP_PSNBASE'"), "1");
    EXPECT_EQ(db.rows("SELECT 1 FROM sysobjects WHERE [name]='qp_Missing'"), QStringList());
}

TEST_F(TsqlSemantics, TextsCompareWithoutRegardToCase)
{
    EXPECT_EQ(db.value("SELECT COUNT(PID) FROM qp_PsnBase WHERE UPPER([Number])='A002'"), "1");
    EXPECT_EQ(db.value("SELECT PID FROM qp_PsnBase WHERE Number='A002'"), "2");
    EXPECT_EQ(db.value("SELECT PID FROM qp_PsnBase WHERE Name='WANG WU'"), "3");
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM qp_PsnBase WHERE LTRIM(Name) IN ('LI SI','WANG WU')"),
              "2");
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM qp_PsnBase WHERE Name LIKE 'wang%'"), "1");
    EXPECT_EQ(db.rows("SELECT Number FROM qp_PsnBase WHERE AID=1 ORDER BY Number"),
              QStringList({"A001", "a002", "B001"}));
    EXPECT_EQ(db.value("SELECT COUNT(DISTINCT Sex) FROM qp_PsnBase"), "2");
}

TEST_F(TsqlSemantics, ConversionsAndDateFunctions)
{
    const QString d = QStringLiteral("'2024-03-05 14:07:09'");
    const char* const styles[][2] = {
        {"CONVERT(varchar(10), %1, 120)", "2024-03-05"},
        {"CONVERT(varchar, %1, 120)", "2024-03-05 14:07:09"},
        {"CONVERT(varchar(10), %1, 23)", "2024-03-05"},
        {"CONVERT(char(8), %1, 112)", "20240305"},
        {"CONVERT(varchar(10), %1, 102)", "2024.03.05"},
        {"CONVERT(varchar(10), %1, 111)", "2024/03/05"},
        {"CONVERT(CHAR(12), %1, 112)", "20240305    "},
        {"RIGHT(CONVERT(CHAR(8), %1, 112), 4)", "0305"},
        {"CONVERT(DATETIME, '2024.3.5', 102)", "2024-03-05 00:00:00"},
        {"CONVERT(DATETIME, '05/03/2024', 103)", "2024-03-05 00:00:00"},
        {"CAST('20240305' AS datetime)", "2024-03-05 00:00:00"},
        {"DATEADD(month, 1, '2024-01-31')", "2024-02-29 00:00:00"},
        {"DATEADD(dd, -5, %1)", "2024-02-29 14:07:09"},
        {"DATEDIFF(month, '2023-12-31', '2024-01-01')", "1"},
        {"DATEDIFF(year, %1, '2025-01-01')", "1"},
        {"DATEDIFF(day, %1, '2024-03-04 23:00')", "-1"},
        {"DATEPART(weekday, %1)", "3"},
        {"YEAR(%1) * 100 + MONTH(%1)", "202403"},
        {"ISDATE('2024-02-30')", "0"},
        {"ISDATE('2024-02-29')", "1"},
        {"ISDATE(NULL)", "0"},
        {"ISDATE('')", "0"},
        {"YEAR('')", "1900"},
        {"CONVERT(int, '42')", "42"},
        {"CAST(7.9 AS int)", "7"},
        {"CONVERT(decimal(10,2), 2.675)", "2.68"},
        {"ROUND(2.5, 0)", "3"},
        {"ROUND(-2.5, 0)", "-3"},
        {"ROUND(1234, -2)", "1200"},
        {"ROUND(1.239, 2, 1)", "1.23"},
        {"FLOOR(202405/100)", "2024"},
        {"FLOOR(7) / 2", "3"}, // FLOOR and CEILING of an int stay int
        {"CEILING(7) / 2", "3"},
        {"202405 - CAST(FLOOR(202405/100) AS int)*100", "5"},
        {"CEILING(1.2)", "2"},
        {"LEN('ab  ')", "2"},
        {"SUBSTRING('abcdef', 2, 3) + LEFT('xyz', 2) + RIGHT('xyz', 5)", "bcdxyxyz"},
        {"ISNULL(NULL, 'x')", "x"},
        {"REPLACE('Abc', 'B', '-')", "A-c"},
        {"UPPER(N'abc张')", "ABC张"},
    };
    for (const auto& s : styles) {
        const QString expr = QString::fromUtf8(s[0]).replace(QStringLiteral("%1"), d);
        EXPECT_EQ(db.value("SELECT " + expr), QString::fromUtf8(s[1])) << qPrintable(expr);
    }
    // Bad values fail the statement with SQL Server's message instead of giving a wrong row.
    EXPECT_FALSE(db.exec("SELECT CONVERT(DATETIME, '2024-13-01', 102)"));
    EXPECT_TRUE(db.lastError().contains("Conversion failed")) << qPrintable(db.lastError());
    EXPECT_FALSE(db.exec("SELECT CONVERT(int, 'abc')"));
    EXPECT_FALSE(db.exec("SELECT YEAR('no date')"));
}

TEST_F(TsqlSemantics, DefinitionsChangeTables)
{
    ASSERT_TRUE(db.exec("ALTER TABLE qp_PsnBase ADD Degree nvarchar(50) NULL, Salary money "
                        "DEFAULT 0"));
    ASSERT_TRUE(db.exec("UPDATE qp_PsnBase SET Degree='Master' WHERE PID=1"));
    EXPECT_EQ(db.value("SELECT Salary FROM qp_PsnBase WHERE Degree='MASTER'"), "0");
    ASSERT_TRUE(db.exec("ALTER TABLE qp_PsnBase ALTER COLUMN Degree nvarchar(100) NOT NULL"));
    ASSERT_TRUE(db.exec("ALTER TABLE qp_PsnBase DROP COLUMN Degree, Salary"));
    EXPECT_FALSE(db.exec("SELECT Degree FROM qp_PsnBase"));
    // Binary columns keep bytes as they are.
    ASSERT_TRUE(db.run(db.onPostgres() ? "UPDATE qp_psnbase SET photo='\\x00FF10' WHERE pid=1"
                                       : "UPDATE qp_PsnBase SET Photo=x'00FF10' WHERE PID=1"));
    EXPECT_EQ(db.value("SELECT DATALENGTH(Photo) FROM qp_PsnBase WHERE PID=1"), "3");
    ASSERT_TRUE(db.exec("TRUNCATE TABLE qp_Log; DROP TABLE qp_Wage1"));
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM qp_Log"), "0");
    EXPECT_EQ(db.rows("SELECT 1 FROM sysobjects WHERE name='qp_Wage1'"), QStringList());
}

} // namespace

namespace {

// Every function the translation emits, called with hostile values: an answer or an error,
// never a crash or a hang (the sanitizer build runs this too).
TEST(TsqlFunctions, SurviveHostileArguments)
{
    ORVANE_SQLITE_ONLY("calls the SQLite functions directly");
    TsqlConnection db;
    const QStringList values = {"NULL",
                                "0",
                                "-1",
                                "9223372036854775807",
                                "-9223372036854775808",
                                "1e308",
                                "-1e308",
                                "0.5",
                                "''",
                                "'abc'",
                                "'2024-02-29 10:00:00'",
                                "x'00ff'",
                                "'99999999'",
                                "'VARCHAR(5)'",
                                "'day'",
                                "' 12 '"};
    const QList<QPair<QString, int>> functions = {
        {"tsql_add", 2},   {"charindex", 2},    {"charindex", 3},     {"isdate", 1},
        {"isnumeric", 1},  {"tsql_convert", 2}, {"tsql_convert", 3},  {"dateadd", 3},
        {"datediff", 3},   {"datepart", 2},     {"year", 1},          {"month", 1},
        {"day", 1},        {"tsql_right", 2},   {"tsql_replace", 3},  {"tsql_replicate", 2},
        {"tsql_space", 1}, {"tsql_str", 3},     {"tsql_round", 2},    {"tsql_round", 3},
        {"floor", 1},      {"ceiling", 1},      {"ident_current", 1}, {"tsql_div", 3},
        {"tsql_mod", 2},   {"tsql_scale", 2},   {"tsql_fixed", 2},    {"tsql_datetime", 1}};
    int calls = 0;
    for (const auto& [name, arity] : functions) {
        const qsizetype n = values.size();
        qsizetype combinations = 1;
        for (int i = 0; i < arity; ++i)
            combinations *= n;
        for (qsizetype c = 0; c < combinations; ++c) {
            QStringList args;
            for (qsizetype rest = c, i = 0; i < arity; ++i, rest /= n)
                args << values.at(rest % n);
            db.run(QStringLiteral("SELECT %1(%2)").arg(name, args.join(u',')));
            ++calls;
        }
    }
    EXPECT_GT(calls, 20000);
    // The connection is still sound afterwards.
    EXPECT_EQ(db.value("SELECT CHARINDEX('b', 'abc')"), "2");
}

// Catalogue numbers are DECIMAL(18,4): whole values are stored as integers, yet arithmetic
// follows SQL Server's result types and keeps the scale.
class TsqlTypedValues : public TsqlSemantics
{
protected:
    void SetUp() override
    {
        TsqlSemantics::SetUp();
        for (const char* sql : {
                 "CREATE TABLE w (ID int IDENTITY(1,1), F10 decimal(18,4), F11 decimal(18,2),"
                 " F38 decimal(18,4), I int, M money, D datetime, Birthday datetime,"
                 " MobDate datetime, Nm nvarchar(20))",
                 "INSERT INTO w (F10, F11, F38, I, M) VALUES (1000, 17, 7, 7, 7)",
                 "INSERT INTO w (F11) VALUES (0)",
                 "INSERT INTO w (F11) VALUES (0)",
             })
            ASSERT_TRUE(db.exec(QString::fromUtf8(sql))) << qPrintable(db.lastError());
    }
};

TEST_F(TsqlTypedValues, DecimalArithmeticFollowsSqlServerTypes)
{
    const struct
    {
        const char* tsql;
        const char* expected;
    } cases[] = {
        {"SELECT ROUND([F38]/2,2) FROM w WHERE ID=1", "3.5"},
        {"SELECT [F10]/3 FROM w WHERE ID=1", "333.333333333333"},
        {"SELECT SUM(F11)/COUNT(*) FROM w", "5.66666666666667"},
        {"SELECT CAST(10 AS decimal(18,0))/4", "2.5"},
        {"SELECT M/2 FROM w WHERE ID=1", "3.5"},
        {"SELECT I/2 FROM w WHERE ID=1", "3"}, // int / int stays integer
        {"SELECT 7/2", "3"},
        {"SELECT 7.0/2", "3.5"},
        {"SELECT I % 4 FROM w WHERE ID=1", "3"},
        {"SELECT AVG(I) FROM w", "7"},
        {"SELECT CONVERT(varchar(20), F11) FROM w WHERE ID=1", "17.00"},
        {"SELECT CAST(M AS varchar(20)) FROM w WHERE ID=1", "7.00"},
        {"SELECT 0.1 + 0.2", "0.3"},
        // a '%1' inside the text must not be taken for a placeholder of the translation
        {"SELECT CONVERT(varchar(20), CAST(LEN('%1') AS decimal(10,2)))", "2.00"},
        {"SELECT CAST(LEN('%1%2') AS decimal(10,2)) + 1.5", "5.5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db.value(QString::fromUtf8(c.tsql)), QString::fromUtf8(c.expected)) << c.tsql;

    // The wage batch change divides a decimal column by an integer.
    ASSERT_TRUE(db.exec("UPDATE w SET F10=[F10]/3 WHERE ID=1")) << qPrintable(db.lastError());
    EXPECT_EQ(db.value("SELECT F10 FROM w WHERE ID=1"), "333.3333");

    // Stored values take the column's scale; sums keep it.
    ASSERT_TRUE(db.exec("DELETE FROM w"));
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(db.exec("INSERT INTO w (F11) VALUES (0.1)"));
    ASSERT_TRUE(db.exec("INSERT INTO w (F11) VALUES (0.2)"));
    EXPECT_EQ(db.value("SELECT SUM(F11) FROM w"), "1.1");
    ASSERT_TRUE(db.exec("INSERT INTO w (F11, M) VALUES (1.23456, 2.123456)"));
    EXPECT_EQ(db.value("SELECT F11, M FROM w WHERE F11 > 1"), "1.23|2.1235");
    ASSERT_TRUE(db.exec("UPDATE w SET F11 = 7 WHERE F11 > 1"));
    EXPECT_EQ(db.value("SELECT CONVERT(varchar(20), F11) FROM w WHERE F11 > 1"), "7.00");
}

TEST_F(TsqlTypedValues, DivisionByZeroFailsAndChangesNothing)
{
    for (const char* tsql : {"UPDATE w SET F10=F10/0", "UPDATE w SET I=I/0", "SELECT 1/0",
                             "SELECT I % 0 FROM w", "UPDATE w SET F11 = F11 / (I - 7)"}) {
        EXPECT_FALSE(db.exec(QString::fromUtf8(tsql))) << tsql;
        EXPECT_TRUE(db.lastError().contains("Divide by zero error encountered.")) << tsql;
    }
    EXPECT_EQ(db.value("SELECT F10 FROM w WHERE ID=1"), "1000");
    EXPECT_EQ(db.value("SELECT 1/NULLIF(0,0)"), "<null>");
}

TEST_F(TsqlTypedValues, DatesCompareAndStoreInOneForm)
{
    ASSERT_TRUE(db.exec("UPDATE w SET Birthday='1999-05-31', MobDate='2024-03-05', "
                        "D='20240301' WHERE ID=1"));
    ASSERT_TRUE(db.exec("INSERT INTO w (MobDate) VALUES ('2024-03-05 00:00:00')"));
    const struct
    {
        const char* tsql;
        const char* expected;
    } cases[] = {
        {"SELECT ID FROM w WHERE Birthday = CONVERT(DATETIME,'1999-05-31',102)", "1"},
        {"SELECT COUNT(*) FROM w WHERE MobDate>='2024-03-05' AND MobDate<='2024-03-05'", "2"},
        {"SELECT COUNT(*) FROM w WHERE MobDate BETWEEN '2024-03-05' AND '20240305'", "2"},
        {"SELECT D FROM w WHERE ID=1", "2024-03-01 00:00:00"},
        {"SELECT YEAR(D), MONTH(D) FROM w WHERE ID=1", "2024|3"},
        {"SELECT D - 1 FROM w WHERE ID=1", "2024-02-29 00:00:00"},
        {"SELECT D + 1 FROM w WHERE ID=1", "2024-03-02 00:00:00"},
        {"SELECT CONVERT(varchar(30), D) FROM w WHERE ID=1", "Mar  1 2024 12:00AM"},
        {"SELECT CONVERT(varchar(10), D, 120) FROM w WHERE ID=1", "2024-03-01"},
        {"SELECT COUNT(*) FROM w WHERE D IN ('2024-03-01', '2024-03-02')", "1"},
        // a text added to a datetime is read as one: days since 1900-01-01 are added
        {"SELECT '1900-01-03' + D FROM w WHERE ID=1", "2024-03-03 00:00:00"},
        {"SELECT D + '1900-01-01 12:00' FROM w WHERE ID=1", "2024-03-01 12:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db.value(QString::fromUtf8(c.tsql)), QString::fromUtf8(c.expected)) << c.tsql;
    EXPECT_FALSE(db.exec("SELECT ID FROM w WHERE D = 'not a date'"));
    EXPECT_TRUE(db.lastError().contains("Conversion failed")) << qPrintable(db.lastError());
    EXPECT_FALSE(db.exec("UPDATE w SET D = 'x' WHERE ID=1"));
    ASSERT_TRUE(db.exec("UPDATE w SET Nm = 'x' WHERE ID=1"));
    EXPECT_FALSE(db.exec("SELECT Nm + D FROM w WHERE ID=1"));
    EXPECT_TRUE(db.lastError().contains("Conversion failed")) << qPrintable(db.lastError());
    EXPECT_EQ(db.value("SELECT D FROM w WHERE ID=1"), "2024-03-01 00:00:00");
}

TEST_F(TsqlTypedValues, ColumnsBindAsSqlServerBindsThem)
{
    // ORDER BY a name of the select list, although both joined tables have a column Name.
    EXPECT_EQ(db.rows("SELECT DISTINCT qp_PsnBase.Name FROM qp_PsnBase INNER JOIN qp_Dept ON "
                      "qp_PsnBase.DID=qp_Dept.DID WHERE qp_PsnBase.AID=1 ORDER BY [Name]"),
              QStringList({"Li Si", "张三", "赵六"}));
    // An unqualified column of the joined table in UPDATE ... FROM.
    ASSERT_TRUE(db.exec("SELECT PID, Number AS Nm INTO w1 FROM qp_PsnBase"));
    ASSERT_TRUE(db.exec("UPDATE w1 SET Nm='' "));
    ASSERT_TRUE(db.exec("UPDATE w1 SET Nm=Number FROM w1 INNER JOIN qp_PsnBase ON "
                        "w1.PID=qp_PsnBase.PID"))
        << qPrintable(db.lastError());
    EXPECT_EQ(db.value("SELECT Nm FROM w1 WHERE PID=2"), "a002");

    // SELECT ... INTO keeps the identity, case-insensitive text, bit and date columns.
    ASSERT_TRUE(db.exec("CREATE TABLE src (ID int IDENTITY(1,1), Nm nvarchar(10), B bit, "
                        "D datetime)"));
    ASSERT_TRUE(db.exec("INSERT INTO src (Nm, B, D) VALUES ('Abc', 1, '2024-01-02')"));
    ASSERT_TRUE(db.exec("SELECT * INTO cp FROM src"));
    EXPECT_EQ(db.value("SELECT COUNT(*) FROM cp WHERE Nm='ABC' AND D='2024-01-02'"), "1");
    ASSERT_TRUE(db.exec("INSERT INTO cp (Nm) VALUES ('x')"));
    EXPECT_EQ(db.value("SELECT MAX(ID) FROM cp"), "2");
    if (db.onPostgres())
        return; // the declared types below are read from SQLite's catalogue
    QStringList types;
    ASSERT_TRUE(db.run("SELECT type FROM pragma_table_info('cp') ORDER BY cid", &types));
    EXPECT_EQ(types, QStringList({"INTEGER", "NVARCHAR(10)", "BIT", "DATETIME"}));
}

TEST_F(TsqlTypedValues, SmallDifferences)
{
    ASSERT_TRUE(db.exec("CREATE TABLE s1000 (ID int IDENTITY(1000,1), T nvarchar(5))"));
    EXPECT_EQ(db.value("SELECT IDENT_CURRENT('s1000')"), "1000");
    ASSERT_TRUE(db.exec("INSERT INTO s1000 (T) VALUES ('a')"));
    EXPECT_EQ(db.value("SELECT IDENT_CURRENT('s1000')"), "1000");
    ASSERT_TRUE(db.exec("INSERT INTO s1000 (T) VALUES ('b')"));
    EXPECT_EQ(db.value("SELECT IDENT_CURRENT('s1000')"), "1001");
}

TEST_F(TsqlTypedValues, TextComparesAsTheChineseCaseInsensitiveCollation)
{
    ASSERT_TRUE(db.exec("CREATE TABLE qp_Users (UserID int IDENTITY(1,1), UserName nvarchar(50))"));
    ASSERT_TRUE(db.exec("INSERT INTO qp_Users (UserName) VALUES (N'josé'), (N'ＨＲ'), ('Abc  '),"
                        " (N'王五'), (N'赵六'), (N'李四'), (N'张三'), ('a_c'), ('a%c'), ('bcd')"));
    const struct
    {
        const char* tsql;
        const char* expected;
    } cases[] = {
        {"SELECT COUNT(*) FROM qp_Users WHERE UserName = 'Abc'", "1"},
        {"SELECT CASE WHEN 'Abc  ' = 'ABC' THEN 1 ELSE 0 END", "1"},
        {"SELECT UserID FROM qp_Users WHERE UPPER(UserName) = N'JOSÉ'", "1"},
        {"SELECT UserID FROM qp_Users WHERE UserName = N'JOSE'", "<0 rows>"}, // accents count
        {"SELECT UserID FROM qp_Users WHERE UserName = N'ｈｒ'", "2"},
        {"SELECT UserID FROM qp_Users WHERE UserName = 'hr'", "2"},
        {"SELECT UPPER(N'josé')", "JOSÉ"},
        {"SELECT COUNT(*) FROM qp_Users WHERE UserName LIKE '[a-c]%'", "4"},
        {"SELECT COUNT(*) FROM qp_Users WHERE UserName LIKE '[^a]%'", "7"},
        {"SELECT UserName FROM qp_Users WHERE UserName LIKE 'a[%]c'", "a%c"},
        {"SELECT UserName FROM qp_Users WHERE UserName LIKE 'a[_]c'", "a_c"},
        {"SELECT COUNT(*) FROM qp_Users WHERE UserName LIKE 'a_c'", "2"},
        {"SELECT UserName FROM qp_Users WHERE UserName LIKE 'a!%c' ESCAPE '!'", "a%c"},
        {"SELECT UserName FROM qp_Users WHERE UserName LIKE N'%Ｓé'", "josé"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db.value(QString::fromUtf8(c.tsql)), QString::fromUtf8(c.expected)) << c.tsql;
    EXPECT_EQ(db.rows("SELECT UserName FROM qp_Users WHERE UserID BETWEEN 4 AND 7 ORDER BY "
                      "UserName"),
              QStringList({"李四", "王五", "张三", "赵六"}));
    EXPECT_EQ(db.rows("SELECT UserName FROM qp_Users WHERE UserID BETWEEN 4 AND 7 ORDER BY "
                      "LTRIM(UserName) DESC"),
              QStringList({"赵六", "张三", "王五", "李四"}));
    EXPECT_EQ(db.rows("SELECT UserName FROM qp_Users WHERE UserName IN ('abc', N'张三') ORDER BY "
                      "UserName DESC"),
              QStringList({"张三", "Abc  "}));
}

} // namespace
