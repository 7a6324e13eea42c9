// Members of a sort and the monthly wage tables.
#include "payroll_fixture.h"
#include "testutil/testbackend.h"

#include "payroll/cdlgtabwagepsn.h"
#include "payroll/cdlgwagepsnselect.h"
#include "payroll/cdlgwagepsntable.h"
#include "payroll/cdlgwageset.h"
#include "payroll/cdlgwagetabledelete.h"
#include "payroll/cdlgwagetablenew.h"
#include "payroll/cdlgwagetableopen.h"

#include <gtest/gtest.h>

namespace orvane::payrolltest {
namespace {

using namespace payroll;

class Members : public PayrollTest
{
protected:
    void SetUp() override
    {
        PayrollTest::SetUp();
        sort = addSort(QStringLiteral("工资"));
        addPerson(QStringLiteral("A01"), QStringLiteral("张三"), 1);
        addPerson(QStringLiteral("A02"), QStringLiteral("李四"), 2);
        addPerson(QStringLiteral("A03"), QStringLiteral("王五"), 2);
        page.setSort(sort);
    }
    int sort = 0;
    CDlgTabWagePSN page{app, prompter};
};

TEST_F(Members, SelectDialogTicksSearchesAndAdds)
{
    page.runSelect = [this](CDlgWagePsnSelect& dlg) {
        CandidateList& list = dlg.candidates();
        EXPECT_EQ(list.tableName(), QStringLiteral("##tmp1"));
        EXPECT_EQ(list.footerText(), QStringLiteral("共 计：3 人"));
        EXPECT_FALSE(dlg.addTicked());
        EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("请选择人员！")});
        // Double click adds one person at once.
        EXPECT_EQ(list.search(QStringLiteral("李四")), 1);
        EXPECT_TRUE(dlg.addOne(1));
        EXPECT_EQ(page.members().rowCount(), 1);
        EXPECT_EQ(list.rows().rowCount(), 2);
        EXPECT_TRUE(list.setTicked(0, true));
        prompter.answer(Answer::Ok);
        EXPECT_TRUE(dlg.addTicked());
        EXPECT_EQ(list.rows().rowCount(), 1);
        EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[薪资类别'工资'增加所属人员]"));
    };
    EXPECT_TRUE(page.addMembers());
    EXPECT_EQ(page.footerText(), QStringLiteral("共 计：2 人"));
    if (!testutil::onPostgres()) // SQLite's own catalogue of temporary tables
        EXPECT_EQ(
            count(QStringLiteral("SELECT COUNT(*) FROM sqlite_temp_master WHERE name='##tmp1'")),
            0);

    // The department with two sub-departments cannot reorder; a leaf can.
    ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_Dept (DID,ParentID,Name,Ord,ParentArr) "
                                            "VALUES (3,1,'人事部',2,'|3|1|')")));
    page.setDepartment(1);
    EXPECT_FALSE(page.canMove());
    page.setDepartment(0);
    page.members().setCurrentRow(0);
    const int first = page.members().currentKey();
    EXPECT_TRUE(page.moveMember(false));
    EXPECT_EQ(page.members().rows().at(1, 0).toInt(), first);

    prompter.answer(Answer::Yes);
    EXPECT_TRUE(page.deleteMembers({0, 1}));
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[薪资类别'工资'删除所属人员2人]"));
    EXPECT_EQ(page.members().rowCount(), 0);
}

TEST_F(Members, RefreshGivesADepartmentsMembersTheirPositionsInPersonOrder)
{
    const int p1 = count(QStringLiteral("SELECT PID FROM qp_PsnBase WHERE Number='A01'"));
    const int p2 = count(QStringLiteral("SELECT PID FROM qp_PsnBase WHERE Number='A02'"));
    const int p3 = count(QStringLiteral("SELECT PID FROM qp_PsnBase WHERE Number='A03'"));
    for (const auto& [pid, ord] : {std::pair{p3, 5}, {p1, 6}, {p2, 9}})
        ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES "
                                                "(%1,%2,%3)")
                                     .arg(sort)
                                     .arg(pid)
                                     .arg(ord)));
    auto ordOf = [&](int pid) {
        return count(
            QStringLiteral("SELECT Ord FROM qp_WagePsn WHERE SID=%1 AND PID=%2").arg(sort).arg(pid));
    };
    // The leaf department's two members swap positions 5 and 9; the other keeps 6.
    page.setDepartment(2);
    ASSERT_TRUE(page.refresh());
    EXPECT_EQ(ordOf(p2), 5);
    EXPECT_EQ(ordOf(p3), 9);
    EXPECT_EQ(ordOf(p1), 6);
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_RefreshWagePsnDefaultOrder %1,0").arg(sort)));
    EXPECT_EQ(ordOf(p1), 5);
    EXPECT_EQ(ordOf(p2), 6);
    EXPECT_EQ(ordOf(p3), 9);
}

TEST_F(Members, WageSettingsLoadsOnlyTheShownPageAndCyclesPages)
{
    CDlgWageSet settings(app, prompter);
    ASSERT_EQ(settings.sorts().size(), 1);
    EXPECT_EQ(settings.members().sortId(), sort);
    EXPECT_EQ(settings.items().sortId(), -1);
    settings.nextPage();
    settings.nextPage();
    EXPECT_EQ(settings.page(), CDlgWageSet::Items);
    EXPECT_EQ(settings.items().sortId(), sort);
    settings.nextPage();
    EXPECT_EQ(settings.page(), CDlgWageSet::Members);
}

class Months : public Members
{
};

TEST_F(Months, CreateListReopenAndDelete)
{
    ASSERT_TRUE(
        db().Execute(QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) SELECT %1,PID,Ord "
                                    "FROM qp_PsnBase")
                         .arg(sort)));
    CDlgWageTableOpen archive(app, prompter, sort);
    archive.runNew = [this](CDlgWageTableNew& dlg) {
        dlg.year = 2025;
        dlg.month = 3;
        prompter.answer(Answer::Yes);
        return dlg.create();
    };
    EXPECT_TRUE(archive.newMonth());
    EXPECT_EQ(prompter.shown()[0].text, QStringLiteral("确定新建 \"2025年03月\" 薪资表吗?"));
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[新建薪资表'2025年03月']"));
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE fDate=202503").arg(wageTable(sort))),
        3);
    prompter.clear();
    EXPECT_FALSE(archive.newMonth());
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("薪资表(2025年03月) 已存在!")});

    for (int m = 202401; m <= 202412; ++m)
        ASSERT_TRUE(
            db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,%2").arg(sort).arg(m)));
    archive.setLatestOnly(true, 12);
    EXPECT_EQ(archive.months().rowCount(), 12);
    EXPECT_EQ(archive.currentMonth(), 202503);

    // Re-opening needs right 20.
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_WageTable SET Stat=1")));
    const core::OperatorRecord admin = app.currentOperator();
    ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_Users (UserName,Pwd,Locked,ISuper,"
                                            "Descr,Purview) VALUES ('clerk','',0,0,'','0|||')")));
    core::OperatorRecord clerk;
    clerk.UserID = count(QStringLiteral("SELECT UserID FROM qp_Users WHERE UserName='clerk'"));
    clerk.UserName = QStringLiteral("clerk");
    app.setCurrentOperator(clerk);
    prompter.clear();
    EXPECT_FALSE(archive.reopen());
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{QStringLiteral("抱歉!您没有该项功能操作权限，请与管理员联系!")});
    app.setCurrentOperator(admin);
    prompter.answer(Answer::Yes);
    EXPECT_TRUE(archive.reopen());
    EXPECT_EQ(count(QStringLiteral("SELECT Stat FROM qp_WageTable WHERE fDate=202503")), 0);
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[反结帐薪资表'工资:2025年03月']"));

    // A reversed range deletes nothing and still logs; a range deletes data and headers.
    archive.runDelete = [this](CDlgWageTableDelete& dlg) {
        dlg.range = true;
        dlg.fromMonth = 202406;
        dlg.toMonth = 202401;
        prompter.answer(Answer::Yes);
        return dlg.accept();
    };
    EXPECT_TRUE(archive.deleteMonths());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_WageTable")), 13);
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[删除薪资表'工资:2024年01月 至 2024年06月']")
                                 .replace(QStringLiteral("2024年01月 至 2024年06月"),
                                          QStringLiteral("2024年06月 至 2024年01月")));
    archive.runDelete = [this](CDlgWageTableDelete& dlg) {
        dlg.range = true;
        dlg.fromMonth = 202401;
        dlg.toMonth = 202406;
        prompter.answer(Answer::Yes);
        return dlg.accept();
    };
    EXPECT_TRUE(archive.deleteMonths());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_WageTable")), 7);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM %1").arg(wageTable(sort))), 21);

    EXPECT_TRUE(archive.open());
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[打开薪资表'工资:2025年03月']"));
}

TEST_F(Months, AddingPersonsToAMonthWithoutAnEarlierMonthChosen)
{
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202501").arg(sort)));
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202502").arg(sort)));
    CDlgWagePsnTable dlg(app, prompter, sort, 202502);
    EXPECT_EQ(dlg.earlierMonths(), QList<int>{202501});
    EXPECT_EQ(dlg.candidates().rows().rowCount(), 3);
    EXPECT_FALSE(dlg.accept());
    ASSERT_TRUE(dlg.candidates().tickAll(true));
    dlg.importEarlier = true; // but no month chosen
    prompter.answer(Answer::Ok);
    EXPECT_TRUE(dlg.accept());
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE fDate=202502").arg(wageTable(sort))),
        3);
    EXPECT_EQ(lastLogLine(),
              QStringLiteral("薪资管理[薪资类别'工资'薪资表'2025年02月'添加3个人员]"));
}

} // namespace
} // namespace orvane::payrolltest
