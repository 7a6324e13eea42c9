#include "operator_fixture.h"

#include "core/cdlguser.h"
#include "core/systemlog.h"
#include "core/ui/syslogmanagedialog.h"
#include "core/ui/syslogoptiondialog.h"
#include "core/ui/userdialog.h"
#include "core/ui/userlistdialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

namespace orvane::coretest {

using core::ui::UserDialog;

class AdminWidgets : public AdminTest
{
protected:
    void SetUp() override
    {
        AdminTest::SetUp();
        ASSERT_TRUE(db().Execute(QStringLiteral(
            "INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (0,'总部',1,'|1|')")));
        ASSERT_TRUE(db().Execute(QStringLiteral(
            "INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (1,'人事部',1,'|2|1|')")));
    }

    static QTreeWidgetItem* findItem(QTreeWidget* tree, const QString& text)
    {
        const auto items = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return items.isEmpty() ? nullptr : items.first();
    }
};

TEST_F(AdminWidgets, OperatorEditorWindowCreatesAnOperator)
{
    core::CDLGUser editor(app, prompter);
    editor.open();
    UserDialog dialog(editor, prompter);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("新增用户"));
    EXPECT_EQ(dialog.rightsTree()->topLevelItemCount(), 3);
    EXPECT_TRUE(dialog.rightsTree()->isColumnHidden(3));
    ASSERT_EQ(dialog.departmentTree()->topLevelItemCount(), 1);
    EXPECT_EQ(dialog.departmentTree()->topLevelItem(0)->childCount(), 1);

    dialog.nameEdit()->setText(QStringLiteral("王五"));
    dialog.passwordEdit()->setText(QStringLiteral("pw"));
    dialog.confirmationEdit()->setText(QStringLiteral("pw"));
    dialog.pages()->setCurrentIndex(2);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(prompter.last().text, QStringLiteral("至少选择一项功能权限!"));
    EXPECT_TRUE(dialog.pages()->currentWidget()->isAncestorOf(dialog.rightsTree()));

    // Space ticks the focused entry, whichever column has the focus.
    QTreeWidgetItem* view = findItem(dialog.rightsTree(), QStringLiteral("查看档案"));
    dialog.rightsTree()->setCurrentItem(view, 0);
    QTest::keyClick(dialog.rightsTree(), Qt::Key_Space);
    EXPECT_EQ(view->checkState(1), Qt::Checked);
    // ... and its group follows it.
    EXPECT_EQ(findItem(dialog.rightsTree(), QStringLiteral("人员档案管理"))->checkState(1),
              Qt::Checked);
    QTest::keyClick(dialog.rightsTree(), Qt::Key_Space);
    EXPECT_EQ(view->checkState(1), Qt::Unchecked);
    findItem(dialog.rightsTree(), QStringLiteral("人员档案管理"))->setCheckState(1, Qt::Unchecked);

    // Ticking a group ticks its members.
    QTreeWidgetItem* system = findItem(dialog.rightsTree(), QStringLiteral("系统管理"));
    ASSERT_NE(system, nullptr);
    system->setCheckState(1, Qt::Checked);
    EXPECT_EQ(findItem(dialog.rightsTree(), QStringLiteral("系统基本设置"))->checkState(1),
              Qt::Checked);
    EXPECT_EQ(findItem(dialog.rightsTree(), QStringLiteral("薪资管理"))->checkState(1),
              Qt::Unchecked);
    findItem(dialog.categoryList(), QStringLiteral("在职人员"))->setCheckState(1, Qt::Checked);
    // A ticked department ticks the path above it.
    findItem(dialog.departmentTree(), QStringLiteral("人事部"))->setCheckState(1, Qt::Checked);
    EXPECT_EQ(dialog.departmentTree()->topLevelItem(0)->checkState(1), Qt::Checked);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT Purview FROM qp_Users WHERE UserName='王五'")),
        QStringLiteral("fc00|1|1,2|"));
}

TEST_F(AdminWidgets, OperatorListWindowChangesAndDeletes)
{
    addOperator(QStringLiteral("临时工"), QStringLiteral("4000000000000000|1|1|"));
    core::ui::UserListDialog dialog(app, prompter);
    dialog.show();
    ASSERT_EQ(dialog.table()->rowCount(), 2);
    EXPECT_EQ(dialog.footer()->text(), QStringLiteral(" 共: 2 人"));

    dialog.changeButton()->click();
    EXPECT_EQ(prompter.last().text, QStringLiteral("请选择项！"));

    // The editor window opens with the operator's values; here it is filled and confirmed
    // without running its event loop.
    testutil::ScriptedPrompter& p = prompter;
    dialog.workflow().runEditor = [&p](core::CDLGUser& editor) {
        UserDialog window(editor, p);
        EXPECT_EQ(window.windowTitle(), QStringLiteral("修改用户 *"));
        EXPECT_EQ(window.nameEdit()->text(), QStringLiteral("临时工"));
        EXPECT_EQ(window.rightsTree()->topLevelItem(0)->child(0)->checkState(1), Qt::Checked);
        window.descriptionEdit()->setText(QStringLiteral("夏季"));
        window.accept();
        return window.result() == QDialog::Accepted;
    };
    // Enter opens the selected operator, Delete deletes him.
    dialog.table()->selectRow(1);
    QTest::keyClick(dialog.table(), Qt::Key_Return);
    EXPECT_EQ(dialog.table()->item(1, 3)->text(), QStringLiteral("夏季"));

    prompter.answer(Answer::Yes);
    dialog.table()->selectRow(1);
    QTest::keyClick(dialog.table(), Qt::Key_Delete);
    EXPECT_EQ(dialog.table()->rowCount(), 1);
    EXPECT_EQ(dialog.footer()->text(), QStringLiteral(" 共: 1 人"));
}

TEST_F(AdminWidgets, LogViewerFiltersAndOptionStoresDays)
{
    core::AddSystemLog(app, QStringLiteral("系统管理[删除操作员'甲']"));
    core::AddSystemLog(app, QStringLiteral("人员档案[新增人员'乙']"));
    core::ui::SysLogManageDialog viewer(app, prompter);
    viewer.show();
    EXPECT_EQ(viewer.table()->model()->rowCount(), 2);
    EXPECT_TRUE(viewer.table()->isColumnHidden(0));
    EXPECT_EQ(viewer.footer()->text(), QStringLiteral(" 共: 2 项记录"));

    viewer.actionEdit()->setText(QStringLiteral("删除"));
    viewer.startBox()->setChecked(true);
    EXPECT_TRUE(viewer.startEdit()->isEnabled());
    viewer.refreshButton()->click();
    ASSERT_EQ(viewer.table()->model()->rowCount(), 1);
    EXPECT_EQ(viewer.table()->model()->index(0, 3).data().toString(),
              QStringLiteral("系统管理[删除操作员'甲']"));
    EXPECT_TRUE(prompter.shown().empty());

    core::ui::SysLogOptionDialog option(db());
    option.show();
    EXPECT_EQ(option.daysBox()->value(), 60);
    option.daysBox()->setValue(15);
    option.accept();
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT sContent FROM qp_SysOption WHERE nType=2")),
              QStringLiteral("15"));
}

} // namespace orvane::coretest

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
