// Opening and reading 100,000 rows through CADORecordset.
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace orvane::db;

namespace {

constexpr int kRows = 100000;

struct Fixture
{
    QTemporaryDir dir;
    CADODatabase db;

    Fixture()
    {
        const QString path = dir.filePath(QStringLiteral("bench.db"));
        if (!db.Open(path, true))
            qFatal("cannot create %s", qPrintable(db.GetLastErrorString()));
        db.Execute(QStringLiteral("CREATE TABLE qp_PsnBase (PID int IDENTITY(1,1) PRIMARY KEY, "
                                  "PsnNumber nvarchar(20) NULL, PsnName nvarchar(50) NULL, "
                                  "DID int NULL, Salary float NULL, Birthday datetime NULL, "
                                  "bActive bit NULL, Memo nvarchar(200) NULL)"));
        db.BeginTransaction();
        for (int i = 1; i <= kRows; ++i) {
            db.Execute(QStringLiteral("INSERT INTO qp_PsnBase (PsnNumber, PsnName, DID, Salary, "
                                      "Birthday, bActive, Memo) VALUES ('%1', '职员%1', %2, %3, "
                                      "'1980-%4-%5 00:00:00', %6, NULL)")
                           .arg(i, 6, 10, QLatin1Char('0'))
                           .arg(i % 50)
                           .arg(3000.5 + i % 1000)
                           .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                           .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                           .arg(i % 2));
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

} // namespace

BENCHMARK(BM_OpenRecordset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndReadTyped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndReadText)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
