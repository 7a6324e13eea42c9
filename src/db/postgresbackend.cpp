#include "db/postgresbackend.h"

#include "db/fromclause.h"
#include "db/postgresfunctions.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

#include <libpq-fe.h>

#include <climits>
#include <utility>

namespace orvane::db {

namespace {

// Built-in type OIDs (pg_type.h).
constexpr Oid kBoolOid = 16;
constexpr Oid kByteaOid = 17;
constexpr Oid kNameOid = 19;
constexpr Oid kInt8Oid = 20;
constexpr Oid kInt2Oid = 21;
constexpr Oid kInt4Oid = 23;
constexpr Oid kTextOid = 25;
constexpr Oid kOidOid = 26;
constexpr Oid kFloat4Oid = 700;
constexpr Oid kFloat8Oid = 701;
constexpr Oid kBpcharOid = 1042;
constexpr Oid kVarcharOid = 1043;
constexpr Oid kDateOid = 1082;
constexpr Oid kTimeOid = 1083;
constexpr Oid kTimestampOid = 1114;
constexpr Oid kTimestamptzOid = 1184;
constexpr Oid kNumericOid = 1700;

// The savepoint that makes each statement inside a transaction atomic on its own.
const char kGuard[] = "orvane_guard";

void clearResult(pg_result* r)
{
    PQclear(r);
}

QString dateText(const QDateTime& dt)
{
    return dt.time().msec() != 0 ? dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                                 : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QByteArray decodeBytea(const char* text, int length)
{
    if (length >= 2 && text[0] == '\\' && text[1] == 'x')
        return QByteArray::fromHex(QByteArray::fromRawData(text + 2, length - 2));
    size_t size = 0;
    unsigned char* raw = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &size);
    QByteArray bytes(reinterpret_cast<const char*>(raw), qsizetype(size));
    PQfreemem(raw);
    return bytes;
}

// SQL Server's text for a value that does not convert, from PostgreSQL's
// 'invalid input syntax for type integer: "abc"'.
QString conversionMessage(const QString& message)
{
    static const QRegularExpression syntax(
        QStringLiteral("^invalid input syntax for type ([a-z ]+): \"(.*)\"$"));
    const QRegularExpressionMatch m = syntax.match(message);
    if (!m.hasMatch())
        return message;
    const QString type = m.captured(1);
    if (type == QLatin1String("numeric"))
        return QStringLiteral("Error converting data type varchar to numeric.");
    const QString target = type == QLatin1String("integer")            ? QStringLiteral("int")
                           : type == QLatin1String("double precision") ? QStringLiteral("float")
                                                                       : type;
    return QStringLiteral("Conversion failed when converting the varchar value '%1' to data type "
                          "%2.")
        .arg(m.captured(2), target);
}

bool isDdl(const QString& sql)
{
    const QString head = sql.trimmed().left(12).toUpper();
    return head.startsWith(QLatin1String("CREATE")) || head.startsWith(QLatin1String("ALTER")) ||
           head.startsWith(QLatin1String("DROP"));
}

// Statement parameters as libpq takes them: text for every value but byte arrays, which go in
// binary form (the bytes as they are); a null pointer for NULL.
class StatementParameters
{
public:
    explicit StatementParameters(const QVariantList& params)
    {
        m_buffers.reserve(size_t(params.size()));
        for (const QVariant& v : params) {
            if (v.isNull()) {
                m_buffers.emplace_back();
                m_values.push_back(nullptr);
                m_lengths.push_back(0);
                m_formats.push_back(0);
                continue;
            }
            QByteArray bytes;
            int format = 0;
            switch (v.typeId()) {
            case QMetaType::QByteArray:
                bytes = v.toByteArray();
                format = 1;
                break;
            case QMetaType::Bool:
                bytes = v.toBool() ? "1" : "0";
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                bytes = QByteArray::number(v.toDouble(), 'g', 17);
                break;
            case QMetaType::QDateTime:
                bytes = dateText(v.toDateTime()).toUtf8();
                break;
            case QMetaType::QDate:
                bytes = v.toDate().toString(Qt::ISODate).toUtf8();
                break;
            default:
                bytes = v.toString().toUtf8();
            }
            m_buffers.push_back(bytes);
            m_values.push_back(m_buffers.back().constData());
            m_lengths.push_back(int(m_buffers.back().size()));
            m_formats.push_back(format);
        }
    }

    int count() const { return int(m_values.size()); }
    const char* const* values() const { return m_values.data(); }
    const int* lengths() const { return m_lengths.data(); }
    const int* formats() const { return m_formats.data(); }

private:
    std::vector<QByteArray> m_buffers;
    std::vector<const char*> m_values;
    std::vector<int> m_lengths;
    std::vector<int> m_formats;
};

} // namespace

std::unique_ptr<Backend> createPostgresBackend()
{
    return std::make_unique<PostgresBackend>();
}

// ---------------------------------------------------------------------------------------------
// schema

QString PostgresSchemaCache::tsqlType(const QString& pgType)
{
    const QString t = pgType.toLower();
    const qsizetype paren = t.indexOf(u'(');
    const QString args = paren < 0 ? QString() : t.mid(paren, t.indexOf(u')') - paren + 1);
    if (t == QLatin1String("citext")) // texts of databases made before the collation
        return QStringLiteral("NVARCHAR(4000)");
    if (t == QLatin1String("tsqlmoney"))
        return QStringLiteral("MONEY");
    if (t.startsWith(QLatin1String("character varying")))
        return QStringLiteral("NVARCHAR") + (args.isEmpty() ? QStringLiteral("(4000)") : args);
    if (t.startsWith(QLatin1String("character")))
        return QStringLiteral("NCHAR") + args;
    if (t == QLatin1String("text") || t == QLatin1String("name"))
        return QStringLiteral("NTEXT");
    if (t == QLatin1String("integer"))
        return QStringLiteral("INT");
    if (t == QLatin1String("bigint"))
        return QStringLiteral("BIGINT");
    if (t == QLatin1String("smallint"))
        return QStringLiteral("SMALLINT");
    if (t == QLatin1String("tsqlbit") || t == QLatin1String("boolean"))
        return QStringLiteral("BIT");
    if (t.startsWith(QLatin1String("numeric")))
        return QStringLiteral("DECIMAL") + (args.isEmpty() ? QStringLiteral("(38,6)") : args);
    if (t == QLatin1String("double precision"))
        return QStringLiteral("FLOAT");
    if (t == QLatin1String("real"))
        return QStringLiteral("REAL");
    if (t.startsWith(QLatin1String("timestamp")))
        return QStringLiteral("DATETIME");
    if (t == QLatin1String("date"))
        return QStringLiteral("DATE");
    if (t.startsWith(QLatin1String("time")))
        return QStringLiteral("TIME");
    if (t == QLatin1String("bytea"))
        return QStringLiteral("IMAGE");
    return pgType.toUpper();
}

const QList<TsqlColumn>* PostgresSchemaCache::columns(const QString& table)
{
    const QString key = table.toLower();
    auto it = m_tables.constFind(key);
    if (it != m_tables.constEnd())
        return &it.value();
    auto rows = m_backend.catalogQuery(
        "SELECT a.attname, format_type(a.atttypid, a.atttypmod), "
        "a.attidentity <> '' OR coalesce(pg_get_expr(d.adbin, d.adrelid), '') LIKE 'nextval(%' "
        "FROM pg_catalog.pg_attribute a "
        "LEFT JOIN pg_catalog.pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum "
        "WHERE a.attrelid = to_regclass(quote_ident($1)) AND a.attnum > 0 "
        "AND NOT a.attisdropped ORDER BY a.attnum",
        {key});
    if (!rows || PQntuples(rows.get()) == 0)
        return nullptr;
    QList<TsqlColumn> columns;
    for (int r = 0; r < PQntuples(rows.get()); ++r) {
        TsqlColumn c;
        c.name = QString::fromUtf8(PQgetvalue(rows.get(), r, 0));
        c.declType = tsqlType(QString::fromUtf8(PQgetvalue(rows.get(), r, 1)));
        c.identity = PQgetvalue(rows.get(), r, 2)[0] == 't';
        columns << c;
    }
    return &m_tables.insert(key, columns).value();
}

// ---------------------------------------------------------------------------------------------
// connection

PostgresBackend::PostgresBackend() : m_schema(*this) {}

PostgresBackend::~PostgresBackend()
{
    close();
}

bool PostgresBackend::open(const ConnectionString& connection, bool /*create*/)
{
    close();
    clearError();
    const QList<QPair<QString, QString>> params = connection.postgresParameters();
    if (params.isEmpty())
        return failText(kErrorConnection, QStringLiteral("The connection string names no "
                                                         "PostgreSQL server"));
    std::vector<QByteArray> keys;
    std::vector<QByteArray> values;
    bool hasTimeout = false;
    for (const auto& p : params) {
        keys.push_back(p.first.toUtf8());
        values.push_back(p.second.toUtf8());
        hasTimeout = hasTimeout || p.first == QLatin1String("connect_timeout");
    }
    keys.push_back("client_encoding");
    values.push_back("UTF8");
    keys.push_back("application_name");
    values.push_back("orvane");
    if (!hasTimeout && !connection.location().contains(QLatin1String("connect_timeout"))) {
        keys.push_back("connect_timeout");
        values.push_back("10");
    }
    std::vector<const char*> keyPtrs;
    std::vector<const char*> valuePtrs;
    for (size_t i = 0; i < keys.size(); ++i) {
        keyPtrs.push_back(keys[i].constData());
        valuePtrs.push_back(values[i].constData());
    }
    keyPtrs.push_back(nullptr);
    valuePtrs.push_back(nullptr);
    m_conn = PQconnectdbParams(keyPtrs.data(), valuePtrs.data(), 1);
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        const QString message = m_conn ? QString::fromUtf8(PQerrorMessage(m_conn)).trimmed()
                                       : QStringLiteral("out of memory");
        close();
        return failText(kErrorConnection,
                        QStringLiteral("Cannot connect to the PostgreSQL server: %1")
                            .arg(ConnectionString::maskPassword(message)));
    }
    // Notices (DROP ... IF EXISTS of a missing table and the like) are not errors.
    PQsetNoticeProcessor(
        m_conn, [](void*, const char*) {}, nullptr);
    const QByteArray zone = QTimeZone::systemTimeZoneId();
    const QString setup =
        QStringLiteral("SET DateStyle TO ISO, YMD; SET IntervalStyle TO postgres; "
                       "SET client_min_messages TO warning; SET TimeZone TO '%1'")
            .arg(zone.isEmpty() ? QStringLiteral("UTC") : QString::fromLatin1(zone));
    Result r(PQexec(m_conn, setup.toUtf8().constData()), clearResult);
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) {
        // An unknown zone name: keep the server's.
        Result retry(PQexec(m_conn, "SET DateStyle TO ISO, YMD; SET client_min_messages TO "
                                    "warning"),
                     clearResult);
    }
    // A database that `orvane-admin init` did not prepare gets the collation, the domains and
    // the functions of the translation now (when the user may create them).
    auto prepared = catalogQuery("SELECT 1 FROM pg_catalog.pg_proc WHERE proname = "
                                 "'tsql_datestr' AND pg_function_is_visible(oid) AND EXISTS "
                                 "(SELECT 1 FROM pg_catalog.pg_type WHERE typname = 'tsqlmoney')",
                                 {});
    if (prepared && PQntuples(prepared.get()) == 0) {
        for (const QString& sql : postgresSetupStatements())
            run(sql);
        clearError();
    }
    auto types = catalogQuery("SELECT typname, oid FROM pg_catalog.pg_type WHERE typname IN "
                              "('citext', 'tsqlbit', 'tsqlmoney')",
                              {});
    if (types) {
        for (int r2 = 0; r2 < PQntuples(types.get()); ++r2) {
            const QByteArray name = PQgetvalue(types.get(), r2, 0);
            const Oid oid = Oid(QByteArray(PQgetvalue(types.get(), r2, 1)).toUInt());
            (name == "citext" ? m_citextOid : name == "tsqlbit" ? m_bitOid : m_moneyOid) = oid;
        }
    }
    return true;
}

void PostgresBackend::close()
{
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
    m_schema.invalidate();
    m_tableInfo.clear();
    m_primaryKeys.clear();
    m_staleStatements.clear();
}

bool PostgresBackend::isOpen() const
{
    return m_conn && PQstatus(m_conn) == CONNECTION_OK;
}

bool PostgresBackend::checkOpen()
{
    if (!m_conn)
        return failText(kErrorClosed, QStringLiteral("The connection is closed"));
    if (PQstatus(m_conn) != CONNECTION_OK)
        return failText(kErrorConnection,
                        QStringLiteral("The connection to the PostgreSQL server was lost"));
    clearError();
    return true;
}

bool PostgresBackend::failText(quint32 code, const QString& description)
{
    setError(code, description);
    return false;
}

bool PostgresBackend::failResult(pg_result* result)
{
    if (m_conn && PQstatus(m_conn) != CONNECTION_OK) {
        QString message = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
        return failText(kErrorConnection,
                        QStringLiteral("The connection to the PostgreSQL server was lost%1")
                            .arg(message.isEmpty() ? QString() : QStringLiteral(": ") + message));
    }
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    QString message = primary ? QString::fromUtf8(primary)
                              : QString::fromUtf8(m_conn ? PQerrorMessage(m_conn) : "").trimmed();
    // SQL Server's texts where the client's users know them.
    if (state && qstrcmp(state, "22012") == 0)
        message = QStringLiteral("Divide by zero error encountered.");
    else if (state && qstrcmp(state, "22001") == 0)
        message = QStringLiteral("String or binary data would be truncated.");
    else if (state && qstrcmp(state, "22P02") == 0)
        message = conversionMessage(message);
    if (message.isEmpty())
        message = QStringLiteral("The statement failed");
    return failText(kErrorCommandText, message);
}

// ---------------------------------------------------------------------------------------------
// running statements

PostgresBackend::Result PostgresBackend::guarded(const std::function<Result()>& statement)
{
    const bool guard = PQtransactionStatus(m_conn) == PQTRANS_INTRANS;
    if (guard) {
        Result sp(PQexec(m_conn, "SAVEPOINT orvane_guard"), clearResult);
        if (PQresultStatus(sp.get()) != PGRES_COMMAND_OK) {
            failResult(sp.get());
            return Result(nullptr, clearResult);
        }
    }
    Result r = statement();
    const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!ok) {
        failResult(r.get());
        if (guard && PQstatus(m_conn) == CONNECTION_OK) {
            Result undo(PQexec(m_conn, "ROLLBACK TO SAVEPOINT orvane_guard; RELEASE SAVEPOINT "
                                       "orvane_guard"),
                        clearResult);
        }
        return Result(nullptr, clearResult);
    }
    if (guard) {
        Result release(PQexec(m_conn, "RELEASE SAVEPOINT orvane_guard"), clearResult);
        if (PQresultStatus(release.get()) != PGRES_COMMAND_OK) {
            failResult(release.get());
            return Result(nullptr, clearResult);
        }
    }
    return r;
}

PostgresBackend::Result PostgresBackend::run(const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    return guarded([&] { return Result(PQexec(m_conn, text.constData()), clearResult); });
}

PostgresBackend::Result PostgresBackend::runParams(const QString& sql, const QVariantList& params)
{
    const StatementParameters p(params);
    const QByteArray text = sql.toUtf8();
    return guarded([&] {
        return Result(PQexecParams(m_conn, text.constData(), p.count(), nullptr, p.values(),
                                   p.lengths(), p.formats(), 0),
                      clearResult);
    });
}

std::unique_ptr<pg_result, void (*)(pg_result*)>
PostgresBackend::catalogQuery(const char* sql, const QStringList& params)
{
    QVariantList values;
    for (const QString& p : params)
        values << p;
    if (!m_conn)
        return Result(nullptr, clearResult);
    // Catalogue reads keep the last error of the caller's statement.
    const BackendError saved = lastError();
    Result r = runParams(QString::fromUtf8(sql), values);
    if (!r)
        return r;
    if (saved.code != 0)
        setError(saved.code, saved.description);
    return r;
}

bool PostgresBackend::execute(const QString& sql, qint64* affected)
{
    if (affected)
        *affected = -1;
    if (!checkOpen())
        return false;
    Result r = run(sql);
    if (!r)
        return false;
    if (isDdl(sql)) {
        m_schema.invalidate();
        m_tableInfo.clear();
        m_primaryKeys.clear();
    }
    const char* count = PQcmdTuples(r.get());
    if (affected && count && *count)
        *affected = QByteArray(count).toLongLong();
    return true;
}

// Names are folded to lower case as the translated T-SQL folds them.
QString PostgresBackend::quoteName(const QString& name)
{
    QString quoted = name.toLower();
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The table and columns behind a result column, read from the catalogue once per table.
const PostgresBackend::TableInfo* PostgresBackend::tableInfo(unsigned int oid, int attnum)
{
    auto it = m_tableInfo.constFind(oid);
    if (it != m_tableInfo.constEnd() && attnum <= int(it->attributes.size()))
        return &it.value();
    auto rows = catalogQuery("SELECT c.relname, a.attnum, a.attname, a.atttypid, a.atttypmod "
                             "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_attribute a ON "
                             "a.attrelid = c.oid WHERE c.oid = $1::oid AND a.attnum > 0 "
                             "ORDER BY a.attnum",
                             {QString::number(oid)});
    if (!rows || PQntuples(rows.get()) == 0)
        return nullptr;
    TableInfo info;
    info.name = QString::fromUtf8(PQgetvalue(rows.get(), 0, 0));
    for (int r = 0; r < PQntuples(rows.get()); ++r) {
        const int num = QByteArray(PQgetvalue(rows.get(), r, 1)).toInt();
        if (num > int(info.attributes.size()))
            info.attributes.resize(size_t(num));
        Attribute& a = info.attributes[size_t(num - 1)];
        a.name = QString::fromUtf8(PQgetvalue(rows.get(), r, 2));
        a.typeOid = QByteArray(PQgetvalue(rows.get(), r, 3)).toUInt();
        a.typmod = QByteArray(PQgetvalue(rows.get(), r, 4)).toInt();
    }
    return &m_tableInfo.insert(oid, info).value();
}

QStringList PostgresBackend::primaryKey(const QString& table)
{
    const QString key = table.toLower();
    auto it = m_primaryKeys.constFind(key);
    if (it != m_primaryKeys.constEnd())
        return it.value();
    QStringList columns;
    auto rows = catalogQuery("SELECT a.attname FROM pg_catalog.pg_index i "
                             "JOIN pg_catalog.pg_attribute a ON a.attrelid = i.indrelid AND "
                             "a.attnum = ANY(i.indkey) WHERE i.indrelid = "
                             "to_regclass(quote_ident($1)) AND i.indisprimary "
                             "ORDER BY array_position(i.indkey, a.attnum)",
                             {key});
    if (rows) {
        for (int r = 0; r < PQntuples(rows.get()); ++r)
            columns << QString::fromUtf8(PQgetvalue(rows.get(), r, 0));
    }
    if (columns.isEmpty())
        columns << QStringLiteral("ctid"); // a table without a key: its row's physical place
    m_primaryKeys.insert(key, columns);
    return columns;
}

bool PostgresBackend::fetch(pg_result* result, ResultSet& out, int visibleColumns)
{
    const int columnCount = PQnfields(result);
    const int rows = PQntuples(result);
    out = ResultSet();
    out.columns.resize(size_t(columnCount));
    out.visibleColumns = visibleColumns;
    enum class Kind { Integer, Double, Bool, Text, Bytes };
    std::vector<Kind> kinds(static_cast<size_t>(columnCount));
    for (int c = 0; c < columnCount; ++c) {
        ColumnInfo& col = out.columns[size_t(c)];
        const QString name = QString::fromUtf8(PQfname(result, c));
        col.name = name == QLatin1String("?column?") ? QString() : name;
        Oid type = PQftype(result, c);
        int typmod = PQfmod(result, c);
        const Oid table = PQftable(result, c);
        const int attnum = PQftablecol(result, c);
        if (table != InvalidOid && attnum > 0) {
            if (const TableInfo* info = tableInfo(table, attnum)) {
                const Attribute& a = info->attributes[size_t(attnum - 1)];
                col.baseTable = info->name;
                col.baseColumn = a.name;
                type = a.typeOid; // the domain (tsqlbit), which results report as its base type
                typmod = a.typmod;
            }
        }
        auto set = [&](int ado, qint64 size, Kind kind, bool isLong = false) {
            col.adoType = ado;
            col.definedSize = size;
            col.attributes = adFldMayBeNull | adFldIsNullable | (isLong ? adFldLong : 0);
            kinds[size_t(c)] = kind;
        };
        if (type == m_bitOid && m_bitOid != 0)
            set(adBoolean, 2, Kind::Integer);
        else if (type == m_moneyOid && m_moneyOid != 0)
            set(adCurrency, 8, Kind::Double);
        else if (type == m_citextOid && m_citextOid != 0)
            set(adVarWChar, 4000, Kind::Text);
        else {
            switch (type) {
            case kInt2Oid:
                set(adSmallInt, 2, Kind::Integer);
                break;
            case kInt4Oid:
            case kOidOid:
                set(adInteger, 4, Kind::Integer);
                break;
            case kInt8Oid:
                set(adBigInt, 8, Kind::Integer);
                break;
            case kNumericOid:
                set(adNumeric, 19, Kind::Double);
                break;
            case kFloat4Oid:
            case kFloat8Oid:
                set(adDouble, 8, Kind::Double);
                break;
            case kBoolOid:
                set(adBoolean, 2, Kind::Bool);
                break;
            case kTimestampOid:
            case kTimestamptzOid:
                set(adDBTimeStamp, 16, Kind::Text);
                break;
            case kDateOid:
                set(adDBDate, 16, Kind::Text);
                break;
            case kTimeOid:
                set(adDBTime, 16, Kind::Text);
                break;
            case kByteaOid:
                set(adLongVarBinary, 2147483647, Kind::Bytes, true);
                break;
            case kVarcharOid:
            case kBpcharOid:
                set(type == kBpcharOid ? adWChar : adVarWChar, typmod > 4 ? typmod - 4 : 4000,
                    Kind::Text);
                break;
            case kTextOid:
                set(adLongVarWChar, 1073741823, Kind::Text, true);
                break;
            case kNameOid:
            default:
                set(adVarWChar, 4000, Kind::Text);
            }
        }
    }
    out.reserveRows(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columnCount; ++c) {
            if (PQgetisnull(result, r, c)) {
                out.appendValue(QVariant());
                continue;
            }
            const char* text = PQgetvalue(result, r, c);
            const int length = PQgetlength(result, r, c);
            switch (kinds[size_t(c)]) {
            case Kind::Integer:
                out.appendValue(qlonglong(QByteArray::fromRawData(text, length).toLongLong()));
                break;
            case Kind::Double:
                out.appendValue(QByteArray::fromRawData(text, length).toDouble());
                break;
            case Kind::Bool:
                out.appendValue(text[0] == 't');
                break;
            case Kind::Bytes:
                out.appendValue(decodeBytea(text, length));
                break;
            case Kind::Text:
                out.appendValue(QString::fromUtf8(text, length));
                break;
            }
        }
    }
    return true;
}

bool PostgresBackend::query(const QString& sql, ResultSet& result, bool updatable)
{
    result = ResultSet();
    if (!checkOpen())
        return false;
    if (updatable) {
        // Key columns of every base table of the FROM clause, added as hidden columns.
        const FromTables from = scanFromTables(sql);
        if (from.insertAt >= 0) {
            QString extra;
            std::vector<QStringList> keys;
            for (qsizetype k = 0; k < from.tables.size(); ++k) {
                keys.push_back(primaryKey(from.tables[k]));
                for (qsizetype j = 0; j < keys.back().size(); ++j)
                    extra += QStringLiteral(", %1.%2 AS \"__orvane_key%3_%4\"")
                                 .arg(from.aliases[k],
                                      keys.back()[j] == QLatin1String("ctid")
                                          ? QStringLiteral("ctid")
                                          : quoteName(keys.back()[j]),
                                      QString::number(k), QString::number(j));
            }
            QString keyed = sql;
            keyed.insert(from.insertAt, extra + QLatin1Char(' '));
            Result r = run(keyed);
            if (r && PQresultStatus(r.get()) == PGRES_TUPLES_OK) {
                int hidden = 0;
                for (const QStringList& k : keys)
                    hidden += int(k.size());
                const int visible = PQnfields(r.get()) - hidden;
                if (!fetch(r.get(), result, visible))
                    return false;
                int keyColumn = visible;
                for (qsizetype k = 0; k < from.tables.size(); ++k) {
                    BaseTableKey key;
                    key.table = from.tables[k];
                    key.keyColumns = keys[size_t(k)];
                    for (qsizetype j = 0; j < key.keyColumns.size(); ++j)
                        key.keyResultColumns.push_back(keyColumn++);
                    // A table that occurs once in FROM can be written back; a self-join is
                    // ambiguous.
                    if (from.tables.count(from.tables[k]) == 1)
                        result.addBaseTable(key, from.tables.size() == 1);
                }
                return true;
            }
            if (!isOpen())
                return false;
            clearError(); // the query as written decides what the caller sees
        }
    }
    Result r = run(sql);
    if (!r)
        return false;
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK) {
        result = ResultSet(); // a statement without rows: an empty, closed result
        return true;
    }
    return fetch(r.get(), result, PQnfields(r.get()));
}

// ---------------------------------------------------------------------------------------------
// transactions

bool PostgresBackend::beginTransaction()
{
    m_txSavepoint.clear();
    return checkOpen() && bool(run(QStringLiteral("BEGIN")));
}

bool PostgresBackend::commitTransaction()
{
    m_txSavepoint.clear();
    if (!checkOpen())
        return false;
    Result r(PQexec(m_conn, "COMMIT"), clearResult);
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        return failResult(r.get());
    return true;
}

bool PostgresBackend::rollbackTransaction()
{
    m_txSavepoint.clear();
    if (!checkOpen())
        return false;
    Result r(PQexec(m_conn, "ROLLBACK"), clearResult);
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        return failResult(r.get());
    dropStaleStatements();
    return true;
}

bool PostgresBackend::inTransaction() const
{
    if (!m_conn)
        return false;
    const PGTransactionStatusType status = PQtransactionStatus(m_conn);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

bool PostgresBackend::savepoint(const QString& name)
{
    if (!checkOpen())
        return false;
    // Outside a transaction a savepoint starts one, as SQLite's does; releasing that savepoint
    // commits it again, so grouped writes reach the other operators.
    const bool starts = !inTransaction();
    if (starts && !beginTransaction())
        return false;
    Result r(PQexec(m_conn, (QStringLiteral("SAVEPOINT ") + quoteName(name)).toUtf8().constData()),
             clearResult);
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) {
        failResult(r.get());
        if (starts)
            rollbackTransaction();
        return false;
    }
    if (starts)
        m_txSavepoint = name;
    return true;
}

bool PostgresBackend::releaseSavepoint(const QString& name)
{
    if (!checkOpen())
        return false;
    Result r(PQexec(m_conn,
                    (QStringLiteral("RELEASE SAVEPOINT ") + quoteName(name)).toUtf8().constData()),
             clearResult);
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        return failResult(r.get());
    if (!m_txSavepoint.isEmpty() && name.compare(m_txSavepoint, Qt::CaseInsensitive) == 0)
        return commitTransaction();
    return true;
}

bool PostgresBackend::rollbackToSavepoint(const QString& name)
{
    if (!checkOpen())
        return false;
    Result r(
        PQexec(m_conn,
               (QStringLiteral("ROLLBACK TO SAVEPOINT ") + quoteName(name)).toUtf8().constData()),
        clearResult);
    return PQresultStatus(r.get()) == PGRES_COMMAND_OK || failResult(r.get());
}

// ---------------------------------------------------------------------------------------------
// writing rows back

namespace {

QString keyCondition(const QStringList& keyColumns, int firstParam)
{
    QStringList where;
    for (const QString& k : keyColumns) {
        const QString name = k == QLatin1String("ctid")
                                 ? k
                                 : QLatin1Char('"') +
                                       k.toLower().replace(u'"', QLatin1String("\"\"")) +
                                       QLatin1Char('"');
        where << QStringLiteral("%1 = $%2").arg(name).arg(firstParam++);
    }
    return where.join(QStringLiteral(" AND "));
}

QString updateText(const QString& quotedTable, const QStringList& quotedColumns,
                   const QStringList& keyColumns)
{
    QStringList sets;
    int n = 1;
    for (const QString& c : quotedColumns)
        sets << QStringLiteral("%1 = $%2").arg(c).arg(n++);
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3")
        .arg(quotedTable, sets.join(QStringLiteral(", ")), keyCondition(keyColumns, n));
}

} // namespace

// Rows of one table written through one UPDATE prepared on the server when the first row comes.
// The statements run without the savepoint that guards every other statement inside a
// transaction: the writers serve batch jobs that roll their transaction back when a row fails,
// and a savepoint per row would double the round trips to the server.
class PostgresRowWriter : public RowWriter
{
public:
    PostgresRowWriter(PostgresBackend& backend, const QString& table,
                      const QStringList& keyColumns, const QStringList& columns)
        : m_backend(backend), m_table(table)
    {
        QStringList quoted;
        for (const QString& c : columns)
            quoted << PostgresBackend::quoteName(c);
        m_sql = updateText(PostgresBackend::quoteName(table), quoted, keyColumns).toUtf8();
        m_name = "orvane_rows_" + QByteArray::number(++backend.m_preparedCount);
    }

    ~PostgresRowWriter() override
    {
        if (!m_prepared || !m_backend.m_conn)
            return;
        // A failed transaction refuses every statement until it is rolled back: drop the
        // statement then.
        if (PQtransactionStatus(m_backend.m_conn) == PQTRANS_INERROR) {
            m_backend.m_staleStatements << m_name;
            return;
        }
        Result r(PQexec(m_backend.m_conn, ("DEALLOCATE " + m_name).constData()), clearResult);
    }

    bool update(const QVariantList& keyValues, const QVariantList& values) override
    {
        PostgresBackend& b = m_backend;
        if (!b.checkOpen())
            return false;
        if (!m_prepared) {
            b.dropStaleStatements();
            Result r(PQprepare(b.m_conn, m_name.constData(), m_sql.constData(), 0, nullptr),
                     clearResult);
            if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
                return b.failResult(r.get());
            m_prepared = true;
        }
        const StatementParameters p(values + keyValues);
        Result r(PQexecPrepared(b.m_conn, m_name.constData(), p.count(), p.values(), p.lengths(),
                                p.formats(), 0),
                 clearResult);
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
            return b.failResult(r.get());
        if (QByteArray(PQcmdTuples(r.get())).toLongLong() == 0)
            return b.failText(kErrorCommandText, rowChangedMeanwhileText(m_table));
        return true;
    }

private:
    using Result = PostgresBackend::Result;

    PostgresBackend& m_backend;
    QString m_table;
    QByteArray m_sql;
    QByteArray m_name;
    bool m_prepared = false;
};

std::unique_ptr<RowWriter> PostgresBackend::rowWriter(const QString& table,
                                                      const QStringList& keyColumns,
                                                      const QStringList& columns)
{
    return std::make_unique<PostgresRowWriter>(*this, table, keyColumns, columns);
}

void PostgresBackend::dropStaleStatements()
{
    if (m_staleStatements.isEmpty() || PQtransactionStatus(m_conn) == PQTRANS_INERROR)
        return;
    for (const QByteArray& name : std::exchange(m_staleStatements, {}))
        Result r(PQexec(m_conn, ("DEALLOCATE " + name).constData()), clearResult);
}

bool PostgresBackend::updateRow(const QString& table, const QStringList& keyColumns,
                                const QVariantList& keyValues, const QStringList& columns,
                                const QVariantList& values)
{
    m_movedKey.clear();
    if (!checkOpen())
        return false;
    if (columns.isEmpty())
        return true;
    for (const QVariant& key : keyValues) {
        if (key.isNull())
            return failText(kErrorCommandText, rowWithoutRecordText(table));
    }
    QStringList quoted;
    for (const QString& c : columns)
        quoted << quoteName(c);
    QString sql = updateText(quoteName(table), quoted, keyColumns);
    // Every write gives a row a new ctid: a table keyed by it reports the new place.
    const bool physicalKey = keyColumns == QStringList{QStringLiteral("ctid")};
    if (physicalKey)
        sql += QStringLiteral(" RETURNING ctid");
    Result r = runParams(sql, values + keyValues);
    if (!r)
        return false;
    if (QByteArray(PQcmdTuples(r.get())).toLongLong() == 0)
        return failText(kErrorCommandText, rowChangedMeanwhileText(table));
    if (physicalKey && PQresultStatus(r.get()) == PGRES_TUPLES_OK && PQntuples(r.get()) == 1) {
        ResultSet rows;
        fetch(r.get(), rows, 1);
        m_movedKey = {rows.at(0, 0)};
    }
    return true;
}

bool PostgresBackend::insertRow(const QString& table, const QStringList& columns,
                                const QVariantList& values, const QStringList& keyColumns,
                                QVariantList* newKey)
{
    if (!checkOpen())
        return false;
    QString sql;
    if (columns.isEmpty()) {
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteName(table));
    } else {
        QStringList names;
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i) {
            names << quoteName(columns[i]);
            marks << QStringLiteral("$%1").arg(i + 1);
        }
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoteName(table), names.join(QStringLiteral(", ")),
                       marks.join(QStringLiteral(", ")));
    }
    QStringList returning;
    for (const QString& k : keyColumns)
        returning << (k == QLatin1String("ctid") ? k : quoteName(k));
    if (!returning.isEmpty())
        sql += QStringLiteral(" RETURNING ") + returning.join(QStringLiteral(", "));
    Result r = runParams(sql, values);
    if (!r)
        return false;
    QVariantList key;
    if (PQresultStatus(r.get()) == PGRES_TUPLES_OK && PQntuples(r.get()) == 1) {
        ResultSet rows;
        fetch(r.get(), rows, PQnfields(r.get()));
        for (int c = 0; c < rows.columnCount(); ++c)
            key << rows.at(0, c);
    }
    if (key.size() == 1 && keyColumns.first() != QLatin1String("ctid"))
        m_lastInsertId = key.first();
    if (newKey)
        *newKey = key;
    return true;
}

bool PostgresBackend::fetchRow(const QString& table, const QStringList& keyColumns,
                               const QVariantList& keyValues, const QStringList& columns,
                               QVariantList& values)
{
    values.clear();
    if (!checkOpen())
        return false;
    QStringList names;
    for (const QString& c : columns)
        names << quoteName(c);
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 WHERE %3")
            .arg(names.join(QStringLiteral(", ")), quoteName(table), keyCondition(keyColumns, 1));
    Result r = runParams(sql, keyValues);
    if (!r)
        return false;
    ResultSet rows;
    if (!fetch(r.get(), rows, int(columns.size())))
        return false;
    if (rows.rowCount() != 1)
        return failText(kErrorCommandText, rowNotFoundText(table));
    for (int c = 0; c < rows.columnCount(); ++c)
        values << rows.at(0, c);
    return true;
}

} // namespace orvane::db
