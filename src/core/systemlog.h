#pragma once

#include <QString>

namespace orvane::core {

class COrvaneApp;

// Writes one operation-log line for the logged-in operator through qp_AddSystemLog. Does
// nothing while the retention (RecentDays) is 0 or less. Never reports a failure: logging must
// not stop the operation it records. Only the logout passes cleanup = true, which lets the server
// remove lines older than RecentDays days.
void AddSystemLog(COrvaneApp& app, const QString& content, bool cleanup = false);

} // namespace orvane::core
