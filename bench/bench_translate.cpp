// Translation speed over the client's whole SQL corpus (tests/db/corpus/templates.sql).
#include "db/tsqltranslator.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <benchmark/benchmark.h>

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
            auto t = orvane::db::TsqlTranslator::toSqlite(s);
            benchmark::DoNotOptimize(t);
            ++translated;
        }
    }
    state.SetItemsProcessed(translated);
    state.counters["statements"] = double(statements.size());
}
BENCHMARK(BM_TranslateCorpus)->Unit(benchmark::kMicrosecond);

// The longest shape the client sends often: a filtered wage view.
void BM_TranslateWageView(benchmark::State& state)
{
    const QString sql = QStringLiteral(
        "SELECT qp_PsnBase.PID,qp_PsnBase.Number AS [编号],qp_PsnBase.Name AS [姓名],"
        "[qp_Wage1].Jb AS [基本工资] FROM qp_Wage1 INNER JOIN qp_PsnBase ON qp_Wage1.PID = "
        "qp_PsnBase.PID INNER JOIN qp_Dept ON qp_Wage1.DID = qp_Dept.DID INNER JOIN qp_PsnSort "
        "ON qp_Wage1.AID = qp_PsnSort.AID  WHERE ([qp_Wage1].fDate=202405) AND [qp_Wage1].AID=1 "
        "AND (CHARINDEX('|1|',qp_Dept.ParentArr)>0) AND (CHARINDEX(','+CONVERT(VARCHAR,"
        "qp_PsnBase.DID)+',',',1,2,')>0) ORDER BY qp_Dept.Ord,[qp_Wage1].Ord");
    for (auto _ : state) {
        auto t = orvane::db::TsqlTranslator::toSqlite(sql);
        benchmark::DoNotOptimize(t);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TranslateWageView)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
