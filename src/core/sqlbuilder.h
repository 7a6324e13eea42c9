#pragma once

#include <QString>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::core {

// FROM clauses and column lists that the personnel, search, statistics and export features put
// into their SELECT statements. Column lists are read from the catalogue (qp_Items) each time.
class SqlBuilder
{
public:
    explicit SqlBuilder(db::CADODatabase& database) : m_db(database) {}

    // Persons with their category and department, optionally with their adjustment row.
    static QString personnelFrom(bool withAdjustment = false);
    // A table of per-person rows (PID, DID, AID) joined to the person, department and category.
    static QString personRowsFrom(const QString& tableName, bool withAdjustment = false);

    // Every field of QP_PSNBASE in Ord order as "QP_PSNBASE.Name AS [Alias]"; a link field
    // (type 4) shows the linked table's Name instead. Joined by commas.
    QString personnelColumns() const;
    // "qp_PsnBase.PID," and the text, number and date fields of the person, category and
    // department, all adjustment fields, and optionally the fields of one more catalogue table
    // (by qp_Table.ID; 0 for none). No trailing comma.
    QString fullPersonnelColumns(int extraTableId = 0) const;
    // "Name AS [Alias]" for each field of a table in Ord order, joined by commas.
    QString tableColumns(const QString& tableName) const;

    // A caption inside [...]: a closing bracket is doubled so the name cannot end early.
    static QString bracketed(const QString& name);

private:
    // Appends "prefix.Name AS [Alias]," for each row of `sql` (columns Name, Alias and, when
    // `prefix` is empty, TblName as the prefix).
    void appendFields(QString& out, const QString& sql, const QString& prefix) const;

    db::CADODatabase& m_db;
};

} // namespace orvane::core
