#pragma once

#include "db/sqlitefunctions.h"
#include "db/sqliteschemacache.h"
#include "db/tsqltranslator.h"

#include <QString>
#include <QStringList>

#include <sqlite3.h>

namespace orvane::db::test {

// A SQLite connection that takes T-SQL: every text goes through the translator and runs with
// the T-SQL functions registered. Rows come back as "a|b|c" texts; NULL reads as "<null>".
class TsqlConnection
{
public:
    explicit TsqlConnection(const QString& path = QStringLiteral(":memory:"))
    {
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK)
            registerTsqlFunctions(m_db);
        m_schema.setConnection(m_db);
    }
    ~TsqlConnection() { sqlite3_close(m_db); }
    TsqlConnection(const TsqlConnection&) = delete;
    TsqlConnection& operator=(const TsqlConnection&) = delete;

    sqlite3* handle() const { return m_db; }
    const QString& lastError() const { return m_error; }

    // Translates and runs every statement; false with lastError() on the first failure.
    bool exec(const QString& tsql, QStringList* rows = nullptr)
    {
        const Translation t = TsqlTranslator::toSqlite(tsql, &m_schema);
        if (!t.ok) {
            m_error = QStringLiteral("translation: ") + t.error;
            return false;
        }
        for (const QString& statement : t.statements) {
            if (!run(statement, rows))
                return false;
            if (!statement.startsWith(QLatin1String("SELECT")) &&
                !statement.startsWith(QLatin1String("INSERT")) &&
                !statement.startsWith(QLatin1String("UPDATE")) &&
                !statement.startsWith(QLatin1String("DELETE")))
                m_schema.invalidate();
        }
        return true;
    }

    // Rows of a query; on failure one row holding the error, so comparisons show it.
    QStringList rows(const QString& tsql)
    {
        QStringList out;
        if (!exec(tsql, &out))
            return {QStringLiteral("ERROR: ") + m_error};
        return out;
    }

    // The single value of a query as text.
    QString value(const QString& tsql)
    {
        const QStringList r = rows(tsql);
        return r.size() == 1 ? r.first() : QStringLiteral("<%1 rows>").arg(r.size()) + r.join(u';');
    }

    // Runs SQLite text as it is (fixtures, savepoints).
    bool run(const QString& sql, QStringList* rows = nullptr)
    {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr) !=
            SQLITE_OK) {
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db)) + QStringLiteral(" in: ") + sql;
            sqlite3_finalize(stmt);
            return false;
        }
        int rc = SQLITE_OK;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            if (!rows)
                continue;
            QStringList cells;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                if (sqlite3_column_type(stmt, i) == SQLITE_NULL)
                    cells << QStringLiteral("<null>");
                else
                    cells << QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)));
            }
            rows->append(cells.join(u'|'));
        }
        if (rc != SQLITE_DONE) {
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db)) + QStringLiteral(" in: ") + sql;
            sqlite3_finalize(stmt);
            return false;
        }
        sqlite3_finalize(stmt);
        return true;
    }

private:
    sqlite3* m_db = nullptr;
    SqliteSchemaCache m_schema;
    QString m_error;
};

} // namespace orvane::db::test
