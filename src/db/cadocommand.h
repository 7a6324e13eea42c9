#pragma once

#include "db/adotypes.h"
#include "db/cadoparameter.h"
#include "db/resultset.h"

#include <QDateTime>
#include <QString>

#include <vector>

namespace orvane::db {

class CADODatabase;

// A command on a connection: SQL text (adCmdText) or a stored procedure (adCmdStoredProc, the
// text being the procedure's name). Procedure parameters are matched to the procedure's
// declared parameters by name (without '@', any case) or else by position; the parameter of
// direction adParamReturnValue receives the procedure's return value and output parameters
// receive their values after Execute. CADORecordset::Open(command) runs it and gives its rows.
class CADOCommand
{
public:
    CADOCommand(CADODatabase* database, const QString& text = QString(),
                int type = adCmdStoredProc);

    void SetText(const QString& text) { m_text = text; }
    QString GetText() const { return m_text; }
    void SetType(int type) { m_type = type; }
    int GetType() const { return m_type; }

    bool AddParameter(const CADOParameter& parameter);
    bool AddParameter(const QString& name, int type, int direction, qint64 size, int value);
    bool AddParameter(const QString& name, int type, int direction, qint64 size, qint64 value);
    bool AddParameter(const QString& name, int type, int direction, qint64 size, double value);
    bool AddParameter(const QString& name, int type, int direction, qint64 size,
                      const QString& value);
    bool AddParameter(const QString& name, int type, int direction, qint64 size, const char* value);
    bool AddParameter(const QString& name, int type, int direction, qint64 size,
                      const QDateTime& value);
    // The parameter by name (any case, with or without '@'); a detached one when absent.
    CADOParameter GetParameter(const QString& name) const;
    const std::vector<CADOParameter>& parameters() const { return m_parameters; }
    void ClearParameters() { m_parameters.clear(); }

    bool Execute();
    qint64 GetRecordsAffected() const { return m_recordsAffected; }

    // Runs the command and gives its rows (used by CADORecordset::Open(CADOCommand&)).
    bool run(ResultSet* rows);

    CADODatabase* GetDatabase() const { return m_database; }
    // "CADOCommand Error\n\tCode = ...\n\tCode meaning = ...\n\tSource = ...\n\tDescription =
    // ...\n"
    QString GetLastErrorString() const { return m_lastError; }
    QString GetErrorDescription() const { return m_errorDescription; }

private:
    CADODatabase* m_database;
    QString m_text;
    int m_type;
    std::vector<CADOParameter> m_parameters;
    qint64 m_recordsAffected = -1;
    QString m_lastError;
    QString m_errorDescription;
};

} // namespace orvane::db
