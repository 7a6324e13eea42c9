#pragma once

// Several operators on one database at once: the pieces shared by the coordinating process and
// the worker processes of orvane-concurrency.

#include <QString>
#include <QStringList>

namespace orvane::db {
class CADORecordset;
}

namespace orvane::concurrency {

// What every worker needs to know of the database the coordinator prepared.
struct StressSetup
{
    QString connection;    // what CADODatabase::Open takes
    int sortId = 0;        // the demo wage sort
    QString dataTable;     // its wage data table
    int month = 0;         // the open month the editors and the recalculation share
    QString addItem;       // input item the editors add amounts to (sums are checked)
    QString setItem;       // input item the editors overwrite (last write wins)
    int firstNewMonth = 0; // months the creators make start here

    QStringList toArguments() const;
    static StressSetup fromArguments(const QStringList& args, QString* error);
};

// Roles of the four workers.
enum class StressRole {
    Editor,        // persons' addresses and wage cells
    EditorDeleter, // the same, and deletes persons the others are editing
    MonthsItems,   // creates months and wage items, adds to wage cells
    RecalcMonths,  // recalculates the shared month, creates months and items
};

// One worker: runs its role for `seconds` and writes one line per completed change to
// `logFile` (tab-separated: kind, key, field, value). The last line is "#stats" followed by
// name=value figures. Returns the process exit code.
int runWorker(const StressSetup& setup, StressRole role, int index, int seconds,
              const QString& logFile);

// Column `index` of the current row of an open recordset (0 / "" when unreadable).
int fieldInt(db::CADORecordset& rs, int index);
double fieldDouble(db::CADORecordset& rs, int index);
QString fieldText(db::CADORecordset& rs, int index);

// Message texts the workers meet.
QString deletedRowText(); // "该记录已被其他操作员删除,请刷新数据列表!"
QString busyText();       // the start of the SQLite lock wait's message

} // namespace orvane::concurrency
