// The personnel windows with real widgets (offscreen): the record form's editors and layout, the
// department manager's grid, and the navigation pane's signal.
#include "personnel_fixture.h"

#include "personnel/cdlgdynctlformforpsnbase.h"
#include "personnel/ui/deptmanagerdialog.h"
#include "personnel/ui/dynctlformdialog.h"
#include "widgets/cdeptpane.h"
#include "widgets/ceditbrowsectrlfromdb.h"
#include "widgets/ctreegrid.h"
#include "widgets/optionaldateedit.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace orvane::personneltest {

class PersonnelWidgetTest : public PersonnelTest
{
};

TEST_F(PersonnelWidgetTest, PersonFormPlacesOneEditorPerFieldInTwoColumns)
{
    const int dept = addDept(QStringLiteral("财务部"));
    personnel::CDlgDynCtlFormForPsnbase form(app, prompter);
    form.setAddMode();
    ASSERT_TRUE(form.build());
    personnel::ui::DynCtlFormDialog dialog(form, prompter);
    dialog.show();
    const int name = form.fieldIndex(QStringLiteral("Name"));
    const int number = form.fieldIndex(QStringLiteral("Number"));
    const int birthday = form.fieldIndex(QStringLiteral("Birthday"));
    const int education = form.fieldIndex(QStringLiteral("Education"));
    const int did = form.fieldIndex(QStringLiteral("DID"));
    ASSERT_NE(qobject_cast<widgets::OptionalDateEdit*>(dialog.editor(birthday)), nullptr);
    auto* picker = qobject_cast<widgets::CEditBrowseCtrlFromDB*>(dialog.editor(education));
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->mode(), widgets::CEditBrowseCtrlFromDB::Mode::Dictionary);
    EXPECT_TRUE(qobject_cast<widgets::OptionalDateEdit*>(dialog.editor(birthday))->isEmpty());
    auto* numberEdit = qobject_cast<QLineEdit*>(dialog.editor(number));
    ASSERT_NE(numberEdit, nullptr);
    EXPECT_EQ(numberEdit->text(), QStringLiteral("<自动编号>"));
    EXPECT_FALSE(numberEdit->isEnabled());
    // Catalogue order, two per row.
    const QPoint first = dialog.editor(0)->mapTo(&dialog, QPoint());
    const QPoint second = dialog.editor(1)->mapTo(&dialog, QPoint());
    EXPECT_EQ(first.y(), second.y());
    EXPECT_LT(first.x(), second.x());

    qobject_cast<QLineEdit*>(dialog.editor(name))->setText(QString());
    QTest::keyClicks(dialog.editor(name), QStringLiteral("Qian Qi"));
    picker->pickKey(picker->nodes().first().id);
    auto* deptPicker = qobject_cast<widgets::CEditBrowseCtrlFromDB*>(dialog.editor(did));
    ASSERT_NE(deptPicker, nullptr);
    deptPicker->pickKey(dept);
    qobject_cast<widgets::CEditBrowseCtrlFromDB*>(
        dialog.editor(form.fieldIndex(QStringLiteral("AID"))))
        ->pickKey(1);
    EXPECT_TRUE(form.isModified());
    dialog.saveButton()->click();
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT Education FROM qp_PsnBase WHERE Name='Qian Qi'")),
        picker->nodes().first().text);
    EXPECT_TRUE(qobject_cast<QLineEdit*>(dialog.editor(name))->text().isEmpty());
}

TEST_F(PersonnelWidgetTest, DepartmentManagerShowsTheTreeAndAddsThroughTheForm)
{
    const int top = addDept(QStringLiteral("总部"));
    addDept(QStringLiteral("财务部"), top);
    personnel::ui::DeptManagerDialog dialog(app, prompter);
    dialog.workflow().runForm = [](personnel::CDlgDynCtlFormForDept& form) {
        form.setText(form.fieldIndex(QStringLiteral("Name")), QStringLiteral("销售部"));
        EXPECT_TRUE(form.save());
    };
    QStandardItemModel* model = dialog.grid()->gridModel();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("总部"));
    EXPECT_EQ(model->index(0, 0, model->index(0, 0)).data().toString(), QStringLiteral("财务部"));
    dialog.button(QStringLiteral("新增"))->click();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->index(1, 0).data().toString(), QStringLiteral("销售部"));
    EXPECT_EQ(dialog.grid()->currentKey(), did(QStringLiteral("销售部")));
    prompter.answer(Answer::Yes);
    dialog.button(QStringLiteral("删除"))->click();
    EXPECT_EQ(prompter.last().text, QStringLiteral("确定要删除部门 销售部 吗?"));
    EXPECT_EQ(model->rowCount(), 1);
}

TEST_F(PersonnelWidgetTest, NavigationPaneSendsTheSelection)
{
    const int top = addDept(QStringLiteral("总部"));
    widgets::CDeptPane pane(app);
    QSignalSpy spy(&pane, &widgets::CDeptPane::selectionChanged);
    pane.reload();
    ASSERT_EQ(spy.count(), 1);
    QTreeWidgetItem* root = pane.departmentTree()->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), QStringLiteral("全体部门"));
    EXPECT_TRUE(root->font(0).bold());
    pane.departmentTree()->setCurrentItem(root->child(0));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(pane.selection().departmentId, top);
    EXPECT_EQ(pane.categoryList()->itemText(pane.categoryList()->count() - 1),
              QStringLiteral("<所有类别>"));
}

} // namespace orvane::personneltest

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
