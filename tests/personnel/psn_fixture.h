#pragma once

// Workflow tests of the personnel view and its panes: the seeded database with a small demo
// organisation (24 departments, 60 persons), logged in as the super operator.

#include "core/operator_fixture.h"
#include "server/demodata.h"

namespace orvane::personneltest {

class PsnTest : public coretest::AdminTest
{
protected:
    void SetUp() override
    {
        AdminTest::SetUp();
        QString error;
        ASSERT_TRUE(server::fillDemoData(db(), 60, {}, nullptr, &error)) << error.toStdString();
    }

    // Adds a person to a department and returns his key.
    int addPerson(int did, const QString& number, const QString& name, int aid = 1, int ord = 99)
    {
        EXPECT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_PsnBase (DID,AID,Number,Name,Ord) "
                                                "VALUES (%1,%2,'%3','%4',%5)")
                                     .arg(did)
                                     .arg(aid)
                                     .arg(core::sqlEscape(number), core::sqlEscape(name))
                                     .arg(ord)));
        return database().scalarInt(QStringLiteral("SELECT MAX(PID) FROM qp_PsnBase"));
    }

    int count(const QString& sql) { return database().scalarInt(sql); }
};

} // namespace orvane::personneltest
