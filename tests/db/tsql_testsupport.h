#pragma once

#include "testutil/testbackend.h"

#include "db/cadodatabase.h"
#include "db/resultset.h"
#include "db/sqlitefunctions.h"
#include "db/sqliteschemacache.h"
#include "db/tsqltranslator.h"

#include <QString>
#include <QStringList>

#include <sqlite3.h>

#include <memory>

namespace orvane::db::test {

// A SQLite connection that takes T-SQL: every text goes through the translator and runs with
// the T-SQL functions registered. Rows come back as "a|b|c" texts; NULL reads as "<null>",
// numbers with up to 15 significant digits and no ".0" on whole ones on both backends.
// Under ORVANE_TEST_BACKEND=postgresql the in-memory connection is a fresh database on the test
// server instead.
class TsqlConnection
{
public:
    explicit TsqlConnection(const QString& path = QStringLiteral(":memory:"))
    {
        if (path == QLatin1String(":memory:") && testutil::onPostgres()) {
            m_pg = std::make_unique<testutil::ScratchDatabase>(QString());
            if (!m_pg->error().isEmpty() || !m_pgDb.Open(m_pg->connection()))
                m_error = m_pg->error() + m_pgDb.GetLastErrorString();
            return;
        }
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK)
            registerTsqlFunctions(m_db);
        m_schema.setConnection(m_db);
    }
    ~TsqlConnection()
    {
        m_pgDb.Close();
        m_schema.setConnection(nullptr);
        sqlite3_close(m_db);
    }
    TsqlConnection(const TsqlConnection&) = delete;
    TsqlConnection& operator=(const TsqlConnection&) = delete;

    sqlite3* handle() const { return m_db; }
    bool onPostgres() const { return m_pg != nullptr; }
    const QString& lastError() const { return m_error; }

    // Translates and runs every statement; false with lastError() on the first failure.
    bool exec(const QString& tsql, QStringList* rows = nullptr)
    {
        if (m_pg)
            return execPostgres(tsql, rows);
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
        if (m_pg)
            return execPostgres(sql, rows, false);
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
                else if (sqlite3_column_type(stmt, i) == SQLITE_FLOAT)
                    // as the server's doubles read: 3 rather than SQLite's 3.0
                    cells << QString::number(sqlite3_column_double(stmt, i), 'g', 15);
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
    bool execPostgres(const QString& sql, QStringList* rows, bool translate = true)
    {
        ResultSet result;
        BackendError error;
        const bool ok = translate ? m_pgDb.runQuery(sql, result, false, error)
                                  : m_pgDb.backend()->query(sql, result, false);
        if (!translate && !ok)
            error = m_pgDb.backend()->lastError();
        if (!ok) {
            m_error = error.description;
            return false;
        }
        if (!rows)
            return true;
        for (int r = 0; r < result.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < result.visibleColumns; ++c) {
                const QVariant& v = result.at(r, c);
                if (v.isNull())
                    cells << QStringLiteral("<null>");
                else if (v.typeId() == QMetaType::Double)
                    cells << QString::number(v.toDouble(), 'g', 15);
                else if (v.typeId() == QMetaType::Bool)
                    cells << (v.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
                else
                    cells << v.toString();
            }
            rows->append(cells.join(u'|'));
        }
        return true;
    }

    std::unique_ptr<testutil::ScratchDatabase> m_pg;
    CADODatabase m_pgDb;
    sqlite3* m_db = nullptr;
    SqliteSchemaCache m_schema;
    QString m_error;
};

} // namespace orvane::db::test
