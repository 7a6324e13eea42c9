// The standard table definition and the standard tables page.
#include "payroll_fixture.h"

#include "payroll/cdlgtabwagestdtable.h"
#include "payroll/cdlgwagestdtable.h"

#include <gtest/gtest.h>

namespace orvane::payrolltest {
namespace {

using payroll::CDlgTabWageStdTable;
using payroll::CDlgWageStdTable;

class StandardTables : public PayrollTest
{
protected:
    void SetUp() override
    {
        PayrollTest::SetUp();
        sort = addSort(QStringLiteral("工资"));
        page.setSort(sort);
    }
    int dictIndex(CDlgWageStdTable& dlg, const QString& dictId)
    {
        for (int i = 0; i < dlg.dictionaries().size(); ++i) {
            if (dlg.dictionaries()[i].dictId == dictId)
                return i;
        }
        return -1;
    }
    // Ticks the first `n` codes of a dictionary.
    void tick(CDlgWageStdTable& dlg, const QString& dictId, int n)
    {
        const int d = dictIndex(dlg, dictId);
        ASSERT_GE(d, 0) << dictId.toStdString();
        for (int c = 0; c < n; ++c)
            ASSERT_TRUE(dlg.setTicked(d, c, true));
    }
    int sort = 0;
    CDlgTabWageStdTable page{app, prompter};
};

TEST_F(StandardTables, DefinitionRulesAndDimensions)
{
    // Three dictionaries, or none, are refused; so is an empty name.
    {
        CDlgWageStdTable dlg(app, prompter, sort);
        dlg.name = QStringLiteral("表");
        EXPECT_FALSE(dlg.save());
        tick(dlg, QStringLiteral("D01"), 1);
        tick(dlg, QStringLiteral("D03"), 1);
        tick(dlg, QStringLiteral("D08"), 1);
        EXPECT_FALSE(dlg.save());
        EXPECT_EQ(prompter.messageTexts(),
                  QStringList(2, QStringLiteral("档案类至少选一个，最多选两个！")));
    }
    // 3 codes of one and 6 of another: 6 rows and 3 amount columns.
    CDlgWageStdTable dlg(app, prompter, sort);
    tick(dlg, QStringLiteral("D08"), 3);
    tick(dlg, QStringLiteral("D03"), 6);
    prompter.clear();
    EXPECT_FALSE(dlg.save());
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("名称不能为空!")});
    dlg.name = QStringLiteral("学历职称表");
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(dlg.save());
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[薪资类别'工资'新建薪资标准表'学历职称表']"));

    page.refresh();
    ASSERT_EQ(page.tables().rowCount(), 1);
    page.loadAmounts();
    EXPECT_EQ(page.amounts().rowCount(), 6);
    ASSERT_EQ(page.amounts().columnCount(), 5);
    // Columns captioned with the code titles, in code order.
    EXPECT_EQ(page.amounts().columns[1].name, QStringLiteral("学历"));
    EXPECT_EQ(page.amounts().columns[2].name, QStringLiteral("正高级"));
    EXPECT_EQ(page.amounts().columns[4].name, QStringLiteral("中级"));
}

TEST_F(StandardTables, AmountsCodeEditsDeleteAndOrder)
{
    CDlgWageStdTable dlg(app, prompter, sort);
    tick(dlg, QStringLiteral("D08"), 2);
    dlg.name = QStringLiteral("职称津贴");
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(dlg.save());
    page.refresh();
    ASSERT_EQ(page.amounts().rowCount(), 2);

    EXPECT_TRUE(page.setAmount(0, 2, QStringLiteral("1,200.50")));
    EXPECT_EQ(
        lastLogLine(),
        QStringLiteral(
            "薪资管理[修改薪资类别'工资'薪资标准表'职称津贴'表项值('正高级->金额:1200.50')]"));
    prompter.clear();
    EXPECT_FALSE(page.setAmount(1, 2, QStringLiteral("一千'); DROP TABLE qp_Users;--")));
    EXPECT_EQ(prompter.messageTexts().size(), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Users")), 1);
    page.loadAmounts();
    EXPECT_DOUBLE_EQ(page.amounts().at(0, 2).toDouble(), 1200.5);
    EXPECT_DOUBLE_EQ(page.amounts().at(1, 2).toDouble(), 0.0);

    // Ticks of an existing table are written at once; other dictionaries stay locked.
    page.runEditor = [this](CDlgWageStdTable& editor) {
        const int d = dictIndex(editor, QStringLiteral("D08"));
        EXPECT_FALSE(editor.isEditable(dictIndex(editor, QStringLiteral("D01"))));
        EXPECT_TRUE(editor.setTicked(d, 2, true));
        EXPECT_TRUE(editor.setTicked(d, 0, false));
        return false;
    };
    page.changeTable();
    EXPECT_EQ(page.amounts().rowCount(), 2);
    EXPECT_EQ(page.amounts().at(0, 1).toString(), QStringLiteral("副高级"));

    // A table used by an item cannot be deleted.
    const int stdId = page.tables().currentKey();
    addItem(sort, QStringLiteral("职称津贴项"), 2, {}, {}, false, stdId);
    prompter.clear();
    EXPECT_FALSE(page.deleteTable());
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{QStringLiteral("该标准表已被项目'职称津贴项'引用!")});
    ASSERT_TRUE(
        db().Execute(QStringLiteral("UPDATE qp_Items SET iProperty=0 WHERE Alias='职称津贴项'")));
    prompter.answer(Answer::Yes);
    EXPECT_TRUE(page.deleteTable());
    EXPECT_EQ(page.tables().rowCount(), 0);
    prompter.clear();
    EXPECT_FALSE(page.moveTable(core::RowOrder::Direction::Up));
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("请选择项！")});
}

} // namespace
} // namespace orvane::payrolltest
