#include "operator_fixture.h"

#include "core/cdlguser.h"
#include "core/cdlguserlist.h"
#include "core/passwordhash.h"
#include "core/rightstable.h"

namespace orvane::coretest {

using core::CDLGUser;
using core::CDlgUserList;

class OperatorEditor : public AdminTest
{
protected:
    void SetUp() override
    {
        AdminTest::SetUp();
        ASSERT_TRUE(db().Execute(QStringLiteral(
            "INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (0,'总部',1,'|1|')")));
        ASSERT_TRUE(db().Execute(QStringLiteral(
            "INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (1,'财务部',1,'|2|1|')")));
        ASSERT_TRUE(
            db().Execute(QStringLiteral("INSERT INTO qp_Table (TblName,Title,nType,ParentID,Ord) "
                                        "VALUES ('qp_W1','工资',6,0,1)")));
        wageSortId = database().scalarInt(QStringLiteral("SELECT ID FROM qp_Table WHERE nType=6"));
    }

    QStringList expectMessages(std::initializer_list<const char*> texts)
    {
        QStringList list;
        for (const char* t : texts)
            list << QString::fromUtf8(t);
        return list;
    }

    int wageSortId = 0;
};

TEST_F(OperatorEditor, NewOperatorRunsEveryCheckInOrderThenStores)
{
    CDLGUser editor(app, prompter);
    editor.open();
    EXPECT_EQ(editor.caption(), QStringLiteral("新增用户"));
    ASSERT_EQ(editor.categoryChoices().size(), 3);
    ASSERT_EQ(editor.departmentChoices().size(), 1);
    ASSERT_EQ(editor.departmentChoices()[0].children.size(), 1);
    ASSERT_EQ(editor.wageSortChoices().size(), 1);

    EXPECT_FALSE(editor.accept());
    EXPECT_EQ(editor.focusField(), CDLGUser::Field::UserName);

    editor.setUserName(QStringLiteral("ADMIN")); // exists, compared without regard to case
    EXPECT_FALSE(editor.accept());
    EXPECT_EQ(editor.focusField(), CDLGUser::Field::UserName);

    // The login strips ';' and ',', so such a name could never log in.
    editor.setUserName(QStringLiteral("li;si"));
    EXPECT_FALSE(editor.accept());
    EXPECT_EQ(editor.focusField(), CDLGUser::Field::UserName);
    editor.setUserName(QStringLiteral("li,si"));
    EXPECT_FALSE(editor.accept());

    editor.setUserName(QStringLiteral("  O'Brien [x] -- DROP TABLE qp_Users  "));
    EXPECT_FALSE(editor.accept());
    EXPECT_EQ(editor.focusField(), CDLGUser::Field::Password);

    editor.setPassword(QStringLiteral("secret"));
    editor.setConfirmation(QStringLiteral("Secret"));
    EXPECT_FALSE(editor.accept());
    EXPECT_EQ(editor.focusField(), CDLGUser::Field::Confirmation);

    editor.setConfirmation(QStringLiteral("secret"));
    EXPECT_FALSE(editor.accept());
    editor.setRightChecked(1, true);
    editor.setRightChecked(34, true);
    EXPECT_FALSE(editor.accept());
    editor.setCategoryChecked(3, true);
    editor.setCategoryChecked(1, true);
    EXPECT_FALSE(editor.accept());
    editor.setDepartmentChecked(2, true);
    editor.setDescription(QStringLiteral("[出纳]"));
    const int logsBefore = logCount();
    EXPECT_TRUE(editor.accept());

    EXPECT_EQ(
        prompter.messageTexts(),
        expectMessages({"错误：用户名称不能为空值 !!!", "错误：该用户已存在!",
                        "错误：用户名称不能包含';'或','!", "错误：用户名称不能包含';'或','!",
                        "错误：密码不能为空值!!!", "错误：密码与密码确认不一致!!!",
                        "至少选择一项功能权限!", "至少选择一个人员类别!", "至少选择一个部门!"}));
    for (const auto& shown : prompter.shown()) {
        EXPECT_EQ(shown.caption, QStringLiteral("提示"));
        EXPECT_EQ(shown.icon, Icon::Warning);
    }

    // Stored trimmed (the quote and the comment are text), hashed, categories in page order.
    const QString where = QStringLiteral(" FROM qp_Users WHERE UserName='O''Brien [x] -- DROP "
                                         "TABLE qp_Users'");
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT Pwd") + where),
              core::passwordHash(QStringLiteral("secret")));
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT Purview") + where),
              QStringLiteral("4000000000004000|1,3|2|"));
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT Descr") + where), QStringLiteral("[出纳]"));
    EXPECT_EQ(database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Users")), 2);
    EXPECT_EQ(logCount(), logsBefore + 1);
    EXPECT_EQ(lastLogLine(),
              QStringLiteral("系统管理[新增操作用户'O'Brien [x] -- DROP TABLE qp_Users']"));
}

TEST_F(OperatorEditor, NameCheckUsesLikeSoWildcardsMatchOtherNames)
{
    CDLGUser editor(app, prompter);
    editor.open();
    editor.setUserName(QStringLiteral("a_m%"));
    EXPECT_FALSE(editor.accept());
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("错误：该用户已存在!")});
}

TEST_F(OperatorEditor, ChangeKeepsOrReplacesThePasswordAndTicksFromPurview)
{
    const int id = addOperator(QStringLiteral("clerk"),
                               QStringLiteral("8000000000000000|2|2|%1").arg(wageSortId));
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_Users SET Pwd='%1' WHERE UserID=%2")
                                 .arg(core::passwordHash(QStringLiteral("old")))
                                 .arg(id)));
    core::OperatorEntry entry{id,
                              QStringLiteral("clerk"),
                              true,
                              QStringLiteral("d"),
                              QStringLiteral("8000000000000000|2|2|%1").arg(wageSortId),
                              false};
    {
        CDLGUser editor(app, prompter, entry);
        editor.open();
        EXPECT_EQ(editor.caption(), QStringLiteral("修改用户 *"));
        EXPECT_TRUE(editor.isRightChecked(0));
        EXPECT_FALSE(editor.isRightChecked(1));
        EXPECT_TRUE(editor.isCategoryChecked(2));
        EXPECT_FALSE(editor.isCategoryChecked(1));
        EXPECT_TRUE(editor.isDepartmentChecked(2));
        EXPECT_FALSE(editor.isDepartmentChecked(1));
        EXPECT_TRUE(editor.isWageSortChecked(wageSortId));
        EXPECT_TRUE(editor.locked());

        // Name unchanged: no existence check; password empty: hash kept.
        editor.setLocked(false);
        editor.setWageSortChecked(wageSortId, false);
        EXPECT_TRUE(editor.accept());
        EXPECT_TRUE(prompter.shown().empty());
    }
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT Pwd FROM qp_Users WHERE UserID=%1").arg(id)),
              core::passwordHash(QStringLiteral("old")));
    EXPECT_EQ(
        database().scalarInt(
            QStringLiteral("SELECT COUNT(*) FROM qp_Users WHERE UserID=%1 AND Locked=0").arg(id)),
        1);
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT Purview FROM qp_Users WHERE UserID=%1").arg(id)),
        QStringLiteral("8000000000000000|2|2|"));
    EXPECT_EQ(lastLogLine(),
              QStringLiteral("系统管理[修改操作用户'clerk'：解除锁定、薪资类别权限]"));

    entry.Locked = false;
    entry.Purview = QStringLiteral("8000000000000000|2|2|");
    {
        CDLGUser editor(app, prompter, entry);
        editor.open();
        EXPECT_TRUE(editor.accept()); // nothing changed: the plain line
        EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[修改操作用户'clerk']"));
        editor.setUserName(QStringLiteral("clerk2"));
        editor.setPassword(QStringLiteral("new"));
        editor.setConfirmation(QStringLiteral("new"));
        editor.setDescription(QStringLiteral("出纳"));
        editor.toggleRight(17);
        EXPECT_TRUE(editor.accept());
    }
    EXPECT_EQ(
        lastLogLine(),
        QStringLiteral("系统管理[修改操作用户'clerk2'：原名称'clerk'、密码、说明、功能权限]"));
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT Pwd FROM qp_Users WHERE UserID=%1").arg(id)),
              core::passwordHash(QStringLiteral("new")));
}

TEST_F(OperatorEditor, OperatorDeletedMeanwhileGivesMessage133)
{
    const int id = addOperator(QStringLiteral("clerk"), QStringLiteral("1|1|1|"));
    CDLGUser editor(app, prompter,
                    core::OperatorEntry{id, QStringLiteral("clerk"), false, QString(),
                                        QStringLiteral("1|1|1|"), false});
    editor.open();
    editor.setRightChecked(38, true);
    ASSERT_TRUE(db().Execute(QStringLiteral("DELETE FROM qp_Users WHERE UserID=%1").arg(id)));
    const int logsBefore = logCount();
    EXPECT_FALSE(editor.accept());
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!")});
    EXPECT_EQ(logCount(), logsBefore);
    EXPECT_EQ(database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Users")), 1);
}

TEST_F(OperatorEditor, GroupEntryTogglesItsMembers)
{
    CDLGUser editor(app, prompter);
    editor.open();
    editor.setRightChecked(20, true);
    editor.toggleRight(16); // payroll group on
    for (int i = 16; i <= 32; ++i)
        EXPECT_TRUE(editor.isRightChecked(i)) << i;
    EXPECT_FALSE(editor.isRightChecked(15));
    EXPECT_FALSE(editor.isRightChecked(33));
    editor.toggleRight(16); // and off again, 20 included
    for (int i = 16; i <= 32; ++i)
        EXPECT_FALSE(editor.isRightChecked(i)) << i;
    editor.toggleRight(17); // a member ticks its group with it
    EXPECT_TRUE(editor.isRightChecked(17));
    EXPECT_TRUE(editor.isRightChecked(16));
    EXPECT_EQ(editor.checkedRightsMask(), (quint64(1) << 38) | (quint64(1) << 39));
    editor.toggleRight(17); // unticking the member leaves the group
    EXPECT_TRUE(editor.isRightChecked(16));

    // Departments: a parent takes its subtree with it, a child ticks the path above it.
    editor.toggleDepartment(1);
    EXPECT_TRUE(editor.isDepartmentChecked(1));
    EXPECT_TRUE(editor.isDepartmentChecked(2));
    editor.toggleDepartment(1);
    EXPECT_FALSE(editor.isDepartmentChecked(2));
    editor.toggleDepartment(2);
    EXPECT_TRUE(editor.isDepartmentChecked(1));
    editor.toggleDepartment(2);
    EXPECT_TRUE(editor.isDepartmentChecked(1));
    EXPECT_FALSE(editor.isDepartmentChecked(2));
}

TEST_F(OperatorEditor, SuperUserShowsEverythingTickedAndSavesUnchanged)
{
    // The delivered super operator: his rights text lists no department.
    const int id = database().scalarInt(QStringLiteral("SELECT UserID FROM qp_Users"));
    const QString purview =
        database().scalar(QStringLiteral("SELECT Purview FROM qp_Users WHERE UserID=%1").arg(id));
    CDLGUser editor(
        app, prompter,
        core::OperatorEntry{id, QStringLiteral("admin"), false, QString(), purview, true});
    editor.open();
    EXPECT_TRUE(editor.isSuper());
    for (int i = 0; i < core::RightsTable::Count; ++i)
        EXPECT_TRUE(editor.isRightChecked(i)) << i;
    EXPECT_TRUE(editor.isDepartmentChecked(1));
    EXPECT_TRUE(editor.isDepartmentChecked(2));
    EXPECT_TRUE(editor.isWageSortChecked(wageSortId));
    EXPECT_TRUE(editor.accept());
    EXPECT_TRUE(prompter.shown().empty());
    // Saved unchanged: the rights text stays as it was and the log says nothing changed.
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT Purview FROM qp_Users WHERE UserID=%1").arg(id)),
        purview);
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[修改操作用户'admin']"));

    // Even with no department at all the super user stays savable.
    ASSERT_TRUE(db().Execute(QStringLiteral("DELETE FROM qp_Dept")));
    CDLGUser again(
        app, prompter,
        core::OperatorEntry{id, QStringLiteral("admin"), false, QString(), purview, true});
    again.open();
    EXPECT_TRUE(again.accept());
    EXPECT_TRUE(prompter.shown().empty());
}

class OperatorList : public AdminTest
{
};

TEST_F(OperatorList, FillsAndRefusesWithoutSelection)
{
    addOperator(QStringLiteral("clerk"), QStringLiteral("1|1|1|"));
    CDlgUserList list(app, prompter);
    ASSERT_TRUE(list.refresh());
    ASSERT_EQ(list.operators().size(), 2);
    EXPECT_EQ(list.footerText(), QStringLiteral(" 共: 2 人"));
    EXPECT_TRUE(list.operators()[0].ISuper);
    EXPECT_FALSE(list.operators()[1].ISuper);

    list.runEditor = [](CDLGUser&) -> bool {
        ADD_FAILURE() << "no editor without a selection";
        return false;
    };
    EXPECT_FALSE(list.changeOperator());
    EXPECT_FALSE(list.deleteOperator());
    EXPECT_EQ(prompter.messageTexts(), (QStringList{QStringLiteral("请选择项！"),
                                                    QStringLiteral("请在用户列表中选择用户!")}));

    db().Close();
    prompter.clear();
    EXPECT_FALSE(list.refresh());
    EXPECT_TRUE(list.operators().isEmpty());
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("打开数据库出错!")});
    EXPECT_EQ(prompter.last().icon, Icon::Error);
}

TEST_F(OperatorList, DeleteRules)
{
    const int id = addOperator(QStringLiteral("临时'工"), QStringLiteral("1|1|1|"));
    CDlgUserList list(app, prompter);
    ASSERT_TRUE(list.refresh());

    list.setCurrentRow(0); // the super operator
    EXPECT_FALSE(list.deleteOperator());
    EXPECT_EQ(prompter.last().text, QStringLiteral("超级管理员不能删除!"));

    list.setCurrentRow(1);
    prompter.answer(Answer::No);
    EXPECT_FALSE(list.deleteOperator());
    EXPECT_EQ(prompter.last().text, QStringLiteral("确定要删除操作员 临时'工 吗?"));
    EXPECT_EQ(prompter.last().icon, Icon::Question);
    EXPECT_EQ(prompter.last().defaultButton, Answer::No);
    EXPECT_EQ(list.operators().size(), 2);

    const int logsBefore = logCount();
    prompter.answer(Answer::Yes);
    EXPECT_TRUE(list.deleteOperator());
    EXPECT_EQ(database().scalarInt(
                  QStringLiteral("SELECT COUNT(*) FROM qp_Users WHERE UserID=%1").arg(id)),
              0);
    EXPECT_EQ(list.operators().size(), 1);
    EXPECT_EQ(logCount(), logsBefore + 1);
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[删除操作员'临时'工']"));
}

} // namespace orvane::coretest
