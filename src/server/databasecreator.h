#pragma once

#include <QString>

namespace orvane::server {

// Creates the embedded database delivered with the system in the SQLite file `path`: every
// delivered table, the schema version, the catalogue, the dictionaries, the options and the
// super operator, all in one transaction. Refuses an existing file. On failure returns false,
// sets `error` and leaves no file behind.
//
// `path` may also name a PostgreSQL database (a postgresql:// URI, libpq's "host=... dbname=..."
// or an OLE DB string with Provider=PostgreSQL or Server=postgresql://...): the database must
// be empty (a database the server does not have yet is created); the collation tsql_ci, the domains
// and the functions of the T-SQL translation are created first.
bool createDatabase(const QString& path, QString* error);

} // namespace orvane::server
