// The sort manager and the wage items page with the item editor.
#include "payroll_fixture.h"

#include "payroll/cdlgtabwageitem.h"
#include "payroll/cdlgwageitemset.h"
#include "payroll/cdlgwagesetset.h"

#include "core/cdlgresetorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace orvane::payrolltest {
namespace {

using payroll::CDlgTabWageItem;
using payroll::CDlgWageItemSet;
using payroll::CDlgWageSetSet;
using Direction = core::RowOrder::Direction;

class WageSortManager : public PayrollTest
{
};

TEST_F(WageSortManager, AddsChangesMovesAndDeletesSorts)
{
    CDlgWageSetSet dlg(app, prompter);
    ASSERT_TRUE(dlg.refresh());
    EXPECT_FALSE(dlg.addSort(QStringLiteral("  "), {}));
    EXPECT_TRUE(dlg.addSort(QStringLiteral(" 工资 "), QStringLiteral("月薪")));
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[新增薪资类别'工资']"));
    EXPECT_FALSE(dlg.addSort(QStringLiteral("工资"), {}));
    EXPECT_TRUE(dlg.addSort(QStringLiteral("年终奖"), {}));
    EXPECT_EQ(prompter.messageTexts(), (QStringList{QStringLiteral("错误：薪资类别名不能为空!"),
                                                    QStringLiteral("错误：该薪资类别已存在!")}));

    // Renaming to its own title skips the duplicate test; to another's is refused.
    ASSERT_TRUE(dlg.sorts().selectKey(dlg.lastAddedId()));
    EXPECT_TRUE(dlg.changeSort(QStringLiteral("年终奖"), QStringLiteral("说明")));
    EXPECT_FALSE(dlg.changeSort(QStringLiteral("工资"), {}));
    EXPECT_TRUE(dlg.moveSort(Direction::Up));
    EXPECT_EQ(dlg.sorts().currentRow(), 0);
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[薪资类别顺序调整]"));

    prompter.answer(Answer::Yes);
    EXPECT_TRUE(dlg.deleteSort());
    EXPECT_EQ(prompter.last().text,
              QStringLiteral("删除薪资类别将同时删除该类别下的人员薪资及配置数据！\r\n\r\n"
                             "确定要删除薪资类别'年终奖'吗?"));
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[删除薪资类别'年终奖']"));
    // The last sort is refused before any question.
    prompter.clear();
    EXPECT_FALSE(dlg.deleteSort());
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("最后一个薪资类别不能删除!")});
    EXPECT_TRUE(dlg.changed());
}

TEST_F(WageSortManager, ChangingASortAnotherOperatorDeletedShows133)
{
    CDlgWageSetSet dlg(app, prompter);
    ASSERT_TRUE(dlg.addSort(QStringLiteral("工资"), {}));
    ASSERT_TRUE(db().Execute(QStringLiteral("DELETE FROM qp_Table WHERE nType=6")));
    EXPECT_FALSE(dlg.changeSort(QStringLiteral("新名"), {}));
    EXPECT_EQ(prompter.messageTexts().last(),
              QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!"));
}

class WageItems : public PayrollTest
{
protected:
    void SetUp() override
    {
        PayrollTest::SetUp();
        sort = addSort(QStringLiteral("工资"));
        page.setSort(sort);
    }
    int sort = 0;
    CDlgTabWageItem page{app, prompter};
};

TEST_F(WageItems, EditorChecksInOrderAndSavesEachKind)
{
    struct Case
    {
        const char* caption;
        int dataType;
        const char* dict;
        int property;
        int stdTable;
        const char* formula;
        const char* message; // nullptr: saved
    };
    const Case cases[] = {
        {" ", 0, "", 0, 0, "", "错误：项目名不能为空!"},
        {"参照项", 3, "", 0, 0, "", "参照项不能为空!"},
        {"岗位工资", 0, "", 2, 0, "", "请选择标准表!"},
        {"奖金", 0, "", 1, 0, "  ", "错误：公式内容不能为空!"},
        {"基本工资", 0, "", 0, 0, "", nullptr},
        {"基本工资", 0, "", 0, 0, "", "错误：该项目已存在!"},
        {"职称", 3, "D08", 1, 0, "[工资.基本工资]", nullptr},
        {"奖金", 0, "", 1, 0, "[工资.基本工资]*0.1+IIf([人员档案.姓名]=\"x\",1,0)", nullptr},
    };
    page.runEditor = [](CDlgWageItemSet& editor) { return editor.save(); };
    for (const Case& c : cases) {
        prompter.clear();
        CDlgWageItemSet editor(app, prompter, sort);
        editor.caption = QString::fromUtf8(c.caption);
        editor.dataType = c.dataType;
        editor.dictionary = QString::fromUtf8(c.dict);
        editor.property = c.property;
        editor.standardTable = c.stdTable;
        editor.formula = QString::fromUtf8(c.formula);
        const bool saved = editor.save();
        EXPECT_EQ(saved, c.message == nullptr) << c.caption;
        if (c.message)
            EXPECT_EQ(prompter.messageTexts(), QStringList{QString::fromUtf8(c.message)})
                << c.caption;
    }
    // A reference item keeps no property, formula or table.
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT iProperty FROM qp_Items WHERE Alias='职称'")),
        QStringLiteral("0"));
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT FExp2 FROM qp_Items WHERE Alias='职称'")),
              QString());
    const QString base =
        database().scalar(QStringLiteral("SELECT Name FROM qp_Items WHERE Alias='基本工资'"));
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT FExp FROM qp_Items WHERE Alias='奖金'")),
              QStringLiteral("{%1}*0.1+IIf({Name}=\"x\",1,0)").arg(base));
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[薪资类别'工资'新建薪资项目'奖金']"));

    ASSERT_TRUE(page.refresh());
    EXPECT_EQ(page.items().rowCount(), 3);
    EXPECT_EQ(page.items().rows().at(0, 3).toString(), QStringLiteral("基本工资"));
}

TEST_F(WageItems, ChangeDeleteAndOrders)
{
    addItem(sort, QStringLiteral("基本工资"));
    addItem(sort, QStringLiteral("奖金"));
    page.refresh();
    page.items().setCurrentRow(1);
    EXPECT_TRUE(page.moveItem(Direction::Up));
    EXPECT_EQ(page.items().rows().at(0, 3).toString(), QStringLiteral("奖金"));
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[薪资类别'工资'调整薪资项目显示顺序]"));

    // The editor opens on the item; another operator deleting it meanwhile gives 133.
    page.runEditor = [this](CDlgWageItemSet& editor) {
        EXPECT_EQ(editor.caption, QStringLiteral("奖金"));
        editor.caption = QStringLiteral("奖金2");
        db().Execute(QStringLiteral("DELETE FROM qp_Items WHERE ItemID=%1").arg(editor.itemId()));
        return editor.save();
    };
    page.items().setCurrentRow(0);
    EXPECT_FALSE(page.changeItem());
    EXPECT_EQ(prompter.messageTexts().last(),
              QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!"));

    // Two formula items: the calculation order lists them and moving one is logged.
    addItem(sort, QStringLiteral("应发"), 1, QStringLiteral("1"), QStringLiteral("1"));
    addItem(sort, QStringLiteral("实发"), 1, QStringLiteral("2"), QStringLiteral("2"));
    page.runResetOrder = [](core::CDlgResetOrder& order, const QString& title) {
        EXPECT_EQ(title, QStringLiteral("调整薪资项目运算顺序(自上而下运行)"));
        ASSERT_TRUE(order.load());
        ASSERT_EQ(order.rowCount(), 2);
        order.setCurrentRow(1);
        EXPECT_TRUE(order.moveUp());
    };
    EXPECT_TRUE(page.resetCalcOrder());
    EXPECT_LT(count(QStringLiteral("SELECT OrdF FROM qp_Items WHERE Alias='实发'")),
              count(QStringLiteral("SELECT OrdF FROM qp_Items WHERE Alias='应发'")));
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[薪资类别'工资'调整薪资项目运算顺序]"));

    page.refresh();
    page.items().setCurrentRow(0);
    prompter.answer(Answer::Yes);
    EXPECT_TRUE(page.deleteItem());
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[薪资类别'工资'删除薪资项目'基本工资']"));
    page.items().setCurrentRow(-1);
    prompter.clear();
    EXPECT_FALSE(page.deleteItem());
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("请选择项！")});
}

TEST_F(WageItems, TwoOperatorsAddingOneItemAtOnceGetOneItem)
{
    // The first operator's call sits in an open transaction; the second operator's, on another
    // connection, must wait for it and then get the duplicate answer, never a twin item.
    const QString call =
        QStringLiteral("EXEC qp_AddDBTableWageItem @SID=%1, @Active=1, @ItemID=0, "
                       "@Alias=N'津贴', @DataType=0, @IdRef=N'', @Property=0, @Retain=0, "
                       "@StdTblID=0, @FieldDec=2, @Choice=0, @FExp=N'', @FExp2=N''")
            .arg(sort);
    ASSERT_TRUE(db().BeginTransaction());
    ASSERT_TRUE(db().Execute(call)) << db().GetErrorDescription().toStdString();
    bool secondRan = false;
    std::thread second([&] {
        db::CADODatabase other;
        if (other.Open(database().path()))
            secondRan = other.Execute(call);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(db().CommitTransaction());
    second.join();
    EXPECT_TRUE(secondRan) << "the second call waits, then is answered";
    EXPECT_EQ(database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Items WHERE "
                                                  "Alias=N'津贴'")),
              1);
}

} // namespace
} // namespace orvane::payrolltest
