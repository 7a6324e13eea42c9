// Translation speed over the client's whole SQL corpus (tests/db/corpus/templates.sql); the
// argument of a benchmark is the target: 0 SQLite, 1 PostgreSQL.
#include "db/sqlitefunctions.h"
#include "db/sqliteschemacache.h"
#include "db/tsqltranslator.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

namespace {

QStringList corpusStatements()
{
    QStringList statements;
    QFile file(QStringLiteral(ORVANE_TSQL_CORPUS));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return statements;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const qsizetype colon = line.indexOf(QStringLiteral(": "));
        if (line.startsWith(u'#') || line.startsWith(u'!') || colon <= 0)
            continue;
        statements << line.mid(colon + 2);
    }
    return statements;
}

// Argument 0: SQLite, 1: PostgreSQL.
orvane::db::Translation translate(const QString& tsql, int dialect)
{
    return dialect == 0 ? orvane::db::TsqlTranslator::toSqlite(tsql)
                        : orvane::db::TsqlTranslator::toPostgres(tsql);
}

void BM_TranslateCorpus(benchmark::State& state)
{
    const QStringList statements = corpusStatements();
    if (statements.isEmpty()) {
        state.SkipWithError("corpus not found");
        return;
    }
    qint64 translated = 0;
    for (auto _ : state) {
        for (const QString& s : statements) {
            if (orvane::db::parseProcedureCall(s))
                continue;
            auto t = translate(s, int(state.range(0)));
            benchmark::DoNotOptimize(t);
            ++translated;
        }
    }
    state.SetItemsProcessed(translated);
    state.counters["statements"] = double(statements.size());
}
BENCHMARK(BM_TranslateCorpus)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The longest shape the client sends often: a filtered wage view.
const QString kWageView = QStringLiteral(
    "SELECT qp_PsnBase.PID,qp_PsnBase.Number AS [编号],qp_PsnBase.Name AS [姓名],"
    "[qp_Wage1].Jb AS [基本工资] FROM qp_Wage1 INNER JOIN qp_PsnBase ON qp_Wage1.PID = "
    "qp_PsnBase.PID INNER JOIN qp_Dept ON qp_Wage1.DID = qp_Dept.DID INNER JOIN qp_PsnSort "
    "ON qp_Wage1.AID = qp_PsnSort.AID  WHERE ([qp_Wage1].fDate=202405) AND [qp_Wage1].AID=1 "
    "AND (CHARINDEX('|1|',qp_Dept.ParentArr)>0) AND (CHARINDEX(','+CONVERT(VARCHAR,"
    "qp_PsnBase.DID)+',',',1,2,')>0) ORDER BY qp_Dept.Ord,[qp_Wage1].Ord");

void BM_TranslateWageView(benchmark::State& state)
{
    for (auto _ : state) {
        auto t = translate(kWageView, int(state.range(0)));
        benchmark::DoNotOptimize(t);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TranslateWageView)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same with the columns' types read from a database, as the client translates.
void BM_TranslateWageViewTyped(benchmark::State& state)
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    orvane::db::registerTsqlFunctions(db);
    for (const char* ddl :
         {"CREATE TABLE qp_PsnBase (PID int IDENTITY(1,1), Number varchar(20), Name nvarchar(50),"
          " DID int, AID int)",
          "CREATE TABLE qp_Dept (DID int IDENTITY(1,1), ParentArr varchar(500), Ord int)",
          "CREATE TABLE qp_PsnSort (AID int IDENTITY(1,1), Name nvarchar(50))",
          "CREATE TABLE qp_Wage1 (ID int IDENTITY(1,1), fDate int, PID int, DID int, AID int,"
          " Jb decimal(18,2), Ord int)"}) {
        for (const QString& s :
             orvane::db::TsqlTranslator::toSqlite(QString::fromUtf8(ddl)).statements)
            sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, nullptr);
    }
    orvane::db::SqliteSchemaCache schema(db);
    for (auto _ : state) {
        auto t = orvane::db::TsqlTranslator::toSqlite(kWageView, &schema);
        benchmark::DoNotOptimize(t);
    }
    state.SetItemsProcessed(state.iterations());
    schema.setConnection(nullptr);
    sqlite3_close(db);
}
BENCHMARK(BM_TranslateWageViewTyped)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
