#pragma once

#include "db/connectionstring.h"
#include "db/resultset.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace orvane::db {

class TsqlSchema;

enum class BackendKind { Sqlite, PostgreSql, SqlServer, Workbook };

// The error a backend reports: a code in the HRESULT style of the data access classes, the
// source (e.g. "SQLite") and the description.
struct BackendError
{
    quint32 code = 0;
    QString source;
    QString description;
};

// Writes many rows of one table located by key with one statement prepared once
// ("UPDATE table SET c1=?,... WHERE k=?"), for batch jobs that change thousands of rows. Values
// are stored as Backend::updateRow() stores them. Obtained from Backend::rowWriter().
class RowWriter
{
public:
    virtual ~RowWriter() = default;
    // False with the backend's lastError() when the row could not be written (or is gone).
    // Inside a transaction a failed row may leave the transaction unusable (PostgreSQL aborts
    // it): the caller rolls the transaction, or its savepoint, back.
    virtual bool update(const QVariantList& keyValues, const QVariantList& values) = 0;
};

// One driver per dialect. CADODatabase owns one backend while it is open and sends it SQL in the
// backend's own dialect (T-SQL is translated before it gets here for the SQLite backend). Every
// method reports failure by its result and keeps the reason in lastError(); none throws.
class Backend
{
public:
    virtual ~Backend() = default;

    virtual BackendKind kind() const = 0;
    // Name used as the "Source" of error texts.
    virtual QString sourceName() const = 0;

    // Opens the data source the connection string names. `create` allows creating a missing
    // database file (only `orvane-admin init` and tests ask for it).
    virtual bool open(const ConnectionString& connection, bool create) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Runs one statement that returns no rows (rows it returns anyway are discarded);
    // `affected` receives the number of rows inserted, updated or deleted, or -1.
    virtual bool execute(const QString& sql, qint64* affected) = 0;

    // Runs a query and fetches all its rows into `result`. With `updatable`, the backend also
    // fills the base table and column of each column and adds hidden key columns so that
    // changed rows can be written back with updateRow()/insertRow().
    virtual bool query(const QString& sql, ResultSet& result, bool updatable) = 0;

    // Runs a query and hands its rows to `row` one at a time (values in the raw form query()
    // stores, valid only during the call; returning false stops the query), for reading large
    // selections without holding them all. `columns` receives the result's columns first; their
    // ADO types are the declared ones. The default runs query() and walks the result.
    using RowCallback = std::function<bool(const QVariant* values)>;
    virtual bool queryRows(const QString& sql, std::vector<ColumnInfo>& columns,
                           const RowCallback& row);

    virtual bool beginTransaction() = 0;
    virtual bool commitTransaction() = 0;
    virtual bool rollbackTransaction() = 0;
    virtual bool inTransaction() const = 0;
    // Named savepoints inside (or, if none is open, starting) a transaction.
    virtual bool savepoint(const QString& name) = 0;
    virtual bool releaseSavepoint(const QString& name) = 0;
    virtual bool rollbackToSavepoint(const QString& name) = 0;

    // Writes `values` into `columns` of the row of `table` that the key locates.
    virtual bool updateRow(const QString& table, const QStringList& keyColumns,
                           const QVariantList& keyValues, const QStringList& columns,
                           const QVariantList& values) = 0;
    // The key of the row the last successful updateRow() wrote when writing gave the row a new
    // one (a key that is the row's physical place moves with every write); empty otherwise.
    virtual QVariantList movedKey() const { return {}; }
    // Inserts a row into `table`; `newKey` receives the values of the table's key columns
    // (`keyColumns`, as given by query()) for the new row.
    virtual bool insertRow(const QString& table, const QStringList& columns,
                           const QVariantList& values, const QStringList& keyColumns,
                           QVariantList* newKey) = 0;
    // A writer for rows of `table` that sets `columns`; the default one calls updateRow() for
    // each row, a backend with prepared statements prepares the update once.
    virtual std::unique_ptr<RowWriter>
    rowWriter(const QString& table, const QStringList& keyColumns, const QStringList& columns);
    // Reads `columns` of the row the key locates (used to refresh a row after writing it).
    virtual bool fetchRow(const QString& table, const QStringList& keyColumns,
                          const QVariantList& keyValues, const QStringList& columns,
                          QVariantList& values) = 0;

    // Identity of the last inserted row, null when unknown.
    virtual QVariant lastInsertId() const = 0;

    // The columns' declared types for the T-SQL translation; nullptr when the backend takes
    // T-SQL as it is.
    virtual TsqlSchema* schema() { return nullptr; }

    const BackendError& lastError() const { return m_error; }

protected:
    void setError(quint32 code, const QString& description)
    {
        m_error.code = code;
        m_error.source = sourceName();
        m_error.description = description;
    }
    void clearError() { m_error = BackendError{}; }

private:
    BackendError m_error;
};

// Generic failure codes used in error texts.
constexpr quint32 kErrorUnspecified = 0x80004005u;  // "Unspecified error"
constexpr quint32 kErrorCommandText = 0x80040E14u;  // the statement was refused
constexpr quint32 kErrorNotFound = 0x800A0CC1u;     // no field of that name
constexpr quint32 kErrorClosed = 0x800A0E78u;       // object is closed
constexpr quint32 kErrorNoCurrentRow = 0x800A0BCDu; // BOF or EOF
constexpr quint32 kErrorNotAllowed = 0x800A0C93u;   // operation not allowed in this state
constexpr quint32 kErrorConnection = 0x80004005u;   // cannot open the data source

// The failures of writing a row back, worded alike by every backend.
QString rowWithoutRecordText(const QString& table);    // the row's key is null
QString rowChangedMeanwhileText(const QString& table); // the key locates no row any more
QString rowNotFoundText(const QString& table);         // reading a row by key found none

std::unique_ptr<Backend> createSqliteBackend();
// Backend over Excel workbooks (.xlsx/.xls), chosen for the Jet connection string.
std::unique_ptr<Backend> createWorkbookBackend();

} // namespace orvane::db
