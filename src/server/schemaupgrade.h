#pragma once

#include <QString>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::server {

// The highest schema version recorded in qp_SchemaVersion, 0 when the database has none.
int databaseSchemaVersion(db::CADODatabase& database);

// Brings an open database up to kSchemaVersion: applies the upgrade steps after its recorded
// version in one transaction and records the new version. Refuses a database written by a newer
// release (its layout is unknown here) and one without a recorded version.
bool upgradeDatabase(db::CADODatabase& database, QString* error);

} // namespace orvane::server
