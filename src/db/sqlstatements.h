#pragma once

#include "db/backend.h"

#include <QString>
#include <QStringList>

namespace orvane::db {

// Turns the client's T-SQL into the statements a backend runs: translated for SQLite and
// PostgreSQL, unchanged for the others. False with `error` when the text cannot be translated.
bool translateStatements(BackendKind kind, const QString& tsql, QStringList& statements,
                         QString& error, TsqlSchema* schema = nullptr);

} // namespace orvane::db
