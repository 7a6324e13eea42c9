#pragma once

#include "db/adotypes.h"
#include "db/backend.h"

#include <QString>

#include <memory>
#include <vector>

namespace orvane::db {

class ResultSet;

// A connection to a data source. Never throws and never shows anything: every operation returns
// success or failure and keeps the error in GetLastErrorString() / GetErrorDescription().
//
// Connection strings:
//  - "Provider=SQLOLEDB;Server=%s;UID=%s;PWD=%s;Database=%s" and
//    "Provider=SQLOLEDB.1;Integrated Security=SSPI;...;Initial Catalog=%s;Data Source=%s": when
//    the server names a file (contains '/' or '\\', or ends in .db, .sqlite, .sqlite3), the
//    embedded SQLite database in that file is opened;
//  - a bare file path is accepted as well;
//  - "Provider='Microsoft.JET.OLEDB.4.0';Data Source=PATH;Extended Properties=\"Excel 8.0;...\""
//    opens an Excel workbook.
//
// All SQL text is T-SQL; it is translated for the backend. Stored procedures called as text
// ("EXEC name args" or the bare "name args") run the function registered in ProcedureRegistry.
class CADODatabase
{
public:
    CADODatabase();
    ~CADODatabase();
    CADODatabase(const CADODatabase&) = delete;
    CADODatabase& operator=(const CADODatabase&) = delete;

    // Closes the connection if open, then opens it with `connection` (or the stored string when
    // `connection` is empty). With `create`, a missing SQLite file is created.
    bool Open(const QString& connection = QString(), bool create = false);
    bool IsOpen() const;
    void Close();

    // Runs a statement that returns no rows (or a procedure call) and stores the affected count.
    bool Execute(const QString& sql);
    // Rows inserted, updated or deleted by the last Execute (-1 when not known).
    qint64 GetRecordsAffected() const { return m_recordsAffected; }

    // Transactions; nested calls use savepoints. Return false on failure.
    bool BeginTransaction();
    bool CommitTransaction();
    bool RollbackTransaction();
    int TransactionLevel() const { return int(m_savepoints.size()); }

    QString GetConnectionString() const { return m_connectionString; }
    void SetConnectionString(const QString& connection) { m_connectionString = connection; }

    // "CADODataBase Error\n\tCode = ...\n\tCode meaning = ...\n\tSource = ...\n\tDescription =
    // ...\n" followed by "Connection String = " and the connection string.
    QString GetLastErrorString() const { return m_lastError; }
    // The provider's description alone.
    QString GetErrorDescription() const { return m_errorDescription; }
    quint32 GetLastError() const { return m_errorCode; }

    // The open backend (null when closed) and its kind (for per-backend DDL).
    Backend* backend() const { return m_backend.get(); }
    BackendKind backendKind() const;

    // --- used by CADORecordset, CADOCommand and procedures -------------------------------
    // Runs T-SQL that returns rows (a query or a procedure call) into `result`. On failure
    // returns false with the backend's error in `error`.
    bool runQuery(const QString& tsql, ResultSet& result, bool updatable, BackendError& error);
    // Runs a T-SQL query and hands its rows to `row` one at a time (Backend::queryRows).
    bool runQueryRows(const QString& tsql, std::vector<ColumnInfo>& columns,
                      const Backend::RowCallback& row, BackendError& error);
    // Runs T-SQL without rows; `affected` as for GetRecordsAffected().
    bool runStatement(const QString& tsql, qint64* affected, BackendError& error);
    // Runs SQL in the backend's own dialect, bypassing the T-SQL translation.
    bool runNative(const QString& sql, qint64* affected, BackendError& error);

private:
    void setError(const BackendError& error);
    QString closedText() const;
    // False with the closed-connection error in `error` when no backend is open.
    bool checkOpen(BackendError& error) const;
    // The backend's statements for `tsql`; false with the translator's refusal in `error`.
    bool translate(const QString& tsql, QStringList& statements, BackendError& error) const;
    // Takes the innermost open transaction level off the stack: its savepoint, empty for the
    // outer transaction. False with "No transaction is open" when there is none.
    bool endLevel(QString& savepoint);
    void clearError();

    std::unique_ptr<Backend> m_backend;
    QString m_connectionString;
    QString m_lastError;
    QString m_errorDescription;
    quint32 m_errorCode = 0;
    qint64 m_recordsAffected = -1;
    std::vector<QString> m_savepoints; // one per open level; empty name: the outer transaction
};

} // namespace orvane::db
