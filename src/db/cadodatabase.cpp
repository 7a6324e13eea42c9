#include "db/cadodatabase.h"

#include "db/adoerror.h"
#include "db/postgresbackend.h"
#include "db/procedures.h"
#include "db/resultset.h"
#include "db/sqlstatements.h"

namespace orvane::db {

namespace {
// The source named in the error text of a statement the T-SQL translation refused.
const QString kTranslatorSource = QStringLiteral("T-SQL translator");
} // namespace

CADODatabase::CADODatabase() = default;

CADODatabase::~CADODatabase()
{
    Close();
}

QString CADODatabase::closedText() const
{
    return m_backend ? QStringLiteral("The database is no longer available")
                     : QStringLiteral("The connection is closed");
}

bool CADODatabase::checkOpen(BackendError& error) const
{
    if (IsOpen())
        return true;
    error = {kErrorClosed, QStringLiteral("Orvane"), closedText()};
    return false;
}

bool CADODatabase::translate(const QString& tsql, QStringList& statements,
                             BackendError& error) const
{
    QString translationError;
    if (translateStatements(m_backend->kind(), tsql, statements, translationError,
                            m_backend->schema()))
        return true;
    error = {kErrorCommandText, kTranslatorSource, translationError};
    return false;
}

BackendKind CADODatabase::backendKind() const
{
    return m_backend ? m_backend->kind() : BackendKind::Sqlite;
}

void CADODatabase::setError(const BackendError& error)
{
    m_errorCode = error.code;
    m_errorDescription = error.description;
    m_lastError = formatAdoError(QStringLiteral("CADODataBase"), error.code, error.source,
                                 error.description) +
                  QStringLiteral("Connection String = ") +
                  ConnectionString::maskPassword(m_connectionString);
}

void CADODatabase::clearError()
{
    m_errorCode = 0;
    m_errorDescription.clear();
    m_lastError.clear();
}

bool CADODatabase::Open(const QString& connection, bool create)
{
    Close();
    clearError();
    if (!connection.isEmpty())
        m_connectionString = connection;
    const ConnectionString cs = ConnectionString::parse(m_connectionString);
    std::unique_ptr<Backend> backend;
    QString refusal;
    switch (cs.target()) {
    case ConnectionString::Target::SqliteFile:
        backend = createSqliteBackend();
        break;
    case ConnectionString::Target::Workbook:
#ifdef ORVANE_HAVE_WORKBOOK_BACKEND
        backend = createWorkbookBackend();
#else
        refusal = QStringLiteral("Excel workbooks cannot be opened: no workbook backend is built");
#endif
        break;
    case ConnectionString::Target::PostgreSql:
        backend = createPostgresBackend();
        break;
    case ConnectionString::Target::SqlServer:
        refusal = QStringLiteral("No backend for database server \"%1\": give the path of an "
                                 "embedded database file as the server")
                      .arg(cs.location());
        break;
    case ConnectionString::Target::Invalid:
        refusal = QStringLiteral("The connection string names no database");
        break;
    }
    if (!backend) {
        setError({kErrorConnection, QStringLiteral("Orvane"), refusal});
        return false;
    }
    if (!backend->open(cs, create)) {
        setError(backend->lastError());
        return false;
    }
    m_backend = std::move(backend);
    return true;
}

bool CADODatabase::IsOpen() const
{
    return m_backend && m_backend->isOpen();
}

void CADODatabase::Close()
{
    if (m_backend) {
        if (m_backend->inTransaction())
            m_backend->rollbackTransaction();
        m_backend->close();
        m_backend.reset();
    }
    m_savepoints.clear();
}

bool CADODatabase::Execute(const QString& sql)
{
    clearError();
    m_recordsAffected = -1;
    BackendError error;
    if (!runStatement(sql, &m_recordsAffected, error)) {
        setError(error);
        return false;
    }
    return true;
}

bool CADODatabase::BeginTransaction()
{
    clearError();
    if (!IsOpen()) {
        setError(
            {kErrorClosed, QStringLiteral("Orvane"), QStringLiteral("The connection is closed")});
        return false;
    }
    // Inside an open transaction (ours, or a procedure's) a savepoint gives the nesting.
    if (!m_savepoints.empty() || m_backend->inTransaction()) {
        const QString name = QStringLiteral("orvane_tx_%1").arg(m_savepoints.size() + 1);
        if (!m_backend->savepoint(name)) {
            setError(m_backend->lastError());
            return false;
        }
        m_savepoints.push_back(name);
        return true;
    }
    if (!m_backend->beginTransaction()) {
        setError(m_backend->lastError());
        return false;
    }
    m_savepoints.push_back(QString());
    return true;
}

bool CADODatabase::CommitTransaction()
{
    QString name;
    if (!endLevel(name))
        return false;
    const bool ok =
        name.isEmpty() ? m_backend->commitTransaction() : m_backend->releaseSavepoint(name);
    if (!ok) {
        setError(m_backend->lastError());
        // A failed COMMIT leaves the transaction open: end it so the connection stays usable.
        if (name.isEmpty() && m_backend->inTransaction())
            m_backend->rollbackTransaction();
    }
    return ok;
}

bool CADODatabase::endLevel(QString& savepoint)
{
    clearError();
    if (!IsOpen() || m_savepoints.empty()) {
        setError(
            {kErrorNotAllowed, QStringLiteral("Orvane"), QStringLiteral("No transaction is open")});
        return false;
    }
    savepoint = m_savepoints.back();
    m_savepoints.pop_back();
    return true;
}

bool CADODatabase::RollbackTransaction()
{
    QString name;
    if (!endLevel(name))
        return false;
    bool ok;
    if (name.isEmpty())
        ok = !m_backend->inTransaction() || m_backend->rollbackTransaction();
    else
        ok = m_backend->rollbackToSavepoint(name) && m_backend->releaseSavepoint(name);
    if (!ok)
        setError(m_backend->lastError());
    return ok;
}

bool CADODatabase::runStatement(const QString& tsql, qint64* affected, BackendError& error)
{
    if (affected)
        *affected = -1;
    if (!checkOpen(error))
        return false;
    if (auto call = parseProcedureCallText(tsql)) {
        return callProcedure(*this, *call, error);
    }
    QStringList statements;
    if (!translate(tsql, statements, error))
        return false;
    // BEGIN/COMMIT/ROLLBACK TRANSACTION written in the text work as the methods of the same
    // name; such a text is not wrapped into a unit of its own.
    bool controlsTransaction = false;
    for (const QString& sql : statements) {
        if (sql == QLatin1String("BEGIN") || sql == QLatin1String("COMMIT") ||
            sql == QLatin1String("ROLLBACK"))
            controlsTransaction = true;
    }
    if (controlsTransaction) {
        qint64 total = -1;
        for (const QString& sql : statements) {
            bool ok = true;
            qint64 count = -1;
            if (sql == QLatin1String("BEGIN"))
                ok = BeginTransaction();
            else if (sql == QLatin1String("COMMIT"))
                ok = CommitTransaction();
            else if (sql == QLatin1String("ROLLBACK"))
                ok = RollbackTransaction();
            else
                ok = m_backend->execute(sql, &count);
            if (!ok) {
                error = m_backend->lastError();
                return false;
            }
            if (count >= 0)
                total = (total < 0 ? 0 : total) + count;
        }
        if (affected)
            *affected = total;
        return true;
    }
    // A statement translated into several runs as one unit.
    const bool grouped = statements.size() > 1;
    const QString savepoint = QStringLiteral("orvane_stmt");
    if (grouped && !m_backend->savepoint(savepoint)) {
        error = m_backend->lastError();
        return false;
    }
    qint64 total = -1;
    for (const QString& sql : statements) {
        qint64 count = -1;
        if (!m_backend->execute(sql, &count)) {
            error = m_backend->lastError();
            if (grouped) {
                m_backend->rollbackToSavepoint(savepoint);
                m_backend->releaseSavepoint(savepoint);
            }
            return false;
        }
        if (count >= 0)
            total = (total < 0 ? 0 : total) + count;
    }
    if (grouped && !m_backend->releaseSavepoint(savepoint)) {
        error = m_backend->lastError();
        return false;
    }
    if (affected)
        *affected = total;
    return true;
}

bool CADODatabase::runQueryRows(const QString& tsql, std::vector<ColumnInfo>& columns,
                                const Backend::RowCallback& row, BackendError& error)
{
    if (!checkOpen(error))
        return false;
    QStringList statements;
    if (!translate(tsql, statements, error))
        return false;
    if (statements.size() != 1) {
        error = {kErrorCommandText, QStringLiteral("Orvane"),
                 QStringLiteral("One query is expected")};
        return false;
    }
    if (!m_backend->queryRows(statements.front(), columns, row)) {
        error = m_backend->lastError();
        return false;
    }
    return true;
}

bool CADODatabase::runQuery(const QString& tsql, ResultSet& result, bool updatable,
                            BackendError& error)
{
    result = ResultSet();
    if (!checkOpen(error))
        return false;
    if (tsql.trimmed().isEmpty()) {
        error = {kErrorCommandText, QStringLiteral("Orvane"),
                 QStringLiteral("The query text is empty")};
        return false;
    }
    if (auto call = parseProcedureCallText(tsql)) {
        if (!callProcedure(*this, *call, error))
            return false;
        result = std::move(call->rows);
        return true;
    }
    QStringList statements;
    if (!translate(tsql, statements, error))
        return false;
    if (statements.isEmpty())
        return true;
    for (qsizetype i = 0; i + 1 < statements.size(); ++i) {
        if (!m_backend->execute(statements[i], nullptr)) {
            error = m_backend->lastError();
            return false;
        }
    }
    if (!m_backend->query(statements.back(), result, updatable)) {
        error = m_backend->lastError();
        return false;
    }
    return true;
}

bool CADODatabase::runNative(const QString& sql, qint64* affected, BackendError& error)
{
    if (!checkOpen(error))
        return false;
    if (!m_backend->execute(sql, affected)) {
        error = m_backend->lastError();
        return false;
    }
    return true;
}

} // namespace orvane::db
