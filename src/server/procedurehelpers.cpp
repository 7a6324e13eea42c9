#include "server/procedurehelpers.h"

#include "db/cadodatabase.h"

namespace orvane::server {

QString sqlText(const QString& value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

int keyParam(const db::ProcContext& ctx, const char* name)
{
    const QString key = QString::fromLatin1(name);
    if (ctx.hasParam(key))
        return ctx.paramInt(key);
    for (const auto& p : ctx.params()) {
        if (p.direction == db::adParamInput || p.direction == db::adParamInputOutput)
            return p.value.toInt();
    }
    return 0;
}

int flagParam(const db::ProcContext& ctx, const char* name)
{
    const QVariant value = ctx.param(QString::fromLatin1(name));
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        return text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text.toInt() != 0;
    }
    return value.toInt() != 0 ? 1 : 0;
}

DdlWriter ddlFor(const db::ProcContext& ctx)
{
    switch (ctx.backendKind()) {
    case db::BackendKind::PostgreSql:
        return DdlWriter(SqlDialect::PostgreSQL);
    case db::BackendKind::SqlServer:
        return DdlWriter(SqlDialect::SqlServer);
    default:
        break;
    }
    return DdlWriter(SqlDialect::SQLite);
}

namespace {

// Runs SQL in the backend's own dialect; a failure fails the procedure.
db::ResultSet nativeQuery(db::ProcContext& ctx, const QString& sql)
{
    db::ResultSet rows;
    db::Backend* backend = ctx.database().backend();
    if (!backend)
        ctx.fail(QStringLiteral("数据库未连接"));
    if (!backend->query(sql, rows, false))
        ctx.fail(backend->lastError().description);
    return rows;
}

} // namespace

void renumber(db::ProcContext& ctx, const QString& table, const QString& keyName,
              const QString& selectKeys)
{
    const db::ResultSet rows = ctx.query(selectKeys);
    for (int row = 0; row < rows.rowCount(); ++row) {
        ctx.execute(QStringLiteral("UPDATE %1 SET Ord=%2 WHERE %3=%4")
                        .arg(table, num(row + 1), keyName, num(rows.at(row, 0).toLongLong())));
    }
}

void lockForWriting(db::ProcContext& ctx, const QString& table)
{
    const QString lock = ddlFor(ctx).lockForWriting(table);
    if (!lock.isEmpty())
        ctx.executeNative(lock);
}

bool tableExists(db::ProcContext& ctx, const QString& table)
{
    return nativeQuery(ctx, ddlFor(ctx).tableExistsQuery(table)).rowCount() > 0;
}

QStringList tableColumns(db::ProcContext& ctx, const QString& table)
{
    if (!DdlWriter::isPlainName(table))
        ctx.fail(QStringLiteral("数据表名称无效: %1").arg(table));
    const db::ResultSet rows =
        nativeQuery(ctx, QStringLiteral("SELECT * FROM %1 WHERE 1=0").arg(table));
    QStringList names;
    const int count = rows.visibleColumns > 0 ? rows.visibleColumns : rows.columnCount();
    for (int i = 0; i < count; ++i)
        names << rows.columns[size_t(i)].name;
    return names;
}

QString freeTableName(db::ProcContext& ctx, const QString& base)
{
    QString name = base;
    for (int n = 2; tableExists(ctx, name); ++n)
        name = QStringLiteral("%1_%2").arg(base).arg(n);
    return name;
}

QString freeColumnName(db::ProcContext& ctx, const QString& table, int key)
{
    const QStringList existing = tableColumns(ctx, table);
    const QString base = QStringLiteral("F%1").arg(key);
    QString name = base;
    for (int n = 2; existing.contains(name, Qt::CaseInsensitive); ++n)
        name = QStringLiteral("%1_%2").arg(base).arg(n);
    return name;
}

int scalarInt(db::ProcContext& ctx, const QString& tsql, int fallback)
{
    const QVariant value = ctx.scalar(tsql);
    return value.isNull() ? fallback : value.toInt();
}

void registerOnce(const QString& name, const QStringList& params, db::ProcedureFn fn)
{
    if (!db::ProcedureRegistry::find(name))
        db::ProcedureRegistry::add(name, params, std::move(fn));
}

} // namespace orvane::server
