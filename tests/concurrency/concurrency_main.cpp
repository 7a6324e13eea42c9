// orvane-concurrency: four operators on one database at once, then an integrity check.
//
//   orvane-concurrency run [--seconds N] [--persons N] [--database CONNECTION] [--keep]
//
// `run` creates a demo database (a SQLite file in a temporary folder, a database on the test
// server under ORVANE_TEST_BACKEND=postgresql, or the new file or server database CONNECTION),
// starts four worker processes of this program against it for N seconds (default 5), and checks
// what they left: row counts, sums recomputed from the workers' edit logs, last writes, months,
// items and orphaned rows. Prints the figures; exit code 0 when every check passed.

#include "stressworker.h"

#include "core/appsettings.h"
#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "db/backend.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "payroll/demopayroll.h"
#include "payroll/wagesorts.h"
#include "server/coreprocedures.h"
#include "server/databasecreator.h"
#include "server/demodata.h"
#include "testutil/testbackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <map>
#include <memory>
#include <set>

using namespace orvane;
using namespace orvane::concurrency;

namespace {

constexpr int kWorkers = 4;
constexpr int kSharedMonth = 202601;

void out(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

QString value(db::CADODatabase& database, const QString& sql)
{
    db::CADORecordset rs(&database);
    if (!rs.Open(sql) || rs.IsEOF())
        return QStringLiteral("<none>");
    return fieldText(rs, 0);
}

int number(db::CADODatabase& database, const QString& sql)
{
    return value(database, sql).toInt();
}

// The demo organisation and payroll, and the two input items the editors use.
bool prepare(const QString& connection, int persons, StressSetup& setup, QString* error)
{
    if (!server::createDatabase(connection, error))
        return false;
    auto database = std::make_shared<db::CADODatabase>();
    if (!database->Open(connection)) {
        *error = database->GetLastErrorString();
        return false;
    }
    if (!server::fillDemoData(*database, persons, {}, nullptr, error))
        return false;
    core::COrvaneApp app(QString(), std::make_unique<core::AppSettings>(QDir::temp().filePath(
                                        QStringLiteral("orvane-concurrency.ini"))));
    app.setDatabase(database);
    core::OperatorRecord admin;
    admin.UserID = core::Catalog(*database).integer(
        QStringLiteral("SELECT UserID FROM qp_Users WHERE UserName='admin'"));
    admin.UserName = QStringLiteral("admin");
    admin.ISuper = true;
    app.setCurrentOperator(admin);
    if (!payroll::fillDemoPayroll(app, kSharedMonth, nullptr, error))
        return false;
    for (const payroll::WageSortEntry& sort : payroll::WageSorts::list(app)) {
        if (sort.title == payroll::demoSortTitle())
            setup.sortId = sort.id;
    }
    setup.connection = connection;
    setup.dataTable = core::Catalog(*database).wageSortTable(setup.sortId);
    setup.month = kSharedMonth;
    setup.firstNewMonth = 203001;
    // Two free-input numeric items of the sort.
    db::CADORecordset items(database.get());
    if (!items.Open(QStringLiteral("SELECT Name FROM qp_Items WHERE TblName='%1' AND iProperty=0 "
                                   "AND iDataType=0 AND bFixed=0 ORDER BY Ord")
                        .arg(setup.dataTable))) {
        *error = items.GetLastErrorString();
        return false;
    }
    QStringList names;
    for (; !items.IsEOF(); items.MoveNext())
        names << fieldText(items, 0);
    if (setup.sortId <= 0 || names.size() < 2) {
        *error = QStringLiteral("the demo payroll has no sort with two input items");
        return false;
    }
    setup.addItem = names.at(0);
    setup.setItem = names.at(1);
    // The month stays open for the editors.
    database->Execute(QStringLiteral("UPDATE qp_WageTable SET Stat=0 WHERE SID=%1 AND fDate=%2")
                          .arg(setup.sortId)
                          .arg(setup.month));
    return true;
}

struct WorkerLog
{
    std::map<QString, qint64> stats;
    QStringList errors;
    // kind -> lines of (key, field, value)
    std::vector<QStringList> lines;
};

WorkerLog readLog(const QString& path)
{
    WorkerLog log;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return log;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        const QStringList parts = in.readLine().split(QLatin1Char('\t'));
        if (parts.first() == QLatin1String("#stats")) {
            for (qsizetype i = 1; i < parts.size(); ++i) {
                const auto nv = parts.at(i).split(QLatin1Char('='));
                if (nv.size() == 2)
                    log.stats[nv.at(0)] = nv.at(1).toLongLong();
            }
        } else if (parts.first() == QLatin1String("#errortext") ||
                   parts.first() == QLatin1String("#error")) {
            log.errors << parts.mid(1).join(QLatin1Char(' '));
        } else if (parts.size() == 4) {
            log.lines.push_back(parts);
        }
    }
    return log;
}

// Each check prints one line; the failing ones count.
class Checks
{
public:
    void check(bool ok, const QString& what, const QString& detail = QString())
    {
        ++m_total;
        if (!ok)
            ++m_failed;
        out(QStringLiteral("  %1 %2%3\n")
                .arg(ok ? QStringLiteral("ok  ") : QStringLiteral("FAIL"), what,
                     detail.isEmpty() ? QString() : QStringLiteral(": ") + detail));
    }
    int total() const { return m_total; }
    int failed() const { return m_failed; }

private:
    int m_total = 0;
    int m_failed = 0;
};

// Compares the database with what the workers' logs say they did.
void verify(db::CADODatabase& database, const StressSetup& setup, int personsBefore,
            const std::map<int, double>& addBefore, const std::vector<WorkerLog>& logs,
            bool embedded, Checks& checks)
{
    const QString& table = setup.dataTable;
    std::set<int> deleted;
    std::map<int, double> added;                       // PID -> sum of amounts added
    std::map<int, std::map<int, QString>> lastAddress; // PID -> worker -> last address written
    std::map<int, std::map<int, QString>> lastSet;     // PID -> worker -> last value written
    std::set<int> months;
    int monthCreations = 0;
    QStringList items;
    for (int w = 0; w < int(logs.size()); ++w) {
        for (const QStringList& l : logs[w].lines) {
            const QString& kind = l.at(0);
            const int key = l.at(1).toInt();
            if (kind == QLatin1String("D"))
                deleted.insert(key);
            else if (kind == QLatin1String("A"))
                added[key] += l.at(3).toDouble();
            else if (kind == QLatin1String("P"))
                lastAddress[key][w] = l.at(3);
            else if (kind == QLatin1String("S"))
                lastSet[key][w] = l.at(3);
            else if (kind == QLatin1String("M")) {
                months.insert(key);
                ++monthCreations;
            } else if (kind == QLatin1String("I"))
                items << l.at(2);
        }
    }

    const int persons = number(database, QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase"));
    checks.check(
        persons == personsBefore - int(deleted.size()), QStringLiteral("persons left"),
        QStringLiteral("%1 = %2 - %3 deleted").arg(persons).arg(personsBefore).arg(deleted.size()));

    // Sums: every amount a worker reports as added is in the cell, none twice.
    int wrongSums = 0;
    QString firstWrong;
    db::CADORecordset rs(&database);
    rs.Open(QStringLiteral("SELECT PID, ISNULL([%1],0), [%2] FROM [%3] WHERE fDate=%4")
                .arg(setup.addItem, setup.setItem, table)
                .arg(setup.month));
    double total = 0;
    double expectedTotal = 0;
    std::map<int, QString> setNow;
    for (; rs.IsOpen() && !rs.IsEOF(); rs.MoveNext()) {
        const int pid = fieldInt(rs, 0);
        double now = 0;
        rs.GetFieldValue(1, now);
        setNow[pid] = QString::number(qRound64(fieldDouble(rs, 2)));
        const auto before = addBefore.find(pid);
        const double expected = (before == addBefore.end() ? 0 : before->second) +
                                (added.count(pid) ? added.at(pid) : 0);
        total += now;
        expectedTotal += expected;
        if (qAbs(now - expected) > 0.001) {
            if (firstWrong.isEmpty())
                firstWrong = QStringLiteral("PID %1 holds %2, the logs give %3")
                                 .arg(pid)
                                 .arg(now)
                                 .arg(expected);
            ++wrongSums;
        }
    }
    checks.check(wrongSums == 0,
                 QStringLiteral("sums of the added amounts recomputed from the edit logs"),
                 wrongSums ? QStringLiteral("%1 cells differ, %2").arg(wrongSums).arg(firstWrong)
                           : QStringLiteral("%1 in all").arg(total));

    // Last write wins: each overwritten cell holds the last value one of the workers wrote.
    int lost = 0;
    QString firstLost;
    for (const auto& [pid, byWorker] : lastSet) {
        bool found = false;
        for (const auto& [w, v] : byWorker)
            found = found || setNow[pid] == v;
        if (!found) {
            ++lost;
            if (firstLost.isEmpty())
                firstLost = QStringLiteral("PID %1 holds %2").arg(pid).arg(setNow[pid]);
        }
    }
    checks.check(lost == 0, QStringLiteral("overwritten wage cells hold one worker's last write"),
                 lost ? firstLost : QStringLiteral("%1 cells").arg(lastSet.size()));

    lost = 0;
    firstLost.clear();
    for (const auto& [pid, byWorker] : lastAddress) {
        if (deleted.count(pid))
            continue;
        const QString now =
            value(database, QStringLiteral("SELECT Address FROM qp_PsnBase WHERE PID=%1").arg(pid));
        bool found = false;
        for (const auto& [w, v] : byWorker)
            found = found || now == v;
        if (!found) {
            ++lost;
            if (firstLost.isEmpty())
                firstLost = QStringLiteral("PID %1 holds %2").arg(pid).arg(now);
        }
    }
    checks.check(lost == 0, QStringLiteral("edited addresses hold one worker's last write"),
                 lost ? firstLost : QStringLiteral("%1 persons").arg(lastAddress.size()));

    // Months: one per (sort, month), each with one row per member and no row without its month.
    checks.check(
        number(database, QStringLiteral("SELECT COUNT(*) FROM (SELECT SID, fDate FROM qp_WageTable "
                                        "GROUP BY SID, fDate HAVING COUNT(*) > 1) d")) == 0,
        QStringLiteral("no month twice"), QStringLiteral("%1 created").arg(months.size()));
    checks.check(int(months.size()) == monthCreations, QStringLiteral("each month created once"),
                 QStringLiteral("%1 creations reported for %2 months")
                     .arg(monthCreations)
                     .arg(months.size()));
    const int newMonths = number(
        database, QStringLiteral("SELECT COUNT(*) FROM qp_WageTable WHERE SID=%1 AND fDate>=%2")
                      .arg(setup.sortId)
                      .arg(setup.firstNewMonth));
    checks.check(newMonths == int(months.size()), QStringLiteral("every reported month is there"),
                 QStringLiteral("%1 in the table").arg(newMonths));
    checks.check(
        number(database,
               QStringLiteral("SELECT COUNT(*) FROM (SELECT PID, fDate FROM [%1] GROUP BY PID, "
                              "fDate HAVING COUNT(*) > 1) d")
                   .arg(table)) == 0,
        QStringLiteral("no person twice in a month"));
    checks.check(number(database, QStringLiteral(
                                      "SELECT COUNT(*) FROM [%1] w WHERE NOT EXISTS (SELECT 1 FROM "
                                      "qp_WageTable t WHERE t.SID=%2 AND t.fDate=w.fDate)")
                                      .arg(table)
                                      .arg(setup.sortId)) == 0,
                 QStringLiteral("no wage row without its month"));
    checks.check(number(database,
                        QStringLiteral("SELECT COUNT(*) FROM qp_WageTable t WHERE t.SID=%1 AND NOT "
                                       "EXISTS (SELECT 1 FROM [%2] w WHERE w.fDate=t.fDate)")
                            .arg(setup.sortId)
                            .arg(table)) == 0,
                 QStringLiteral("no month without rows"));

    // Persons: nothing left behind by a deletion.
    int orphans = 0;
    for (const char* t :
         {"qp_WagePsn", "qp_PsnAdj", "qp_PsnFiles", "qp_PsnRedeploy", "qp_PsnSortAlter"}) {
        orphans += number(
            database, QStringLiteral("SELECT COUNT(*) FROM %1 x WHERE NOT EXISTS (SELECT 1 FROM "
                                     "qp_PsnBase p WHERE p.PID=x.PID)")
                          .arg(QLatin1String(t)));
    }
    checks.check(orphans == 0, QStringLiteral("no orphaned rows of deleted persons"),
                 QStringLiteral("%1").arg(orphans));

    // Items: each reported item once in the catalogue, with its column.
    int missingItems = 0;
    for (const QString& caption : items) {
        const int rows = number(
            database,
            QStringLiteral("SELECT COUNT(*) FROM qp_Items WHERE TblName='%1' AND Alias=N'%2'")
                .arg(table, caption));
        const QString column = value(
            database, QStringLiteral("SELECT Name FROM qp_Items WHERE TblName='%1' AND Alias=N'%2'")
                          .arg(table, caption));
        db::CADORecordset probe(&database);
        if (rows != 1 ||
            !probe.Open(QStringLiteral("SELECT [%1] FROM [%2] WHERE 1=0").arg(column, table)))
            ++missingItems;
    }
    checks.check(missingItems == 0, QStringLiteral("every reported item once, with its column"),
                 QStringLiteral("%1 items").arg(items.size()));
    checks.check(
        number(database,
               QStringLiteral("SELECT COUNT(*) FROM (SELECT Alias FROM qp_Items WHERE TblName='%1' "
                              "GROUP BY Alias HAVING COUNT(*) > 1) d")
                   .arg(table)) == 0,
        QStringLiteral("no item caption twice"));

    // Failures are reported with their message, never lost silently.
    qint64 errors = 0;
    for (const WorkerLog& l : logs)
        errors += l.stats.count("errors") ? l.stats.at("errors") : 1;
    QStringList texts;
    for (const WorkerLog& l : logs)
        texts += l.errors;
    checks.check(errors == 0, QStringLiteral("no unexpected failures"),
                 texts.mid(0, 3).join(QStringLiteral(" | ")));
    if (embedded) {
        // Worker 3 holds the write lock longer than the others wait for it once.
        qint64 busy = 0;
        for (const WorkerLog& l : logs)
            busy += l.stats.count("busy") ? l.stats.at("busy") : 0;
        checks.check(busy > 0,
                     QStringLiteral("a lock wait that runs out says so (数据库正被其他工作站占用)"),
                     QStringLiteral("%1 times").arg(busy));
    }
}

int run(const QStringList& args)
{
    int seconds = 5;
    int persons = 40;
    QString connection;
    bool keep = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--seconds") && i + 1 < args.size())
            seconds = args.at(++i).toInt();
        else if (a == QLatin1String("--persons") && i + 1 < args.size())
            persons = args.at(++i).toInt();
        else if (a == QLatin1String("--database") && i + 1 < args.size())
            connection = args.at(++i);
        else if (a == QLatin1String("--keep"))
            keep = true;
        else {
            out(QStringLiteral("usage: orvane-concurrency run [--seconds N] [--persons N] "
                               "[--database CONNECTION] [--keep]\n"));
            return 2;
        }
    }
    if (seconds < 1 || persons < 10) {
        out(QStringLiteral("orvane-concurrency: --seconds at least 1, --persons at least 10\n"));
        return 2;
    }
    QTemporaryDir dir;
    dir.setAutoRemove(!keep);
    // A server database made here is dropped at the end (unless kept).
    struct ServerDatabase
    {
        QString name;
        ~ServerDatabase()
        {
            if (!name.isEmpty())
                testutil::pgadmin::dropDatabase(name);
        }
    } made;
    if (connection.isEmpty()) {
        if (testutil::onPostgres()) {
            // server::createDatabase makes the database itself; only a free name is chosen here.
            const QString name = testutil::pgadmin::uniqueName(QStringLiteral("cc"));
            connection = testutil::postgresConnection(name);
            if (!keep)
                made.name = name;
        } else {
            connection = dir.filePath(QStringLiteral("concurrency.db"));
        }
    }

    QElapsedTimer timer;
    timer.start();
    server::registerCoreProcedures();
    StressSetup setup;
    QString error;
    if (!prepare(connection, persons, setup, &error)) {
        out(QStringLiteral("orvane-concurrency: preparing %1: %2\n").arg(connection, error));
        return 1;
    }
    db::CADODatabase database;
    if (!database.Open(connection)) {
        out(QStringLiteral("orvane-concurrency: %1\n").arg(database.GetLastErrorString()));
        return 1;
    }
    const int personsBefore = number(database, QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase"));
    std::map<int, double> addBefore;
    {
        db::CADORecordset rs(&database);
        rs.Open(QStringLiteral("SELECT PID, ISNULL([%1],0) FROM [%2] WHERE fDate=%3")
                    .arg(setup.addItem, setup.dataTable)
                    .arg(setup.month));
        for (; rs.IsOpen() && !rs.IsEOF(); rs.MoveNext())
            addBefore[fieldInt(rs, 0)] = fieldDouble(rs, 1);
    }
    database.Close();
    out(QStringLiteral(
            "database %1: %2 persons, sort %3 (%4), month %5, items %6 and %7; prepared in %8 ms\n")
            .arg(connection)
            .arg(personsBefore)
            .arg(setup.sortId)
            .arg(setup.dataTable)
            .arg(setup.month)
            .arg(setup.addItem, setup.setItem)
            .arg(timer.restart()));

    static const char* const roleNames[kWorkers] = {"editor", "editor+deleter", "months+items",
                                                    "recalc+months+items"};
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int w = 0; w < kWorkers; ++w) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QCoreApplication::applicationFilePath(),
                 QStringList{QStringLiteral("worker"), QString::number(w), QString::number(seconds),
                             dir.filePath(QStringLiteral("worker%1.log").arg(w))} +
                     setup.toArguments());
        workers.push_back(std::move(p));
    }
    bool allFinished = true;
    for (int w = 0; w < kWorkers; ++w) {
        const bool done = workers[w]->waitForFinished((seconds + 180) * 1000);
        if (!done) {
            workers[w]->kill();
            workers[w]->waitForFinished(5000);
        }
        allFinished = allFinished && done && workers[w]->exitStatus() == QProcess::NormalExit &&
                      workers[w]->exitCode() == 0;
    }
    const qint64 ranMs = timer.restart();

    std::vector<WorkerLog> logs;
    for (int w = 0; w < kWorkers; ++w)
        logs.push_back(readLog(dir.filePath(QStringLiteral("worker%1.log").arg(w))));
    out(QStringLiteral("%1 workers for %2 s (%3 ms wall):\n")
            .arg(kWorkers)
            .arg(seconds)
            .arg(ranMs));
    qint64 ops = 0;
    qint64 conflicts = 0;
    for (int w = 0; w < kWorkers; ++w) {
        auto get = [&](const char* n) {
            const auto it = logs[w].stats.find(QString::fromLatin1(n));
            return it == logs[w].stats.end() ? qint64(0) : it->second;
        };
        ops += get("operations");
        conflicts += get("deleted_conflicts") + get("duplicate_conflicts") + get("busy");
        out(QStringLiteral(
                "  worker %1 %2: %3 operations, %4 changes, %5 deleted-row conflicts (133), "
                "%6 already-there conflicts, %7 lock waits ran out, %8 errors, %9 month "
                "calculations\n")
                .arg(w)
                .arg(QLatin1String(roleNames[w]))
                .arg(get("operations"))
                .arg(get("changes"))
                .arg(get("deleted_conflicts"))
                .arg(get("duplicate_conflicts"))
                .arg(get("busy"))
                .arg(get("errors"))
                .arg(get("calculations")));
    }

    Checks checks;
    checks.check(allFinished, QStringLiteral("all workers finished normally"));
    if (!database.Open(connection)) {
        out(QStringLiteral("orvane-concurrency: %1\n").arg(database.GetLastErrorString()));
        return 1;
    }
    const bool embedded = database.backendKind() == db::BackendKind::Sqlite;
    verify(database, setup, personsBefore, addBefore, logs, embedded, checks);
    database.Close();
    out(QStringLiteral("%1 operations, %2 conflicts detected, %3 of %4 checks passed\n")
            .arg(ops)
            .arg(conflicts)
            .arg(checks.total() - checks.failed())
            .arg(checks.total()));
    if (keep)
        out(QStringLiteral("kept: %1 and the logs in %2\n").arg(connection, dir.path()));
    return checks.failed() == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("TalverySoft"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvane"));
    QStringList args = app.arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (command == QLatin1String("run"))
        return run(args);
    if (command == QLatin1String("worker") && args.size() >= 3) {
        const int index = args.at(0).toInt();
        const int seconds = args.at(1).toInt();
        const QString logFile = args.at(2);
        QString error;
        const StressSetup setup = StressSetup::fromArguments(args.mid(3), &error);
        if (!error.isEmpty() || index < 0 || index >= kWorkers) {
            out(QStringLiteral("orvane-concurrency worker: %1\n").arg(error));
            return 2;
        }
        return runWorker(setup, StressRole(index), index, seconds, logFile);
    }
    out(QStringLiteral("usage: orvane-concurrency run [--seconds N] [--persons N] [--database "
                       "CONNECTION] [--keep]\n"));
    return 2;
}
