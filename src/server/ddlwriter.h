#pragma once

#include "server/schema.h"

#include <QString>
#include <QStringList>

namespace orvane::server {

enum class SqlDialect { SQLite, PostgreSQL, SqlServer };

// Writes the DDL of one backend for the delivered tables and for the tables and columns that
// operators create at run time. Every difference between the backends' DDL lives here.
//
// SQLite: identities are INTEGER PRIMARY KEY AUTOINCREMENT (so IDENT_CURRENT can read
// sqlite_sequence) and text columns compare with COLLATE NOCASE, matching the case-insensitive
// default collation the client's SQL assumes.
class DdlWriter
{
public:
    explicit DdlWriter(SqlDialect dialect) : m_dialect(dialect) {}

    SqlDialect dialect() const { return m_dialect; }

    QString typeName(const ColumnDef& column) const;
    QString columnDefinition(const ColumnDef& column) const;

    QString createTable(const TableDef& table) const;
    QString dropTable(const QString& table) const;
    // Drops the table when it exists; the name may be a temporary table's ("#x", "##x").
    QString dropTableIfExists(const QString& table) const;
    QString createIndex(const IndexDef& index) const;
    QString addColumn(const QString& table, const ColumnDef& column) const;
    QString dropColumn(const QString& table, const QString& column) const;
    // Statements that change a text column's length; none on SQLite, where lengths are not
    // enforced.
    QStringList changeColumnLength(const QString& table, const ColumnDef& column) const;

    // A query in the backend's own dialect that gives a row when the table exists.
    QString tableExistsQuery(const QString& table) const;

    // True for a plain identifier (letters, digits, '_', '#', not starting with a digit) that
    // can be written into DDL without quoting.
    static bool isPlainName(const QString& name);

    // The physical column for a catalogue field of data type `dataType` (codes of qp_Items).
    static ColumnDef columnForField(const QString& name, int dataType, int length);

private:
    SqlDialect m_dialect;
};

} // namespace orvane::server
