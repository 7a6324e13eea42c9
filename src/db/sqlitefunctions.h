#pragma once

struct sqlite3;

namespace orvane::db {

// Registers on `db` the scalar functions that translated T-SQL calls: tsql_add, charindex,
// isdate, tsql_convert, dateadd, datediff, getdate, ident_current, floor, ceiling, and the
// other T-SQL built-ins without a SQLite equivalent. Call once per connection after opening.
void registerTsqlFunctions(sqlite3* db);

} // namespace orvane::db
