#pragma once

#include <QString>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::shell {

// Writes one qp_SysOption text the way the settings pages do: open the existing row with the
// given query, edit it, set sContent and update. The rows are delivered with the database; the
// client never inserts one.
class SysOptionRow
{
public:
    // False with a Chinese reason when the row is missing or cannot be written.
    static bool write(db::CADODatabase& database, const QString& selectSql, const QString& text,
                      QString& reason);
};

} // namespace orvane::shell
