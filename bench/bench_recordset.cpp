// Opening and reading 100,000 rows through CADORecordset. With ORVANE_BENCH_PG set to the
// connection string of an empty PostgreSQL database (its table qp_PsnBase is replaced), the same
// benchmarks run on that server.
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace orvane::db;

namespace {

constexpr int kRows = 100000;
// Family names of the demo data, so that sorting by name exercises the pinyin order.
const QString kSurnames = QStringLiteral("张王李赵刘陈杨黄周吴徐孙马朱胡郭何高林罗");

struct Fixture
{
    QTemporaryDir dir;
    CADODatabase db;

    Fixture()
    {
        const QString server = qEnvironmentVariable("ORVANE_BENCH_PG");
        const QString path = server.isEmpty() ? dir.filePath(QStringLiteral("bench.db")) : server;
        if (!db.Open(path, true))
            qFatal("cannot create %s", qPrintable(db.GetLastErrorString()));
        if (!server.isEmpty())
            db.Execute(QStringLiteral("DROP TABLE IF EXISTS qp_PsnBase"));
        db.Execute(QStringLiteral("CREATE TABLE qp_PsnBase (PID int IDENTITY(1,1) PRIMARY KEY, "
                                  "PsnNumber nvarchar(20) NULL, PsnName nvarchar(50) NULL, "
                                  "DID int NULL, Salary float NULL, Birthday datetime NULL, "
                                  "bActive bit NULL, Memo nvarchar(200) NULL, Jb decimal(18,2))"));
        db.BeginTransaction();
        for (int i = 1; i <= kRows; ++i) {
            db.Execute(QStringLiteral("INSERT INTO qp_PsnBase (PsnNumber, PsnName, DID, Salary, "
                                      "Birthday, bActive, Memo, Jb) VALUES ('%1', '%7%1', %2, %3, "
                                      "'1980-%4-%5 00:00:00', %6, NULL, %3)")
                           .arg(i, 6, 10, QLatin1Char('0'))
                           .arg(i % 50)
                           .arg(3000.5 + i % 1000)
                           .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                           .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                           .arg(i % 2)
                           .arg(kSurnames.at(i % kSurnames.size())));
        }
        db.CommitTransaction();
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

const QString kQuery = QStringLiteral("SELECT PID, PsnNumber, PsnName, DID, Salary, Birthday, "
                                      "bActive, Memo FROM qp_PsnBase ORDER BY PID");

void BM_OpenRecordset(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        CADORecordset rs(&f.db);
        if (!rs.Open(kQuery))
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(rs.GetRecordCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_OpenAndReadTyped(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        CADORecordset rs(&f.db);
        if (!rs.Open(kQuery))
            state.SkipWithError("open failed");
        qint64 sum = 0;
        double salary = 0;
        int id = 0;
        QDateTime birthday;
        QString name;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            rs.GetFieldValue(0, id);
            rs.GetFieldValue(4, salary);
            rs.GetFieldValue(5, birthday);
            rs.GetFieldValue(2, name);
            sum += id + qint64(salary) + name.size();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_OpenAndReadText(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        CADORecordset rs(&f.db);
        if (!rs.Open(kQuery))
            state.SkipWithError("open failed");
        const int fields = rs.GetFieldCount();
        qint64 length = 0;
        QString text;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            for (int i = 0; i < fields; ++i) {
                rs.GetFieldValue(i, text);
                length += text.size();
            }
        }
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

// Sorting Chinese names (pinyin order, case- and width-insensitive collation).
void BM_OrderByChineseName(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        CADORecordset rs(&f.db);
        if (!rs.Open(QStringLiteral("SELECT PID, PsnName FROM qp_PsnBase ORDER BY PsnName")))
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(rs.GetRecordCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

// Text equality and LIKE through the collation over every row.
void BM_FilterText(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        CADORecordset rs(&f.db);
        if (!rs.Open(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase WHERE PsnName = N'张050000' "
                                    "OR PsnNumber LIKE '[0-1]9999%'")))
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(rs.GetRecordCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

// Decimal arithmetic with SQL Server's result types (scale kept, checked division).
void BM_DecimalArithmetic(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        CADORecordset rs(&f.db);
        if (!rs.Open(QStringLiteral("SELECT SUM(Jb)/COUNT(*), SUM(ROUND(Jb/3,2)), SUM(Jb + 0.1) "
                                    "FROM qp_PsnBase")))
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(rs.GetRecordCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

} // namespace

BENCHMARK(BM_OpenRecordset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndReadTyped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndReadText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrderByChineseName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecimalArithmetic)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
