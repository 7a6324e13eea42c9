// The department manager, its form rules, merge, move, reorder and the navigation pane.
#include "personnel_fixture.h"

#include "db/cadorecordset.h"
#include "personnel/cdlgdeptmanager.h"
#include "personnel/cdlgdeptmergemove.h"
#include "personnel/deptpaneflow.h"

#include <gtest/gtest.h>

namespace orvane::personneltest {

using personnel::CDlgDeptManager;
using personnel::CDlgDeptMergeMove;

class DeptManagerTest : public PersonnelTest
{
protected:
    // A three-level tree: 总部 > 财务部 > 会计科 > 核算组, and 销售部 beside 总部.
    void buildTree()
    {
        hq = addDept(QStringLiteral("总部"));
        finance = addDept(QStringLiteral("财务部"), hq);
        accounting = addDept(QStringLiteral("会计科"), finance);
        group = addDept(QStringLiteral("核算组"), accounting);
        sales = addDept(QStringLiteral("销售部"));
    }
    // Runs the target dialog with `target` chosen; `accepted` says what its checks answered.
    void chooseTarget(CDlgDeptManager& manager, int target, bool* accepted = nullptr)
    {
        manager.runTarget = [target, accepted](CDlgDeptMergeMove& dialog) {
            dialog.setTarget(target);
            const bool ok = dialog.accept();
            if (accepted)
                *accepted = ok;
            return ok;
        };
    }

    int hq = 0, finance = 0, accounting = 0, group = 0, sales = 0;
};

TEST_F(DeptManagerTest, PathsFollowTheTreeAndTheGridNestsRows)
{
    buildTree();
    EXPECT_EQ(path(hq), QStringLiteral("|%1|").arg(hq));
    EXPECT_EQ(path(group),
              QStringLiteral("|%1|%2|%3|%4|").arg(group).arg(accounting).arg(finance).arg(hq));
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[组织机构新增'销售部']"));

    CDlgDeptManager manager(app, prompter);
    ASSERT_TRUE(manager.refresh());
    EXPECT_EQ(manager.columns().first().caption, QStringLiteral("部门名称"));
    EXPECT_TRUE(manager.columns()[manager.didColumn()].hidden);
    ASSERT_EQ(manager.rows().size(), 2);
    EXPECT_EQ(manager.rows()[0].cells[0].toString(), QStringLiteral("总部"));
    EXPECT_EQ(manager.rows()[0].children[0].children[0].children[0].cells[0].toString(),
              QStringLiteral("核算组"));
    // Ord is the depth-first position.
    EXPECT_EQ(
        database().scalarInt(QStringLiteral("SELECT Ord FROM qp_Dept WHERE DID=%1").arg(group)), 3);
    EXPECT_EQ(
        database().scalarInt(QStringLiteral("SELECT Ord FROM qp_Dept WHERE DID=%1").arg(sales)), 4);
}

TEST_F(DeptManagerTest, MovingAThreeLevelSubtreeRewritesEveryPath)
{
    buildTree();
    CDlgDeptManager manager(app, prompter);
    manager.refresh();
    manager.setCurrentDid(finance);
    chooseTarget(manager, sales);
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(manager.moveDepartment());
    EXPECT_EQ(prompter.last().text, QStringLiteral("确定要移动部门 '财务部' 到 '销售部' 吗?"));
    EXPECT_EQ(subtree(sales), (QStringList{QStringLiteral("财务部"), QStringLiteral("会计科"),
                                           QStringLiteral("核算组"), QStringLiteral("销售部")}));
    EXPECT_EQ(subtree(hq), QStringList{QStringLiteral("总部")});
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[组织机构移动('财务部'->'销售部')]"));
    EXPECT_EQ(manager.currentDid(), finance);

    // Back to the top level: a bar, the DID and a bar.
    chooseTarget(manager, 0);
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(manager.moveDepartment());
    EXPECT_EQ(path(finance), QStringLiteral("|%1|").arg(finance));
    EXPECT_EQ(path(group), QStringLiteral("|%1|%2|%3|").arg(group).arg(accounting).arg(finance));
}

TEST_F(DeptManagerTest, TargetDialogRefusals)
{
    buildTree();
    struct Case
    {
        CDlgDeptMergeMove::Purpose purpose;
        int source;
        int target;
        QString message;
    };
    const Case cases[] = {
        {CDlgDeptMergeMove::Purpose::Merge, finance, -1, QStringLiteral("请选择项！")},
        {CDlgDeptMergeMove::Purpose::Merge, finance, finance, QStringLiteral("请选择项！")},
        {CDlgDeptMergeMove::Purpose::Merge, hq, 0, QStringLiteral("请选择项！")},
        {CDlgDeptMergeMove::Purpose::Merge, finance, sales, QStringLiteral("不能跨级合并部门!")},
        {CDlgDeptMergeMove::Purpose::Merge, hq, 999, QStringLiteral("选择的部门被删除！")},
        {CDlgDeptMergeMove::Purpose::Move, finance, hq, QStringLiteral("请选择不同的上级部门!")},
        {CDlgDeptMergeMove::Purpose::Move, finance, 999, QStringLiteral("选择的部门被删除！")},
    };
    for (const Case& c : cases) {
        prompter.clear();
        CDlgDeptMergeMove dialog(app, prompter, c.purpose, c.source, QString());
        dialog.setTarget(c.target);
        EXPECT_FALSE(dialog.accept()) << c.message.toStdString();
        EXPECT_EQ(prompter.messageTexts(), QStringList{c.message});
    }
}

TEST_F(DeptManagerTest, MovingBelowItsOwnSubtreeChangesNothing)
{
    buildTree();
    CDlgDeptManager manager(app, prompter);
    manager.refresh();
    manager.setCurrentDid(finance);
    chooseTarget(manager, group);
    prompter.answer(Answer::Yes);
    EXPECT_FALSE(manager.moveDepartment());
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("在调整上级部门时出现异常!"));
    EXPECT_EQ(database().scalarInt(
                  QStringLiteral("SELECT ParentID FROM qp_Dept WHERE DID=%1").arg(finance)),
              hq);
}

TEST_F(DeptManagerTest, MergeMovesPersonsMemberRowsAndSubDepartments)
{
    buildTree();
    const int audit = addDept(QStringLiteral("审计部"), hq);
    const int person = addPerson(QStringLiteral("P001"), finance);
    // A wage sort's member table carries the department too.
    ASSERT_TRUE(db().Execute(QStringLiteral("CREATE TABLE qp_WageSort9 (PID INT, DID INT)")));
    ASSERT_TRUE(
        db().Execute(QStringLiteral("INSERT INTO qp_Table (TblName,Title,nType,ParentID,Ord) "
                                    "VALUES ('qp_WageSort9','工资',6,0,9)")));
    ASSERT_TRUE(db().Execute(
        QStringLiteral("INSERT INTO qp_WageSort9 VALUES (%1,%2)").arg(person).arg(finance)));

    CDlgDeptManager manager(app, prompter);
    manager.refresh();
    manager.setCurrentDid(finance);
    chooseTarget(manager, audit);
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(manager.mergeDepartment());
    EXPECT_EQ(prompter.last().text, QStringLiteral("确定要合并部门 '财务部' 到 '审计部' 吗?"));
    EXPECT_EQ(did(QStringLiteral("财务部")), -1);
    EXPECT_EQ(
        database().scalarInt(QStringLiteral("SELECT DID FROM qp_PsnBase WHERE PID=%1").arg(person)),
        audit);
    EXPECT_EQ(database().scalarInt(QStringLiteral("SELECT DID FROM qp_WageSort9")), audit);
    EXPECT_EQ(database().scalarInt(
                  QStringLiteral("SELECT ParentID FROM qp_Dept WHERE DID=%1").arg(accounting)),
              audit);
    EXPECT_EQ(subtree(audit), (QStringList{QStringLiteral("会计科"), QStringLiteral("核算组"),
                                           QStringLiteral("审计部")}));
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[组织机构合并('财务部'->'审计部')]"));
}

TEST_F(DeptManagerTest, DeleteRefusesChildrenAndPersonsThenAsks)
{
    buildTree();
    addPerson(QStringLiteral("P1"), sales);
    addPerson(QStringLiteral("P2"), sales);
    CDlgDeptManager manager(app, prompter);
    manager.refresh();
    EXPECT_FALSE(manager.deleteDepartment());
    manager.setCurrentDid(accounting);
    EXPECT_FALSE(manager.deleteDepartment());
    manager.setCurrentDid(sales);
    EXPECT_FALSE(manager.deleteDepartment());
    EXPECT_EQ(prompter.messageTexts(), (QStringList{QStringLiteral("请选择项！"),
                                                    QStringLiteral("该部门下有下级部门,不能删除!"),
                                                    QStringLiteral("该部门下还有 2 个人员!")}));
    manager.setCurrentDid(group);
    prompter.answer(Answer::No);
    EXPECT_FALSE(manager.deleteDepartment());
    EXPECT_EQ(prompter.last().defaultButton, Answer::No);
    prompter.answer(Answer::Yes);
    EXPECT_TRUE(manager.deleteDepartment());
    EXPECT_EQ(prompter.last().text, QStringLiteral("确定要删除部门 核算组 吗?"));
    EXPECT_EQ(did(QStringLiteral("核算组")), -1);
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[组织机构删除'核算组']"));
}

TEST_F(DeptManagerTest, UpAndDownSwapSiblingsOnly)
{
    buildTree();
    const int audit = addDept(QStringLiteral("审计部"), hq);
    CDlgDeptManager manager(app, prompter);
    manager.refresh();
    manager.setCurrentDid(finance);
    EXPECT_FALSE(manager.moveUp());
    manager.setCurrentDid(sales);
    EXPECT_FALSE(manager.moveDown());
    manager.setCurrentDid(audit);
    EXPECT_TRUE(manager.moveUp());
    EXPECT_EQ(manager.rows()[0].children[0].cells[0].toString(), QStringLiteral("审计部"));
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[组织机构调序'审计部']"));
    EXPECT_TRUE(manager.orderChanged());
    manager.close();
    // Depth first after the swap: 总部 0, 审计部 1, 财务部 2 ...
    EXPECT_EQ(
        database().scalarInt(QStringLiteral("SELECT Ord FROM qp_Dept WHERE DID=%1").arg(audit)), 1);
    EXPECT_EQ(
        database().scalarInt(QStringLiteral("SELECT Ord FROM qp_Dept WHERE DID=%1").arg(finance)),
        2);
}

TEST_F(DeptManagerTest, FormRulesOnNameAndParent)
{
    buildTree();
    personnel::CDlgDynCtlFormForDept form(app, prompter);
    form.setAddMode();
    ASSERT_TRUE(form.build());
    const int name = form.fieldIndex(QStringLiteral("Name"));
    // Only letter case differs from 总部's neighbour name: still the same department name.
    addDept(QStringLiteral("Sales"));
    form.setText(name, QStringLiteral("SALES"));
    EXPECT_FALSE(form.save());
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("错误：该部门已存在!"));
    EXPECT_EQ(form.focusField(), name);
    // Hostile text is stored as typed.
    const QString hostile = QStringLiteral("x'); DELETE FROM qp_Dept; -- [a]");
    form.setText(name, hostile);
    EXPECT_TRUE(form.save());
    EXPECT_GT(did(hostile), 0);
    EXPECT_EQ(database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Dept")), 7);

    personnel::CDlgDynCtlFormForDept edit(app, prompter);
    edit.setEditMode(finance);
    ASSERT_TRUE(edit.build());
    EXPECT_EQ(edit.parentAtOpening(), hq);
    edit.setChoice(edit.fieldIndex(QStringLiteral("ParentID")), group, QStringLiteral("核算组"));
    EXPECT_FALSE(edit.save());
    EXPECT_EQ(prompter.messageTexts().last(),
              QStringLiteral("错误：上级部门不能是其本身或其原下级部门!"));
    // Unchanged name: no uniqueness test; a new parent rebuilds the paths.
    edit.setChoice(edit.fieldIndex(QStringLiteral("ParentID")), sales, QStringLiteral("销售部"));
    EXPECT_TRUE(edit.save());
    EXPECT_EQ(path(group),
              QStringLiteral("|%1|%2|%3|%4|").arg(group).arg(accounting).arg(finance).arg(sales));
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[组织机构修改'财务部']"));
}

TEST_F(DeptManagerTest, EditFormStepsThroughTheTreeInDisplayOrder)
{
    buildTree();
    CDlgDeptManager manager(app, prompter);
    manager.refresh();
    manager.setCurrentDid(accounting);
    QList<int> seen;
    manager.runForm = [&seen](personnel::CDlgDynCtlFormForDept& form) {
        EXPECT_TRUE(form.canStep());
        seen << form.recordId();
        while (form.stepNext())
            seen << form.recordId();
        EXPECT_TRUE(form.stepFirst());
        seen << form.recordId();
    };
    EXPECT_FALSE(manager.editDepartment());
    EXPECT_EQ(seen, (QList<int>{accounting, group, sales, hq}));
    EXPECT_EQ(manager.currentDid(), hq);
}

TEST_F(DeptManagerTest, PaneHidesSubtreesOutsideTheOperatorsList)
{
    buildTree();
    core::OperatorRecord limited = app.currentOperator();
    limited.ISuper = false;
    limited.allDepartments = limited.allCategories = false;
    limited.purview.departments = QStringLiteral("%1,%2").arg(sales).arg(accounting);
    limited.purview.categories = QStringLiteral("2");
    app.setCurrentOperator(limited);

    personnel::DeptPaneFlow pane(app);
    QList<personnel::DeptSelection> sent;
    pane.onSelectionChanged = [&sent](const personnel::DeptSelection& s) { sent << s; };
    pane.reload();
    ASSERT_EQ(pane.departments().size(), 1); // 会计科 is permitted but lies below 总部
    EXPECT_EQ(pane.departments()[0].id, sales);
    ASSERT_EQ(pane.categories().size(), 2);
    EXPECT_EQ(pane.categories()[0].id, 2);
    EXPECT_EQ(pane.categories()[1].text, QStringLiteral("<所有类别>"));
    pane.selectDepartment(sales);
    pane.selectCategory(1);
    ASSERT_EQ(sent.size(), 3);
    EXPECT_EQ(sent[0].departmentCaption, QStringLiteral("全体部门"));
    EXPECT_EQ(sent[2].categoryId, 0);
    EXPECT_EQ(sent[2].departmentId, sales);
    EXPECT_EQ(sent[2].departmentCaption, QStringLiteral("销售部"));
}

} // namespace orvane::personneltest

namespace orvane::personneltest {

TEST_F(DeptManagerTest, ProceduresRefuseWhatWouldBreakTheTree)
{
    buildTree();
    addPerson(QStringLiteral("P9"), sales);
    const QString calls[] = {
        QStringLiteral("EXEC qp_UpdateDeptParentByID %1,%2,'|%1|%2|%3|'")
            .arg(finance)
            .arg(group)
            .arg(accounting),
        QStringLiteral("EXEC qp_UpdateDeptParentByID %1,0,'x'');DELETE FROM qp_Dept;--'")
            .arg(finance),
        QStringLiteral("EXEC qp_UpdateDeptParentByID %1,999,'|%1|999|'").arg(finance),
        QStringLiteral("qp_DeleteDeptByID %1").arg(hq),
        QStringLiteral("qp_DeleteDeptByID %1").arg(sales),
        QStringLiteral("qp_DeletePsnSortByID 1"),
        QStringLiteral("EXEC qp_SelectPsnForEditBrowseCtrl 0,' WHERE 1=1; DELETE FROM qp_PsnBase'"),
    };
    for (const QString& call : calls)
        EXPECT_FALSE(db().Execute(call)) << call.toStdString();
    EXPECT_EQ(database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Dept")), 5);
    EXPECT_EQ(path(finance), QStringLiteral("|%1|%2|").arg(finance).arg(hq));

    // Named arguments in any order reach the same procedure.
    ASSERT_TRUE(
        db().Execute(QStringLiteral("EXEC qp_SwapDeptOrder @Ord1=7, @DID1=%1, @Ord2=8, @DID2=%2")
                         .arg(hq)
                         .arg(sales)));
    EXPECT_EQ(database().scalarInt(QStringLiteral("SELECT Ord FROM qp_Dept WHERE DID=%1").arg(hq)),
              7);
    EXPECT_EQ(
        database().scalarInt(QStringLiteral("EXEC qp_GetPsnCountsByDeptID @DID=%1").arg(sales)), 1);
    EXPECT_EQ(
        database().scalar(
            QStringLiteral("EXEC qp_SelectPsnForEditBrowseCtrl 0,' WHERE (P.DID=%1)'").arg(sales)),
        database().scalar(QStringLiteral("SELECT PID FROM qp_PsnBase WHERE Number='P9'")));
}

} // namespace orvane::personneltest

namespace orvane::personneltest {

TEST_F(DeptManagerTest, AVanishedDatabaseGivesMessagesNotCrashes)
{
    buildTree();
    CDlgDeptManager manager(app, prompter);
    ASSERT_TRUE(manager.refresh());
    manager.setCurrentDid(group);
    db().Close();
    EXPECT_FALSE(manager.refresh());
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("打开数据库出错!"));
    EXPECT_TRUE(manager.rows().isEmpty());
    EXPECT_FALSE(manager.deleteDepartment()); // nothing selected any more
    EXPECT_FALSE(manager.addDepartment());
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("打开数据库出错!"));
    personnel::DeptPaneFlow pane(app);
    pane.reload();
    EXPECT_EQ(pane.categories().size(), 1); // only "<所有类别>"
    EXPECT_TRUE(pane.departments().isEmpty());
}

} // namespace orvane::personneltest
