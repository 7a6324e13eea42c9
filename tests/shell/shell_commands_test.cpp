#include "shell_fixture.h"

#include "shell/commandtable.h"

namespace orvane::shelltest {

using shell::CommandTable;
using shell::MainFrameFlow;

namespace {

QStringList titles(const QList<shell::NavigationGroup>& groups)
{
    QStringList out;
    for (const auto& group : groups) {
        QStringList buttons;
        for (const auto& button : group.buttons)
            buttons << QStringLiteral("%1=%2").arg(button.text).arg(button.commandId);
        out << group.title + ":" + buttons.join(',');
    }
    return out;
}

} // namespace

class Commands : public ShellTest
{
};

TEST_F(Commands, ConnectionIsCheckedBeforeTheRightAndRefusalsOpenNothing)
{
    // Neither the personnel right nor a working connection: only the connection warning shows.
    addOperator(QStringLiteral("clerk"), {16});
    loginAs(QStringLiteral("clerk"));
    db().Close();
    bool closeRequested = false;
    flow.gate().requestClose = [&] { closeRequested = true; };
    prompter.answer(Answer::Cancel);
    EXPECT_FALSE(flow.execute(CommandTable::Personnel));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.last().kind, Kind::RetryCancel);
    EXPECT_TRUE(closeRequested);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(flow.children().isEmpty());
}

TEST_F(Commands, MissingRightShowsMessage106AndRereadsTheRights)
{
    addOperator(QStringLiteral("clerk"), {16});
    loginAs(QStringLiteral("clerk"));
    EXPECT_FALSE(flow.execute(CommandTable::Personnel));
    EXPECT_EQ(prompter.messageTexts(), QStringList{core::OperatorRights::noRightMessage()});
    EXPECT_FALSE(flow.execute(CommandTable::UserList)); // super only
    EXPECT_EQ(prompter.shown().size(), 2u);
    EXPECT_TRUE(events.isEmpty());

    // Granted meanwhile in the operator manager: the command checks afresh and runs.
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_Users SET Purview='%1' WHERE "
                                            "UserName='clerk'")
                                 .arg(maskOf({0, 11}))));
    EXPECT_TRUE(flow.execute(CommandTable::Redeploy));
    EXPECT_EQ(events, QStringList{QStringLiteral("run 2101")});
    // Ungated commands never ask the database or the operator.
    EXPECT_TRUE(flow.execute(CommandTable::PasswordModify));
    EXPECT_EQ(prompter.shown().size(), 2u);
}

TEST_F(Commands, NavigationFollowsTheRights)
{
    addOperator(QStringLiteral("none"), {11, 31, 34}); // buttons without their group rights
    addOperator(QStringLiteral("hr"), {0, 12});
    addOperator(QStringLiteral("pay"), {16, 32, 33, 38});

    loginAs(QStringLiteral("none"));
    EXPECT_TRUE(flow.navigation().isEmpty());

    loginAs(QStringLiteral("hr"));
    EXPECT_EQ(titles(flow.navigation()),
              QStringList{QStringLiteral("人事管理:人员档案=2100,离职管理=2104")});

    loginAs(QStringLiteral("pay"));
    EXPECT_EQ(titles(flow.navigation()),
              (QStringList{QStringLiteral("薪资管理:薪资档案=33158,帐套设置=2202"),
                           QStringLiteral("系统管理:系统设置=2300")}));

    loginAs(QStringLiteral("admin"));
    const auto all = flow.navigation();
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0].buttons.size(), 5);
    EXPECT_EQ(all[1].buttons.size(), 3);
    EXPECT_EQ(all[2].buttons.size(), 7);
    EXPECT_EQ(all[2].buttons.last().commandId, int(CommandTable::SysLog));

    // Every navigation button runs a command of the table.
    for (const auto& group : all)
        for (const auto& button : group.buttons)
            EXPECT_NE(CommandTable::find(button.commandId), nullptr) << button.commandId;
}

TEST_F(Commands, EnablingMatchesWhatTheHandlerAccepts)
{
    addOperator(QStringLiteral("a"), {12});
    addOperator(QStringLiteral("b"), {0, 11});
    addOperator(QStringLiteral("c"), {});
    for (const QString& name :
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("admin")}) {
        loginAs(name);
        for (int id : {int(CommandTable::SortAlter), int(CommandTable::UserList),
                       int(CommandTable::SystemSet)}) {
            const bool enabled = flow.gate().isEnabled(id);
            EXPECT_EQ(enabled, flow.execute(id)) << name.toStdString() << " " << id;
        }
    }
    loginAs(QStringLiteral("a"));
    EXPECT_TRUE(flow.gate().isEnabled(CommandTable::SortAlter));
    EXPECT_FALSE(flow.gate().isEnabled(CommandTable::UserList));
    EXPECT_FALSE(flow.gate().isEnabled(4711));
}

TEST_F(Commands, EveryCommandChecksTheConnectionAndOnlyRightBoundEntriesGrey)
{
    addOperator(QStringLiteral("clerk"), {0});
    loginAs(QStringLiteral("clerk"));
    // Statistics is refused when issued but not greyed; the personnel view follows its right.
    EXPECT_TRUE(flow.gate().isEnabled(CommandTable::StatAnalyze));
    EXPECT_TRUE(flow.gate().isEnabled(CommandTable::DeptManager));
    EXPECT_FALSE(flow.gate().isEnabled(CommandTable::WageOpen));
    EXPECT_FALSE(flow.gate().isEnabled(CommandTable::SysLog));
    EXPECT_FALSE(flow.execute(CommandTable::StatAnalyze));
    EXPECT_EQ(prompter.messageTexts(), QStringList{core::OperatorRights::noRightMessage()});

    // An ungated command meets a lost connection too, and does not run.
    prompter.clear();
    db().Close();
    int closeRequests = 0;
    flow.gate().requestClose = [&] { ++closeRequests; };
    prompter.answer(Answer::Cancel);
    EXPECT_FALSE(flow.execute(CommandTable::PasswordModify));
    EXPECT_EQ(prompter.last().kind, Kind::RetryCancel);
    EXPECT_EQ(closeRequests, 1);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(Commands, PersonnelFrameIsSingleAndWageFramesUniquePerSortAndMonth)
{
    EXPECT_EQ(flow.openPersonnel(), MainFrameFlow::OpenResult::Created);
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[查看]"));
    EXPECT_EQ(flow.openPersonnel(), MainFrameFlow::OpenResult::Activated);

    shell::ChildInfo may;
    may.sortId = 3;
    may.sortTitle = QStringLiteral("工资");
    may.fDate = QDate(2026, 5, 1);
    shell::ChildInfo june = may;
    june.fDate = QDate(2026, 6, 1);
    EXPECT_EQ(flow.openWage(may), MainFrameFlow::OpenResult::Created);
    EXPECT_EQ(flow.openWage(may), MainFrameFlow::OpenResult::Activated);
    EXPECT_EQ(flow.openWage(june), MainFrameFlow::OpenResult::Created);
    EXPECT_EQ(flow.children().size(), 3);
    EXPECT_EQ(events,
              (QStringList{QStringLiteral("create 人员档案"), QStringLiteral("activate 人员档案"),
                           QStringLiteral("create 薪资表(工资 - 2026年05月)"),
                           QStringLiteral("activate 薪资表(工资 - 2026年05月) refresh"),
                           QStringLiteral("create 薪资表(工资 - 2026年06月)")}));

    // A closed personnel frame is created anew.
    flow.childClosed(flow.children().first().handle);
    EXPECT_EQ(flow.openPersonnel(), MainFrameFlow::OpenResult::Created);
}

TEST_F(Commands, ReloginClosesChildrenAndRebuildsNavigation)
{
    addOperator(QStringLiteral("hr"), {0});
    flow.openPersonnel();
    flow.openWage(shell::ChildInfo{});
    int rebuilt = 0;
    flow.navigationChanged = [&] { ++rebuilt; };

    flow.runReloginDialog = [] { return false; };
    flow.execute(CommandTable::Relogin);
    EXPECT_EQ(rebuilt, 0);
    EXPECT_EQ(flow.children().size(), 2);

    flow.runReloginDialog = [&] {
        loginAs(QStringLiteral("hr"));
        return true;
    };
    events.clear();
    EXPECT_TRUE(flow.execute(CommandTable::Relogin));
    EXPECT_EQ(events, (QStringList{QStringLiteral("close 2"), QStringLiteral("close 1")}));
    EXPECT_TRUE(flow.children().isEmpty());
    EXPECT_EQ(rebuilt, 1);
    EXPECT_EQ(flow.navigation().size(), 1);
    EXPECT_EQ(flow.statusUserText(), QStringLiteral("当前用户:hr"));
}

TEST_F(Commands, ExitAsksUnlessSwitchedOffAndLogsTheLogout)
{
    flow.openPersonnel();
    prompter.answer(Answer::No);
    EXPECT_FALSE(flow.exitRequested());
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.last().text, QStringLiteral("确定要退出系统吗?"));
    EXPECT_EQ(prompter.last().caption, QStringLiteral("提示"));
    EXPECT_EQ(prompter.last().defaultButton, Answer::No);
    EXPECT_EQ(flow.children().size(), 1);
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[查看]"));

    prompter.answer(Answer::Yes);
    EXPECT_TRUE(flow.exitRequested());
    EXPECT_EQ(lastLogLine(), QStringLiteral("登出系统"));
    EXPECT_TRUE(flow.children().isEmpty());

    // ExitYesNO 0: no question.
    app.settings().setExitYesNo(0);
    prompter.clear();
    EXPECT_TRUE(flow.exitRequested());
    EXPECT_TRUE(prompter.shown().empty());
}

} // namespace orvane::shelltest
