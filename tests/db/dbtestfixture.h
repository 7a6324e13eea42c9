#pragma once

#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/postgresfunctions.h"
#include "testutil/testbackend.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable QString values in assertion messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// A fresh empty database per test: an embedded file opened through the connection string the
// client builds for a server login, or under ORVANE_TEST_BACKEND=postgresql a new database on the
// test server (testutil/testbackend.h).
class DbTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("test.db"));
        m_scratch = std::make_unique<orvane::testutil::ScratchDatabase>(m_path);
        ASSERT_TRUE(m_scratch->error().isEmpty()) << m_scratch->error().toStdString();
        ASSERT_TRUE(m_db.Open(connectionString(), true)) << m_db.GetLastErrorString().toStdString();
        if (onPostgres()) {
            // What createDatabase puts in first: the collation, the domains and the translation's
            // functions. The connection learns the types it reads (the domains) when it opens:
            // reopen it.
            for (const QString& sql : orvane::db::postgresSetupStatements()) {
                orvane::db::BackendError error;
                ASSERT_TRUE(m_db.runNative(sql, nullptr, error)) << error.description.toStdString();
            }
            m_db.Close();
            ASSERT_TRUE(m_db.Open(connectionString())) << m_db.GetLastErrorString().toStdString();
        }
    }

    void TearDown() override
    {
        m_db.Close();
        m_scratch.reset();
    }

    bool onPostgres() const { return orvane::testutil::onPostgres(); }

    // What opens this test's database in a second connection.
    QString connectionString() const
    {
        if (orvane::testutil::onPostgres())
            return m_scratch->connection();
        return QStringLiteral("Provider=SQLOLEDB;Server=%1;UID=sa;PWD=x;Database=Talvery_ORVANE_DB")
            .arg(m_path);
    }

    void exec(const QString& sql)
    {
        ASSERT_TRUE(m_db.Execute(sql)) << m_db.GetLastErrorString().toStdString();
    }

    // First column of the first row as text ("<no row>" when the query gives none).
    QString scalar(const QString& sql)
    {
        orvane::db::CADORecordset rs(&m_db);
        if (!rs.Open(sql))
            return QStringLiteral("<error> ") + rs.GetLastErrorString();
        if (rs.IsEOF())
            return QStringLiteral("<no row>");
        QString value;
        rs.GetFieldValue(0, value);
        return value;
    }

    QTemporaryDir m_dir;
    QString m_path; // the file on SQLite
    std::unique_ptr<orvane::testutil::ScratchDatabase> m_scratch;
    orvane::db::CADODatabase m_db;
};
