#pragma once

#include <QString>

// Pieces shared by the two halves of TsqlParser (statements and expressions).
namespace orvane::db::tsqldetail {

// Thrown inside the parser only; TsqlParser::translateBatch turns it into an error text.
struct ParseFailure
{
    QString message;
};

// Nesting limit for expressions and queries: deep enough for any statement the client
// composes, low enough to keep hostile input from exhausting the stack.
inline constexpr int kMaxDepth = 200;

class DepthGuard
{
public:
    explicit DepthGuard(int& depth) : m_depth(depth)
    {
        if (++m_depth > kMaxDepth) {
            --m_depth;
            throw ParseFailure{QStringLiteral("statement is nested too deeply")};
        }
    }
    ~DepthGuard() { --m_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& m_depth;
};

// sysobjects as SQL Server shows it for this database's tables and views.
inline constexpr const char* kSysObjects =
    "(SELECT name COLLATE NOCASE AS name, rootpage AS id, "
    "CASE type WHEN 'view' THEN 'V' ELSE 'U' END AS xtype, "
    "CASE type WHEN 'view' THEN 'V' ELSE 'U' END AS type "
    "FROM sqlite_master WHERE type IN ('table','view') AND name NOT LIKE 'sqlite!_%' ESCAPE '!')";

// The same list on PostgreSQL: the tables and views of the current schema, names compared
// without regard to case.
inline constexpr const char* kPgSysObjects =
    "(SELECT c.relname::text COLLATE tsql_ci AS name, c.oid::integer AS id, "
    "(CASE c.relkind WHEN 'v' THEN 'V' ELSE 'U' END) COLLATE tsql_ci AS xtype, "
    "(CASE c.relkind WHEN 'v' THEN 'V' ELSE 'U' END) COLLATE tsql_ci AS type "
    "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
    "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'v', 'p'))";

} // namespace orvane::db::tsqldetail
