// The month calculation on 100,000 persons x 40 items (30 formulas, 5 standard-table items, 5
// inputs): the whole recalculation with its parts (read, evaluate, write), the process's peak
// memory, and for comparison the time per person when every formula is substituted and parsed
// anew for each person (on a sample of persons).
//
//     bench_wagecalc [--db FILE]   (default: a demo database of 100,000 persons made in a
//                                   temporary folder, with the bench sort added; a FILE given
//                                   gets the bench sort added when it lacks it)
#include "benchdemo.h"

#include "core/catalog.h"
#include "core/sqltext.h"
#include "db/cadocommand.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/resultset.h"
#include "payroll/wagecalc.h"
#include "payroll/wagecellvalue.h"
#include "payroll/wagescriptsession.h"
#include "script/formula.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

using namespace orvane;

namespace {

constexpr int kPersons = 100000;
constexpr int kMonth = 202612;
constexpr int kSample = 2000; // persons of the reparse comparison
const QString kSortTitle = QStringLiteral("基准测试工资");
QString g_dbPath;

void exec(db::CADODatabase& database, const QString& sql)
{
    if (!database.Execute(sql))
        qFatal("%s: %s", qPrintable(sql.left(160)), qPrintable(database.GetErrorDescription()));
}

QString code(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// "CASE (PID+salt)%n WHEN 0 THEN v0 ... END": a value that varies from person to person.
QString byPerson(const QStringList& values, int salt = 0)
{
    QString sql = QStringLiteral("CASE (PID+%1)%%2").arg(salt).arg(values.size());
    sql.replace(QStringLiteral("%%"), QStringLiteral("%"));
    for (int i = 0; i < values.size(); ++i)
        sql += QStringLiteral(" WHEN %1 THEN %2").arg(i).arg(values[i]);
    return sql + QStringLiteral(" END");
}

// The bench sort: two reference items (grade, step), 5 inputs, 5 standard-table items on three
// tables, 30 formulas that read inputs, amounts and earlier formulas; every person a member; the
// month created with inputs and codes filled.
int createBenchSort(db::CADODatabase& database, int operatorId)
{
    core::Catalog catalog(database);
    exec(database, QStringLiteral("EXEC qp_AddWageSort @Name=N'%1', @Descr=N''").arg(kSortTitle));
    const int sort = catalog.integer(
        QStringLiteral("SELECT ID FROM qp_Table WHERE nType=6 AND Title='%1'").arg(kSortTitle));
    const QString table = catalog.wageSortTable(sort);
    const auto addDictionary = [&](const QString& title, int codes) {
        exec(database, QStringLiteral("EXEC qp_AddDictSort 0,1,N'%1'").arg(title));
        const QString dict =
            catalog.text(QStringLiteral("SELECT DictId FROM qp_Dict WHERE Title='%1'").arg(title));
        for (int i = 1; i <= codes; ++i)
            exec(database, QStringLiteral("EXEC qp_AddDictItem 0,1,'%1','%2',N'%3%4',''")
                               .arg(dict, code(i), title)
                               .arg(i));
        return dict;
    };
    const auto addItem = [&](const QString& alias, int dataType, const QString& idRef, int property,
                             int stdTable, int decimals, int choice, const QString& fexp) {
        exec(database, QStringLiteral("EXEC qp_AddDBTableWageItem %1,1,0,N'%2',%3,'%4',%5,0,%6,"
                                      "%7,%8,N'%9',N''")
                           .arg(sort)
                           .arg(alias)
                           .arg(dataType)
                           .arg(idRef)
                           .arg(property)
                           .arg(stdTable)
                           .arg(decimals)
                           .arg(choice)
                           .arg(core::sqlEscape(fexp)));
        return catalog.text(
            QStringLiteral("SELECT Name FROM qp_Items WHERE iSort=1 AND Alias='%1'").arg(alias));
    };
    const QString gradeDict = addDictionary(QStringLiteral("基准岗级"), 8);
    const QString stepDict = addDictionary(QStringLiteral("基准薪档"), 10);
    const QString grade = addItem(QStringLiteral("基准岗级"), 3, gradeDict, 0, 0, 0, 0, {});
    const QString step = addItem(QStringLiteral("基准薪档"), 3, stepDict, 0, 0, 0, 0, {});

    const auto addStdTable = [&](const QString& name, bool twoDims) {
        db::CADOCommand cmd(&database, QStringLiteral("qp_AddStdDBTable"));
        cmd.AddParameter(QStringLiteral("Return"), db::adInteger, db::adParamReturnValue, 4, 0);
        cmd.AddParameter(QStringLiteral("STDName"), db::adVarChar, db::adParamInput, 50, name);
        cmd.AddParameter(QStringLiteral("SID"), db::adInteger, db::adParamInput, 4, sort);
        cmd.AddParameter(QStringLiteral("STDDim"), db::adInteger, db::adParamInput, 4,
                         twoDims ? 2 : 1);
        cmd.AddParameter(QStringLiteral("STDTable"), db::adVarChar, db::adParamOutput, 50,
                         QString());
        QStringList rows;
        QStringList cols;
        for (int i = 1; i <= 10; ++i)
            rows << code(i);
        for (int i = 1; i <= 8; ++i)
            cols << code(i);
        const QStringList texts{
            QStringLiteral("DictRow"),   twoDims ? stepDict : gradeDict,
            QStringLiteral("FldRow"),    twoDims ? step : grade,
            QStringLiteral("TblRow"),    table,
            QStringLiteral("DictCol"),   twoDims ? gradeDict : QString(),
            QStringLiteral("FldCol"),    twoDims ? grade : QString(),
            QStringLiteral("TblCol"),    twoDims ? table : QString(),
            QStringLiteral("Descr"),     QString(),
            QStringLiteral("RowValues"), (twoDims ? rows : cols).join(QLatin1Char(',')),
            QStringLiteral("ColValues"), twoDims ? cols.join(QLatin1Char(',')) : QString()};
        for (int i = 0; i + 1 < texts.size(); i += 2)
            cmd.AddParameter(texts[i], db::adVarChar, db::adParamInput, 100, texts[i + 1]);
        cmd.AddParameter(QStringLiteral("NewID"), db::adInteger, db::adParamOutput, 4, 0);
        if (!cmd.Execute() || cmd.GetParameter(QStringLiteral("Return")).GetValue().toInt() != 0)
            qFatal("standard table: %s", qPrintable(cmd.GetErrorDescription()));
        const int id = cmd.GetParameter(QStringLiteral("NewID")).GetValue().toInt();
        const QString data = cmd.GetParameter(QStringLiteral("STDTable")).GetValue().toString();
        if (twoDims) {
            for (int s = 1; s <= 10; ++s) {
                QStringList sets;
                for (int g = 1; g <= 8; ++g)
                    sets << QStringLiteral("c%1=%2").arg(code(g)).arg(2600 + g * 450 + s * 120);
                exec(database, QStringLiteral("UPDATE [%1] SET %2 WHERE DictValue='%3'")
                                   .arg(data, sets.join(QLatin1Char(',')), code(s)));
            }
        } else {
            exec(database,
                 QStringLiteral("UPDATE [%1] SET Jine=300+CAST(DictValue AS INT)*215.5").arg(data));
        }
        return id;
    };
    const int baseTable = addStdTable(QStringLiteral("基准基本工资表"), true);
    const int postTable = addStdTable(QStringLiteral("基准岗位津贴表"), false);

    QStringList inputs;
    for (const char* alias :
         {"基准工龄", "基准绩效系数", "基准加班小时", "基准事假天数", "基准其他扣款"})
        inputs << addItem(QString::fromUtf8(alias), 0, {}, 0, 0, 2, 0, {});
    QStringList amounts;
    for (int i = 0; i < 5; ++i)
        amounts << addItem(QStringLiteral("基准标准%1").arg(i + 1), 0, {}, 2,
                           i % 2 == 0 ? baseTable : postTable, 2, i == 4 ? 1 : 0, {});
    QStringList formulas;
    const auto ref = [](const QString& name) { return QLatin1Char('{') + name + QLatin1Char('}'); };
    for (int i = 0; i < 30; ++i) {
        QString f;
        switch (i % 6) {
        case 0:
            f = ref(amounts[0]) + QStringLiteral("+") + ref(amounts[1]) + QStringLiteral("*0.5");
            break;
        case 1:
            f = ref(amounts[2]) + QStringLiteral("*0.3*") + ref(inputs[1]);
            break;
        case 2:
            f = QStringLiteral("(%1+%2)/21.75/8*1.5*%3")
                    .arg(ref(amounts[0]), ref(amounts[3]), ref(inputs[2]));
            break;
        case 3:
            f = QStringLiteral("MinOf(%1,30)*30+IIf(%2>2,%3,0)")
                    .arg(ref(inputs[0]), ref(inputs[3]), ref(amounts[4]));
            break;
        case 4:
            f = QStringLiteral("ProRata(%1,%2,21.75)")
                    .arg(ref(formulas.value(i - 4, amounts[0])), ref(inputs[3]));
            break;
        default:
            f = QStringLiteral("MaxOf(%1+%2-%3,0)")
                    .arg(ref(formulas[i - 1]), ref(formulas[i - 2]), ref(inputs[4]));
            break;
        }
        if (i == 28)
            f = QStringLiteral("IncomeTax(%1,5000)").arg(ref(formulas[i - 1]));
        if (i == 29)
            f = QStringLiteral("%1-%2").arg(ref(formulas[27]), ref(formulas[28]));
        formulas << addItem(QStringLiteral("基准公式%1").arg(i + 1), 0, {}, 1, 0, i % 4,
                            i % 7 == 6 ? 2 : 0, f);
    }

    exec(database, QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) SELECT %1,PID,Ord FROM "
                                  "qp_PsnBase")
                       .arg(sort));
    exec(database, QStringLiteral("qp_RefreshWagePsnDefaultOrder %1,0").arg(sort));
    exec(database,
         QStringLiteral("EXEC qp_CreateWageTable %1,%2,%3").arg(operatorId).arg(sort).arg(kMonth));
    QStringList grades;
    QStringList steps;
    for (int i = 1; i <= 8; ++i)
        grades << QStringLiteral("'%1'").arg(code(i));
    for (int i = 1; i <= 10; ++i)
        steps << QStringLiteral("'%1'").arg(code(i));
    exec(database, QStringLiteral("UPDATE [") + table + QStringLiteral("] SET [") + grade +
                       QStringLiteral("]=") + byPerson(grades) + QStringLiteral(",[") + step +
                       QStringLiteral("]=") + byPerson(steps, 3) + QStringLiteral(",[") +
                       inputs[0] + QStringLiteral("]=(PID*7)%35,[") + inputs[1] +
                       QStringLiteral("]=") + byPerson({"0.8", "1.0", "1.1", "1.25"}) +
                       QStringLiteral(",[") + inputs[2] + QStringLiteral("]=") +
                       byPerson({"0", "4", "8", "12.5"}, 1) + QStringLiteral(",[") + inputs[3] +
                       QStringLiteral("]=") + byPerson({"0", "0", "1", "2.5", "3"}, 2) +
                       QStringLiteral(",[") + inputs[4] + QStringLiteral("]=") +
                       byPerson({"0", "50", "120.35"}, 5) + QStringLiteral(" WHERE fDate=") +
                       QString::number(kMonth));
    return sort;
}

struct Fixture
{
    QTemporaryDir dir;
    db::CADODatabase database;
    int sort = 0;
    std::unique_ptr<payroll::WageScriptSession> session;

    Fixture()
    {
        const QString path =
            bench::demoDatabase(g_dbPath, dir, QStringLiteral("calc.db"), kPersons);
        if (!database.Open(path))
            qFatal("cannot open %s", qPrintable(database.GetLastErrorString()));
        core::Catalog catalog(database);
        sort = catalog.integer(
            QStringLiteral("SELECT ID FROM qp_Table WHERE nType=6 AND Title='%1'").arg(kSortTitle));
        if (sort == 0) {
            QElapsedTimer clock;
            clock.start();
            database.BeginTransaction();
            sort = createBenchSort(
                database, catalog.integer(QStringLiteral("SELECT MIN(UserID) FROM qp_Users")));
            database.CommitTransaction();
            qInfo("bench sort %d made in %lld ms", sort, clock.elapsed());
        }
        script::WageContext context;
        context.operatorName = "admin";
        session = std::make_unique<payroll::WageScriptSession>(database, context);
        if (!session->reset())
            qFatal("the function library does not load");
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_RecalculateMonth(benchmark::State& state)
{
    Fixture& f = fixture();
    payroll::WageCalculator calculator(f.database, *f.session);
    payroll::WageViewFilter filter;
    filter.sortId = f.sort;
    filter.fDate = kMonth;
    payroll::WageCalcResult result;
    for (auto _ : state) {
        result = calculator.calculateMonth(filter);
        if (!result.ok || !result.failures.empty())
            state.SkipWithError(qPrintable(result.error + result.failureMessages().join(' ')));
    }
    state.counters["persons"] = result.persons;
    state.counters["items"] = result.items;
    state.counters["cells"] = double(result.cellsWritten);
    state.counters["read_ms"] = double(result.readMs);
    state.counters["evaluate_ms"] = double(result.evaluateMs);
    state.counters["write_ms"] = double(result.writeMs);
    state.counters["us_per_person"] = double(result.readMs + result.evaluateMs + result.writeMs) *
                                      1000.0 / std::max(1, result.persons);
    state.counters["peak_MB"] = bench::peakMemoryMb();
}
BENCHMARK(BM_RecalculateMonth)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every formula substituted with the person's values and parsed anew, person by person: the
// cost the compiled formulas avoid (evaluation only, nothing written).
void BM_ReparsePerPerson(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString table = payroll::WageViewFilter::dataTable(f.database, f.sort);
    db::ResultSet rows;
    db::BackendError error;
    f.database.runQuery(QStringLiteral("SELECT TOP %1 * FROM [%2] WHERE fDate=%3")
                            .arg(kSample)
                            .arg(table)
                            .arg(kMonth),
                        rows, false, error);
    db::CADORecordset items(&f.database);
    items.Open(QStringLiteral("SELECT FExp FROM qp_Items WHERE UPPER(TblName)='%1' AND "
                              "iProperty=1 ORDER BY OrdF")
                   .arg(table.toUpper()));
    QStringList formulas;
    for (; !items.IsEOF(); items.MoveNext())
        formulas << items.GetFieldString(QStringLiteral("FExp"));
    static const QRegularExpression placeholder(QStringLiteral("\\{([^{}]*)\\}"));
    script::Variant result;
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state) {
        for (int r = 0; r < rows.rowCount(); ++r) {
            for (const QString& fexp : formulas) {
                std::vector<std::string> names;
                std::vector<script::Variant> values;
                for (auto m = placeholder.globalMatch(fexp); m.hasNext();) {
                    const QString name = m.next().captured(1);
                    const int column = rows.columnIndex(name);
                    names.push_back(name.toStdString());
                    values.push_back(payroll::wageCellVariant(
                        rows.at(r, column), rows.columns[size_t(column)].adoType));
                }
                std::string text;
                script::Formula::substitute(fexp.toStdString(), names, values, text);
                benchmark::DoNotOptimize(f.session->engine().evaluate(text, result));
            }
        }
    }
    state.counters["persons"] = rows.rowCount();
    state.counters["us_per_person"] =
        double(clock.nsecsElapsed()) / 1000.0 / std::max(1, rows.rowCount()) /
        double(std::max<benchmark::IterationCount>(1, state.iterations()));
}
BENCHMARK(BM_ReparsePerPerson)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    g_dbPath = bench::databaseArgument(argc, argv);
    QCoreApplication application(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
