// The personnel child window built headless on a small demo organisation: navigation filters
// the grid, the panes follow the selected person, the search box and the order editor's keys.
#include "psn_fixture.h"

#include "core/cdlgresetorder.h"
#include "personnel/ui/attachmentpanewidget.h"
#include "personnel/ui/personnelview.h"
#include "personnel/ui/photopanewidget.h"
#include "personnel/ui/relatedrecordspanewidget.h"
#include "shell/ui/cchildframepsn.h"
#include "widgets/cdeptpane.h"
#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"
#include "widgets/resetorderdialog.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace orvane::personneltest {

class PsnUi : public PsnTest
{
};

TEST_F(PsnUi, NavigationFiltersTheGridAndThePanesFollowThePerson)
{
    shell::ui::CChildFramePsn frame(app, prompter, 1);
    frame.resize(1200, 700);
    frame.show();
    auto* view = frame.view();
    // The model over rows fetched in blocks stays consistent through every refresh below.
    QAbstractItemModelTester tester(view->grid()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    const int categoryPersons = count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase WHERE AID=%1")
                                          .arg(frame.deptPane()->selection().categoryId));
    EXPECT_EQ(view->workflow().rowCount(), categoryPersons);
    EXPECT_EQ(view->grid()->footerText(), QStringLiteral("共 计：%1 人").arg(categoryPersons));
    EXPECT_EQ(view->grid()->currentRow(), 0);
    EXPECT_TRUE(frame.photoPane()->isEnabled());
    EXPECT_EQ(frame.attachmentPane()->workflow().person(), view->workflow().personAt(0));
    EXPECT_GE(frame.relatedPane()->tabBar()->count(), 1);
    EXPECT_TRUE(frame.relatedPane()->tabBar()->isVisible());
    QApplication::processEvents();
    EXPECT_GT(frame.relatedPane()->tabBar()->height(), 0);

    // A leaf department in the tree narrows the list.
    QTreeWidget* tree = frame.deptPane()->departmentTree();
    const QList<QTreeWidgetItem*> found =
        tree->findItems(QStringLiteral("平台组"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    tree->setCurrentItem(found.first());
    EXPECT_EQ(view->workflow().department(), 10);
    EXPECT_LT(view->workflow().rowCount(), categoryPersons);

    // The search box selects the person whose number was typed.
    tree->setCurrentItem(tree->topLevelItem(0));
    const personnel::SelectedPerson last =
        view->workflow().personAt(view->workflow().rowCount() - 1);
    view->searchBox()->setEditText(last.number.toLower());
    QTest::keyClick(view->searchBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(view->grid()->currentRow(), view->workflow().rowCount() - 1);
    EXPECT_EQ(frame.photoPane()->workflow().person(), last);
    EXPECT_EQ(view->searchBox()->count(), 1);
}

TEST_F(PsnUi, EditMenuAndToolbarCarryTheCommandsInOrder)
{
    shell::ui::CChildFramePsn frame(app, prompter, 1);
    QStringList menu;
    QStringList keys;
    for (QAction* a : frame.view()->editMenu()->actions()) {
        if (a->isSeparator())
            continue;
        menu << a->text();
        keys << a->shortcut().toString();
    }
    EXPECT_EQ(menu, (QStringList{"增加(&N)", "更改(&E)...", "删除(&D)", "调序(&O)", "批量修改(&B)",
                                 "工龄核算(&Y)", "人员调动(&M)", "人员类别变更(&A)", "全选(&A)",
                                 "复制(&C)", "导出(&T)", "冻结列(&F)", "列显示格式(&L)",
                                 "高级数据查询(&R)", "刷新(&S)"}));
    EXPECT_EQ(keys.mid(0, 3), (QStringList{"Ctrl+N", "Ctrl+E", "Ctrl+D"}));
    EXPECT_EQ(keys.at(8), QStringLiteral("Ctrl+A"));
    EXPECT_EQ(keys.last(), QStringLiteral("F5"));

    QStringList bar;
    for (QAction* a : frame.view()->toolBar()->actions()) {
        if (auto* widget = frame.view()->toolBar()->widgetForAction(a)) {
            if (auto* button = qobject_cast<QToolButton*>(widget);
                button && !button->text().isEmpty())
                bar << button->text();
        }
    }
    EXPECT_EQ(bar, (QStringList{"工具", "异动", "增加", "修改", "删除", "调序", "导出", "打印",
                                "邮件", "筛选", "刷新", "退出"}));

    // Commands of Parts not in this build say so plainly.
    frame.view()->editMenu()->actions().at(5)->trigger(); // 批量修改
    EXPECT_EQ(prompter.last().text, QStringLiteral("此功能在当前版本中尚不可用。"));
}

TEST_F(PsnUi, OrderEditorKeysMoveTheSelectedRow)
{
    for (int i = 1; i <= 3; ++i)
        addPerson(24, QStringLiteral("K%1").arg(i), QStringLiteral("K%1").arg(i), 1, i);
    ASSERT_TRUE(db().Execute(QStringLiteral("qp_RefreshPsnBaseOrder 24")));
    core::CDlgResetOrder order(db(), prompter,
                               {QStringLiteral("EXEC qp_SelectPsnbaseReOrderByDeptID 24"),
                                QStringLiteral("qp_RefreshPsnBaseOrder 24"),
                                QStringLiteral("qp_PsnBase"), QStringLiteral("PID"),
                                QStringLiteral("Ord")});
    widgets::ResetOrderDialog dialog(order, QStringLiteral("人员调序"));
    dialog.show();
    const int rows = order.rowCount();
    ASSERT_GE(rows, 3);
    EXPECT_EQ(dialog.grid()->footerText(), QStringLiteral("共 计：%1 条记录").arg(rows));
    EXPECT_TRUE(dialog.grid()->table()->isColumnHidden(order.keyColumn()));
    const QVariant first = order.rows().at(0, order.keyColumn());
    QTest::keyClick(dialog.grid()->table(), Qt::Key_End);
    EXPECT_EQ(order.rows().at(rows - 1, order.keyColumn()), first);
    EXPECT_EQ(dialog.grid()->currentRow(), rows - 1);
    QTest::keyClick(dialog.grid()->table(), Qt::Key_Up);
    EXPECT_EQ(order.rows().at(rows - 2, order.keyColumn()), first);
    QTest::keyClick(dialog.grid()->table(), Qt::Key_Home);
    EXPECT_EQ(order.rows().at(0, order.keyColumn()), first);
    EXPECT_TRUE(order.changed());
}

} // namespace orvane::personneltest

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
