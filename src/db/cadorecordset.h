#pragma once

#include "db/adotypes.h"
#include "db/resultset.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <map>

namespace orvane::db {

class CADOCommand;
class CADODatabase;

// Description of one field of an open recordset.
struct CADOFieldInfo
{
    QString m_strName;
    int m_nType = adEmpty; // ADO type code
    qint64 m_lDefinedSize = 0;
    int m_lAttributes = 0;
};

// A client-side static cursor over the rows of a query: the rows are fetched into memory when the
// recordset opens, so several recordsets may stay open while the connection runs other
// statements. Rows of a query on base tables (joins included) can be changed with
// Edit/SetFieldValue/Update; each changed column is written to its own base table, found by that
// table's key. AddNew on a query over one table inserts a row.
//
// Never throws: failures return false and keep GetLastErrorString(), which begins with
// "CADORecordset Error" and ends with "Query = " and the query text.
class CADORecordset
{
public:
    enum OpenOption { openUnknown = 0, openQuery = 1, openTable = 2, openStoredProc = 3 };
    enum EditState { dbEditNone = 0, dbEditInProgress = 1, dbEditAdd = 2 };

    CADORecordset();
    explicit CADORecordset(CADODatabase* database);
    ~CADORecordset();
    CADORecordset(const CADORecordset&) = delete;
    CADORecordset& operator=(const CADORecordset&) = delete;

    // Opens `sql` on the recordset's database (or `database` when given). A text starting with
    // "SELECT " (any case) is always a query; openTable opens the named table; openStoredProc
    // (or a text that is a procedure call) runs a stored procedure and gives its rows.
    bool Open(CADODatabase* database, const QString& sql, int option = openUnknown);
    bool Open(const QString& sql, int option = openUnknown);
    // Reopens the remembered query text.
    bool Open(int option = openUnknown);
    // Runs the command and gives its rows.
    bool Open(CADOCommand& command);

    bool IsOpen() const { return m_open; }
    void Close();

    bool IsEOF() const;
    bool IsBOF() const;
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    // Moves to a row by its zero-based position; false when out of range.
    bool SetAbsolutePosition(int row);
    int GetAbsolutePosition() const { return m_row; }

    // The number of rows; the cursor stays where it was.
    int GetRecordCount() const;
    int GetFieldCount() const;
    bool GetFieldInfo(int index, CADOFieldInfo* info);
    bool GetFieldInfo(const QString& name, CADOFieldInfo* info);
    // Index of a field by name (case-insensitive), -1 when there is none.
    int GetFieldIndex(const QString& name) const;

    // Typed reads of the current row. A null gives 0, an invalid date or the empty text.
    bool GetFieldValue(const QString& name, int& value);
    bool GetFieldValue(int index, int& value);
    bool GetFieldValue(const QString& name, qint64& value);
    bool GetFieldValue(int index, qint64& value);
    bool GetFieldValue(const QString& name, double& value);
    bool GetFieldValue(int index, double& value);
    bool GetFieldValue(const QString& name, bool& value);
    bool GetFieldValue(int index, bool& value);
    bool GetFieldValue(const QString& name, QDateTime& value);
    bool GetFieldValue(int index, QDateTime& value);
    // Text form: null "", integers decimal, doubles shortest form (up to 20 significant digits),
    // dates in `dateFormat` (strftime style), booleans "True"/"False", texts themselves.
    bool GetFieldValue(const QString& name, QString& value,
                       const QString& dateFormat = QStringLiteral("%Y-%m-%d %H:%M:%S"));
    bool GetFieldValue(int index, QString& value,
                       const QString& dateFormat = QStringLiteral("%Y-%m-%d %H:%M:%S"));
    // The value as stored, converted to the field's type (qlonglong, double, bool, QDateTime,
    // QString, QByteArray), or a null QVariant.
    bool GetFieldValue(const QString& name, QVariant& value);
    bool GetFieldValue(int index, QVariant& value);

    // Shorthands returning the value directly (empty or 0 on failure).
    QString GetFieldString(const QString& name);
    int GetFieldInt(const QString& name);
    double GetFieldDouble(const QString& name);
    bool IsFieldNull(const QString& name);

    // Reads a whole binary field into `buffer`.
    bool GetChunk(const QString& name, QByteArray& buffer);
    bool GetChunk(int index, QByteArray& buffer);
    // Writes a whole binary value into a field of the current record (adding or editing state).
    bool AppendChunk(const QString& name, const QByteArray& bytes);
    bool AppendChunk(const QString& name, const void* data, qint64 size);

    // Appends a blank record and enters the adding state.
    bool AddNew();
    // Enters the editing state on the current record.
    bool Edit();
    // Only in the adding or editing state; an empty text is stored as null.
    bool SetFieldValue(const QString& name, const QString& value);
    bool SetFieldValue(int index, const QString& value);
    bool SetFieldValue(const QString& name, const char* value);
    bool SetFieldValue(int index, const char* value);
    bool SetFieldValue(const QString& name, int value);
    bool SetFieldValue(int index, int value);
    bool SetFieldValue(const QString& name, qint64 value);
    bool SetFieldValue(int index, qint64 value);
    bool SetFieldValue(const QString& name, double value);
    bool SetFieldValue(int index, double value);
    bool SetFieldValue(const QString& name, bool value);
    bool SetFieldValue(int index, bool value);
    bool SetFieldValue(const QString& name, const QDateTime& value);
    bool SetFieldValue(int index, const QDateTime& value);
    bool SetFieldValue(const QString& name, const QVariant& value);
    bool SetFieldValue(int index, const QVariant& value);
    bool SetFieldValueNull(const QString& name);
    // Writes the pending record (adding or editing state); on a refused write the pending
    // changes are cancelled. The state is none afterwards. Outside those states: succeeds.
    bool Update();
    // Drops the pending changes.
    void CancelUpdate();
    int GetEditMode() const { return m_editState; }

    QString GetQuery() const { return m_query; }
    void SetQuery(const QString& sql) { m_query = sql; }
    QString GetLastErrorString() const { return m_lastError; }
    QString GetErrorDescription() const { return m_errorDescription; }
    quint32 GetLastError() const { return m_errorCode; }

    CADODatabase* GetDatabase() const { return m_database; }
    void SetDatabase(CADODatabase* database) { m_database = database; }

    // All rows as held in memory (for grid models and exports).
    const ResultSet& resultSet() const { return m_result; }

private:
    bool openResult(const QString& sql, int option);
    bool fieldFor(const QString& name, int& index);
    bool currentValue(int index, QVariant& raw);
    int columnType(int index) const { return m_result.columns[size_t(index)].adoType; }
    // Reports that the current value of column `index` cannot be read as asked: `text` with the
    // column's name for %1. Returns false.
    bool refuseValue(int index, const QString& text);
    bool writeValue(int index, const QVariant& value);
    bool writeValue(const QString& name, const QVariant& value);
    bool writePending();
    void setError(quint32 code, const QString& description, const QString& source = QString());
    void clearError();

    CADODatabase* m_database = nullptr;
    QString m_query;
    ResultSet m_result;
    bool m_open = false;
    int m_row = 0;
    int m_editState = dbEditNone;
    std::map<int, QVariant> m_pending; // column -> new value while adding or editing
    QString m_lastError;
    QString m_errorDescription;
    quint32 m_errorCode = 0;
};

} // namespace orvane::db
