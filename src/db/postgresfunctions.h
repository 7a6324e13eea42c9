#pragma once

#include <QStringList>

namespace orvane::db {

// The statements that prepare a PostgreSQL database for the translated T-SQL: the ICU
// collation tsql_ci of every text column, the tsqlbit domain (SQL Server's bit, reported as a
// boolean), the tsqlmoney domain (reported as currency) and the functions the translation emits for
// SQL Server's built-ins (dateadd, datediff, tsql_charindex, tsql_datestr, ident_current, ...).
// Every statement can run again on a database that has them already. `orvane-admin init` runs them
// before the schema.
QStringList postgresSetupStatements();

} // namespace orvane::db
