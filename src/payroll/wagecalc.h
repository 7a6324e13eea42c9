#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::payroll {

class WageScriptSession;

// The persons a wage view shows: sort, month, the department (0 = all, else with its subtree)
// and category (0 = all, negative = none) chosen in the navigation pane, and the operator's
// limits. Builds the WHERE text, the FROM clause and the texts derived from them, exactly as the
// wage view sends them, so the view, the month calculation and `orvane-admin calc` agree.
struct WageViewFilter
{
    int sortId = 0;
    int fDate = 0;
    int deptId = 0;
    int categoryId = 0;
    bool superOperator = true;
    QString permittedDepartments; // the operator's department keys joined by ',' (non-super)

    // The sort's wage data table ("" when the sort is gone) and title.
    static QString dataTable(db::CADODatabase& database, int sortId);
    static QString sortTitle(db::CADODatabase& database, int sortId);

    // " WHERE ([tbl].fDate=%d) AND ..." with the category, department and operator rules.
    QString whereText(const QString& dataTable) const;
    // " FROM tbl INNER JOIN qp_PsnBase ... INNER JOIN qp_PsnSort ON tbl.AID = qp_PsnSort.AID ".
    static QString fromClause(const QString& dataTable);
    // "ORDER BY qp_Dept.Ord,[tbl].Ord".
    static QString orderBy(const QString& dataTable);
    // The selection text of log lines: the WHERE text with "WHERE" replaced by "条件：".
    static QString selectionText(const QString& whereText);
    // The log line of a month recalculation: "薪资管理['%s:%s:%s'薪资重新核算]" with the sort
    // title, the month text and the selection text.
    static QString recalculationLogLine(const QString& sortTitle, int fDate,
                                        const QString& whereText);
};

// One failing formula of a run: the item, the engine's error text and the first persons it
// failed for (number, name).
struct WageCalcFailure
{
    QString itemName;
    QString itemCaption;
    QString engineError;
    std::vector<std::pair<QString, QString>> persons; // first few (number, name)
};

// What a calculation did. `ok` is false when the data could not be read or written (the
// database is unchanged then and `error` says why); formula failures do not make it false.
struct WageCalcResult
{
    bool ok = true;
    bool cancelled = false; // the operator stopped it; nothing was written (ok is false too)
    QString error;
    int persons = 0;
    int items = 0;
    qint64 cellsWritten = 0;
    qint64 readMs = 0;
    qint64 evaluateMs = 0;
    qint64 writeMs = 0;
    std::vector<WageCalcFailure> failures;

    // "计算 [%s] 公式时出错!" for each failure, followed by its first persons and the engine text.
    QStringList failureMessages() const;
};

// Recalculates the formula and standard-table items of one wage month, in calculation order
// (OrdF): for a standard-table item the amount qp_GetWageStdTableByPsn would give, rounded by the
// item's rule; for a formula item the value of its formula over the person's current values, so
// a formula sees what earlier items just received and an aggregate sees the selection as it
// stands at that moment. Formulas are compiled once per item and bound to column slots, the
// month's rows are held in memory by column, standard tables are looked up in memory, and the
// changed cells are written back in one transaction.
// Where a month calculation stands, for a progress window: reading the selection's rows,
// calculating item `item` (from 1) of `items`, or writing the results back; within reading and
// writing, `done` of `total` persons.
struct WageCalcStep
{
    enum class Phase { Reading, Calculating, Writing };
    Phase phase = Phase::Reading;
    QString caption; // the item's caption while calculating
    int item = 0;
    int items = 0;
    int done = 0;
    int total = 0;
};

class WageCalculator
{
public:
    // Called while reading and writing (every few thousand persons) and before each item; false
    // cancels the calculation and leaves the database as it was.
    using Progress = std::function<bool(const WageCalcStep& step)>;

    // The session's engine must have been reset (its function library loaded); the calculator
    // sets the session's wage context to the selection it works on.
    WageCalculator(db::CADODatabase& database, WageScriptSession& session);

    // Every person of the filter's selection; the session's wage context is set to it.
    WageCalcResult calculateMonth(const WageViewFilter& filter, const Progress& progress = {});
    // One person after a cell edit: a standard-table lookup that finds nothing writes 0; a
    // failing formula leaves its cell. Aggregates see the session's context when it is this
    // sort and month (the active view's selection), else the whole month.
    WageCalcResult calculatePerson(int sortId, int fDate, int personId);

private:
    db::CADODatabase& m_db;
    WageScriptSession& m_session;
};

} // namespace orvane::payroll
