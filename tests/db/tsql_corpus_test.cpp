// Every SQL template of the client, filled with sample values, translates and runs on a freshly
// created embedded database; procedure calls are recognised as calls.
#include "tsql_testsupport.h"

#include "db/resultset.h"
#include "server/databasecreator.h"
#include "testutil/testbackend.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using orvane::db::parseProcedureCall;
using orvane::db::TsqlTranslator;
using orvane::db::test::TsqlConnection;

namespace {

struct CorpusEntry
{
    QString id;
    QString tsql;
    bool mustFail = false;
};

QList<CorpusEntry> loadCorpus()
{
    QList<CorpusEntry> entries;
    QFile file(QStringLiteral(ORVANE_TSQL_CORPUS));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entries;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype colon = line.indexOf(QStringLiteral(": "));
        if (colon <= 0)
            continue;
        CorpusEntry e;
        e.id = line.left(colon);
        e.tsql = line.mid(colon + 2);
        e.mustFail = e.id.startsWith(u'!');
        entries.append(e);
    }
    return entries;
}

// Tables a running system has beside the delivered ones: a wage sort's data table, a
// membership work table and a related-record table, with a few rows to read.
const char* const kFixtures[] = {
    "CREATE TABLE qp_Wage1 (ID int IDENTITY(1,1), fDate int, PID int, DID int, AID int, Ord int,"
    " Name nvarchar(50), Jb money DEFAULT 0, Jt money DEFAULT 0)",
    "CREATE TABLE tmpWageSel1 (PID int, DID int, AID int, Number nvarchar(50), Name nvarchar(50),"
    " ord int, CKD bit DEFAULT 0)",
    "CREATE TABLE qp_PsnEdu (ID int IDENTITY(1,1), PID int, School nvarchar(100), Ord int)",
    "INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (0,N'总部',1,'|1|')",
    "INSERT INTO qp_PsnSort (Name,Ord) VALUES (N'在职',1)",
    "INSERT INTO qp_PsnBase (DID,AID,Number,Name,Sex,Birthday,WorkDate,Ord) VALUES"
    " (1,1,'A001',N'张三',N'男','1980-05-01 00:00:00','2001-07-01 00:00:00',1)",
    "INSERT INTO qp_Wage1 (fDate,PID,DID,AID,Ord,Jb) VALUES (202405,1,1,1,1,3000)",
    "INSERT INTO tmpWageSel1 (PID,DID,AID,Number,Name,ord) VALUES (1,1,1,'A001',N'张三',1)",
    "INSERT INTO qp_PsnEdu (PID,School,Ord) VALUES (1,N'北京大学',1)",
    "SELECT PID, Jb AS 基本工资, Jt AS 津贴, Ord INTO tmpWageUser1 FROM qp_Wage1",
};

TEST(TsqlCorpus, EveryTemplateTranslatesAndRuns)
{
    const QList<CorpusEntry> corpus = loadCorpus();
    ASSERT_GT(corpus.size(), 300) << "corpus file missing or truncated: " << ORVANE_TSQL_CORPUS;

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("corpus.db"));
    QString error;
    ASSERT_TRUE(orvane::server::createDatabase(path, &error)) << qPrintable(error);
    TsqlConnection db(path);
    for (const char* sql : kFixtures)
        ASSERT_TRUE(db.exec(QString::fromUtf8(sql))) << qPrintable(db.lastError());

    int calls = 0;
    int executed = 0;
    for (const CorpusEntry& e : corpus) {
        SCOPED_TRACE(qPrintable(e.id + QStringLiteral(": ") + e.tsql));
        const auto call = parseProcedureCall(e.tsql);
        const auto translation = TsqlTranslator::toSqlite(e.tsql);
        if (e.mustFail) {
            EXPECT_FALSE(call);
            EXPECT_FALSE(translation.ok);
            EXPECT_FALSE(translation.error.isEmpty());
            continue;
        }
        if (call) {
            EXPECT_TRUE(call->name.startsWith(QStringLiteral("qp_"))) << qPrintable(call->name);
            ++calls;
            continue;
        }
        ASSERT_TRUE(translation.ok) << qPrintable(translation.error);
        // Each template runs on its own: changes are rolled back afterwards.
        ASSERT_TRUE(db.run(QStringLiteral("SAVEPOINT corpus")));
        EXPECT_TRUE(db.exec(e.tsql)) << qPrintable(db.lastError());
        ASSERT_TRUE(db.run(QStringLiteral("ROLLBACK TO corpus")));
        ASSERT_TRUE(db.run(QStringLiteral("RELEASE corpus")));
        ++executed;
    }
    EXPECT_GE(calls, 40);
    EXPECT_GT(executed, 250);
}

// The same corpus on a PostgreSQL server: every template translates for it and runs.
TEST(TsqlCorpus, EveryTemplateRunsOnPostgres)
{
    if (!orvane::testutil::onPostgres())
        GTEST_SKIP() << "runs on the PostgreSQL test server";
    const QList<CorpusEntry> corpus = loadCorpus();
    orvane::testutil::ScratchDatabase scratch{QString()};
    ASSERT_TRUE(scratch.error().isEmpty()) << qPrintable(scratch.error());
    QString error;
    ASSERT_TRUE(orvane::server::createDatabase(scratch.connection(), &error)) << qPrintable(error);
    orvane::db::CADODatabase db;
    ASSERT_TRUE(db.Open(scratch.connection())) << qPrintable(db.GetLastErrorString());
    orvane::db::BackendError failure;
    for (const char* sql : kFixtures)
        ASSERT_TRUE(db.runStatement(QString::fromUtf8(sql), nullptr, failure))
            << qPrintable(failure.description) << " in " << sql;
    ASSERT_TRUE(db.BeginTransaction());
    int executed = 0;
    for (const CorpusEntry& e : corpus) {
        if (e.mustFail || parseProcedureCall(e.tsql))
            continue;
        SCOPED_TRACE(qPrintable(e.id + QStringLiteral(": ") + e.tsql));
        const auto translation = TsqlTranslator::toPostgres(e.tsql);
        ASSERT_TRUE(translation.ok) << qPrintable(translation.error);
        ASSERT_TRUE(db.BeginTransaction()); // a savepoint: each template runs on its own
        orvane::db::ResultSet rows;
        const bool query =
            e.tsql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive) &&
            !e.tsql.contains(QLatin1String(" INTO "), Qt::CaseInsensitive);
        const bool ok = query ? db.runQuery(e.tsql, rows, false, failure)
                              : db.runStatement(e.tsql, nullptr, failure);
        EXPECT_TRUE(ok) << qPrintable(failure.description) << "\n  as: "
                        << qPrintable(translation.statements.join(QStringLiteral("; ")));
        ASSERT_TRUE(db.RollbackTransaction());
        ++executed;
    }
    db.RollbackTransaction();
    EXPECT_GT(executed, 250);
}

} // namespace
