#include "payroll/wagecalcrun.h"

#include "payroll/wagecellvalue.h"
#include "payroll/wagescriptsession.h"

#include "script/conversions.h"
#include "script/formula.h"
#include "script/scriptengine.h"
#include "script/wagecontext.h"

#include "db/backend.h"
#include "db/cadodatabase.h"
#include "db/resultset.h"
#include "db/transaction.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace orvane::payroll {

namespace {

// The tables a formula's "{NAME}" can name, in the order the view's FROM clause joins them: the
// first table with a column of that name gives its value.
const char* const kJoinedTables[] = {"qp_PsnBase", "qp_Dept", "qp_PsnSort"};

// The engine's text for a name no column of the selection has.
const char* const kNoSuchColumn =
    "Item cannot be found in the collection corresponding to the requested name or ordinal.";

QString text(const script::Variant& value)
{
    if (value.isNull() || value.isEmpty() || value.isObject() || value.isArray())
        return QString();
    return QString::fromStdU16String(script::toString(value));
}

// Functions whose value depends on what the database holds at the moment they are called.
bool readsDatabase(const QString& code)
{
    static const QSet<QString> names{QStringLiteral("COUNT"),       QStringLiteral("SUM"),
                                     QStringLiteral("AVG"),         QStringLiteral("MAX"),
                                     QStringLiteral("MIN"),         QStringLiteral("GETSALARY"),
                                     QStringLiteral("GETPRESALARY")};
    bool inString = false;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= code.size(); ++i) {
        const QChar c = i < code.size() ? code[i] : QChar(u' ');
        if (inString) {
            if (c == u'"')
                inString = false;
            continue;
        }
        const bool word = c.isLetterOrNumber() || c == u'_';
        if (word && start < 0)
            start = i;
        if (!word && start >= 0) {
            if (names.contains(code.mid(start, i - start).toUpper()))
                return true;
            start = -1;
        }
        if (c == u'"')
            inString = true;
        else if (c == u'\'') // comment to the end of the line
            while (i + 1 < code.size() && code[i + 1] != u'\n')
                ++i;
    }
    return false;
}

struct CalcItem
{
    QString name;
    QString caption;
    int decimals = 0;
    int choice = 0;
    QString formula;
    int stdTable = 0;
    int property = 0;
    int column = -1; // memory column of the item's own cell
    bool readsDatabase = false;
};

struct MemoryColumn
{
    QString name;
    std::vector<script::Variant> values;
};

// A standard table held in memory: its amounts by row code and the persons' codes.
struct StdTable
{
    struct Dimension
    {
        int memoryColumn = -1;         // codes in the month's own rows (current values)
        QHash<int, QString> codeByPsn; // codes read once from another table
    };
    bool valid = false;
    bool twoDimensional = false;
    Dimension row;
    Dimension col;
    QHash<QString, int> rowByCode;          // upper-cased DictValue -> data row
    QHash<QString, int> amountColumnByName; // upper-cased column name -> result column
    db::ResultSet data;
};

// COUNT and SUM/AVG/MAX/MIN of the run's own selection, answered from a cache until the run
// writes the aggregated item's column; everything else goes to the database.
class CachedAggregates : public script::WageDataSource
{
public:
    CachedAggregates(script::WageDataSource& base, const script::WageContext& context,
                     QHash<QString, QString> columnByCaption)
        : m_base(base), m_sortId(context.sortId), m_fromWhere(context.fromWhere),
          m_columnByCaption(std::move(columnByCaption))
    {
    }

    void invalidate(const QString& column)
    {
        for (auto it = m_values.begin(); it != m_values.end();) {
            if (it->second.column == column)
                it = m_values.erase(it);
            else
                ++it;
        }
    }

    script::Variant count(const script::WageContext& context) override
    {
        if (!sameSelection(context))
            return m_base.count(context);
        if (!m_count)
            m_count = m_base.count(context);
        return *m_count;
    }

    script::Variant aggregate(const script::WageContext& context, const std::string& function,
                              const std::string& itemCaption) override
    {
        const QString caption = QString::fromStdString(itemCaption).trimmed().toUpper();
        const auto column = m_columnByCaption.constFind(caption);
        if (!sameSelection(context) || column == m_columnByCaption.constEnd())
            return m_base.aggregate(context, function, itemCaption);
        const std::string key = function + '\x1f' + caption.toStdString();
        auto it = m_values.find(key);
        if (it == m_values.end())
            it = m_values
                     .emplace(key, Entry{*column, m_base.aggregate(context, function, itemCaption)})
                     .first;
        return it->second.value;
    }

    script::Variant salary(const std::string& personNumber, const std::string& sortTitle, int fDate,
                           const std::string& itemCaption) override
    {
        return m_base.salary(personNumber, sortTitle, fDate, itemCaption);
    }

    script::Variant previousSalary(const std::string& personNumber, const std::string& sortTitle,
                                   int fDate, int periodsBack,
                                   const std::string& itemCaption) override
    {
        return m_base.previousSalary(personNumber, sortTitle, fDate, periodsBack, itemCaption);
    }

private:
    struct Entry
    {
        QString column;
        script::Variant value;
    };

    bool sameSelection(const script::WageContext& context) const
    {
        return context.sortId == m_sortId && context.fromWhere == m_fromWhere;
    }

    script::WageDataSource& m_base;
    int m_sortId;
    std::string m_fromWhere;
    QHash<QString, QString> m_columnByCaption; // upper-cased caption -> column name
    std::optional<script::Variant> m_count;
    std::map<std::string, Entry> m_values;
};

// Thrown inside the run when reading or writing fails; the transaction rolls back.
struct DataFailure
{
    QString text;
};

// Thrown when the progress callback asks to stop; the transaction rolls back.
struct Cancelled
{
};

// Persons read or written between two progress reports.
constexpr int kProgressEvery = 4096;

class WageCalcRun
{
public:
    WageCalcRun(db::CADODatabase& database, WageScriptSession& session,
                const WageCalcRequest& request)
        : m_db(database), m_session(session), m_request(request)
    {
    }

    WageCalcResult run(const WageCalculator::Progress& progress)
    {
        QElapsedTimer clock;
        clock.start();
        m_progress = &progress;
        db::Transaction transaction(m_db);
        try {
            if (!transaction.isActive())
                throw DataFailure{m_db.GetErrorDescription()};
            report(WageCalcStep::Phase::Reading, 0, 0);
            load();
            m_result.items = int(m_items.size());
            m_result.persons = personCount();
            m_result.readMs = clock.restart();
            for (size_t i = 0; i < m_items.size(); ++i) {
                report(WageCalcStep{WageCalcStep::Phase::Calculating, m_items[i].caption,
                                    int(i) + 1, int(m_items.size()), 0, personCount()});
                calculate(m_items[i]);
            }
            QElapsedTimer writeClock;
            writeClock.start();
            m_finalWrite = true;
            flush();
            if (!transaction.commit())
                throw DataFailure{m_db.GetErrorDescription()};
            m_writeMs += writeClock.elapsed();
        } catch (const DataFailure& failure) {
            transaction.rollback();
            m_result.ok = false;
            m_result.error = failure.text;
            m_result.cellsWritten = 0;
        } catch (const Cancelled&) {
            transaction.rollback();
            m_result.ok = false;
            m_result.cancelled = true;
            m_result.error = QStringLiteral("核算已取消，数据未修改");
            m_result.cellsWritten = 0;
            m_result.failures.clear();
        }
        m_result.writeMs = m_writeMs;
        m_result.evaluateMs = std::max<qint64>(0, clock.elapsed() - m_writeMs);
        return m_result;
    }

private:
    void report(const WageCalcStep& step)
    {
        if (m_progress && *m_progress && !(*m_progress)(step))
            throw Cancelled{};
    }
    void report(WageCalcStep::Phase phase, int done, int total)
    {
        report(WageCalcStep{phase, QString(), 0, int(m_items.size()), done, total});
    }

    int personCount() const { return m_columns.empty() ? 0 : int(m_columns[0].values.size()); }

    db::ResultSet query(const QString& sql)
    {
        db::ResultSet rows;
        db::BackendError error;
        if (!m_db.runQuery(sql, rows, false, error))
            throw DataFailure{error.description.isEmpty() ? m_db.GetErrorDescription()
                                                          : error.description};
        return rows;
    }

    QStringList columnsOf(const QString& table)
    {
        const db::ResultSet rows = query(QStringLiteral("SELECT * FROM [%1] WHERE 1=0").arg(table));
        QStringList names;
        for (int c = 0; c < rows.visibleColumns; ++c)
            names << rows.columns[size_t(c)].name;
        return names;
    }

    // The memory column for a name of the selection ("" qualified by the first table that has
    // it); -1 when no joined table has it.
    int memoryColumn(const QString& name)
    {
        const QString key = name.toUpper();
        if (const auto it = m_columnIndex.constFind(key); it != m_columnIndex.constEnd())
            return *it;
        const auto owner = m_ownerOf.constFind(key);
        if (owner == m_ownerOf.constEnd())
            return -1;
        m_selectList << QStringLiteral("[%1].[%2]").arg(owner->first, owner->second);
        m_columns.push_back(MemoryColumn{owner->second, {}});
        const int index = int(m_columns.size()) - 1;
        m_columnIndex.insert(key, index);
        return index;
    }

    void load()
    {
        m_table = WageViewFilter::dataTable(m_db, m_request.sortId);
        if (m_table.isEmpty())
            throw DataFailure{QStringLiteral("选择的薪资帐套被删除！")};
        for (const QString& table :
             QStringList{m_table, QStringLiteral("qp_PsnBase"), QStringLiteral("qp_Dept"),
                         QStringLiteral("qp_PsnSort")}) {
            for (const QString& column : columnsOf(table)) {
                if (!m_ownerOf.contains(column.toUpper()))
                    m_ownerOf.insert(column.toUpper(), {table, column});
            }
        }
        // The key and the person's number and name come first.
        m_selectList << QStringLiteral("[%1].[ID]").arg(m_table)
                     << QStringLiteral("[%1].[PID]").arg(m_table)
                     << QStringLiteral("[qp_PsnBase].[Number]")
                     << QStringLiteral("[qp_PsnBase].[Name]");
        for (const char* name : {"#ID", "#PID", "#NUMBER", "#NAME"})
            m_columns.push_back(MemoryColumn{QString::fromLatin1(name), {}});
        loadItems();
        loadRows();
        for (CalcItem& item : m_items) {
            if (item.property == 2 && !m_stdTables.contains(item.stdTable))
                m_stdTables.insert(item.stdTable, loadStdTable(item.stdTable));
        }
    }

    void loadItems()
    {
        const QString sql =
            QStringLiteral("SELECT Name,%1iDec,iChoice,FExp,StdTblID,iProperty FROM qp_Items "
                           "WHERE ((UPPER(TblName)='%2' AND Active=1 AND iDataType=0) AND "
                           "(iProperty=1 OR iProperty=2)) ORDER BY OrdF")
                .arg(m_request.withCaptions ? QStringLiteral("Alias,") : QString(),
                     m_table.toUpper());
        const db::ResultSet rows = query(sql);
        const int captionColumn = rows.columnIndex(QStringLiteral("Alias"));
        const bool libraryReadsDatabase = readsDatabase(WageScriptSession::library(m_db));
        for (int r = 0; r < rows.rowCount(); ++r) {
            CalcItem item;
            item.name = rows.value(r, QStringLiteral("Name")).toString();
            item.caption = captionColumn >= 0 ? rows.at(r, captionColumn).toString() : item.name;
            item.decimals = rows.value(r, QStringLiteral("iDec")).toInt();
            item.choice = rows.value(r, QStringLiteral("iChoice")).toInt();
            item.formula = rows.value(r, QStringLiteral("FExp")).toString();
            item.stdTable = rows.value(r, QStringLiteral("StdTblID")).toInt();
            item.property = rows.value(r, QStringLiteral("iProperty")).toInt();
            item.column = memoryColumn(item.name);
            if (item.column < 0)
                throw DataFailure{QStringLiteral("薪资表中没有项目'%1'的列").arg(item.caption)};
            item.readsDatabase =
                item.property == 1 && (libraryReadsDatabase || readsDatabase(item.formula));
            m_items.push_back(item);
        }
        // Every formula is compiled once; its placeholders become memory columns.
        script::ScriptEngine& engine = m_session.engine();
        m_formulas.resize(m_items.size());
        m_slots.resize(m_items.size());
        m_compileErrors.resize(m_items.size());
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (m_items[i].property != 1)
                continue;
            if (!engine.compile(m_items[i].formula.toStdString(), m_formulas[i])) {
                m_compileErrors[i] = QString::fromStdString(engine.lastError().description);
                continue;
            }
            for (const std::string& name : m_formulas[i].names())
                m_slots[i].push_back(memoryColumn(QString::fromStdString(name)));
        }
        // Standard-table codes kept in the month's own rows are read from memory.
        for (const CalcItem& item : m_items) {
            if (item.property == 2 && !m_stdDefinitions.contains(item.stdTable))
                m_stdDefinitions.insert(
                    item.stdTable,
                    query(QStringLiteral("SELECT STDDim,STDTable,FldRow,TblRow,FldCol,TblCol "
                                         "FROM qp_WageStdTable WHERE id=%1")
                              .arg(item.stdTable)));
        }
        for (const db::ResultSet& def : std::as_const(m_stdDefinitions)) {
            if (def.rowCount() == 0)
                continue;
            for (const int c : {2, 4}) {
                if (def.at(0, c + 1).toString().compare(m_table, Qt::CaseInsensitive) == 0)
                    memoryColumn(def.at(0, c).toString());
            }
        }
    }

    void loadRows()
    {
        const QString fromWhere = WageViewFilter::fromClause(m_table) + m_request.whereText;
        const db::ResultSet count = query(QStringLiteral("SELECT COUNT(*)") + fromWhere);
        const size_t expected = count.rowCount() > 0 ? size_t(count.at(0, 0).toLongLong()) : 0;
        for (MemoryColumn& column : m_columns)
            column.values.reserve(expected);
        m_keys.reserve(expected);
        // Rows are taken one at a time into the columns: the selection is never held twice.
        std::vector<db::ColumnInfo> columns;
        db::BackendError error;
        bool cancelled = false; // the row callback must not throw through the backend
        const bool ok = m_db.runQueryRows(
            QStringLiteral("SELECT ") + m_selectList.join(QLatin1Char(',')) + fromWhere +
                QLatin1Char(' ') + WageViewFilter::orderBy(m_table),
            columns,
            [&](const QVariant* row) {
                m_keys.push_back(row[0]);
                for (size_t c = 0; c < m_columns.size(); ++c)
                    m_columns[c].values.push_back(wageCellVariant(row[c], columns[c].adoType));
                if (m_keys.size() % kProgressEvery == 0) {
                    try {
                        report(WageCalcStep::Phase::Reading, int(m_keys.size()), int(expected));
                    } catch (const Cancelled&) {
                        cancelled = true;
                        return false;
                    }
                }
                return true;
            },
            error);
        if (cancelled)
            throw Cancelled{};
        if (!ok)
            throw DataFailure{error.description};
        m_dirty.assign(m_columns.size(), {});
    }

    // The person's codes of a dimension, from the month's rows in memory or read once.
    StdTable::Dimension loadDimension(const QString& table, const QString& field)
    {
        StdTable::Dimension dim;
        if (table.isEmpty() || field.isEmpty())
            return dim;
        if (table.compare(m_table, Qt::CaseInsensitive) == 0) {
            dim.memoryColumn = memoryColumn(field);
            return dim;
        }
        const bool personnel = table.compare(QLatin1String("qp_PsnBase"), Qt::CaseInsensitive) == 0;
        db::ResultSet rows;
        db::BackendError error;
        const QString sql = personnel ? QStringLiteral("SELECT PID,[%1] FROM qp_PsnBase").arg(field)
                                      : QStringLiteral("SELECT PID,[%1] FROM [%2] WHERE fDate=%3")
                                            .arg(field, table)
                                            .arg(m_request.fDate);
        // A dimension whose field cannot be read matches no row, as the lookup then finds none.
        if (!m_db.runQuery(sql, rows, false, error))
            return dim;
        for (int r = 0; r < rows.rowCount(); ++r) {
            const int pid = rows.at(r, 0).toInt();
            if (!dim.codeByPsn.contains(pid))
                dim.codeByPsn.insert(pid, rows.at(r, 1).toString());
        }
        return dim;
    }

    StdTable loadStdTable(int id)
    {
        StdTable std;
        const db::ResultSet def = m_stdDefinitions.value(id);
        if (def.rowCount() == 0)
            return std;
        std.twoDimensional = def.at(0, 0).toInt() == 2;
        std.row = loadDimension(def.at(0, 3).toString(), def.at(0, 2).toString());
        if (std.twoDimensional)
            std.col = loadDimension(def.at(0, 5).toString(), def.at(0, 4).toString());
        db::BackendError error;
        if (!m_db.runQuery(QStringLiteral("SELECT * FROM [%1]").arg(def.at(0, 1).toString()),
                           std.data, false, error))
            return std;
        const int codeColumn = std.data.columnIndex(QStringLiteral("DictValue"));
        if (codeColumn < 0)
            return std;
        for (int c = 0; c < std.data.visibleColumns; ++c)
            std.amountColumnByName.insert(std.data.columns[size_t(c)].name.toUpper(), c);
        for (int r = 0; r < std.data.rowCount(); ++r) {
            const QString code = std.data.at(r, codeColumn).toString().toUpper();
            if (!std.rowByCode.contains(code))
                std.rowByCode.insert(code, r);
        }
        std.valid = true;
        return std;
    }

    QString code(const StdTable::Dimension& dim, int person) const
    {
        if (dim.memoryColumn >= 0) {
            const script::Variant& v = m_columns[size_t(dim.memoryColumn)].values[size_t(person)];
            return text(v);
        }
        return dim.codeByPsn.value(m_columns[1].values[size_t(person)].longValue());
    }

    // The amount qp_GetWageStdTableByPsn gives; invalid when it gives no row.
    QVariant amount(const StdTable& std, int person) const
    {
        if (!std.valid)
            return {};
        const QString rowCode = code(std.row, person);
        if (rowCode.isEmpty())
            return {};
        QString column = QStringLiteral("JINE");
        if (std.twoDimensional) {
            const QString colCode = code(std.col, person).trimmed();
            if (colCode.isEmpty() || colCode.contains(QLatin1Char('#')))
                return {};
            column = (QStringLiteral("c") + colCode).toUpper();
        }
        const auto amountColumn = std.amountColumnByName.constFind(column);
        const auto row = std.rowByCode.constFind(rowCode.toUpper());
        if (amountColumn == std.amountColumnByName.constEnd() || row == std.rowByCode.constEnd())
            return {};
        return std.data.at(*row, *amountColumn);
    }

    void fail(const CalcItem& item, const QString& error, int person)
    {
        WageCalcFailure failure;
        failure.itemName = item.name;
        failure.itemCaption = item.caption;
        failure.engineError = error;
        if (person >= 0 && person < personCount())
            failure.persons.emplace_back(text(m_columns[2].values[size_t(person)]),
                                         text(m_columns[3].values[size_t(person)]));
        m_result.failures.push_back(std::move(failure));
    }

    void store(const CalcItem& item, int person, const WageCellResult& cell)
    {
        m_columns[size_t(item.column)].values[size_t(person)] = cell.cached;
        if (m_immediate) {
            QElapsedTimer clock;
            clock.start();
            if (!m_immediate->update({m_keys[size_t(person)]}, {cell.stored}))
                throw DataFailure{writeError()};
            ++m_result.cellsWritten;
            if (m_cache)
                m_cache->invalidate(item.name);
            m_writeMs += clock.elapsed();
            return;
        }
        std::vector<char>& dirty = m_dirty[size_t(item.column)];
        if (dirty.empty())
            dirty.assign(size_t(personCount()), 0);
        dirty[size_t(person)] = 1;
    }

    void calculate(const CalcItem& item)
    {
        const int persons = personCount();
        const size_t index = size_t(&item - m_items.data());
        if (item.readsDatabase) {
            // Aggregates and salary lookups read the database: bring it up to date, then write
            // this item's cells one by one as they are computed.
            QElapsedTimer clock;
            clock.start();
            flush();
            m_immediate = writer({item.name});
            m_writeMs += clock.elapsed();
        }
        if (item.property == 2) {
            const StdTable& std = m_stdTables[item.stdTable];
            WageCellResult cell;
            for (int p = 0; p < persons; ++p) {
                if (!wageCellFromAmount(amount(std, p), item.choice, item.decimals, cell)) {
                    cell.ok = true;
                    cell.stored = m_request.missingAmountIsZero ? QVariant(0.0) : QVariant();
                    cell.cached = m_request.missingAmountIsZero ? script::Variant::fromDouble(0)
                                                                : script::Variant::null();
                }
                store(item, p, cell);
            }
        } else if (!m_compileErrors[index].isEmpty()) {
            if (persons > 0)
                fail(item, m_compileErrors[index], 0);
        } else {
            evaluate(item, m_formulas[index], m_slots[index]);
        }
        m_immediate.reset();
    }

    void evaluate(const CalcItem& item, script::Formula& formula,
                  const std::vector<int>& columnsOfSlots)
    {
        script::ScriptEngine& engine = m_session.engine();
        for (size_t s = 0; s < columnsOfSlots.size(); ++s) {
            if (columnsOfSlots[s] < 0) {
                if (personCount() > 0)
                    fail(item, QString::fromLatin1(kNoSuchColumn), 0);
                return;
            }
        }
        script::Variant result;
        for (int p = 0; p < personCount(); ++p) {
            for (size_t s = 0; s < columnsOfSlots.size(); ++s)
                formula.bind(int(s), m_columns[size_t(columnsOfSlots[s])].values[size_t(p)]);
            if (!engine.evaluate(formula, result)) {
                fail(item, QString::fromStdString(engine.lastError().description), p);
                return;
            }
            const WageCellResult cell = wageCellFromResult(result, item.choice, item.decimals);
            if (!cell.ok) {
                fail(item, cell.error, p);
                return;
            }
            store(item, p, cell);
        }
    }

    QString writeError() const
    {
        db::Backend* backend = m_db.backend();
        return backend ? backend->lastError().description : QStringLiteral("数据库连接已关闭");
    }

    std::unique_ptr<db::RowWriter> writer(const QStringList& columns)
    {
        db::Backend* backend = m_db.backend();
        if (!backend)
            throw DataFailure{writeError()};
        return backend->rowWriter(m_table, {QStringLiteral("ID")}, columns);
    }

    // Writes every cell computed but not yet written: one UPDATE per person with the columns
    // that changed for that person, through one prepared statement per set of columns.
    void flush()
    {
        std::vector<size_t> dirtyColumns;
        for (size_t c = 0; c < m_dirty.size(); ++c) {
            if (!m_dirty[c].empty())
                dirtyColumns.push_back(c);
        }
        if (dirtyColumns.empty())
            return;
        std::map<std::vector<bool>, std::unique_ptr<db::RowWriter>> writers;
        std::vector<bool> mask(dirtyColumns.size());
        QVariantList values;
        const QVariantList none;
        for (int p = 0; p < personCount(); ++p) {
            values.clear();
            bool any = false;
            for (size_t d = 0; d < dirtyColumns.size(); ++d) {
                mask[d] = m_dirty[dirtyColumns[d]][size_t(p)] != 0;
                if (!mask[d])
                    continue;
                any = true;
                const script::Variant& v = m_columns[dirtyColumns[d]].values[size_t(p)];
                values << (v.type() == script::VarType::Double ? QVariant(v.doubleValue())
                                                               : QVariant());
            }
            if (m_finalWrite && p % kProgressEvery == 0)
                report(WageCalcStep::Phase::Writing, p, personCount());
            if (!any)
                continue;
            auto it = writers.find(mask);
            if (it == writers.end()) {
                QStringList columns;
                for (size_t d = 0; d < dirtyColumns.size(); ++d) {
                    if (mask[d])
                        columns << m_columns[dirtyColumns[d]].name;
                }
                it = writers.emplace(mask, writer(columns)).first;
            }
            if (!it->second->update({m_keys[size_t(p)]}, values))
                throw DataFailure{writeError()};
            m_result.cellsWritten += values.size();
        }
        for (size_t c : dirtyColumns) {
            m_dirty[c].clear();
            if (m_cache)
                m_cache->invalidate(m_columns[c].name);
        }
    }

    db::CADODatabase& m_db;
    WageScriptSession& m_session;
    const WageCalcRequest& m_request;
    WageCalcResult m_result;
    QString m_table;
    QHash<QString, std::pair<QString, QString>> m_ownerOf; // upper name -> (table, column)
    QHash<QString, int> m_columnIndex;
    QStringList m_selectList;
    std::vector<MemoryColumn> m_columns;
    std::vector<QVariant> m_keys;
    std::vector<std::vector<char>> m_dirty; // per memory column: persons not yet written
    std::vector<CalcItem> m_items;
    std::vector<script::Formula> m_formulas;
    std::vector<std::vector<int>> m_slots;
    std::vector<QString> m_compileErrors;
    QHash<int, db::ResultSet> m_stdDefinitions;
    QHash<int, StdTable> m_stdTables;
    std::unique_ptr<db::RowWriter> m_immediate;
    qint64 m_writeMs = 0;
    const WageCalculator::Progress* m_progress = nullptr;
    bool m_finalWrite = false; // the last flush reports its progress

public:
    CachedAggregates* m_cache = nullptr;
};

} // namespace

WageCalcResult runWageCalculation(db::CADODatabase& database, WageScriptSession& session,
                                  const WageCalcRequest& request,
                                  const WageCalculator::Progress& progress)
{
    // The aggregated items' columns, to know which cached aggregates a write makes stale.
    QHash<QString, QString> columnByCaption;
    const QString table = WageViewFilter::dataTable(database, request.sortId);
    {
        db::ResultSet rows;
        db::BackendError error;
        if (!table.isEmpty() &&
            database.runQuery(QStringLiteral("SELECT Name,Alias FROM qp_Items WHERE "
                                             "UPPER(TblName)='%1'")
                                  .arg(table.toUpper()),
                              rows, false, error)) {
            for (int r = 0; r < rows.rowCount(); ++r)
                columnByCaption.insert(rows.at(r, 1).toString().trimmed().toUpper(),
                                       rows.at(r, 0).toString());
        }
    }
    CachedAggregates cache(session.databaseSource(), session.context(), std::move(columnByCaption));
    session.setDataSource(&cache);
    WageCalcRun run(database, session, request);
    run.m_cache = &cache;
    WageCalcResult result = run.run(progress);
    session.setDataSource(nullptr);
    return result;
}

} // namespace orvane::payroll
