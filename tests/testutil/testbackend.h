#pragma once

// The database server the test suite runs against.
//
// By default every test database is an embedded SQLite file. With
//     ORVANE_TEST_BACKEND=postgresql ORVANE_TEST_PG=postgresql://orvane@127.0.0.1:5432/postgres
// (scripts/pg-test-server.sh starts such a server and prints both) each test gets a database of
// its own on that PostgreSQL server instead, created here and dropped when the test ends.
// ORVANE_TEST_PG may also be in the key-value form ("host=127.0.0.1 port=5432 user=orvane").

#include <gtest/gtest.h>

#include <QString>

namespace orvane::testutil {

// True when the tests run against the PostgreSQL server of ORVANE_TEST_PG.
bool onPostgres();

// Skips the running test under PostgreSQL: for tests of what only an embedded database file has
// (its journal mode, its file locks, a path in the connection settings). `why` says which.
#define ORVANE_SQLITE_ONLY(why)                                                                    \
    do {                                                                                           \
        if (::orvane::testutil::onPostgres())                                                      \
            GTEST_SKIP() << "SQLite file only: " << (why);                                         \
    } while (0)

// The server's connection string with `database` as the database (for CADODatabase::Open and
// server::createDatabase).
QString postgresConnection(const QString& database);

// One database of a test, removed with the object. On SQLite it is the file `sqliteFile` (not
// created here: open it with create, or copy a template to it); on PostgreSQL a new database
// t_<pid>_<n> on the server, empty or a copy of the database `templateName`.
class ScratchDatabase
{
public:
    explicit ScratchDatabase(const QString& sqliteFile, const QString& templateName = QString());
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    // What CADODatabase::Open takes to reach it: the file path or the server connection string.
    const QString& connection() const { return m_connection; }
    // Why the server database could not be created (empty on success and on SQLite).
    const QString& error() const { return m_error; }
    // The database name on the server (empty on SQLite).
    const QString& serverName() const { return m_serverName; }

private:
    QString m_connection;
    QString m_error;
    QString m_serverName;
};

// Administration of the test server through its own connection (not through the data access
// classes, which these helpers exist to test): a unique name for a new database, creating one
// (empty or from a template) and dropping one even while connections to it remain.
namespace pgadmin {
QString uniqueName(const QString& prefix);
bool createDatabase(const QString& name, const QString& templateName, QString* error);
bool dropDatabase(const QString& name, QString* error = nullptr);
bool databaseExists(const QString& name);
} // namespace pgadmin

} // namespace orvane::testutil
