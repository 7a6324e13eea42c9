// The wage month calculation: rounding, calculation order, standard tables, the selection,
// failures, cancelling and a write that fails.
#include "payroll_fixture.h"
#include "testutil/testbackend.h"

#include "payroll/wagecalc.h"
#include "payroll/wagecellvalue.h"
#include "payroll/wagescriptsession.h"

#include "db/backend.h"
#include "db/cadorecordset.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orvane::payrolltest {
namespace {

constexpr int kMonth = 202603;

class WageCalc : public PayrollTest
{
protected:
    void SetUp() override
    {
        PayrollTest::SetUp();
        p1 = addPerson(QStringLiteral("A01"), QStringLiteral("甲"), 1);
        p2 = addPerson(QStringLiteral("A02"), QStringLiteral("乙"), 2);
        sort = addSort(QStringLiteral("月薪"));
        table = wageTable(sort);
    }

    // Adds both persons to the sort and creates the month.
    void createMonth()
    {
        for (int pid : {p1, p2})
            ASSERT_TRUE(db().Execute(
                QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES (%1,%2,%2)")
                    .arg(sort)
                    .arg(pid)));
        ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable %1,%2,%3")
                                     .arg(app.currentOperator().UserID)
                                     .arg(sort)
                                     .arg(kMonth)))
            << db().GetErrorDescription().toStdString();
    }
    QString formulaItem(const QString& caption, const QString& fexp, int decimals, int choice)
    {
        const QString name = addItem(sort, caption, 1, fexp, fexp);
        EXPECT_TRUE(db().Execute(QStringLiteral("UPDATE qp_Items SET iDec=%1,iChoice=%2 WHERE "
                                                "Name='%3'")
                                     .arg(decimals)
                                     .arg(choice)
                                     .arg(name)));
        return name;
    }
    void set(const QString& column, int pid, const QString& value)
    {
        ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE [%1] SET [%2]=%3 WHERE PID=%4 AND fDate=%5")
                                     .arg(table, column, value)
                                     .arg(pid)
                                     .arg(kMonth)));
    }
    QVariant cell(const QString& column, int pid)
    {
        db::CADORecordset rs(&db());
        EXPECT_TRUE(rs.Open(QStringLiteral("SELECT [%1] FROM [%2] WHERE PID=%3 AND fDate=%4")
                                .arg(column, table)
                                .arg(pid)
                                .arg(kMonth)));
        QVariant value;
        if (!rs.IsEOF())
            rs.GetFieldValue(0, value);
        return value;
    }
    payroll::WageViewFilter month() const
    {
        payroll::WageViewFilter filter;
        filter.sortId = sort;
        filter.fDate = kMonth;
        return filter;
    }

    int p1 = 0;
    int p2 = 0;
    int sort = 0;
    QString table;
};

TEST(WageRounding, FollowsFormattedOutputFloorAndCeiling)
{
    // Half-up as "%.*f" writes binary doubles: 1.005 is 1.00499999..., 2.5 is an exact tie.
    for (const double v : {1234.567, 1.005, 2.675, 0.125, 2.5, -1.005, -0.001, 1e17, 123.4449999})
        for (int d = 0; d <= 3; ++d) {
            char text[64];
            std::snprintf(text, sizeof text, "%.*f", d, v);
            EXPECT_EQ(payroll::roundWageValue(v, 0, d), std::strtod(text, nullptr)) << text;
        }
    EXPECT_EQ(payroll::roundWageValue(1234.567, 1, 2), 1234.0);
    EXPECT_EQ(payroll::roundWageValue(-1.2, 1, 2), -2.0);
    EXPECT_EQ(payroll::roundWageValue(1234.001, 2, 0), 1235.0);
    EXPECT_EQ(payroll::roundWageValue(7.25, 9, 1), 7.2); // unknown rule: half-up by decimals
}

TEST_F(WageCalc, RoundsByRuleSeesEarlierNewAndLaterOldValuesAndKeepsIntegers)
{
    const QString input = addItem(sort, QStringLiteral("基数"));
    const QString later = addItem(sort, QStringLiteral("后项"), 1, QStringLiteral("{x}"));
    const QString down =
        formulaItem(QStringLiteral("全舍项"), QStringLiteral("{%1}*1.001").arg(input), 2, 1);
    const QString up =
        formulaItem(QStringLiteral("全入项"), QStringLiteral("{%1}+0.001").arg(input), 2, 2);
    const QString half =
        formulaItem(QStringLiteral("四舍五入项"), QStringLiteral("{%1}/3").arg(input), 2, 0);
    const QString chained =
        formulaItem(QStringLiteral("引用项"), QStringLiteral("{%1}+{%2}").arg(down, later), 2, 0);
    const QString whole =
        formulaItem(QStringLiteral("整数项"), QStringLiteral("7\\2+{%1}\\1").arg(input), 0, 2);
    // The "later" item runs last and its formula doubles the base; "chained" reads its old value.
    ASSERT_TRUE(
        db().Execute(QStringLiteral("UPDATE qp_Items SET FExp='{%1}*2',OrdF=99 WHERE Name='%2'")
                         .arg(input, later)));
    createMonth();
    set(input, p1, QStringLiteral("1233.334"));
    set(input, p2, QStringLiteral("10"));
    set(later, p1, QStringLiteral("5"));

    payroll::WageScriptSession session(db(), {});
    ASSERT_TRUE(session.reset());
    payroll::WageCalculator calculator(db(), session);
    QStringList progress;
    const payroll::WageCalcResult result =
        calculator.calculateMonth(month(), [&](const payroll::WageCalcStep& step) {
            using Phase = payroll::WageCalcStep::Phase;
            if (step.phase == Phase::Calculating)
                progress
                    << QStringLiteral("%1 %2/%3").arg(step.caption).arg(step.item).arg(step.items);
            else
                progress << QStringLiteral("%1 %2/%3")
                                .arg(step.phase == Phase::Reading ? "read" : "write")
                                .arg(step.done)
                                .arg(step.total);
            return true;
        });
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(result.failures.empty()) << result.failureMessages().join('\n').toStdString();
    EXPECT_EQ(result.persons, 2);
    EXPECT_EQ(result.items, 6);
    EXPECT_EQ(result.cellsWritten, 12);
    EXPECT_EQ(progress.first(), QStringLiteral("read 0/0"));
    EXPECT_EQ(progress.value(1), QStringLiteral("全舍项 1/6"));
    EXPECT_EQ(progress.value(6), QStringLiteral("后项 6/6"));
    EXPECT_EQ(progress.last(), QStringLiteral("write 0/2"));

    EXPECT_EQ(cell(down, p1).toDouble(), 1234.0); // 1234.567 floored, the decimals unused
    EXPECT_EQ(cell(up, p1).toDouble(), 1234.0);   // 1233.335 raised
    EXPECT_EQ(cell(half, p1).toDouble(), 411.11);
    EXPECT_EQ(cell(half, p2).toDouble(), 3.33);
    EXPECT_EQ(cell(chained, p1).toDouble(), 1239.0); // new 1234 + the old 5 of the later item
    EXPECT_EQ(cell(later, p1).toDouble(), 2466.67);
    EXPECT_EQ(cell(whole, p2).toDouble(), 13.0); // an integer stored as it is
}

TEST_F(WageCalc, StandardTableMissingCodeIsNullForTheMonthAndZeroForOnePerson)
{
    // A one-dimensional table on the persons' TechTitle codes (only "T1" has a row).
    ASSERT_TRUE(
        db().Execute(QStringLiteral("UPDATE qp_PsnBase SET TechTitle='T1' WHERE PID=%1").arg(p1)));
    ASSERT_TRUE(
        db().Execute(QStringLiteral("UPDATE qp_PsnBase SET TechTitle='T9' WHERE PID=%1").arg(p2)));
    ASSERT_TRUE(db().Execute(
        QStringLiteral("INSERT INTO qp_WageStdTable "
                       "(SID,STDName,Descr,STDDim,STDTable,DictRow,FldRow,TblRow,Ord) "
                       "VALUES (%1,N'职称标准','',1,'calc_std1','',N'TechTitle',N'qp_PsnBase',1)")
            .arg(sort)));
    ASSERT_TRUE(db().Execute(QStringLiteral("CREATE TABLE calc_std1 (id INT IDENTITY(1,1) PRIMARY "
                                            "KEY, DictValue VARCHAR(50), Jine MONEY)")));
    ASSERT_TRUE(db().Execute(
        QStringLiteral("INSERT INTO calc_std1 (DictValue,Jine) VALUES ('T1',1500.257)")));
    const int stdId = count(QStringLiteral("SELECT MAX(id) FROM qp_WageStdTable"));
    const QString amount = addItem(sort, QStringLiteral("职称津贴"), 2, {}, {}, false, stdId);
    createMonth();
    set(amount, p2, QStringLiteral("77"));

    payroll::WageScriptSession session(db(), {});
    ASSERT_TRUE(session.reset());
    payroll::WageCalculator calculator(db(), session);
    payroll::WageCalcResult result = calculator.calculateMonth(month());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(cell(amount, p1).toDouble(), 1500.26);
    EXPECT_TRUE(cell(amount, p2).isNull());

    set(amount, p2, QStringLiteral("77"));
    result = calculator.calculatePerson(sort, kMonth, p2);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.persons, 1);
    EXPECT_EQ(cell(amount, p2).toDouble(), 0.0);
    EXPECT_FALSE(cell(amount, p2).isNull());
}

TEST_F(WageCalc, SelectionFailuresCancelAndFailedWrite)
{
    const QString input = addItem(sort, QStringLiteral("基数"));
    const QString ratio =
        formulaItem(QStringLiteral("比值"), QStringLiteral("100/{%1}").arg(input), 2, 0);
    const QString plus =
        formulaItem(QStringLiteral("加一"), QStringLiteral("{%1}+1").arg(input), 2, 0);
    createMonth();
    set(input, p1, QStringLiteral("4"));
    set(input, p2, QStringLiteral("0"));
    set(ratio, p1, QStringLiteral("-1"));
    set(ratio, p2, QStringLiteral("-1"));

    payroll::WageScriptSession session(db(), {});
    ASSERT_TRUE(session.reset());
    payroll::WageCalculator calculator(db(), session);

    // A non-super operator limited to department 2 sees only the second person, who makes the
    // division fail; the next item still runs.
    payroll::WageViewFilter limited = month();
    limited.superOperator = false;
    limited.permittedDepartments = QStringLiteral("2,5");
    EXPECT_EQ(limited.whereText(table),
              QStringLiteral(" WHERE ([%1].fDate=%2) AND (CHARINDEX(','+CONVERT(VARCHAR,"
                             "qp_PsnBase.DID)+',',',2,5,')>0)")
                  .arg(table)
                  .arg(kMonth));
    payroll::WageCalcResult result = calculator.calculateMonth(limited);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.persons, 1);
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.failures[0].itemCaption, QStringLiteral("比值"));
    EXPECT_EQ(result.failureMessages().value(0),
              QStringLiteral("计算 [比值] 公式时出错! (A02 乙): Division by zero"));
    EXPECT_EQ(cell(ratio, p2).toDouble(), -1.0);
    EXPECT_EQ(cell(plus, p2).toDouble(), 1.0);
    EXPECT_EQ(cell(plus, p1).toDouble(), 0.0);
    EXPECT_EQ(
        session.context().fromWhere,
        (payroll::WageViewFilter::fromClause(table) + limited.whereText(table)).toStdString());

    // Cancelling at the second item writes nothing.
    set(input, p2, QStringLiteral("5"));
    result = calculator.calculateMonth(
        month(), [](const payroll::WageCalcStep& step) { return step.item < 2; });
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(cell(ratio, p2).toDouble(), -1.0);
    // ... and so does cancelling once every item is calculated, while the results are written.
    result = calculator.calculateMonth(month(), [](const payroll::WageCalcStep& step) {
        return step.phase != payroll::WageCalcStep::Phase::Writing;
    });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.cellsWritten, 0);
    EXPECT_EQ(cell(ratio, p2).toDouble(), -1.0);

    // A write the database refuses rolls every change back.
    if (testutil::onPostgres()) {
        ASSERT_TRUE(db().backend()->execute(
            QStringLiteral("CREATE FUNCTION calc_block() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$BEGIN RAISE EXCEPTION 'blocked'; END$$"),
            nullptr));
        ASSERT_TRUE(db().backend()->execute(
            QStringLiteral("CREATE TRIGGER calc_block BEFORE UPDATE ON %1 FOR EACH ROW WHEN "
                           "(NEW.PID=%2) EXECUTE FUNCTION calc_block()")
                .arg(table.toLower())
                .arg(p2),
            nullptr));
    } else {
        ASSERT_TRUE(db().backend()->execute(
            QStringLiteral("CREATE TRIGGER calc_block BEFORE UPDATE ON \"%1\" WHEN NEW.PID=%2 "
                           "BEGIN SELECT RAISE(ABORT,'blocked'); END")
                .arg(table)
                .arg(p2),
            nullptr));
    }
    result = calculator.calculateMonth(month());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(QStringLiteral("blocked"))) << result.error.toStdString();
    EXPECT_EQ(cell(ratio, p1).toDouble(), -1.0);
    EXPECT_EQ(cell(plus, p1).toDouble(), 0.0);

    EXPECT_EQ(payroll::WageViewFilter::recalculationLogLine(QStringLiteral("月薪"), kMonth,
                                                            month().whereText(table)),
              QStringLiteral("薪资管理['月薪:2026年03月:条件： ([%1].fDate=202603)'薪资重新核算]")
                  .arg(table));
}

} // namespace
} // namespace orvane::payrolltest
