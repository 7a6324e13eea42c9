#include "db/sqlstatements.h"

#ifdef ORVANE_HAVE_TSQL_TRANSLATOR
#include "db/tsqltranslator.h"
#endif

namespace orvane::db {

bool translateStatements(BackendKind kind, const QString& tsql, QStringList& statements,
                         QString& error, TsqlSchema* schema)
{
    statements.clear();
#ifdef ORVANE_HAVE_TSQL_TRANSLATOR
    if (kind == BackendKind::PostgreSql) {
        Translation translation = TsqlTranslator::toPostgres(tsql, schema);
        if (!translation.ok) {
            error = translation.error;
            return false;
        }
        statements = std::move(translation.statements);
        return true;
    }
#endif
    if (kind != BackendKind::Sqlite) {
        statements << tsql;
        return true;
    }
#ifdef ORVANE_HAVE_TSQL_TRANSLATOR
    Translation translation = TsqlTranslator::toSqlite(tsql, schema);
    if (!translation.ok) {
        error = translation.error;
        return false;
    }
    statements = std::move(translation.statements);
#else
    Q_UNUSED(error);
    Q_UNUSED(schema);
    statements << tsql; // no translator in this build: the text must already suit SQLite
#endif
    return true;
}

} // namespace orvane::db
