#include "dbtestfixture.h"

#include "db/cadocommand.h"
#include "db/procedures.h"
#include "db/sqlitebackend.h"
#include "db/transaction.h"

#include <QFile>

using namespace orvane::db;

namespace {

class ConnectionTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(QStringLiteral("CREATE TABLE qp_Item (ID int IDENTITY(1,1) PRIMARY KEY, "
                            "Title nvarchar(50) NOT NULL, Num int NULL)"));
        exec(QStringLiteral("INSERT INTO qp_Item (Title, Num) VALUES ('a', 1)"));
        exec(QStringLiteral("INSERT INTO qp_Item (Title, Num) VALUES ('b', 2)"));
        exec(QStringLiteral("INSERT INTO qp_Item (Title, Num) VALUES ('c', 3)"));
    }
};

TEST_F(ConnectionTest, FailedStatementsLeaveErrorTextAndUsableConnection)
{
    EXPECT_FALSE(m_db.Execute(QStringLiteral("UPDATE qp_Missing SET x = 1")));
    const QString error = m_db.GetLastErrorString();
    EXPECT_TRUE(error.startsWith(QStringLiteral("CADODataBase Error\n\tCode = ")));
    EXPECT_TRUE(error.contains(QStringLiteral("\n\tCode meaning = ")));
    EXPECT_TRUE(error.contains(QStringLiteral("\n\tSource = ")));
    EXPECT_TRUE(error.contains(QStringLiteral("\n\tDescription = ")));
    // The connection string is echoed with its password masked.
    EXPECT_TRUE(error.endsWith(QStringLiteral("Connection String = ") +
                               ConnectionString::maskPassword(connectionString())));
    EXPECT_FALSE(error.contains(QStringLiteral("PWD=x")));
    EXPECT_FALSE(m_db.GetErrorDescription().isEmpty());

    EXPECT_FALSE(m_db.Execute(QStringLiteral("SELEC * FRM qp_Item WHERE ((")));
    EXPECT_TRUE(m_db.GetLastErrorString().startsWith(QStringLiteral("CADODataBase Error\n")));

    CADORecordset rs(&m_db);
    const QString query = QStringLiteral("SELECT * FROM qp_Nothing");
    EXPECT_FALSE(rs.Open(query));
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_TRUE(rs.GetLastErrorString().startsWith(QStringLiteral("CADORecordset Error\n")));
    EXPECT_TRUE(rs.GetLastErrorString().endsWith(QStringLiteral("Query = ") + query));

    CADOCommand cmd(&m_db, QStringLiteral("DELETE FROM qp_Nothing"), adCmdText);
    EXPECT_FALSE(cmd.Execute());
    EXPECT_TRUE(cmd.GetLastErrorString().startsWith(QStringLiteral("CADOCommand Error\n")));

    // Still usable; the affected count is that of the last statement.
    ASSERT_TRUE(m_db.Execute(QStringLiteral("UPDATE qp_Item SET Num = Num + 1 WHERE Num >= 2")));
    EXPECT_EQ(m_db.GetRecordsAffected(), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT SUM(Num) FROM qp_Item")), "8");
    EXPECT_TRUE(m_db.GetLastErrorString().isEmpty());
}

TEST_F(ConnectionTest, ConnectionStringsChooseTheBackend)
{
    if (onPostgres())
        GTEST_SKIP() << "about the embedded database file";
    CADODatabase other;
    const QString integrated =
        QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
                       "Initial Catalog=Talvery_ORVANE_DB;Data Source=%1")
            .arg(m_path);
    ASSERT_TRUE(other.Open(integrated)) << other.GetLastErrorString().toStdString();
    EXPECT_TRUE(other.IsOpen());
    other.Close();
    EXPECT_FALSE(other.IsOpen());
    ASSERT_TRUE(other.Open()) << "reopens with the stored string";
    other.Close();

    const QString missing = m_dir.filePath(QStringLiteral("missing.db"));
    EXPECT_FALSE(other.Open(
        QStringLiteral("Provider=SQLOLEDB;Server=%1;UID=a;PWD=b;Database=x").arg(missing)));
    EXPECT_FALSE(QFile::exists(missing)) << "a database file is created only on request";
    EXPECT_TRUE(other.GetLastErrorString().startsWith(QStringLiteral("CADODataBase Error\n")));

    EXPECT_FALSE(
        other.Open(QStringLiteral("Provider=SQLOLEDB;Server=DBHOST;UID=a;PWD=b;Database=x")));
    EXPECT_TRUE(other.GetErrorDescription().contains(QStringLiteral("DBHOST")));
    EXPECT_FALSE(other.Open(QStringLiteral("nonsense")));
    EXPECT_FALSE(other.IsOpen());

    const QString garbage = m_dir.filePath(QStringLiteral("garbage.db"));
    {
        QFile f(garbage);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    EXPECT_FALSE(other.Open(garbage)) << "a file that is not a database";
    EXPECT_FALSE(other.IsOpen());
    CADORecordset rs(&other);
    EXPECT_FALSE(rs.Open(QStringLiteral("SELECT 1")));
    EXPECT_FALSE(other.Execute(QStringLiteral("DELETE FROM qp_Item")));
}

TEST_F(ConnectionTest, VanishedDatabaseFailsClearly)
{
    if (onPostgres())
        GTEST_SKIP() << "about the embedded database file";
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM qp_Item")));
    ASSERT_TRUE(QFile::remove(m_path));
    EXPECT_FALSE(m_db.IsOpen());
    EXPECT_FALSE(m_db.Execute(QStringLiteral("DELETE FROM qp_Item")));
    EXPECT_TRUE(m_db.GetErrorDescription().contains(QStringLiteral("no longer available")));
    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("Title"), "x"));
    EXPECT_FALSE(rs.Update());
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("Title")), "a") << "rows in memory stay readable";
    CADORecordset empty(&m_db);
    EXPECT_FALSE(empty.Open(QString()));
    m_db.Close();
}

TEST_F(ConnectionTest, TransactionsCommitRollBackAndNest)
{
    ASSERT_TRUE(m_db.BeginTransaction());
    exec(QStringLiteral("DELETE FROM qp_Item WHERE ID = 1"));
    ASSERT_TRUE(m_db.RollbackTransaction());
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Item")), "3");

    {
        Transaction outer(m_db);
        ASSERT_TRUE(outer.isActive());
        exec(QStringLiteral("DELETE FROM qp_Item WHERE ID = 1"));
        {
            Transaction inner(m_db);
            ASSERT_TRUE(inner.isActive());
            exec(QStringLiteral("DELETE FROM qp_Item WHERE ID = 2"));
        } // not committed: only the inner delete is undone
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Item")), "2");
        ASSERT_TRUE(outer.commit());
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Item")), "2");
    EXPECT_EQ(m_db.TransactionLevel(), 0);
    {
        Transaction scoped(m_db);
        exec(QStringLiteral("DELETE FROM qp_Item"));
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Item")), "2");
    EXPECT_FALSE(m_db.CommitTransaction()) << "nothing to commit";
}

TEST_F(ConnectionTest, TwoConnectionsShareOneFile)
{
    if (onPostgres())
        GTEST_SKIP() << "about the embedded database file";
    CADODatabase second;
    ASSERT_TRUE(second.Open(connectionString()));
    EXPECT_TRUE(QFile::exists(m_path + QStringLiteral("-wal"))) << "write-ahead log in use";

    CADORecordset reader(&second);
    ASSERT_TRUE(reader.Open(QStringLiteral("SELECT * FROM qp_Item ORDER BY ID")));
    exec(QStringLiteral("INSERT INTO qp_Item (Title, Num) VALUES ('d', 4)"));
    EXPECT_EQ(reader.GetRecordCount(), 3);
    ASSERT_TRUE(reader.Open(reader.GetQuery()));
    EXPECT_EQ(reader.GetRecordCount(), 4) << "the second connection sees the committed row";

    // A write through the second connection while the first holds an open recordset.
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM qp_Item WHERE ID = 1")));
    ASSERT_TRUE(second.Execute(QStringLiteral("UPDATE qp_Item SET Num = 10 WHERE ID = 1")));
    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("Title"), "z"));
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(rs.GetFieldInt(QStringLiteral("Num")), 10) << "the row is read back after writing";
}

TEST_F(ConnectionTest, GroupedWritesAreCommittedForOtherConnections)
{
    // A row of a join writes both tables as one unit; outside a transaction that unit must be
    // committed when it ends, or the other operators never see it and it is lost on close.
    exec(QStringLiteral("CREATE TABLE qp_Note (ItemID int PRIMARY KEY, Body nvarchar(50) NULL)"));
    exec(QStringLiteral("INSERT INTO qp_Note (ItemID, Body) VALUES (1, 'old')"));
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT i.ID, i.Title, n.ItemID, n.Body FROM qp_Item i "
                                       "JOIN qp_Note n ON n.ItemID = i.ID WHERE i.ID = 1")));
    ASSERT_TRUE(rs.Edit());
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("Title"), "joined"));
    ASSERT_TRUE(rs.SetFieldValue(QStringLiteral("Body"), "new"));
    ASSERT_TRUE(rs.Update()) << m_db.GetErrorDescription().toStdString();
    EXPECT_EQ(m_db.TransactionLevel(), 0);
    EXPECT_FALSE(m_db.backend()->inTransaction()) << "nothing left open after the write";

    CADODatabase second;
    ASSERT_TRUE(second.Open(connectionString()));
    CADORecordset check(&second);
    ASSERT_TRUE(check.Open(QStringLiteral("SELECT i.Title, n.Body FROM qp_Item i "
                                          "JOIN qp_Note n ON n.ItemID = i.ID WHERE i.ID = 1")));
    EXPECT_EQ(check.GetFieldString(QStringLiteral("Title")), QStringLiteral("joined"));
    EXPECT_EQ(check.GetFieldString(QStringLiteral("Body")), QStringLiteral("new"));
}

TEST_F(ConnectionTest, AWriterWaitsForAnotherAndSaysWhenTheWaitIsTooLong)
{
    if (onPostgres())
        GTEST_SKIP() << "about the embedded database file";
    CADODatabase second;
    ASSERT_TRUE(second.Open(connectionString()));
    auto* backend = dynamic_cast<SqliteBackend*>(second.backend());
    ASSERT_NE(backend, nullptr);
    backend->setBusyTimeout(20); // the wait is shortened for the test only

    ASSERT_TRUE(m_db.BeginTransaction());
    exec(QStringLiteral("INSERT INTO qp_Item (Title, Num) VALUES ('held', 1)"));
    EXPECT_FALSE(
        second.Execute(QStringLiteral("INSERT INTO qp_Item (Title, Num) VALUES ('w', 2)")));
    EXPECT_TRUE(second.GetErrorDescription().startsWith(QStringLiteral("数据库正被其他工作站占用")))
        << second.GetErrorDescription().toStdString();
    ASSERT_TRUE(m_db.CommitTransaction());
    EXPECT_TRUE(second.Execute(QStringLiteral("INSERT INTO qp_Item (Title, Num) VALUES ('w', 2)")))
        << "the connection is usable once the other writer is done";
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Item WHERE Title IN ('held','w')")),
              "2");

    // Column types another process adds are known at the next statement.
    exec(QStringLiteral("ALTER TABLE qp_Item ADD Amount decimal(18,2) NULL"));
    exec(QStringLiteral("UPDATE qp_Item SET Amount = 7"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT MAX(Amount) FROM qp_Item")), "7");
    CADORecordset divided(&second);
    ASSERT_TRUE(divided.Open(QStringLiteral("SELECT MAX(Amount/2) FROM qp_Item")));
    EXPECT_EQ(divided.GetFieldString(0), QStringLiteral("3.5"));

    // Shares never use the write-ahead log, which needs memory shared between the processes.
    EXPECT_TRUE(SqliteBackend::isNetworkPath(QStringLiteral("\\\\fs01\\hr\\hr.db")));
    EXPECT_TRUE(SqliteBackend::isNetworkPath(QStringLiteral("//fs01/hr/hr.db")));
    EXPECT_FALSE(SqliteBackend::isNetworkPath(m_path));
}

// --- procedure dispatch --------------------------------------------------------------------

class ProcedureTest : public ConnectionTest
{
protected:
    static inline int s_calls = 0;

    static void SetUpTestSuite()
    {
        ProcedureRegistry::add(
            QStringLiteral("test_AddItem"),
            {QStringLiteral("Title"), QStringLiteral("Num"), QStringLiteral("NewID OUTPUT")},
            [](ProcContext& ctx) {
                ++s_calls;
                QString title = ctx.paramString(QStringLiteral("title"));
                title.replace(QLatin1Char('\''), QLatin1String("''"));
                ctx.execute(QStringLiteral("INSERT INTO qp_Item (Title, Num) "
                                           "VALUES ('%1', %2)")
                                .arg(title)
                                .arg(ctx.paramInt(QStringLiteral("@Num"))));
                const int id = ctx.scalar(QStringLiteral("SELECT MAX(ID) FROM qp_Item")).toInt();
                if (ctx.paramInt(QStringLiteral("Num")) < 0)
                    ctx.fail(QStringLiteral("Num must not be negative"));
                ctx.setOutput(QStringLiteral("NewID"), id);
                ctx.setReturn(id * 10);
                ctx.setResult(
                    ctx.query(QStringLiteral("SELECT ID, Title FROM qp_Item ORDER BY ID")));
            });
        ProcedureRegistry::add(QStringLiteral("test_Rows"), {QStringLiteral("N")},
                               [](ProcContext& ctx) {
                                   ctx.setResultColumns({QStringLiteral("K"), QStringLiteral("V")});
                                   for (int i = 1; i <= ctx.paramInt(QStringLiteral("N")); ++i)
                                       ctx.addResultRow({i, QStringLiteral("v%1").arg(i)});
                               });
        // Calls another procedure and survives its failure: only the inner call is undone.
        ProcedureRegistry::add(QStringLiteral("test_Outer"), {}, [](ProcContext& ctx) {
            ctx.execute(QStringLiteral("INSERT INTO qp_Item (Title, Num) VALUES ('outer', 100)"));
            try {
                ctx.execute(QStringLiteral("EXEC test_AddItem 'inner', -5"));
            } catch (const ProcError&) {
            }
            ctx.execute(QStringLiteral("EXEC test_AddItem 'inner2', 5"));
        });
    }
    static void TearDownTestSuite()
    {
        ProcedureRegistry::remove(QStringLiteral("test_Outer"));
        ProcedureRegistry::remove(QStringLiteral("test_AddItem"));
        ProcedureRegistry::remove(QStringLiteral("test_Rows"));
    }
};

TEST_F(ProcedureTest, TextCallsAndCommandsReachTheSameProcedure)
{
    s_calls = 0;
    ASSERT_TRUE(m_db.Execute(QStringLiteral("EXEC test_AddItem 'd''x', 4")))
        << m_db.GetLastErrorString().toStdString();
    ASSERT_TRUE(m_db.Execute(QStringLiteral("TEST_ADDITEM @Num = 5, @Title = N'e'")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Title FROM qp_Item WHERE Num = 4")), "d'x");
    EXPECT_EQ(scalar(QStringLiteral("SELECT Title FROM qp_Item WHERE Num = 5")), "e");

    CADOCommand cmd(&m_db, QStringLiteral("test_AddItem"), adCmdStoredProc);
    CADOParameter ret(adInteger, 4, adParamReturnValue, QStringLiteral("Return"));
    CADOParameter newId(adInteger, 4, adParamOutput, QStringLiteral("@NewID"));
    cmd.AddParameter(ret);
    cmd.AddParameter(QStringLiteral("@Title"), adVarChar, adParamInput, 50, QStringLiteral("f"));
    cmd.AddParameter(QStringLiteral("@Num"), adInteger, adParamInput, 4, 6);
    cmd.AddParameter(newId);
    ASSERT_TRUE(cmd.Execute()) << cmd.GetLastErrorString().toStdString();
    int value = 0;
    ASSERT_TRUE(ret.GetValue(value));
    EXPECT_EQ(value, 60);
    ASSERT_TRUE(newId.GetValue(value));
    EXPECT_EQ(value, 6);

    // Rows of a procedure through a recordset: on a command, and on call texts.
    CADOCommand rowsCmd(&m_db, QStringLiteral("test_Rows"), adCmdStoredProc);
    rowsCmd.AddParameter(QStringLiteral("Count"), adInteger, adParamInput, 4, 3); // by position
    CADORecordset rs;
    ASSERT_TRUE(rs.Open(rowsCmd)) << rs.GetLastErrorString().toStdString();
    EXPECT_EQ(rs.GetRecordCount(), 3);
    rs.MoveLast();
    EXPECT_EQ(rs.GetFieldString(QStringLiteral("V")), "v3");
    CADOFieldInfo info;
    ASSERT_TRUE(rs.GetFieldInfo(0, &info));
    EXPECT_EQ(info.m_nType, adInteger);

    CADORecordset rs2(&m_db);
    ASSERT_TRUE(rs2.Open(QStringLiteral("EXEC test_AddItem 'g', 7")));
    EXPECT_EQ(rs2.GetRecordCount(), 7);
    ASSERT_TRUE(rs2.Open(QStringLiteral("test_Rows 2"), CADORecordset::openStoredProc));
    EXPECT_EQ(rs2.GetRecordCount(), 2);
    EXPECT_EQ(s_calls, 4);

    // Positional first, then named; an output variable is accepted and its value ignored.
    ASSERT_TRUE(m_db.Execute(QStringLiteral("EXEC test_AddItem N'n', @NewID=@id OUTPUT, @Num=8")))
        << m_db.GetLastErrorString().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT Title FROM qp_Item WHERE Num = 8")), "n");
    exec(QStringLiteral("DELETE FROM qp_Item WHERE Num = 8"));
}

TEST_F(ProcedureTest, FailingOrUnknownCallsChangeNothing)
{
    EXPECT_FALSE(m_db.Execute(QStringLiteral("EXEC test_AddItem 'h', -1")));
    EXPECT_TRUE(m_db.GetErrorDescription().contains(QStringLiteral("Num must not be negative")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Item")), "3")
        << "the insert made before the failure is rolled back";

    // Inside a caller's transaction only the call is undone.
    ASSERT_TRUE(m_db.BeginTransaction());
    exec(QStringLiteral("DELETE FROM qp_Item WHERE ID = 3"));
    EXPECT_FALSE(m_db.Execute(QStringLiteral("EXEC test_AddItem 'h', -1")));
    ASSERT_TRUE(m_db.CommitTransaction());
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Item")), "2");

    EXPECT_FALSE(m_db.Execute(QStringLiteral("EXEC qp_NoSuchProc 1, 2")));
    EXPECT_TRUE(m_db.GetLastErrorString().startsWith(QStringLiteral("CADODataBase Error\n")));
    EXPECT_TRUE(m_db.GetErrorDescription().contains(QStringLiteral("qp_NoSuchProc")));
    EXPECT_FALSE(m_db.Execute(QStringLiteral("EXEC test_Rows 1, 2")))
        << "more arguments than parameters";
    // Argument binding errors carry SQL Server's messages and run nothing.
    const struct
    {
        const char* call;
        const char* message;
    } refused[] = {
        {"EXEC test_Rows @Nope = 1", "@Nope is not a parameter for procedure test_Rows."},
        {"EXEC test_AddItem @Title='x'",
         "Procedure or function 'test_AddItem' expects parameter '@Num', which was not supplied."},
        {"EXEC test_AddItem @Title='x', 3", "Must pass parameter number 2"},
        {"EXEC test_AddItem 'x', @Title='y'", "Parameter 'Title' was supplied more than once."},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(m_db.Execute(QString::fromUtf8(r.call))) << r.call;
        EXPECT_TRUE(m_db.GetErrorDescription().contains(QString::fromUtf8(r.message)))
            << m_db.GetErrorDescription().toStdString();
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Item")), "2");
    CADOCommand cmd(&m_db, QStringLiteral("qp_NoSuchProc"), adCmdStoredProc);
    EXPECT_FALSE(cmd.Execute());
    EXPECT_TRUE(cmd.GetLastErrorString().startsWith(QStringLiteral("CADOCommand Error\n")));

    ASSERT_TRUE(m_db.Execute(QStringLiteral("EXEC test_AddItem 'i', 9")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Item")), "3");

    ASSERT_TRUE(m_db.Execute(QStringLiteral("test_Outer")))
        << m_db.GetLastErrorString().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Item WHERE Title LIKE 'inner%'")),
              "1");
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM qp_Item WHERE Title = 'outer'")), "1");
}

} // namespace
