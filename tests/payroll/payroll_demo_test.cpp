// The demo payroll of "orvane-admin init --demo N".
#include "payroll_fixture.h"

#include "payroll/demopayroll.h"
#include "payroll/formulavalidator.h"
#include "payroll/wagescriptsession.h"

#include "db/cadorecordset.h"

#include <gtest/gtest.h>

namespace orvane::payrolltest {
namespace {

class DemoPayroll : public PayrollTest
{
};

TEST_F(DemoPayroll, EveryFormulaValidatesConvertsAndCompiles)
{
    for (int i = 1; i <= 12; ++i)
        addPerson(QStringLiteral("E%1").arg(i), QStringLiteral("职工%1").arg(i), 1 + i % 2);
    // A payroll clerk without wage sorts gets the demo sort; one with a list keeps it.
    ASSERT_TRUE(db().Execute(QStringLiteral(
        "INSERT INTO qp_Users (UserName,Pwd,Locked,ISuper,Purview) VALUES ('clerk','',0,0,"
        "'ff|1|1|'), ('other','',0,0,'ff|1|1|77')")));
    payroll::DemoPayrollCounts counts;
    QString error;
    ASSERT_TRUE(payroll::fillDemoPayroll(app, 202601, &counts, &error)) << error.toStdString();
    EXPECT_EQ(counts.items, 41);
    EXPECT_EQ(counts.standardTables, 2);
    EXPECT_EQ(counts.members, 12);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_WageTable WHERE Stat=1")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT fDate FROM qp_WageTable WHERE Stat=0")), 202601);
    EXPECT_EQ(count(QStringLiteral("SELECT MIN(fDate) FROM qp_WageTable")), 202511);

    const int sort = count(QStringLiteral("SELECT ID FROM qp_Table WHERE nType=6"));
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT Purview FROM qp_Users WHERE UserName='clerk'")),
        QStringLiteral("ff|1|1|%1").arg(sort));
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT Purview FROM qp_Users WHERE UserName='other'")),
        QStringLiteral("ff|1|1|77"));
    payroll::WageScriptSession session(db(), {});
    ASSERT_TRUE(session.reset());
    db::CADORecordset rs(&db());
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT Alias,FExp,FExp2 FROM qp_Items WHERE iSort=1 AND "
                                       "iProperty=1 ORDER BY OrdF")));
    int formulas = 0;
    for (; !rs.IsEOF(); rs.MoveNext(), ++formulas) {
        const QString alias = rs.GetFieldString(QStringLiteral("Alias"));
        QString display = rs.GetFieldString(QStringLiteral("FExp2"));
        QString executable;
        payroll::FormulaValidator validator(app, prompter);
        EXPECT_TRUE(validator.validate(sort, alias, display)) << alias.toStdString();
        EXPECT_TRUE(validator.convert(display, executable));
        EXPECT_EQ(executable, rs.GetFieldString(QStringLiteral("FExp"))) << alias.toStdString();
        script::Formula formula;
        EXPECT_TRUE(session.engine().compile(executable.toStdString(), formula))
            << alias.toStdString();
    }
    EXPECT_EQ(formulas, 21);
    EXPECT_TRUE(prompter.messageTexts().isEmpty());

    // The standard tables answer for the demo persons.
    ASSERT_TRUE(rs.Open(QStringLiteral("EXEC qp_GetWageStdTableByPsn 1,202601,1")));
    EXPECT_GT(rs.GetFieldDouble(QStringLiteral("Jine")), 3000);
}

} // namespace
} // namespace orvane::payrolltest
