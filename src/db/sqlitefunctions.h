#pragma once

#include <QString>

#include <optional>

struct sqlite3;

namespace orvane::db {

// Registers on `db` the scalar functions that translated T-SQL calls: tsql_add, charindex,
// isdate, tsql_convert, dateadd, datediff, getdate, ident_current, floor, ceiling, and the
// other T-SQL built-ins without a SQLite equivalent. Call once per connection after opening.
void registerTsqlFunctions(sqlite3* db);

// The stored form of a date given as text ('yyyy-mm-dd', 'yyyymmdd', ... with an optional time):
// "yyyy-MM-dd HH:mm:ss", or "yyyy-MM-dd" for a DATE; nullopt when the text is no date.
std::optional<QString> canonicalDateText(const QString& text, bool dateOnly);

// Rounds half away from zero to `scale` decimals, reading the value as its 15-digit decimal.
double roundToScale(double value, int scale);

} // namespace orvane::db
