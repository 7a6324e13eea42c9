#include "operator_fixture.h"

#include "core/rightstable.h"

namespace orvane::coretest {

using core::OperatorRights;

class RightsCheck : public AdminTest
{
};

TEST_F(RightsCheck, SuperUserHoldsEveryRightAndBothAllFlags)
{
    // Whatever the mask says: ISuper decides.
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_Users SET Purview='0|||' WHERE "
                                            "UserName='admin'")));
    loginAs(QStringLiteral("admin"));
    EXPECT_TRUE(app.currentOperator().allCategories);
    EXPECT_TRUE(app.currentOperator().allDepartments);
    for (int i = 0; i < core::RightsTable::Count; ++i)
        EXPECT_TRUE(OperatorRights::hasRight(app, i, true)) << i;
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(RightsCheck, OrdinaryOperatorIsRefusedWithMessage106)
{
    addOperator(QStringLiteral("clerk"), QStringLiteral("8000000000000000|1|2|"));
    loginAs(QStringLiteral("clerk"));
    EXPECT_TRUE(OperatorRights::checkRight(app, prompter, 0));
    EXPECT_TRUE(prompter.shown().empty());

    EXPECT_FALSE(OperatorRights::checkRight(app, prompter, 1));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.last().text, QStringLiteral("抱歉!您没有该项功能操作权限，请与管理员联系!"));
    EXPECT_EQ(prompter.last().caption, core::COrvaneApp::productTitle());
    EXPECT_EQ(prompter.last().icon, Icon::Warning);
    EXPECT_FALSE(OperatorRights::hasRight(app, 39, false));
    EXPECT_FALSE(OperatorRights::hasRight(app, -1, false));
}

TEST_F(RightsCheck, RefreshPicksUpChangesMadeMeanwhile)
{
    const int id = addOperator(QStringLiteral("clerk"), QStringLiteral("8000000000000000|1|1|"));
    loginAs(QStringLiteral("clerk"));
    EXPECT_FALSE(OperatorRights::hasRight(app, 33, true));

    // The operator manager grants the system group meanwhile.
    ASSERT_TRUE(db().Execute(
        QStringLiteral("UPDATE qp_Users SET Purview='8000|1|1|' WHERE UserID=%1").arg(id)));
    EXPECT_FALSE(OperatorRights::hasRight(app, 33, false)); // menu enabling does not reread
    EXPECT_TRUE(OperatorRights::hasRight(app, 33, true));
    EXPECT_FALSE(OperatorRights::hasRight(app, 0, false)); // the old bit has gone

    // Deleted meanwhile: no rights left.
    ASSERT_TRUE(db().Execute(QStringLiteral("DELETE FROM qp_Users WHERE UserID=%1").arg(id)));
    EXPECT_FALSE(OperatorRights::hasRight(app, 33, true));

    // A vanished database keeps what was read last instead of failing wildly.
    app.currentOperator().purview.rightsMask = quint64(1) << 15;
    db().Close();
    EXPECT_TRUE(OperatorRights::hasRight(app, 33, true));
}

TEST_F(RightsCheck, AllFlagsNeedEveryKeyOfTheTable)
{
    // Seeded categories are 1, 2 and 3; add two departments.
    ASSERT_TRUE(db().Execute(QStringLiteral(
        "INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (0,'A',1,'|1|')")));
    ASSERT_TRUE(db().Execute(QStringLiteral(
        "INSERT INTO qp_Dept (ParentID,Name,Ord,ParentArr) VALUES (0,'B',2,'|2|')")));
    core::OperatorRecord record;
    OperatorRights::applyPurview(db(), record, QStringLiteral("1|3,1,2|1|"));
    EXPECT_TRUE(record.allCategories);
    EXPECT_FALSE(record.allDepartments);
    OperatorRights::applyPurview(db(), record, QStringLiteral("1|1,2,33|2,1|"));
    EXPECT_FALSE(record.allCategories); // 33 is not 3
    EXPECT_TRUE(record.allDepartments);
}

} // namespace orvane::coretest
