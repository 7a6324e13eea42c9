// The personnel view on 100,000 persons: the first screen of rows (query, model and a painted
// grid), each page step of scrolling to the last row, and the process's peak memory.
//
//     bench_psnview [--db FILE]   (default: a demo database of 100,000 persons made in a
//                                  temporary folder; orvane-admin init FILE --demo 100000)
#include "benchdemo.h"

#include "core/appsettings.h"
#include "core/corvaneapp.h"
#include "core/unattendedprompter.h"
#include "db/cadodatabase.h"
#include "personnel/cviewpsn.h"
#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <time.h>

#include <memory>

using namespace orvane;

namespace {

constexpr int kPersons = 100000;
QString g_dbPath;

// Records nothing: the bench measures time, not dialogs.
class SilentPrompter : public core::UnattendedPrompter
{
public:
    void message(const QString& text, const QString&, Icon) override
    {
        qWarning("%s", qPrintable(text));
    }
    Answer askYesNo(const QString&, const QString&, Icon, Answer) override { return Answer::No; }
    Answer askYesNoCancel(const QString&, const QString&, Icon, Answer) override
    {
        return Answer::Cancel;
    }
    Answer retryCancel(const QString&, const QString&, Icon) override { return Answer::Cancel; }
    Answer okCancel(const QString&, const QString&, Icon) override { return Answer::Cancel; }
};

struct Fixture
{
    QTemporaryDir dir;
    std::shared_ptr<db::CADODatabase> database = std::make_shared<db::CADODatabase>();
    std::unique_ptr<core::COrvaneApp> app;
    SilentPrompter prompter;

    Fixture()
    {
        const QString path = bench::demoDatabase(g_dbPath, dir, QStringLiteral("psn.db"), kPersons);
        if (!database->Open(path))
            qFatal("cannot open %s", qPrintable(database->GetLastErrorString()));
        app = std::make_unique<core::COrvaneApp>(
            QString(), std::make_unique<core::AppSettings>(dir.filePath(QStringLiteral("p.ini"))));
        app->setDatabase(database);
        core::OperatorRecord op;
        op.UserID = 1;
        op.UserName = QStringLiteral("admin");
        op.ISuper = true;
        app->setCurrentOperator(op);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// CPU time of this thread: the machine is shared, so wall time alone overstates a step.
qint64 threadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Query, model and the grid painted once at 1280x800: what the operator waits for.
void BM_FirstScreen(benchmark::State& state)
{
    Fixture& f = fixture();
    int rows = 0;
    for (auto _ : state) {
        personnel::CViewPsn view(*f.app, f.prompter);
        view.setNavigation(0, 0);
        widgets::GridModel model;
        widgets::CGridView grid;
        grid.resize(1280, 800);
        view.refresh();
        model.setSource(&view.rows(), view.columns());
        grid.setModel(&model);
        grid.setFrozenColumns(2);
        grid.setFooterText(view.footerText());
        grid.selectRow(0);
        benchmark::DoNotOptimize(grid.grab());
        rows = view.rowCount();
    }
    state.counters["rows"] = rows;
    state.counters["peak_MB"] = bench::peakMemoryMb();
}
BENCHMARK(BM_FirstScreen)->Unit(benchmark::kMillisecond)->Iterations(3);

// Page after page down to the last row, each step repainted; reports the slowest step.
void BM_ScrollToLastRow(benchmark::State& state)
{
    Fixture& f = fixture();
    personnel::CViewPsn view(*f.app, f.prompter);
    view.setNavigation(0, 0);
    view.refresh();
    widgets::GridModel model;
    model.setSource(&view.rows(), view.columns());
    widgets::CGridView grid;
    grid.resize(1280, 800);
    grid.setModel(&model);
    grid.setFrozenColumns(2);
    grid.show();
    QScrollBar* bar = grid.table()->verticalScrollBar();
    qint64 slowestNs = 0;
    qint64 slowestCpuNs = 0;
    int steps = 0;
    QPixmap canvas(grid.size());
    for (auto _ : state) {
        bar->setValue(0);
        // Every 97th page (a repaint costs the same for any jump), then the last row.
        for (int value = 0; value <= bar->maximum(); value += qMax(1, bar->pageStep() * 97)) {
            QElapsedTimer timer;
            timer.start();
            const qint64 cpu = threadCpuNs();
            bar->setValue(value);
            grid.render(&canvas);
            slowestNs = qMax(slowestNs, timer.nsecsElapsed());
            slowestCpuNs = qMax(slowestCpuNs, threadCpuNs() - cpu);
            ++steps;
        }
        QElapsedTimer timer;
        timer.start();
        grid.selectRow(model.rowCount() - 1);
        grid.render(&canvas);
        slowestNs = qMax(slowestNs, timer.nsecsElapsed());
    }
    state.counters["slowest_step_ms"] = double(slowestNs) / 1e6;
    state.counters["slowest_step_cpu_ms"] = double(slowestCpuNs) / 1e6;
    state.counters["steps"] = steps;
    state.counters["peak_MB"] = bench::peakMemoryMb();
}
BENCHMARK(BM_ScrollToLastRow)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    g_dbPath = bench::databaseArgument(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
