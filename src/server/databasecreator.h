#pragma once

#include <QString>

namespace orvane::server {

// Creates the embedded database delivered with the system in the SQLite file `path`: every
// delivered table, the schema version, the catalogue, the dictionaries, the options and the
// super operator, all in one transaction. Refuses an existing file. On failure returns false,
// sets `error` and leaves no file behind.
bool createDatabase(const QString& path, QString* error);

} // namespace orvane::server
