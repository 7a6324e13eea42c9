// The wage child window built headless on a test month: navigation pane, grid with totals,
// drop-down lists, and a read-only grid after check-out.
#include "shell_fixture.h"

#include "payroll/ui/wageview.h"
#include "shell/ui/cchildframewage.h"
#include "widgets/cdeptpane.h"
#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QMenu>
#include <QTreeWidget>

namespace orvane::shelltest {

class WageFrameUi : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        ASSERT_TRUE(db().Execute(QStringLiteral(
            "INSERT INTO qp_Dept (DID,ParentID,Name,Ord,ParentArr) VALUES (1,0,'总部',1,'|1|')")));
        ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_Dept (DID,ParentID,Name,Ord,"
                                                "ParentArr) VALUES (2,1,'财务部',1,'|2|1|')")));
        ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_AddWageSort @Name=N'工资', @Descr=N''")));
        sort = database().scalarInt(QStringLiteral("SELECT ID FROM qp_Table WHERE nType=6"));
        ASSERT_TRUE(db().Execute(
            QStringLiteral("EXEC qp_AddDBTableWageItem %1,1,0,N'基本工资',0,'',0,0,0,2,0,N'',N''")
                .arg(sort)));
        for (int i = 1; i <= 3; ++i) {
            ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_PsnBase (DID,AID,Number,Name,"
                                                    "Ord) VALUES (%1,1,'A0%2','员工%2',%2)")
                                         .arg(i == 1 ? 1 : 2)
                                         .arg(i)));
            ASSERT_TRUE(db().Execute(
                QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) SELECT %1,MAX(PID),%2 FROM "
                               "qp_PsnBase")
                    .arg(sort)
                    .arg(i)));
        }
        ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202501").arg(sort)));
        ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_WageExport (SID,Name,Active,Ord) "
                                                "VALUES (%1,'工商银行',1,1)")
                                     .arg(sort)));
    }
    int sort = 0;
};

TEST_F(WageFrameUi, OpensOnAMonthFiltersAndLocksAfterCheckOut)
{
    shell::ChildInfo info;
    info.kind = shell::ChildInfo::Kind::Wage;
    info.handle = 7;
    info.sortId = sort;
    info.sortTitle = QStringLiteral("工资");
    info.fDate = QDate(2025, 1, 1);
    info.caption = QStringLiteral("薪资表(工资 - 2025年01月)");
    auto* frame = new shell::ui::CChildFrameWage(app, prompter, info);
    frame->resize(1000, 600);
    frame->show();
    payroll::ui::WageView* view = frame->view();
    ASSERT_NE(frame->findChild<QDockWidget*>(QStringLiteral("WageDeptPane")), nullptr);
    EXPECT_EQ(frame->findChild<QDockWidget*>(QStringLiteral("WageDeptPane"))->windowTitle(),
              QStringLiteral("导航"));
    EXPECT_EQ(view->workflow().category(), 0); // every category
    widgets::GridModel* model = view->model();
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->headerData(4, Qt::Horizontal).toString(), QStringLiteral("基本工资"));
    EXPECT_TRUE(view->grid()->footerText().startsWith(QStringLiteral("合计：3人")));
    QStringList bank;
    for (QAction* a : view->dropDown(QStringLiteral("报盘"))->actions())
        bank << a->text();
    EXPECT_EQ(bank.first(), QStringLiteral("工商银行"));
    EXPECT_EQ(bank.last(), QStringLiteral("报盘模板管理..."));
    EXPECT_TRUE(model->flags(model->index(0, 4)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->flags(model->index(0, 3)) & Qt::ItemIsEditable);

    // Choosing the leaf department in the pane lists its two persons.
    QTreeWidget* tree = frame->deptPane()->departmentTree();
    const QList<QTreeWidgetItem*> found =
        tree->findItems(QStringLiteral("财务部"), Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    tree->setCurrentItem(found.first());
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_TRUE(view->grid()->footerText().startsWith(QStringLiteral("合计：2人")));

    // After check-out no cell takes typing.
    prompter.answer(Answer::Yes);
    view->command(QStringLiteral("结账"))->trigger();
    EXPECT_EQ(prompter.last().text, QStringLiteral("结账完成!"));
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_FALSE(model->flags(model->index(0, 4)) & Qt::ItemIsEditable);
    delete frame;
}

} // namespace orvane::shelltest

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
