#pragma once

// A fresh embedded database for each test, cheaply.
//
// The first TestDatabase of a test process creates one seeded template with
// server::createDatabase() in a temporary folder; every TestDatabase then copies that file and
// opens the copy in its own CADODatabase (under ORVANE_TEST_BACKEND=postgresql the template and
// the copies are databases on the test server, see testutil/testbackend.h), so tests never see each
// other's changes and the schema and seed are built once per process. The core procedures are
// registered as well.
//
//     TEST(MyWorkflow, AddsADepartment)
//     {
//         orvane::testutil::TestDatabase database;
//         ASSERT_TRUE(database.isOpen()) << database.error();
//         database.db().Execute("INSERT INTO qp_Dept ...");
//     }
//
// or derive the test fixture from DatabaseTest and use db().

#include "db/cadodatabase.h"

#include <gtest/gtest.h>

#include <QString>

#include <memory>

namespace orvane::testutil {

class ScratchDatabase;

class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    db::CADODatabase& db() { return m_db; }
    bool isOpen() const { return m_db.IsOpen(); }
    // Why the copy could not be made or opened (empty when it is open).
    const QString& error() const { return m_error; }
    // First column of the first row of a query as text, or `missing` when the query fails or
    // gives no row.
    QString scalar(const QString& tsql, const QString& missing = QStringLiteral("<none>"));
    int scalarInt(const QString& tsql) { return scalar(tsql, QStringLiteral("-1")).toInt(); }

    // What opens this test's copy in a second CADODatabase: the file of the copy on SQLite, the
    // connection string of the copy on the PostgreSQL test server (testutil/testbackend.h).
    const QString& path() const { return m_path; }

    // The seeded template of this process, created on first use (the file, or the database name
    // on the server); empty with `error` set when it cannot be created.
    static QString templatePath(QString* error = nullptr);

private:
    std::unique_ptr<ScratchDatabase> m_server; // the copy on the server
    db::CADODatabase m_db;
    QString m_path;
    QString m_error;
};

// GoogleTest fixture with a fresh database per test.
class DatabaseTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_database.isOpen()) << m_database.error().toStdString(); }
    db::CADODatabase& db() { return m_database.db(); }
    TestDatabase& database() { return m_database; }

private:
    TestDatabase m_database;
};

} // namespace orvane::testutil
