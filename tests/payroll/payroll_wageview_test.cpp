// The wage view's workflow: selection, read-only rules, cell edit, batch change, persons of the
// month, check-out and the refusals after it.
#include "payroll_fixture.h"

#include "payroll/cdlgwagepsntable.h"
#include "payroll/cviewwage.h"

#include "core/cdlgbatchupdate.h"
#include "core/cdlgresetorder.h"
#include "core/operatorrights.h"
#include "core/purview.h"
#include "core/rightstable.h"

#include <gtest/gtest.h>

namespace orvane::payrolltest {
namespace {

using payroll::CViewWage;

constexpr int kMonth = 202501;

class WageView : public PayrollTest
{
protected:
    void SetUp() override
    {
        PayrollTest::SetUp();
        ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_PsnSort (Name,Ord) VALUES "
                                                "('临时工',9)")));
        category = count(QStringLiteral("SELECT MAX(AID) FROM qp_PsnSort"));
        sort = addSort(QStringLiteral("工资"));
        base = addItem(sort, QStringLiteral("基本工资"));
        bonus = addItem(sort, QStringLiteral("奖金"));
        table = wageTable(sort);
        // 应发 = 基本工资 + 奖金, calculated.
        gross =
            addItem(sort, QStringLiteral("应发"), 1, QStringLiteral("{%1}+{%2}").arg(base, bonus),
                    QStringLiteral("[工资.基本工资]+[工资.奖金]"));
        const QList<std::tuple<QString, QString, int>> persons = {
            {QStringLiteral("A01"), QStringLiteral("张三"), 1},
            {QStringLiteral("A02"), QStringLiteral("李四"), 2},
            {QStringLiteral("A03"), QStringLiteral("王五"), 2}};
        int ord = 1;
        for (const auto& [number, name, dept] : persons) {
            pids << addPerson(number, name, dept);
            ASSERT_TRUE(db().Execute(
                QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES (%1,%2,%3)")
                    .arg(sort)
                    .arg(pids.last())
                    .arg(ord++)));
        }
        ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_PsnBase SET AID=%1 WHERE PID=%2")
                                     .arg(category)
                                     .arg(pids[2])));
        ASSERT_TRUE(
            db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,%2").arg(sort).arg(kMonth)));
        ASSERT_TRUE(db().Execute(
            QStringLiteral("UPDATE %1 SET %2=1000*PID, %3=10").arg(table, base, bonus)));
    }

    double value(const QString& column, int pid)
    {
        return database()
            .scalar(QStringLiteral("SELECT %1 FROM %2 WHERE fDate=%3 AND PID=%4")
                        .arg(column, table)
                        .arg(kMonth)
                        .arg(pid))
            .toDouble();
    }
    int column(const CViewWage& view, const QString& field)
    {
        for (int c = 0; c < view.columns().size(); ++c) {
            if (view.columns().at(c).field == field)
                return c;
        }
        return -1;
    }
    // Logs in a non-super operator with the given rights, departments and wage sorts.
    void loginLimited(std::initializer_list<int> rights, const QString& departments,
                      const QString& sorts)
    {
        core::Purview purview;
        for (int index : rights)
            purview.rightsMask |= core::RightsTable::entry(index)->mask();
        purview.categories = QStringLiteral("1,%1").arg(category);
        purview.departments = departments;
        purview.wageSorts = sorts;
        ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_Users (UserName,Pwd,Locked,Descr,"
                                                "Purview,ISuper) VALUES ('clerk','',0,'','%1',0)")
                                     .arg(purview.toString())));
        core::OperatorRecord record;
        record.UserID = count(QStringLiteral("SELECT UserID FROM qp_Users WHERE UserName='clerk'"));
        record.UserName = QStringLiteral("clerk");
        core::OperatorRights::applyPurview(db(), record, purview.toString());
        app.setCurrentOperator(record);
    }
    // What every changing command must do on a checked-out month: message 110 and nothing sent.
    void expectAllChangesRefused(CViewWage& view)
    {
        const int logLines = count(QStringLiteral("SELECT COUNT(*) FROM qp_Log"));
        const double before = value(base, pids[0]);
        EXPECT_FALSE(view.canEditCell(0, column(view, base)));
        EXPECT_FALSE(view.commitCell(0, column(view, base), 1.0));
        prompter.clear();
        EXPECT_FALSE(view.recalculate());
        view.runBatchDialog = [](core::CDlgBatchUpdate&) -> bool {
            ADD_FAILURE() << "batch dialog opened on a checked-out month";
            return false;
        };
        EXPECT_FALSE(view.batchUpdate());
        view.runPsnTableDialog = [](payroll::CDlgWagePsnTable&) -> bool {
            ADD_FAILURE() << "add dialog opened on a checked-out month";
            return false;
        };
        EXPECT_FALSE(view.addPersons());
        EXPECT_FALSE(view.removePersons({0}));
        view.setNavigation(1, 0);
        EXPECT_FALSE(view.reorder());
        view.importData();
        EXPECT_EQ(prompter.messageTexts(), QStringList(6, CViewWage::checkedOutMessage()));
        for (const auto& shown : prompter.shown())
            EXPECT_EQ(shown.caption, QStringLiteral("提示"));
        EXPECT_EQ(value(base, pids[0]), before);
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)), 3);
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Log")), logLines);
    }

    int sort = 0;
    int category = 0;
    QString table, base, bonus, gross;
    QList<int> pids;
};

TEST_F(WageView, SelectionByDepartmentCategoryAndOperatorLimits)
{
    CViewWage view(app, prompter, sort, kMonth);
    ASSERT_TRUE(view.open());
    EXPECT_EQ(view.rowCount(), 3);
    EXPECT_EQ(view.columns().at(2).caption, QStringLiteral("编号"));
    EXPECT_EQ(view.columns().at(CViewWage::kFixedColumns).caption, QStringLiteral("基本工资"));
    EXPECT_EQ(view.rows().value(0, 3).toString(), QStringLiteral("张三"));
    EXPECT_TRUE(view.footerText().startsWith(QStringLiteral("合计：3人")));
    EXPECT_TRUE(view.footerText().contains(QStringLiteral("奖金：30.00")));
    EXPECT_EQ(QString::fromStdString(view.context().fromWhere), view.fromWhere());

    view.setNavigation(2, 0);
    ASSERT_TRUE(view.refresh());
    EXPECT_EQ(view.rowCount(), 2);
    view.setNavigation(2, category); // department and category together
    ASSERT_TRUE(view.refresh());
    ASSERT_EQ(view.rowCount(), 1);
    EXPECT_EQ(view.personAt(0), pids[2]);
    view.setNavigation(0, -1); // no category chosen: nobody
    ASSERT_TRUE(view.refresh());
    EXPECT_EQ(view.rowCount(), 0);
    EXPECT_EQ(view.whereText(), QStringLiteral(" WHERE (qp_PsnBase.AID=-1)"));
    EXPECT_EQ(view.selectionText(), QStringLiteral("条件： (qp_PsnBase.AID=-1)"));

    // A non-super operator sees only his departments, even with the whole organisation chosen.
    loginLimited({16, 17}, QStringLiteral("2"), QString());
    CViewWage limited(app, prompter, sort, kMonth);
    ASSERT_TRUE(limited.open());
    EXPECT_EQ(limited.rowCount(), 2);
    EXPECT_TRUE(limited.footerText().startsWith(QStringLiteral("合计：2人")));
    // The bank file and the payslips get exactly the persons shown.
    const QString outputSql = payroll::WageExportQuery(db()).selectSql(limited.selection());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM (%1) t")
                        .arg(outputSql.section(QStringLiteral(" ORDER BY"), 0, 0))),
              2);
}

TEST_F(WageView, ReadOnlyRules)
{
    {
        CViewWage view(app, prompter, sort, kMonth);
        ASSERT_TRUE(view.open());
        EXPECT_FALSE(view.readOnly());
        for (int c = 0; c < CViewWage::kFixedColumns; ++c)
            EXPECT_FALSE(view.canEditColumn(c)) << c;
        EXPECT_TRUE(view.canEditColumn(CViewWage::kFixedColumns));
    }
    // Without right 19 the grid is read-only, silently.
    loginLimited({16, 17}, QStringLiteral("1,2"), QString::number(sort));
    {
        CViewWage view(app, prompter, sort, kMonth);
        ASSERT_TRUE(view.open());
        EXPECT_TRUE(view.readOnly());
        EXPECT_FALSE(view.canEditColumn(CViewWage::kFixedColumns));
        EXPECT_TRUE(prompter.shown().empty());
        // Recalculation names the missing right under the caption "提示".
        EXPECT_FALSE(view.recalculate());
        EXPECT_EQ(prompter.last().text, core::OperatorRights::noRightMessage());
        EXPECT_EQ(prompter.last().caption, QStringLiteral("提示"));
    }
    // With right 19 but without the wage sort, the items stay closed.
    ASSERT_TRUE(db().Execute(QStringLiteral("DELETE FROM qp_Users WHERE UserName='clerk'")));
    loginLimited({16, 17, 19}, QStringLiteral("1,2"), QStringLiteral("999"));
    CViewWage view(app, prompter, sort, kMonth);
    ASSERT_TRUE(view.open());
    EXPECT_FALSE(view.readOnly());
    EXPECT_FALSE(view.canEditColumn(CViewWage::kFixedColumns));
}

TEST_F(WageView, CellEditWritesFormatsLogsAndChecksTheRow)
{
    CViewWage view(app, prompter, sort, kMonth);
    ASSERT_TRUE(view.open());
    const int baseColumn = column(view, base);
    ASSERT_TRUE(view.canEditCell(0, baseColumn));
    ASSERT_TRUE(view.commitCell(0, baseColumn, 1234.567));
    EXPECT_DOUBLE_EQ(value(base, pids[0]), 1234.57); // the item's two decimals
    EXPECT_EQ(
        lastLogLine(),
        QStringLiteral("薪资管理[修改个人薪资数据'工资:2025年01月|<张三>:1234.57(基本工资)']"));
    EXPECT_DOUBLE_EQ(view.rows().value(0, baseColumn).toDouble(), 1234.57);
    EXPECT_TRUE(view.footerText().contains(
        QStringLiteral("基本工资：") +
        QString::number(1234.57 + 1000.0 * (pids[1] + pids[2]), 'f', 2)));

    // A number column refuses text.
    EXPECT_FALSE(view.commitCell(0, baseColumn, QStringLiteral("abc")));
    EXPECT_EQ(prompter.last().text, QStringLiteral("请输入数字!"));

    // The row deleted by another operator meanwhile: message 133, nothing written.
    ASSERT_TRUE(db().Execute(QStringLiteral("DELETE FROM %1 WHERE PID=%2 AND fDate=%3")
                                 .arg(table)
                                 .arg(pids[1])
                                 .arg(kMonth)));
    const QString logBefore = lastLogLine();
    EXPECT_FALSE(view.commitCell(1, baseColumn, 5.0));
    EXPECT_EQ(prompter.last().text, QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE PID=%2").arg(table).arg(pids[1])),
              0);
    EXPECT_EQ(lastLogLine(), logBefore);
}

TEST_F(WageView, CellEditRecalculatesThePerson)
{
    CViewWage view(app, prompter, sort, kMonth);
    ASSERT_TRUE(view.open());
    ASSERT_TRUE(view.commitCell(0, column(view, bonus), 250.0));
    EXPECT_DOUBLE_EQ(value(gross, pids[0]), value(base, pids[0]) + 250.0);
    EXPECT_DOUBLE_EQ(value(gross, pids[1]), 0.0); // other persons untouched
    EXPECT_DOUBLE_EQ(view.rows().value(0, column(view, gross)).toDouble(),
                     value(base, pids[0]) + 250.0);
}

TEST_F(WageView, RecalculationRunsWithProgressAndLogs)
{
    CViewWage view(app, prompter, sort, kMonth);
    ASSERT_TRUE(view.open());
    prompter.answer(Answer::No);
    EXPECT_FALSE(view.recalculate());
    EXPECT_DOUBLE_EQ(value(gross, pids[0]), 0.0);
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(view.recalculate());
    EXPECT_EQ(prompter.shown().back().text, QStringLiteral("确定要重新计算当前薪资表吗?"));
    EXPECT_TRUE(
        prompter.progressTexts().contains(QStringLiteral("正在核算 '应发' (第1条共1条)...")));
    for (int pid : pids)
        EXPECT_DOUBLE_EQ(value(gross, pid), 1000.0 * pid + 10);
    EXPECT_EQ(lastLogLine(),
              QStringLiteral("薪资管理['工资:2025年01月:条件： ([%1].fDate=%2)'薪资重新核算]")
                  .arg(table)
                  .arg(kMonth));
}

TEST_F(WageView, BatchChangeByRuleOverTheSelection)
{
    CViewWage view(app, prompter, sort, kMonth);
    ASSERT_TRUE(view.open());
    view.setNavigation(2, 0);
    ASSERT_TRUE(view.refresh());

    // The refusals, in the dialog, before anything is written.
    int step = 0;
    view.runBatchDialog = [&](core::CDlgBatchUpdate& batch) {
        batch.field = 0; // 基本工资
        EXPECT_EQ(batch.operationsFor(0).size(), 5);
        batch.operation = core::CDlgBatchUpdate::NoOperation;
        EXPECT_FALSE(batch.confirm());
        batch.operation = core::CDlgBatchUpdate::Divide;
        batch.value = QStringLiteral("1x");
        EXPECT_FALSE(batch.confirm());
        batch.value = QStringLiteral("0");
        EXPECT_FALSE(batch.confirm());
        batch.value = QStringLiteral("2");
        prompter.answer(step++ == 0 ? Answer::No : Answer::Yes);
        return batch.confirm();
    };
    EXPECT_FALSE(view.batchUpdate());
    EXPECT_EQ(prompter.messageTexts(),
              (QStringList{QStringLiteral("请选择修改方式!"), QStringLiteral("值只能是数字!"),
                           QStringLiteral("除数不能为零!")}));
    EXPECT_EQ(prompter.last().text, QStringLiteral("操作不可回退，确定批量修改吗?"));
    EXPECT_DOUBLE_EQ(value(base, pids[1]), 1000.0 * pids[1]);

    prompter.clear();
    const double first = value(base, pids[0]);
    ASSERT_TRUE(view.batchUpdate());
    EXPECT_DOUBLE_EQ(value(base, pids[1]), 500.0 * pids[1]);
    EXPECT_DOUBLE_EQ(value(base, pids[2]), 500.0 * pids[2]);
    EXPECT_DOUBLE_EQ(value(base, pids[0]), first); // outside the department
    EXPECT_EQ(lastLogLine(),
              QStringLiteral("薪资管理['工资:2025年01月'薪资批量修改'基本工资|统除|2(条件： "
                             "([%1].fDate=%2) AND (CHARINDEX('|2|',qp_Dept.ParentArr)>0))']")
                  .arg(table)
                  .arg(kMonth));

    // The expression by the item's rounding rule.
    core::CDlgBatchUpdate batch(
        db(), prompter,
        QStringLiteral("SELECT ItemID,[Name],[Alias],iDataType,iDec,iChoice "
                       "FROM qp_Items WHERE UPPER(TblName)='%1' ORDER BY Ord")
            .arg(table.toUpper()),
        core::CDlgBatchUpdate::Rounding::ByRule);
    ASSERT_TRUE(batch.load());
    batch.field = 0;
    batch.operation = core::CDlgBatchUpdate::Multiply;
    batch.value = QStringLiteral("+.5");
    EXPECT_EQ(batch.expression(), QStringLiteral("ROUND([%1]*0.5,2)").arg(base));
    ASSERT_TRUE(
        db().Execute(QStringLiteral("UPDATE qp_Items SET iChoice=1 WHERE Name='%1'").arg(base)));
    ASSERT_TRUE(batch.load());
    batch.operation = core::CDlgBatchUpdate::Subtract;
    batch.value = QStringLiteral("-3");
    EXPECT_EQ(batch.expression(), QStringLiteral("FLOOR([%1]-(-3))").arg(base));
    ASSERT_TRUE(
        db().Execute(QStringLiteral("UPDATE qp_Items SET iChoice=2 WHERE Name='%1'").arg(base)));
    ASSERT_TRUE(batch.load());
    batch.operation = core::CDlgBatchUpdate::Assign;
    batch.value = QStringLiteral("7.25");
    EXPECT_EQ(batch.expression(), QStringLiteral("CEILING(7.25)"));
}

TEST_F(WageView, RemoveAndOrderPersonsOfTheMonth)
{
    CViewWage view(app, prompter, sort, kMonth);
    ASSERT_TRUE(view.open());
    EXPECT_FALSE(view.removePersons({}));
    EXPECT_EQ(prompter.last().text, QStringLiteral("请选择人员！"));
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(view.removePersons({0, 2}));
    EXPECT_EQ(prompter.shown().at(1).text, QStringLiteral("确定要删除选择的 2 人薪资记录吗?"));
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理['工资:2025年01月'删除人员2个]"));
    EXPECT_EQ(view.rowCount(), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_WagePsn WHERE SID=%1").arg(sort)), 3);

    // Ordering needs a department without sub-departments.
    view.setNavigation(1, 0);
    EXPECT_FALSE(view.reorder());
    EXPECT_EQ(prompter.last().text, QStringLiteral("请选择末级部门！"));
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202502").arg(sort)));
    CViewWage february(app, prompter, sort, 202502);
    ASSERT_TRUE(february.open());
    february.setNavigation(2, 0);
    ASSERT_TRUE(february.refresh());
    EXPECT_EQ(february.personAt(0), pids[1]);
    february.runOrderDialog = [](core::CDlgResetOrder& order) {
        ASSERT_TRUE(order.load());
        EXPECT_EQ(order.rowCount(), 2);
        order.setCurrentRow(0);
        EXPECT_TRUE(order.moveDown());
    };
    ASSERT_TRUE(february.reorder());
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理['工资:2025年02月:财务部'人员调序]"));
    EXPECT_EQ(february.personAt(0), pids[2]);
    EXPECT_EQ(february.personAt(1), pids[1]);
}

TEST_F(WageView, CheckOutThenEveryChangeIsRefused)
{
    CViewWage view(app, prompter, sort, kMonth);
    ASSERT_TRUE(view.open());
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(view.checkOut());
    EXPECT_EQ(prompter.shown().at(0).text,
              QStringLiteral("确定要将\"2025年01月\"薪资表标记为结账状态吗?"));
    EXPECT_EQ(prompter.last().text, QStringLiteral("结账完成!"));
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理['工资:2025年01月'薪资结账]"));
    EXPECT_EQ(count(QStringLiteral("SELECT Stat FROM qp_WageTable WHERE SID=%1 AND fDate=%2")
                        .arg(sort)
                        .arg(kMonth)),
              1);
    EXPECT_TRUE(view.readOnly());
    expectAllChangesRefused(view);
}

TEST_F(WageView, CheckOutByAnotherOperatorIsSeenBeforeWriting)
{
    CViewWage view(app, prompter, sort, kMonth);
    ASSERT_TRUE(view.open());
    EXPECT_TRUE(view.canEditCell(0, column(view, base)));
    // Another client closes the month through its own connection while this view is open.
    {
        db::CADODatabase other;
        ASSERT_TRUE(other.Open(database().path()));
        ASSERT_TRUE(other.Execute(
            QStringLiteral("EXEC qp_UpdateWageTableCheckOut %1,%2,1").arg(sort).arg(kMonth)))
            << other.GetLastErrorString().toStdString();
    }
    EXPECT_FALSE(view.readOnly()); // not known until a command reads Stat
    EXPECT_FALSE(view.canEditCell(0, column(view, base)));
    EXPECT_EQ(prompter.last().text, CViewWage::checkedOutMessage());
    EXPECT_TRUE(view.readOnly());
    expectAllChangesRefused(view);
}

} // namespace
} // namespace orvane::payrolltest
