// The shared order editor over the persons of a department: moves touch only the rows of the
// list, the footer counts them, refresh renumbers, and the caller learns whether anything moved.
#include "operator_fixture.h"

#include "core/cdlgresetorder.h"

namespace orvane::coretest {

class ResetOrderTest : public AdminTest
{
protected:
    void SetUp() override
    {
        AdminTest::SetUp();
        // Department 1 holds P1..P5 (Ord 1..5); department 2 holds Q1..Q3 with the same Ords.
        ASSERT_TRUE(db().Execute(QStringLiteral("DELETE FROM qp_PsnBase")));
        for (int i = 1; i <= 5; ++i)
            insert(1, QStringLiteral("P%1").arg(i), i);
        for (int i = 1; i <= 3; ++i)
            insert(2, QStringLiteral("Q%1").arg(i), i);
    }

    void insert(int did, const QString& name, int ord)
    {
        ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_PsnBase (DID,AID,Number,Name,Ord) "
                                                "VALUES (%1,1,'%2','%2',%3)")
                                     .arg(did)
                                     .arg(name)
                                     .arg(ord)));
    }

    core::CDlgResetOrder::Source source(int did) const
    {
        return {QStringLiteral("EXEC qp_SelectPsnbaseReOrderByDeptID %1").arg(did),
                QStringLiteral("qp_RefreshPsnBaseOrder %1").arg(did), QStringLiteral("qp_PsnBase"),
                QStringLiteral("PID"), QStringLiteral("Ord")};
    }

    // Names of a department in stored order.
    QString order(int did)
    {
        db::CADORecordset rs(&db());
        EXPECT_TRUE(rs.Open(
            QStringLiteral("SELECT Name FROM qp_PsnBase WHERE DID=%1 ORDER BY Ord").arg(did)));
        QStringList names;
        for (; !rs.IsEOF(); rs.MoveNext())
            names << rs.GetFieldString(QStringLiteral("Name"));
        return names.join(QLatin1Char(','));
    }

    QString currentName(const core::CDlgResetOrder& dialog) const
    {
        return dialog.rows().value(dialog.currentRow(), QStringLiteral("姓名")).toString();
    }

    testutil::ScriptedPrompter prompter;
};

TEST_F(ResetOrderTest, MovesKeepTheRowCurrentAndLeaveOtherDepartmentsAlone)
{
    core::CDlgResetOrder dialog(db(), prompter, source(1));
    ASSERT_TRUE(dialog.load());
    EXPECT_EQ(dialog.footerText(), QStringLiteral("共 计：5 条记录"));
    EXPECT_FALSE(dialog.changed());

    struct Step
    {
        int select;
        bool (core::CDlgResetOrder::*command)();
        const char* after;
        const char* current;
    } steps[] = {
        {1, &core::CDlgResetOrder::moveBottom, "P1,P3,P4,P5,P2", "P2"},
        {4, &core::CDlgResetOrder::moveTop, "P2,P1,P3,P4,P5", "P2"},
        {0, &core::CDlgResetOrder::moveDown, "P1,P2,P3,P4,P5", "P2"},
        {3, &core::CDlgResetOrder::moveUp, "P1,P2,P4,P3,P5", "P4"},
        {2, &core::CDlgResetOrder::moveTop, "P4,P1,P2,P3,P5", "P4"},
    };
    for (const Step& step : steps) {
        dialog.setCurrentRow(step.select);
        EXPECT_TRUE((dialog.*step.command)()) << step.after;
        EXPECT_EQ(order(1), QString::fromUtf8(step.after));
        EXPECT_EQ(currentName(dialog), QString::fromUtf8(step.current));
    }
    EXPECT_EQ(order(2), QStringLiteral("Q1,Q2,Q3"));
    EXPECT_TRUE(dialog.changed());
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(ResetOrderTest, MovesPastTheEndsDoNothing)
{
    core::CDlgResetOrder dialog(db(), prompter, source(1));
    ASSERT_TRUE(dialog.load());
    dialog.setCurrentRow(0);
    EXPECT_FALSE(dialog.moveUp());
    EXPECT_FALSE(dialog.moveTop());
    dialog.setCurrentRow(4);
    EXPECT_FALSE(dialog.moveDown());
    EXPECT_FALSE(dialog.moveBottom());
    dialog.setCurrentRow(-1);
    EXPECT_FALSE(dialog.moveDown());
    EXPECT_FALSE(dialog.changed());
    EXPECT_EQ(order(1), QStringLiteral("P1,P2,P3,P4,P5"));
}

TEST_F(ResetOrderTest, DuplicateOrderValuesAreRenumberedBeforeMoving)
{
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_PsnBase SET Ord=0 WHERE DID=1")));
    core::CDlgResetOrder dialog(db(), prompter, source(1));
    ASSERT_TRUE(dialog.load());
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT COUNT(DISTINCT Ord) FROM qp_PsnBase WHERE DID=1")),
        QStringLiteral("5"));
    dialog.setCurrentRow(0);
    EXPECT_TRUE(dialog.moveDown());
    EXPECT_EQ(order(1), QStringLiteral("P2,P1,P3,P4,P5"));
    EXPECT_TRUE(dialog.refresh());
    EXPECT_TRUE(dialog.changed());
    EXPECT_EQ(currentName(dialog), QStringLiteral("P1"));
}

TEST_F(ResetOrderTest, AFailingListTellsTheOperatorAndStaysEmpty)
{
    core::CDlgResetOrder::Source broken = source(1);
    broken.listQuery = QStringLiteral("SELECT PID,Ord FROM qp_NoSuchTable");
    core::CDlgResetOrder dialog(db(), prompter, broken);
    EXPECT_FALSE(dialog.load());
    EXPECT_EQ(dialog.rowCount(), 0);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.last().icon, Icon::Error);
    EXPECT_EQ(dialog.footerText(), QStringLiteral("共 计：0 条记录"));
}

} // namespace orvane::coretest
