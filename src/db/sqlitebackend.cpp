#include "db/sqlitebackend.h"

#include "db/fromclause.h"
#include "db/valuetext.h"

#ifdef ORVANE_HAVE_TSQL_FUNCTIONS
#include "db/sqlitefunctions.h"
#include "db/textcollation.h"
#endif

#include <QFile>
#include <QFileInfo>

#include <sys/vfs.h>

#include <sqlite3.h>

#include <climits>

namespace orvane::db {

namespace {

// Magic numbers of network file systems (statfs f_type): NFS, SMB, CIFS, SMB2, Coda, AFS, 9P.
bool isNetworkFsType(unsigned long type)
{
    switch (type) {
    case 0x6969:
    case 0x517B:
    case 0xFF534D42:
    case 0xFE534D42:
    case 0x73757245:
    case 0x5346414F:
    case 0x01021997:
        return true;
    default:
        return false;
    }
}

QString quoteName(const QString& name)
{
    if (name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0)
        return name;
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

struct TypeInfo
{
    int adoType = adEmpty; // adEmpty: infer from the values
    qint64 size = 0;
    bool isLong = false;
};

// ADO type of a declared SQLite column type (T-SQL type names as the schema writes them).
TypeInfo typeFromDecl(const char* decl)
{
    TypeInfo info;
    if (!decl || !*decl)
        return info;
    const QString d = QString::fromLatin1(decl).toUpper();
    qint64 size = 0;
    const qsizetype open = d.indexOf(QLatin1Char('('));
    if (open >= 0) {
        const qsizetype close = d.indexOf(QLatin1Char(')'), open);
        const QString inner = d.mid(open + 1, close - open - 1).section(QLatin1Char(','), 0, 0);
        size = inner.trimmed() == QLatin1String("MAX") ? 2147483647 : inner.trimmed().toLongLong();
    }
    const QString base = d.left(open >= 0 ? open : d.size()).trimmed();
    auto set = [&](int type, qint64 defSize, bool isLong = false) {
        info.adoType = type;
        info.size = size > 0 ? size : defSize;
        info.isLong = isLong;
    };
    if (base.contains(QLatin1String("BIGINT")))
        set(adBigInt, 8);
    else if (base.contains(QLatin1String("SMALLINT")))
        set(adSmallInt, 2);
    else if (base.contains(QLatin1String("TINYINT")))
        set(adUnsignedTinyInt, 1);
    else if (base == QLatin1String("BIT") || base.startsWith(QLatin1String("BOOL")))
        set(adBoolean, 2);
    else if (base.contains(QLatin1String("INT")))
        set(adInteger, 4);
    else if (base.contains(QLatin1String("MONEY")))
        set(adCurrency, 8);
    else if (base.startsWith(QLatin1String("DECIMAL")) || base.startsWith(QLatin1String("NUMERIC")))
        set(adNumeric, 19);
    else if (base.contains(QLatin1String("REAL")) || base.contains(QLatin1String("FLOA")) ||
             base.contains(QLatin1String("DOUB")))
        set(adDouble, 8);
    else if (base.contains(QLatin1String("DATETIME")) || base.contains(QLatin1String("TIMESTAMP")))
        set(adDBTimeStamp, 16);
    else if (base == QLatin1String("DATE"))
        set(adDBDate, 16);
    else if (base == QLatin1String("TIME"))
        set(adDBTime, 16);
    else if (base == QLatin1String("NVARCHAR") || base == QLatin1String("NATIONAL VARCHAR"))
        set(size == 2147483647 ? adLongVarWChar : adVarWChar, 4000, size == 2147483647);
    else if (base == QLatin1String("VARCHAR"))
        set(size == 2147483647 ? adLongVarChar : adVarChar, 8000, size == 2147483647);
    else if (base == QLatin1String("NCHAR"))
        set(adWChar, 1);
    else if (base == QLatin1String("CHAR"))
        set(adChar, 1);
    else if (base.contains(QLatin1String("TEXT")) || base.contains(QLatin1String("CLOB")))
        set(adLongVarWChar, 1073741823, true);
    else if (base.contains(QLatin1String("CHAR")))
        set(adVarWChar, 4000);
    else if (base == QLatin1String("VARBINARY"))
        set(size == 2147483647 ? adLongVarBinary : adVarBinary, 8000, size == 2147483647);
    else if (base == QLatin1String("BINARY"))
        set(adBinary, 1);
    else if (base.contains(QLatin1String("IMAGE")) || base.contains(QLatin1String("BLOB")))
        set(adLongVarBinary, 2147483647, true);
    else if (base.contains(QLatin1String("UNIQUEIDENTIFIER")))
        set(adGUID, 16);
    return info;
}

// "YYYY-MM-DD HH:MM:SS[.fff]": how a computed date-time (GETDATE(), date arithmetic) arrives.
bool looksLikeTimestamp(const QVariant& v)
{
    if (v.typeId() != QMetaType::QString)
        return false;
    const QString s = v.toString();
    if (s.size() < 19 || s[4] != QLatin1Char('-') || s[7] != QLatin1Char('-') ||
        s[10] != QLatin1Char(' ') || s[13] != QLatin1Char(':') || s[16] != QLatin1Char(':'))
        return false;
    return valuetext::parseDateTime(s).isValid();
}

QString dateText(const QDateTime& dt)
{
    return dt.time().msec() != 0 ? dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                                 : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

class Statement
{
public:
    ~Statement() { sqlite3_finalize(m_stmt); }
    sqlite3_stmt* m_stmt = nullptr;
};

// "[k1]=? AND [k2]=?" for locating one row by its key columns.
QString keyCondition(const QStringList& keyColumns)
{
    QStringList where;
    for (const QString& k : keyColumns)
        where << quoteName(k) + QStringLiteral("=?");
    return where.join(QStringLiteral(" AND "));
}

} // namespace

std::unique_ptr<Backend> createSqliteBackend()
{
    return std::make_unique<SqliteBackend>();
}

SqliteBackend::SqliteBackend() = default;

SqliteBackend::~SqliteBackend()
{
    close();
}

bool SqliteBackend::fail(int rc)
{
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        return failWith(rc, QStringLiteral("数据库正被其他工作站占用，等待 %1 秒后仍未释放，"
                                           "请稍后重试。(database is locked)")
                                .arg(m_busyTimeoutMs / 1000.0));
    const QString message =
        m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
    return failWith(rc, message);
}

bool SqliteBackend::isNetworkPath(const QString& path)
{
    if (path.startsWith(QLatin1String("\\\\")) || path.startsWith(QLatin1String("//")))
        return true; // a UNC share
    QFileInfo info(path);
    const QByteArray dir = (info.exists() ? info.absoluteFilePath() : info.absolutePath()).toUtf8();
    struct statfs fs;
    if (statfs(dir.constData(), &fs) != 0)
        return false;
    return isNetworkFsType((unsigned long)(fs.f_type) & 0xFFFFFFFFul);
}

void SqliteBackend::setBusyTimeout(int milliseconds)
{
    m_busyTimeoutMs = milliseconds;
    if (m_db)
        sqlite3_busy_timeout(m_db, milliseconds);
}

bool SqliteBackend::failWith(int rc, const QString& description)
{
    setError((rc & 0xff) == SQLITE_ERROR ? kErrorCommandText : kErrorUnspecified, description);
    return false;
}

bool SqliteBackend::open(const ConnectionString& connection, bool create)
{
    if (connection.target() != ConnectionString::Target::SqliteFile)
        return failWith(SQLITE_CANTOPEN,
                        QStringLiteral("The connection string does not name a database file"));
    return openFile(connection.location(), create);
}

bool SqliteBackend::openFile(const QString& path, bool create)
{
    close();
    clearError();
    if (!create && !QFileInfo::exists(path))
        return failWith(SQLITE_CANTOPEN,
                        QStringLiteral("Database file \"%1\" does not exist").arg(path));
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message =
            m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        close();
        return failWith(rc, QStringLiteral("Cannot open \"%1\": %2").arg(path, message));
    }
    m_path = path;
    sqlite3_extended_result_codes(m_db, 0);
    sqlite3_busy_timeout(m_db, m_busyTimeoutMs);
    // WAL needs memory shared by every process, which a network file system cannot give: a file
    // on a share uses the rollback journal, which relies on the share's file locks only.
    // journal_mode reads the file header, so a file that is not a database fails here.
    const QString journal = isNetworkPath(path) ? QStringLiteral("PRAGMA journal_mode=DELETE")
                                                : QStringLiteral("PRAGMA journal_mode=WAL");
    if (!runSimple(journal) || !runSimple(QStringLiteral("PRAGMA synchronous=NORMAL")) ||
        !runSimple(QStringLiteral("PRAGMA foreign_keys=ON"))) {
        const BackendError error = lastError();
        close();
        setError(error.code, QStringLiteral("Cannot open \"%1\": %2").arg(path, error.description));
        return false;
    }
#ifdef ORVANE_HAVE_TSQL_FUNCTIONS
    registerTsqlFunctions(m_db);
    // Indexes on text columns follow the comparison installed above.
    TextCollation::reindexIfNeeded(m_db);
#endif
    m_schema.setConnection(m_db);
    return true;
}

bool SqliteBackend::isOpen() const
{
    // The connection check of the client relies on this to notice a removed database file.
    return m_db != nullptr && QFile::exists(m_path);
}

void SqliteBackend::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_schema.setConnection(nullptr);
}

bool SqliteBackend::runSimple(const QString& sql)
{
    return execute(sql, nullptr);
}

bool SqliteBackend::execute(const QString& sql, qint64* affected)
{
    if (affected)
        *affected = -1;
    if (!m_db)
        return failWith(SQLITE_MISUSE, QStringLiteral("The connection is closed"));
    clearError();
    const QString head = sql.trimmed().left(6).toUpper();
    if (head.startsWith(QLatin1String("CREATE")) || head.startsWith(QLatin1String("ALTER")) ||
        head.startsWith(QLatin1String("DROP")))
        m_schema.invalidate(); // column types are read again after a schema change
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = utf8.constData();
    const char* end = tail + utf8.size();
    qint64 total = -1;
    while (tail < end) {
        Statement st;
        const char* next = nullptr;
        int rc = sqlite3_prepare_v2(m_db, tail, int(end - tail), &st.m_stmt, &next);
        if (rc != SQLITE_OK)
            return fail(rc);
        tail = next;
        if (!st.m_stmt) // whitespace or a comment
            continue;
        const sqlite3_int64 before = sqlite3_total_changes64(m_db);
        while ((rc = sqlite3_step(st.m_stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            return fail(rc);
        // Row counts exist for INSERT, UPDATE and DELETE only; DDL reports -1 as SQL Server.
        const char* text = sqlite3_sql(st.m_stmt);
        const QByteArray verb =
            QByteArray(text, int(qstrnlen(text, 8))).trimmed().left(6).toUpper();
        const bool dml =
            verb == "INSERT" || verb == "UPDATE" || verb == "DELETE" || verb.startsWith("REPLAC");
        if (dml && sqlite3_total_changes64(m_db) != before)
            total = (total < 0 ? 0 : total) + sqlite3_changes64(m_db);
        else if (dml && total < 0)
            total = 0;
    }
    if (affected)
        *affected = total;
    return true;
}

bool SqliteBackend::fetch(sqlite3_stmt* stmt, ResultSet& result, int visibleColumns)
{
    const int columnCount = sqlite3_column_count(stmt);
    result = ResultSet();
    result.columns.resize(size_t(columnCount));
    result.visibleColumns = visibleColumns;
    std::vector<TypeInfo> types(static_cast<size_t>(columnCount));
    for (int c = 0; c < columnCount; ++c) {
        ColumnInfo& col = result.columns[size_t(c)];
        col.name = QString::fromUtf8(sqlite3_column_name(stmt, c));
        types[size_t(c)] = typeFromDecl(sqlite3_column_decltype(stmt, c));
        if (const char* table = sqlite3_column_table_name(stmt, c))
            col.baseTable = QString::fromUtf8(table);
        if (const char* origin = sqlite3_column_origin_name(stmt, c))
            col.baseColumn = QString::fromUtf8(origin);
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columnCount; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER:
                result.appendValue(qlonglong(sqlite3_column_int64(stmt, c)));
                break;
            case SQLITE_FLOAT:
                result.appendValue(sqlite3_column_double(stmt, c));
                break;
            case SQLITE_TEXT: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                result.appendValue(QString::fromUtf8(text, sqlite3_column_bytes(stmt, c)));
                break;
            }
            case SQLITE_BLOB: {
                const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, c));
                result.appendValue(QByteArray(data, sqlite3_column_bytes(stmt, c)));
                break;
            }
            default:
                result.appendValue(QVariant());
            }
        }
    }
    if (rc != SQLITE_DONE) {
        result = ResultSet();
        return fail(rc);
    }
    // Columns without a declared type (expressions) take the type of their values.
    const int rows = result.rowCount();
    for (int c = 0; c < columnCount; ++c) {
        TypeInfo& type = types[size_t(c)];
        if (type.adoType == adEmpty) {
            type.adoType = adVarWChar;
            type.size = 4000;
            bool allIntegersFit = true;
            int firstKind = -1;
            for (int r = 0; r < rows; ++r) {
                const QVariant& v = result.at(r, c);
                if (v.isNull())
                    continue;
                const int id = v.typeId();
                if (firstKind < 0)
                    firstKind = id;
                if (firstKind != QMetaType::LongLong)
                    break;
                if (id == QMetaType::Double) {
                    firstKind = QMetaType::Double; // integers mixed with fractions
                    break;
                }
                if (id == QMetaType::LongLong) {
                    const qint64 x = v.toLongLong();
                    allIntegersFit = allIntegersFit && x >= INT_MIN && x <= INT_MAX;
                }
            }
            if (firstKind == QMetaType::QString) {
                for (int r = 0; r < rows; ++r) {
                    if (!result.at(r, c).isNull()) {
                        if (looksLikeTimestamp(result.at(r, c)))
                            type = {adDBTimeStamp, 16, false};
                        break;
                    }
                }
            }
            if (firstKind == QMetaType::LongLong)
                type =
                    allIntegersFit ? TypeInfo{adInteger, 4, false} : TypeInfo{adBigInt, 8, false};
            else if (firstKind == QMetaType::Double)
                type = {adDouble, 8, false};
            else if (firstKind == QMetaType::QByteArray)
                type = {adLongVarBinary, 2147483647, true};
        }
        ColumnInfo& col = result.columns[size_t(c)];
        col.adoType = type.adoType;
        col.definedSize = type.size;
        col.attributes = adFldMayBeNull | adFldIsNullable | (type.isLong ? adFldLong : 0);
    }
    return true;
}

SqliteBackend::KeyedQuery SqliteBackend::addRowidColumns(const QString& sql)
{
    KeyedQuery keyed;
    const FromTables from = scanFromTables(sql);
    if (from.insertAt < 0)
        return keyed;
    keyed.tables = from.tables;
    keyed.aliases = from.aliases;
    QString extra;
    for (qsizetype k = 0; k < keyed.aliases.size(); ++k)
        extra += QStringLiteral(", %1.rowid AS \"__orvane_key%2\"").arg(keyed.aliases[k]).arg(k);
    keyed.sql = sql;
    keyed.sql.insert(from.insertAt, extra + QLatin1Char(' '));
    return keyed;
}

bool SqliteBackend::queryRows(const QString& sql, std::vector<ColumnInfo>& columns,
                              const RowCallback& row)
{
    if (!m_db)
        return failWith(SQLITE_MISUSE, QStringLiteral("The connection is closed"));
    clearError();
    Statement st;
    const int prepared =
        sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st.m_stmt, nullptr);
    if (prepared != SQLITE_OK)
        return fail(prepared);
    if (!st.m_stmt)
        return true;
    const int columnCount = sqlite3_column_count(st.m_stmt);
    columns.assign(size_t(columnCount), ColumnInfo());
    for (int c = 0; c < columnCount; ++c) {
        columns[size_t(c)].name = QString::fromUtf8(sqlite3_column_name(st.m_stmt, c));
        columns[size_t(c)].adoType = typeFromDecl(sqlite3_column_decltype(st.m_stmt, c)).adoType;
    }
    std::vector<QVariant> values(static_cast<size_t>(columnCount));
    int rc;
    while ((rc = sqlite3_step(st.m_stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columnCount; ++c) {
            QVariant& v = values[size_t(c)];
            switch (sqlite3_column_type(st.m_stmt, c)) {
            case SQLITE_INTEGER:
                v = qlonglong(sqlite3_column_int64(st.m_stmt, c));
                break;
            case SQLITE_FLOAT:
                v = sqlite3_column_double(st.m_stmt, c);
                break;
            case SQLITE_TEXT:
                v = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(st.m_stmt, c)),
                    sqlite3_column_bytes(st.m_stmt, c));
                break;
            case SQLITE_BLOB:
                v = QByteArray(static_cast<const char*>(sqlite3_column_blob(st.m_stmt, c)),
                               sqlite3_column_bytes(st.m_stmt, c));
                break;
            default:
                v = QVariant();
            }
        }
        if (!row(values.data()))
            return true;
    }
    return rc == SQLITE_DONE || fail(rc);
}

bool SqliteBackend::query(const QString& sql, ResultSet& result, bool updatable)
{
    result = ResultSet();
    if (!m_db)
        return failWith(SQLITE_MISUSE, QStringLiteral("The connection is closed"));
    clearError();
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = utf8.constData();
    const char* end = tail + utf8.size();
    while (tail < end) {
        Statement st;
        const char* next = nullptr;
        int rc = sqlite3_prepare_v2(m_db, tail, int(end - tail), &st.m_stmt, &next);
        if (rc != SQLITE_OK)
            return fail(rc);
        const QString statementText = QString::fromUtf8(tail, int(next - tail));
        tail = next;
        if (!st.m_stmt)
            continue;
        bool last = true;
        for (const char* p = tail; p < end; ++p) {
            if (!isspace(static_cast<unsigned char>(*p)) && *p != ';') {
                last = false;
                break;
            }
        }
        if (!last) { // earlier statements of a batch run for their effects
            while ((rc = sqlite3_step(st.m_stmt)) == SQLITE_ROW) {
            }
            if (rc != SQLITE_DONE)
                return fail(rc);
            continue;
        }
        const int visible = sqlite3_column_count(st.m_stmt);
        if (updatable && visible > 0) {
            const KeyedQuery keyed = addRowidColumns(statementText);
            Statement keyedSt;
            if (!keyed.sql.isEmpty() &&
                sqlite3_prepare_v2(m_db, keyed.sql.toUtf8().constData(), -1, &keyedSt.m_stmt,
                                   nullptr) == SQLITE_OK &&
                keyedSt.m_stmt &&
                sqlite3_column_count(keyedSt.m_stmt) == visible + int(keyed.tables.size())) {
                if (!fetch(keyedSt.m_stmt, result, visible))
                    return false;
                // A table that occurs once in FROM can be written back; a self-join is ambiguous.
                for (qsizetype k = 0; k < keyed.tables.size(); ++k) {
                    if (keyed.tables.count(keyed.tables[k]) != 1) // exact-case duplicates
                        continue;
                    BaseTableKey key;
                    key.table = keyed.tables[k];
                    key.keyColumns = QStringList{QStringLiteral("rowid")};
                    key.keyResultColumns = {visible + int(k)};
                    result.addBaseTable(key, keyed.tables.size() == 1);
                }
                return true;
            }
        }
        return fetch(st.m_stmt, result, visible);
    }
    return true; // nothing but whitespace: an empty result
}

bool SqliteBackend::prepareBound(const QString& sql,
                                 std::initializer_list<const QVariantList*> valueLists,
                                 sqlite3_stmt*& stmt)
{
    const int rc = sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK)
        return fail(rc);
    int index = 1;
    for (const QVariantList* values : valueLists) {
        for (const QVariant& v : *values) {
            if (!bindValue(stmt, index++, v))
                return false;
        }
    }
    return true;
}

bool SqliteBackend::bindValue(sqlite3_stmt* stmt, int index, const QVariant& value)
{
    int rc;
    if (value.isNull()) {
        rc = sqlite3_bind_null(stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(stmt, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
            rc = sqlite3_bind_int64(stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt, index, value.toDouble());
            break;
        case QMetaType::QDateTime:
            rc = sqlite3_bind_text(stmt, index, dateText(value.toDateTime()).toUtf8().constData(),
                                   -1, SQLITE_TRANSIENT);
            break;
        case QMetaType::QDate:
            rc = sqlite3_bind_text(stmt, index,
                                   value.toDate().toString(Qt::ISODate).toUtf8().constData(), -1,
                                   SQLITE_TRANSIENT);
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob64(stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                     SQLITE_TRANSIENT);
            break;
        }
        default:
            rc = sqlite3_bind_text(stmt, index, value.toString().toUtf8().constData(), -1,
                                   SQLITE_TRANSIENT);
        }
    }
    return rc == SQLITE_OK || fail(rc);
}

// Values a recordset writes, stored as the translated T-SQL stores them: dates of a date
// column in the one stored form, decimals rounded to the column's scale.
bool SqliteBackend::storedValues(const QString& table, const QStringList& columns,
                                 QVariantList& values)
{
    for (qsizetype i = 0; i < columns.size() && i < values.size(); ++i) {
        if (!storedValue(m_schema.declaredType(table, columns[i]).toUpper(), values[i]))
            return false;
    }
    return true;
}

// One value for a column of the declared type `decl` (upper case).
bool SqliteBackend::storedValue(const QString& decl, QVariant& v)
{
    if (v.isNull())
        return true;
    if (decl.startsWith(QLatin1String("DATE")) || decl == QLatin1String("SMALLDATETIME")) {
        const bool dateOnly = decl == QLatin1String("DATE");
        QString text;
        if (v.typeId() == QMetaType::QDateTime)
            text = dateText(v.toDateTime());
        else if (v.typeId() == QMetaType::QDate)
            text = v.toDate().toString(Qt::ISODate);
        else if (v.typeId() == QMetaType::QString)
            text = v.toString();
        else
            return true;
#ifdef ORVANE_HAVE_TSQL_FUNCTIONS
        const std::optional<QString> canonical = canonicalDateText(text, dateOnly);
        if (!canonical)
            return failWith(SQLITE_ERROR,
                            QStringLiteral("Conversion failed when converting date and/or "
                                           "time from character string '%1'.")
                                .arg(text));
        v = *canonical;
#else
        Q_UNUSED(dateOnly);
#endif
    } else if ((decl.startsWith(QLatin1String("DECIMAL")) ||
                decl.startsWith(QLatin1String("NUMERIC")) ||
                decl.endsWith(QLatin1String("MONEY"))) &&
               v.typeId() == QMetaType::Double) {
        int scale = 4;
        if (!decl.endsWith(QLatin1String("MONEY"))) {
            const qsizetype comma = decl.indexOf(u',');
            scale = comma < 0 ? 0 : decl.mid(comma + 1).chopped(1).trimmed().toInt();
        }
#ifdef ORVANE_HAVE_TSQL_FUNCTIONS
        v = roundToScale(v.toDouble(), scale);
#else
        Q_UNUSED(scale);
#endif
    }
    return true;
}

// Rows of one table written through one prepared UPDATE; the statement is reset and rebound
// for each row.
class SqliteRowWriter : public RowWriter
{
public:
    SqliteRowWriter(SqliteBackend& backend, const QString& table, const QStringList& keyColumns,
                    const QStringList& columns)
        : m_backend(backend), m_table(table)
    {
        QStringList sets;
        for (const QString& c : columns) {
            sets << quoteName(c) + QStringLiteral("=?");
            const QString decl = backend.m_schema.declaredType(table, c).toUpper();
            m_declared << decl;
            // Decimals are rounded to the column's scale here; other types take storedValue().
            int scale = -1;
            if (decl.endsWith(QLatin1String("MONEY"))) {
                scale = 4;
            } else if (decl.startsWith(QLatin1String("DECIMAL")) ||
                       decl.startsWith(QLatin1String("NUMERIC"))) {
                const qsizetype comma = decl.indexOf(u',');
                scale = comma < 0 ? 0 : decl.mid(comma + 1).chopped(1).trimmed().toInt();
            }
            m_scales.push_back(scale);
        }
        m_sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                    .arg(quoteName(table), sets.join(QLatin1Char(',')), keyCondition(keyColumns));
    }

    bool update(const QVariantList& keyValues, const QVariantList& values) override
    {
        SqliteBackend& b = m_backend;
        if (!b.m_db)
            return b.failWith(SQLITE_MISUSE, QStringLiteral("The connection is closed"));
        b.clearError();
        if (!m_statement.m_stmt) {
            const int rc = sqlite3_prepare_v2(b.m_db, m_sql.toUtf8().constData(), -1,
                                              &m_statement.m_stmt, nullptr);
            if (rc != SQLITE_OK)
                return b.fail(rc);
        }
        sqlite3_stmt* stmt = m_statement.m_stmt;
        sqlite3_reset(stmt);
        int index = 1;
        for (qsizetype i = 0; i < values.size() && i < m_declared.size(); ++i) {
            const QVariant& v = values[i];
            const int scale = m_scales[size_t(i)];
            if (scale >= 0 && v.typeId() == QMetaType::Double) {
#ifdef ORVANE_HAVE_TSQL_FUNCTIONS
                const int rc =
                    sqlite3_bind_double(stmt, index++, roundToScale(v.toDouble(), scale));
#else
                const int rc = sqlite3_bind_double(stmt, index++, v.toDouble());
#endif
                if (rc != SQLITE_OK)
                    return b.fail(rc);
                continue;
            }
            QVariant stored = v;
            if (!b.storedValue(m_declared[i], stored) || !b.bindValue(stmt, index++, stored))
                return false;
        }
        for (const QVariant& key : keyValues) {
            if (!b.bindValue(stmt, index++, key))
                return false;
        }
        const int rc = sqlite3_step(stmt);
        if (rc != SQLITE_DONE)
            return b.fail(rc);
        if (sqlite3_changes(b.m_db) == 0)
            return b.failWith(SQLITE_ERROR, rowChangedMeanwhileText(m_table));
        return true;
    }

private:
    SqliteBackend& m_backend;
    QString m_table;
    QString m_sql;
    QStringList m_declared;
    std::vector<int> m_scales; // decimal scale of each column, -1 for other types
    Statement m_statement;
};

std::unique_ptr<RowWriter> SqliteBackend::rowWriter(const QString& table,
                                                    const QStringList& keyColumns,
                                                    const QStringList& columns)
{
    return std::make_unique<SqliteRowWriter>(*this, table, keyColumns, columns);
}

bool SqliteBackend::updateRow(const QString& table, const QStringList& keyColumns,
                              const QVariantList& keyValues, const QStringList& columns,
                              const QVariantList& values)
{
    if (!m_db)
        return failWith(SQLITE_MISUSE, QStringLiteral("The connection is closed"));
    clearError();
    if (columns.isEmpty())
        return true;
    for (const QVariant& key : keyValues) {
        if (key.isNull())
            return failWith(SQLITE_ERROR, rowWithoutRecordText(table));
    }
    QVariantList stored = values;
    if (!storedValues(table, columns, stored))
        return false;
    QStringList sets;
    for (const QString& c : columns)
        sets << quoteName(c) + QStringLiteral("=?");
    const QString sql =
        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
            .arg(quoteName(table), sets.join(QLatin1Char(',')), keyCondition(keyColumns));
    Statement st;
    if (!prepareBound(sql, {&stored, &keyValues}, st.m_stmt))
        return false;
    const int rc = sqlite3_step(st.m_stmt);
    if (rc != SQLITE_DONE)
        return fail(rc);
    if (sqlite3_changes(m_db) == 0)
        return failWith(SQLITE_ERROR, rowChangedMeanwhileText(table));
    return true;
}

bool SqliteBackend::insertRow(const QString& table, const QStringList& columns,
                              const QVariantList& values, const QStringList& keyColumns,
                              QVariantList* newKey)
{
    if (!m_db)
        return failWith(SQLITE_MISUSE, QStringLiteral("The connection is closed"));
    clearError();
    QString sql;
    if (columns.isEmpty()) {
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteName(table));
    } else {
        QStringList names;
        QStringList marks;
        for (const QString& c : columns) {
            names << quoteName(c);
            marks << QStringLiteral("?");
        }
        sql =
            QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                .arg(quoteName(table), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    }
    QVariantList stored = values;
    if (!storedValues(table, columns, stored))
        return false;
    Statement st;
    if (!prepareBound(sql, {&stored}, st.m_stmt))
        return false;
    const int rc = sqlite3_step(st.m_stmt);
    if (rc != SQLITE_DONE)
        return fail(rc);
    if (newKey) {
        newKey->clear();
        const qlonglong rowid = sqlite3_last_insert_rowid(m_db);
        for (const QString& k : keyColumns) {
            if (k.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0) {
                newKey->append(rowid);
            } else {
                QVariantList one;
                if (!fetchRow(table, {QStringLiteral("rowid")}, {rowid}, {k}, one))
                    return false;
                newKey->append(one.value(0));
            }
        }
    }
    return true;
}

bool SqliteBackend::fetchRow(const QString& table, const QStringList& keyColumns,
                             const QVariantList& keyValues, const QStringList& columns,
                             QVariantList& values)
{
    values.clear();
    if (!m_db)
        return failWith(SQLITE_MISUSE, QStringLiteral("The connection is closed"));
    QStringList names;
    for (const QString& c : columns)
        names << quoteName(c);
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 WHERE %3")
            .arg(names.join(QLatin1Char(',')), quoteName(table), keyCondition(keyColumns));
    Statement st;
    if (!prepareBound(sql, {&keyValues}, st.m_stmt))
        return false;
    ResultSet rows;
    if (!fetch(st.m_stmt, rows, int(columns.size())))
        return false;
    if (rows.rowCount() != 1)
        return failWith(SQLITE_ERROR, rowNotFoundText(table));
    for (int c = 0; c < rows.columnCount(); ++c)
        values << rows.at(0, c);
    return true;
}

QVariant SqliteBackend::lastInsertId() const
{
    return m_db ? QVariant(qlonglong(sqlite3_last_insert_rowid(m_db))) : QVariant();
}

bool SqliteBackend::beginTransaction()
{
    return runSimple(QStringLiteral("BEGIN IMMEDIATE"));
}

bool SqliteBackend::commitTransaction()
{
    return runSimple(QStringLiteral("COMMIT"));
}

bool SqliteBackend::rollbackTransaction()
{
    return runSimple(QStringLiteral("ROLLBACK"));
}

bool SqliteBackend::inTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db);
}

bool SqliteBackend::savepoint(const QString& name)
{
    return runSimple(QStringLiteral("SAVEPOINT ") + quoteName(name));
}

bool SqliteBackend::releaseSavepoint(const QString& name)
{
    return runSimple(QStringLiteral("RELEASE SAVEPOINT ") + quoteName(name));
}

bool SqliteBackend::rollbackToSavepoint(const QString& name)
{
    return runSimple(QStringLiteral("ROLLBACK TO SAVEPOINT ") + quoteName(name));
}

} // namespace orvane::db
