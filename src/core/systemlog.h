#pragma once

#include <QString>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::core {

class COrvaneApp;

// Writes one operation-log line for the logged-in operator through qp_AddSystemLog. Does
// nothing while the retention (RecentDays) is 0 or less. Never reports a failure: logging must
// not stop the operation it records. Only the logout passes cleanup = true, which lets the server
// remove lines older than RecentDays days.
void AddSystemLog(COrvaneApp& app, const QString& content, bool cleanup = false);
// The same for a line written under another name than the logged-in operator's (a failed login).
void AddSystemLogAs(COrvaneApp& app, const QString& userName, const QString& content);

// The log retention stored in qp_SysOption (nType 2) as read at start-up and by the log option:
// the integer value of the text, 0 without a row or a number.
int readRecentDays(db::CADODatabase& database);

} // namespace orvane::core
