#pragma once

#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "pgtestsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable QString values in assertion messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// A fresh embedded database file per test, opened through the connection string the client
// builds for a server login; with ORVANE_TEST_PG set, a fresh database on that PostgreSQL
// server instead.
class DbTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("test.db"));
        if (!orvane::db::test::pgTestServer().isEmpty()) {
            m_pg = std::make_unique<orvane::db::test::PgScratchDatabase>();
            ASSERT_TRUE(m_pg->ok()) << m_pg->error().toStdString();
        }
        ASSERT_TRUE(m_db.Open(connectionString(), true)) << m_db.GetLastErrorString().toStdString();
    }

    void TearDown() override { m_db.Close(); }

    bool onPostgres() const { return m_pg != nullptr; }

    QString connectionString() const
    {
        if (m_pg)
            return m_pg->connection();
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
    QString m_path;
    std::unique_ptr<orvane::db::test::PgScratchDatabase> m_pg; // dropped after m_db closes
    orvane::db::CADODatabase m_db;
};
