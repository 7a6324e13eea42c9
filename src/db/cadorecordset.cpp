#include "db/cadorecordset.h"

#include "db/adoerror.h"
#include "db/cadocommand.h"
#include "db/cadodatabase.h"
#include "db/procedures.h"
#include "db/valuetext.h"

#include <set>

namespace orvane::db {

namespace {

const QString kSource = QStringLiteral("Orvane");

bool startsWithSelect(const QString& sql)
{
    qsizetype i = 0;
    while (i < sql.size() && sql[i].isSpace())
        ++i;
    return sql.mid(i, 6).compare(QLatin1String("select"), Qt::CaseInsensitive) == 0 &&
           i + 6 < sql.size() && sql[i + 6].isSpace();
}

} // namespace

CADORecordset::CADORecordset() = default;

CADORecordset::CADORecordset(CADODatabase* database) : m_database(database) {}

CADORecordset::~CADORecordset()
{
    Close();
}

void CADORecordset::setError(quint32 code, const QString& description, const QString& source)
{
    m_errorCode = code;
    m_errorDescription = description;
    m_lastError = formatAdoError(QStringLiteral("CADORecordset"), code,
                                 source.isEmpty() ? kSource : source, description) +
                  QStringLiteral("Query = ") + m_query;
}

void CADORecordset::clearError()
{
    m_errorCode = 0;
    m_errorDescription.clear();
    m_lastError.clear();
}

void CADORecordset::Close()
{
    m_open = false;
    m_result = ResultSet();
    m_row = 0;
    m_editState = dbEditNone;
    m_pending.clear();
}

bool CADORecordset::Open(CADODatabase* database, const QString& sql, int option)
{
    if (database)
        m_database = database;
    return Open(sql, option);
}

bool CADORecordset::Open(const QString& sql, int option)
{
    Close();
    m_query = sql;
    return openResult(sql, option);
}

bool CADORecordset::Open(int option)
{
    Close();
    return openResult(m_query, option);
}

bool CADORecordset::Open(CADOCommand& command)
{
    Close();
    clearError();
    m_database = command.GetDatabase();
    m_query = command.GetText();
    if (!command.run(&m_result)) {
        setError(kErrorCommandText, command.GetErrorDescription());
        m_result = ResultSet();
        return false;
    }
    m_open = true;
    return true;
}

bool CADORecordset::openResult(const QString& sql, int option)
{
    clearError();
    if (!m_database || !m_database->IsOpen()) {
        setError(kErrorClosed, QStringLiteral("The connection is closed"));
        return false;
    }
    BackendError error;
    bool ok;
    if (!startsWithSelect(sql) && option == openTable) {
        QString table = sql.trimmed();
        if (!table.startsWith(QLatin1Char('[')))
            table = QLatin1Char('[') + table + QLatin1Char(']');
        ok = m_database->runQuery(QStringLiteral("SELECT * FROM ") + table, m_result, true, error);
    } else if (!startsWithSelect(sql) && option == openStoredProc) {
        ProcedureCall call;
        if (auto parsed = parseProcedureCallText(sql))
            call = std::move(*parsed);
        else
            call.name = sql.trimmed();
        ok = callProcedure(*m_database, call, error);
        if (ok)
            m_result = std::move(call.rows);
    } else {
        ok = m_database->runQuery(sql, m_result, true, error);
    }
    if (!ok) {
        m_result = ResultSet();
        setError(error.code, error.description, error.source);
        return false;
    }
    m_open = true;
    m_row = 0;
    return true;
}

// --- navigation ----------------------------------------------------------------------------

bool CADORecordset::IsEOF() const
{
    return !m_open || m_row >= m_result.rowCount();
}

bool CADORecordset::IsBOF() const
{
    return !m_open || m_row < 0 || m_result.rowCount() == 0;
}

void CADORecordset::MoveFirst()
{
    if (m_editState != dbEditNone)
        Update();
    m_row = 0;
}

void CADORecordset::MoveNext()
{
    if (m_editState != dbEditNone)
        Update();
    if (m_row < m_result.rowCount())
        ++m_row;
}

void CADORecordset::MovePrevious()
{
    if (m_editState != dbEditNone)
        Update();
    if (m_row >= 0)
        --m_row;
}

void CADORecordset::MoveLast()
{
    if (m_editState != dbEditNone)
        Update();
    m_row = m_result.rowCount() > 0 ? m_result.rowCount() - 1 : 0;
}

bool CADORecordset::SetAbsolutePosition(int row)
{
    if (!m_open || row < 0 || row >= m_result.rowCount())
        return false;
    if (m_editState != dbEditNone)
        Update();
    m_row = row;
    return true;
}

int CADORecordset::GetRecordCount() const
{
    return m_open ? m_result.rowCount() : -1;
}

int CADORecordset::GetFieldCount() const
{
    return m_open ? m_result.visibleColumns : 0;
}

int CADORecordset::GetFieldIndex(const QString& name) const
{
    return m_open ? m_result.columnIndex(name) : -1;
}

bool CADORecordset::GetFieldInfo(int index, CADOFieldInfo* info)
{
    clearError();
    if (!m_open || index < 0 || index >= m_result.visibleColumns) {
        setError(kErrorNotFound, QStringLiteral("No field at index %1").arg(index));
        return false;
    }
    const ColumnInfo& column = m_result.columns[size_t(index)];
    if (info) {
        info->m_strName = column.name;
        info->m_nType = column.adoType;
        info->m_lDefinedSize = column.definedSize;
        info->m_lAttributes = column.attributes;
    }
    return true;
}

bool CADORecordset::GetFieldInfo(const QString& name, CADOFieldInfo* info)
{
    int index = -1;
    return fieldFor(name, index) && GetFieldInfo(index, info);
}

bool CADORecordset::fieldFor(const QString& name, int& index)
{
    index = GetFieldIndex(name);
    if (index < 0) {
        setError(kErrorNotFound,
                 m_open ? QStringLiteral("Item cannot be found in the collection corresponding "
                                         "to the requested name or ordinal: %1")
                              .arg(name)
                        : QStringLiteral("The recordset is closed"));
        return false;
    }
    return true;
}

bool CADORecordset::currentValue(int index, QVariant& raw)
{
    clearError();
    if (!m_open) {
        setError(kErrorClosed, QStringLiteral("The recordset is closed"));
        return false;
    }
    if (index < 0 || index >= m_result.visibleColumns) {
        setError(kErrorNotFound, QStringLiteral("No field at index %1").arg(index));
        return false;
    }
    if (m_row < 0 || m_row >= m_result.rowCount()) {
        setError(kErrorNoCurrentRow, QStringLiteral("There is no current record"));
        return false;
    }
    if (m_editState != dbEditNone) {
        const auto it = m_pending.find(index);
        if (it != m_pending.end()) {
            raw = it->second;
            return true;
        }
    }
    raw = m_result.at(m_row, index);
    return true;
}

bool CADORecordset::refuseValue(int index, const QString& text)
{
    setError(kErrorUnspecified, text.arg(m_result.columns[size_t(index)].name));
    return false;
}

// --- reads -----------------------------------------------------------------------------------

bool CADORecordset::GetFieldValue(int index, qint64& value)
{
    value = 0;
    QVariant raw;
    if (!currentValue(index, raw))
        return false;
    if (!valuetext::toInt64(raw, columnType(index), value))
        return refuseValue(index, QStringLiteral("Field %1 does not hold a number"));
    return true;
}

bool CADORecordset::GetFieldValue(int index, int& value)
{
    qint64 wide = 0;
    const bool ok = GetFieldValue(index, wide);
    value = int(wide);
    return ok;
}

bool CADORecordset::GetFieldValue(int index, double& value)
{
    value = 0;
    QVariant raw;
    if (!currentValue(index, raw))
        return false;
    if (!valuetext::toDouble(raw, columnType(index), value))
        return refuseValue(index, QStringLiteral("Field %1 does not hold a number"));
    return true;
}

bool CADORecordset::GetFieldValue(int index, bool& value)
{
    value = false;
    QVariant raw;
    if (!currentValue(index, raw))
        return false;
    bool ok = true;
    const QVariant typed = valuetext::toTyped(raw, adBoolean, &ok);
    if (!ok)
        return refuseValue(index, QStringLiteral("Field %1 does not hold a boolean"));
    value = typed.toBool();
    return true;
}

bool CADORecordset::GetFieldValue(int index, QDateTime& value)
{
    value = QDateTime();
    QVariant raw;
    if (!currentValue(index, raw))
        return false;
    if (!valuetext::toDateTime(raw, columnType(index), value))
        return refuseValue(index, QStringLiteral("Field %1 does not hold a date"));
    return true;
}

bool CADORecordset::GetFieldValue(int index, QString& value, const QString& dateFormat)
{
    value.clear();
    QVariant raw;
    if (!currentValue(index, raw))
        return false;
    bool ok = true;
    value = valuetext::toText(raw, columnType(index), dateFormat, &ok);
    if (!ok)
        return refuseValue(index, QStringLiteral("Field %1 has no text form"));
    return true;
}

bool CADORecordset::GetFieldValue(int index, QVariant& value)
{
    value = QVariant();
    QVariant raw;
    if (!currentValue(index, raw))
        return false;
    value = valuetext::toTyped(raw, columnType(index));
    return true;
}

#define ORVANE_BY_NAME(Type)                                                                       \
    bool CADORecordset::GetFieldValue(const QString& name, Type& value)                            \
    {                                                                                              \
        int index = -1;                                                                            \
        if (!fieldFor(name, index)) {                                                              \
            value = Type();                                                                        \
            return false;                                                                          \
        }                                                                                          \
        return GetFieldValue(index, value);                                                        \
    }
ORVANE_BY_NAME(int)
ORVANE_BY_NAME(qint64)
ORVANE_BY_NAME(double)
ORVANE_BY_NAME(bool)
ORVANE_BY_NAME(QDateTime)
ORVANE_BY_NAME(QVariant)
#undef ORVANE_BY_NAME

bool CADORecordset::GetFieldValue(const QString& name, QString& value, const QString& dateFormat)
{
    int index = -1;
    if (!fieldFor(name, index)) {
        value.clear();
        return false;
    }
    return GetFieldValue(index, value, dateFormat);
}

QString CADORecordset::GetFieldString(const QString& name)
{
    QString value;
    GetFieldValue(name, value);
    return value;
}

int CADORecordset::GetFieldInt(const QString& name)
{
    int value = 0;
    GetFieldValue(name, value);
    return value;
}

double CADORecordset::GetFieldDouble(const QString& name)
{
    double value = 0;
    GetFieldValue(name, value);
    return value;
}

bool CADORecordset::IsFieldNull(const QString& name)
{
    int index = -1;
    QVariant raw;
    return fieldFor(name, index) && currentValue(index, raw) && raw.isNull();
}

bool CADORecordset::GetChunk(int index, QByteArray& buffer)
{
    buffer.clear();
    QVariant raw;
    if (!currentValue(index, raw))
        return false;
    if (raw.isNull())
        return true;
    if (raw.typeId() == QMetaType::QByteArray)
        buffer = raw.toByteArray();
    else if (raw.typeId() == QMetaType::QString)
        buffer = raw.toString().toUtf8();
    else {
        setError(kErrorUnspecified, QStringLiteral("Field %1 does not hold binary data")
                                        .arg(m_result.columns[size_t(index)].name));
        return false;
    }
    return true;
}

bool CADORecordset::GetChunk(const QString& name, QByteArray& buffer)
{
    int index = -1;
    if (!fieldFor(name, index)) {
        buffer.clear();
        return false;
    }
    return GetChunk(index, buffer);
}

// --- changes ---------------------------------------------------------------------------------

bool CADORecordset::AppendChunk(const QString& name, const QByteArray& bytes)
{
    int index = -1;
    if (!fieldFor(name, index))
        return false;
    // Writing a binary value starts editing the current record as the provider does.
    if (m_editState == dbEditNone && !Edit())
        return false;
    return writeValue(index, QVariant(bytes));
}

bool CADORecordset::AppendChunk(const QString& name, const void* data, qint64 size)
{
    if (!data || size < 0)
        return AppendChunk(name, QByteArray());
    return AppendChunk(name, QByteArray(static_cast<const char*>(data), qsizetype(size)));
}

bool CADORecordset::AddNew()
{
    clearError();
    if (!m_open) {
        setError(kErrorClosed, QStringLiteral("The recordset is closed"));
        return false;
    }
    if (m_editState != dbEditNone && !Update())
        return false;
    m_row = m_result.appendBlankRow();
    m_editState = dbEditAdd;
    m_pending.clear();
    return true;
}

bool CADORecordset::Edit()
{
    clearError();
    if (!m_open) {
        setError(kErrorClosed, QStringLiteral("The recordset is closed"));
        return false;
    }
    if (m_editState == dbEditNone)
        m_editState = dbEditInProgress;
    return true;
}

bool CADORecordset::writeValue(int index, const QVariant& value)
{
    clearError();
    if (!m_open) {
        setError(kErrorClosed, QStringLiteral("The recordset is closed"));
        return false;
    }
    if (m_editState == dbEditNone) {
        setError(kErrorNotAllowed,
                 QStringLiteral("The record is not being added or edited: call AddNew or Edit"));
        return false;
    }
    if (index < 0 || index >= m_result.visibleColumns) {
        setError(kErrorNotFound, QStringLiteral("No field at index %1").arg(index));
        return false;
    }
    if (m_row < 0 || m_row >= m_result.rowCount()) {
        setError(kErrorNoCurrentRow, QStringLiteral("There is no current record"));
        return false;
    }
    const ColumnInfo& column = m_result.columns[size_t(index)];
    if (column.tableIndex < 0) {
        setError(kErrorNotAllowed,
                 QStringLiteral("Field %1 cannot be changed: it does not come from a table "
                                "with a known key")
                     .arg(column.name));
        return false;
    }
    QVariant stored = value;
    if (value.typeId() == QMetaType::QString && value.toString().isEmpty())
        stored = QVariant(); // an empty text is stored as null
    m_pending[index] = stored;
    return true;
}

bool CADORecordset::writeValue(const QString& name, const QVariant& value)
{
    int index = -1;
    return fieldFor(name, index) && writeValue(index, value);
}

bool CADORecordset::SetFieldValue(int index, const QVariant& value)
{
    return writeValue(index, value);
}
bool CADORecordset::SetFieldValue(const QString& name, const QVariant& value)
{
    return writeValue(name, value);
}
bool CADORecordset::SetFieldValue(int index, const QString& value)
{
    return writeValue(index, QVariant(value));
}
bool CADORecordset::SetFieldValue(const QString& name, const QString& value)
{
    return writeValue(name, QVariant(value));
}
bool CADORecordset::SetFieldValue(int index, const char* value)
{
    return writeValue(index, QVariant(QString::fromUtf8(value)));
}
bool CADORecordset::SetFieldValue(const QString& name, const char* value)
{
    return writeValue(name, QVariant(QString::fromUtf8(value)));
}
bool CADORecordset::SetFieldValue(int index, int value)
{
    return writeValue(index, QVariant(qlonglong(value)));
}
bool CADORecordset::SetFieldValue(const QString& name, int value)
{
    return writeValue(name, QVariant(qlonglong(value)));
}
bool CADORecordset::SetFieldValue(int index, qint64 value)
{
    return writeValue(index, QVariant(qlonglong(value)));
}
bool CADORecordset::SetFieldValue(const QString& name, qint64 value)
{
    return writeValue(name, QVariant(qlonglong(value)));
}
bool CADORecordset::SetFieldValue(int index, double value)
{
    return writeValue(index, QVariant(value));
}
bool CADORecordset::SetFieldValue(const QString& name, double value)
{
    return writeValue(name, QVariant(value));
}
bool CADORecordset::SetFieldValue(int index, bool value)
{
    return writeValue(index, QVariant(value));
}
bool CADORecordset::SetFieldValue(const QString& name, bool value)
{
    return writeValue(name, QVariant(value));
}
bool CADORecordset::SetFieldValue(int index, const QDateTime& value)
{
    return writeValue(index, QVariant(value));
}
bool CADORecordset::SetFieldValue(const QString& name, const QDateTime& value)
{
    return writeValue(name, QVariant(value));
}
bool CADORecordset::SetFieldValueNull(const QString& name)
{
    return writeValue(name, QVariant());
}

void CADORecordset::CancelUpdate()
{
    if (m_editState == dbEditAdd) {
        m_result.removeRow(m_row);
        if (m_row >= m_result.rowCount())
            m_row = m_result.rowCount() > 0 ? m_result.rowCount() - 1 : 0;
    }
    m_pending.clear();
    m_editState = dbEditNone;
}

bool CADORecordset::Update()
{
    clearError();
    if (m_editState == dbEditNone)
        return true;
    if (!writePending()) {
        CancelUpdate();
        return false;
    }
    m_pending.clear();
    m_editState = dbEditNone;
    return true;
}

bool CADORecordset::writePending()
{
    if (!m_database || !m_database->IsOpen()) {
        setError(kErrorClosed, QStringLiteral("The connection is closed"));
        return false;
    }
    Backend* backend = m_database->backend();
    const bool adding = m_editState == dbEditAdd;
    if (m_row < 0 || m_row >= m_result.rowCount()) {
        setError(kErrorNoCurrentRow, QStringLiteral("There is no current record"));
        return false;
    }
    if (!adding && m_pending.empty())
        return true;

    // Changed columns per base table.
    std::set<int> tables;
    for (const auto& change : m_pending)
        tables.insert(m_result.columns[size_t(change.first)].tableIndex);
    if (adding) {
        if (tables.size() > 1) {
            setError(kErrorNotAllowed,
                     QStringLiteral("A new record can be added to one table only"));
            return false;
        }
        if (tables.empty()) {
            if (m_result.tables.size() != 1) {
                setError(kErrorNotAllowed,
                         QStringLiteral("The query has no single table to add a record to"));
                return false;
            }
            tables.insert(0);
        }
    }

    const bool grouped = tables.size() > 1;
    const QString savepoint = QStringLiteral("orvane_update");
    auto failBackend = [&]() {
        const BackendError error = backend->lastError();
        if (grouped) {
            backend->rollbackToSavepoint(savepoint);
            backend->releaseSavepoint(savepoint);
        }
        setError(error.code, error.description, error.source);
        return false;
    };
    if (grouped && !backend->savepoint(savepoint))
        return failBackend();

    std::vector<std::pair<int, QVariantList>> refreshed; // table -> new key
    for (int t : tables) {
        const BaseTableKey& key = m_result.tables[size_t(t)];
        QStringList columns;
        QVariantList values;
        for (const auto& change : m_pending) {
            const ColumnInfo& column = m_result.columns[size_t(change.first)];
            if (column.tableIndex == t) {
                columns << column.baseColumn;
                values << change.second;
            }
        }
        QVariantList keyValues;
        if (adding) {
            if (!backend->insertRow(key.table, columns, values, key.keyColumns, &keyValues))
                return failBackend();
        } else {
            for (int c : key.keyResultColumns)
                keyValues << m_result.at(m_row, c);
            if (!backend->updateRow(key.table, key.keyColumns, keyValues, columns, values))
                return failBackend();
            if (const QVariantList moved = backend->movedKey(); !moved.isEmpty())
                keyValues = moved;
        }
        refreshed.emplace_back(t, keyValues);
    }
    // Read the written rows back: defaults, identities and stored forms of the values.
    std::vector<std::pair<int, QVariantList>> rowValues;
    for (const auto& [t, keyValues] : refreshed) {
        const BaseTableKey& key = m_result.tables[size_t(t)];
        QStringList columns;
        for (int c = 0; c < m_result.visibleColumns; ++c) {
            if (m_result.columns[size_t(c)].tableIndex == t)
                columns << m_result.columns[size_t(c)].baseColumn;
        }
        QVariantList values;
        if (!columns.isEmpty() &&
            !backend->fetchRow(key.table, key.keyColumns, keyValues, columns, values))
            return failBackend();
        rowValues.emplace_back(t, values);
    }
    if (grouped && !backend->releaseSavepoint(savepoint))
        return failBackend();

    for (size_t k = 0; k < refreshed.size(); ++k) {
        const int t = refreshed[k].first;
        const BaseTableKey& key = m_result.tables[size_t(t)];
        for (size_t i = 0; i < key.keyResultColumns.size(); ++i)
            m_result.at(m_row, key.keyResultColumns[i]) = refreshed[k].second.value(qsizetype(i));
        const QVariantList& values = rowValues[k].second;
        qsizetype v = 0;
        for (int c = 0; c < m_result.visibleColumns; ++c) {
            if (m_result.columns[size_t(c)].tableIndex == t)
                m_result.at(m_row, c) = values.value(v++);
        }
    }
    return true;
}

} // namespace orvane::db
