#pragma once

#include <QString>
#include <QStringList>

namespace orvane::db {

// The base tables of a plain SELECT's FROM clause (the backend's own dialect, after
// translation), so that a backend can add their keys as hidden columns for writing rows back.
struct FromTables
{
    QStringList tables;      // table names, in FROM order (quotes removed)
    QStringList aliases;     // the name the query uses for each, as written
    qsizetype insertAt = -1; // where extra select-list items go (before FROM); -1: no keys
                             // (DISTINCT, GROUP BY, compound selects, no table)
};

FromTables scanFromTables(const QString& sql);

} // namespace orvane::db
