// The payroll procedures as the client and an administrator call them: by position, by name
// and as command objects.
#include "payroll_fixture.h"

#include "db/cadorecordset.h"

#include <gtest/gtest.h>

namespace orvane::payrolltest {
namespace {

class PayrollProcedures : public PayrollTest
{
};

TEST_F(PayrollProcedures, SortCreatesItsTableAndRefusesDuplicatesAndBadNames)
{
    struct Case
    {
        QString name;
        int expected;
    };
    const Case cases[] = {
        {QStringLiteral("工资"), 0},
        {QStringLiteral("工资"), 3},                        // duplicate
        {QStringLiteral("  "), 1},                          // empty after trimming
        {QStringLiteral("x'; DROP TABLE qp_Users; --"), 0}, // stored verbatim
    };
    for (const Case& c : cases) {
        db::CADOCommand cmd(&db(), QStringLiteral("qp_AddWageSort"));
        cmd.AddParameter(QStringLiteral("Return"), db::adInteger, db::adParamReturnValue, 4, 0);
        cmd.AddParameter(QStringLiteral("Name"), db::adVarChar, db::adParamInput, 50, c.name);
        cmd.AddParameter(QStringLiteral("Descr"), db::adVarChar, db::adParamInput, 100, QString());
        cmd.AddParameter(QStringLiteral("NewID"), db::adInteger, db::adParamOutput, 4, 0);
        ASSERT_TRUE(cmd.Execute()) << cmd.GetErrorDescription().toStdString();
        EXPECT_EQ(cmd.GetParameter(QStringLiteral("Return")).GetValue().toInt(), c.expected)
            << c.name.toStdString();
        if (c.expected == 0) {
            const int id = cmd.GetParameter(QStringLiteral("NewID")).GetValue().toInt();
            EXPECT_EQ(wageTable(id), QStringLiteral("qp_Wage%1").arg(id));
            EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Wage%1").arg(id)), 0);
        }
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Users")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE nType=6")), 2);
}

TEST_F(PayrollProcedures, ItemsAddColumnsAndDeleteRemovesThem)
{
    const int sort = addSort(QStringLiteral("工资"));
    const QString base = addItem(sort, QStringLiteral("基本工资"));
    ASSERT_FALSE(base.isEmpty());
    EXPECT_TRUE(
        db().Execute(QStringLiteral("UPDATE %1 SET %2=1 WHERE 1=0").arg(wageTable(sort), base)));
    // The caption is unique across every sort.
    const int other = addSort(QStringLiteral("奖金"));
    EXPECT_TRUE(db().Execute(QStringLiteral("EXEC qp_AddDBTableWageItem %1,1,0,N'基本工资',0,'',0,"
                                            "0,0,2,0,'',''")
                                 .arg(other)));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Items WHERE Alias='基本工资'")), 1);
    // A standard-table item needs a table of its own sort.
    EXPECT_TRUE(db().Execute(QStringLiteral("EXEC qp_AddDBTableWageItem %1,1,0,N'岗位工资',0,'',2,"
                                            "0,999,2,0,'',''")
                                 .arg(sort)));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Items WHERE Alias='岗位工资'")), 0);

    const int itemId = count(QStringLiteral("SELECT ItemID FROM qp_Items WHERE Alias='基本工资'"));
    ASSERT_TRUE(
        db().Execute(QStringLiteral("qp_DeleteWageSortItemByID %1,%2").arg(sort).arg(itemId)));
    EXPECT_FALSE(db().Execute(QStringLiteral("SELECT %1 FROM %2").arg(base, wageTable(sort))));
}

TEST_F(PayrollProcedures, MonthGivesMembersRowsAndCarriesRetainedItems)
{
    const int sort = addSort(QStringLiteral("工资"));
    const QString base = addItem(sort, QStringLiteral("基本工资"), 0, {}, {}, true);
    const QString bonus = addItem(sort, QStringLiteral("奖金"));
    const int p1 = addPerson(QStringLiteral("A01"), QStringLiteral("张三"), 1);
    const int p2 = addPerson(QStringLiteral("A02"), QStringLiteral("李四"), 2);
    addPerson(QStringLiteral("A03"), QStringLiteral("王五"), 2); // not a member
    ASSERT_TRUE(db().Execute(
        QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES (%1,%2,2)").arg(sort).arg(p1)));
    ASSERT_TRUE(db().Execute(
        QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES (%1,%2,1)").arg(sort).arg(p2)));

    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202501").arg(sort)));
    const QString table = wageTable(sort);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE fDate=202501").arg(table)), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT DID FROM %1 WHERE PID=%2").arg(table).arg(p2)), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT Ord FROM %1 WHERE PID=%2").arg(table).arg(p2)), 1);
    ASSERT_TRUE(db().Execute(
        QStringLiteral("UPDATE %1 SET %2=5000,%3=800 WHERE fDate=202501").arg(table, base, bonus)));

    // Named arguments; the retained item starts from the latest earlier month.
    ASSERT_TRUE(db().Execute(
        QStringLiteral("EXEC qp_CreateWageTable @UserID=1, @SID=%1, @nFDate=202503").arg(sort)));
    EXPECT_EQ(count(QStringLiteral("SELECT SUM(%1) FROM %2 WHERE fDate=202503").arg(base, table)),
              10000);
    EXPECT_EQ(count(QStringLiteral("SELECT SUM(%1) FROM %2 WHERE fDate=202503").arg(bonus, table)),
              0);
    EXPECT_EQ(count(QStringLiteral("SELECT Stat FROM qp_WageTable WHERE SID=%1 AND fDate=202503")
                        .arg(sort)),
              0);

    // The same month again is refused and leaves nothing behind; another sort may have it.
    EXPECT_FALSE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202503").arg(sort)));
    EXPECT_TRUE(db().GetErrorDescription().contains(QStringLiteral("已存在")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE fDate=202503").arg(table)), 2);
    const int other = addSort(QStringLiteral("奖金"));
    EXPECT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202503").arg(other)));

    // Values for the formula functions.
    db::CADORecordset rs(&db());
    ASSERT_TRUE(rs.Open(QStringLiteral("EXEC qp_GetPSNWageValue 'A01',202501,N'奖金',N'工资'")));
    EXPECT_EQ(rs.GetFieldInt(QStringLiteral("Value")), 800);
    ASSERT_TRUE(rs.Open(QStringLiteral("EXEC qp_GetPSNPreWageValue @PsnNumber='A02', "
                                       "@nFDate=202503, @nPer=2, @ItmAlias=N'基本工资', "
                                       "@SortName=N'工资'")));
    EXPECT_EQ(rs.GetFieldInt(QStringLiteral("Value")), 5000);
    ASSERT_TRUE(rs.Open(QStringLiteral("EXEC qp_GetAggregeWageValue %1,'FROM %2 WHERE "
                                       "fDate=202501',N'奖金','SUM'")
                            .arg(sort)
                            .arg(table)));
    EXPECT_EQ(rs.GetFieldInt(QStringLiteral("Value")), 1600);
    EXPECT_FALSE(rs.Open(QStringLiteral("EXEC qp_GetAggregeWageValue %1,'FROM %2',N'奖金','DROP'")
                             .arg(sort)
                             .arg(table)));

    // Deleting the sort takes its table, members and months with it.
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_DeleteWageSort %1").arg(sort)));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_WagePsn WHERE SID=%1").arg(sort)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_WageTable WHERE SID=%1").arg(sort)), 0);
    EXPECT_FALSE(db().Execute(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)));
}

TEST_F(PayrollProcedures, StandardTableLookupInOneAndTwoDimensions)
{
    const int sort = addSort(QStringLiteral("工资"));
    // A reference item of the sort carries the grade; the personnel field TechTitle the title.
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_AddDictSort 0,1,N'岗位等级'")));
    const QString grades =
        database().scalar(QStringLiteral("SELECT DictId FROM qp_Dict WHERE Title='岗位等级'"));
    for (const char* code : {"1", "2", "3"})
        ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_AddDictItem 0,1,'%1','%2',N'%2级',''")
                                     .arg(grades, QString::fromLatin1(code))));
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_AddDBTableWageItem %1,1,0,N'岗位等级',3,'%2',"
                                            "0,1,0,0,0,'',''")
                                 .arg(sort)
                                 .arg(grades)));
    const QString gradeField =
        database().scalar(QStringLiteral("SELECT Name FROM qp_Items WHERE Alias='岗位等级'"));

    db::CADORecordset rs(&db());
    ASSERT_TRUE(rs.Open(QStringLiteral("EXEC qp_AddStdDBTable @STDName=N'岗位工资表', @SID=%1, "
                                       "@STDDim=2, @DictRow='%2', @FldRow='%3', @TblRow='%4', "
                                       "@DictCol='D08', @FldCol='TechTitle', "
                                       "@TblCol='qp_PsnBase', @Descr='', @RowValues='1,2,3', "
                                       "@ColValues='2,3'")
                            .arg(sort)
                            .arg(grades, gradeField, wageTable(sort))))
        << rs.GetErrorDescription().toStdString();
    const int twoD = rs.GetFieldInt(QStringLiteral("id"));
    const QString data = rs.GetFieldString(QStringLiteral("STDTable"));
    ASSERT_TRUE(
        db().Execute(QStringLiteral("UPDATE %1 SET c3=3300 WHERE DictValue='2'").arg(data)));

    ASSERT_TRUE(rs.Open(QStringLiteral("EXEC qp_AddStdDBTable N'职称津贴',%1,1,'','D08',"
                                       "'TechTitle','qp_PsnBase','','','','',N'2,3',''")
                            .arg(sort)));
    const int oneD = rs.GetFieldInt(QStringLiteral("id"));
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE %1 SET Jine=450 WHERE DictValue='3'")
                                 .arg(rs.GetFieldString(QStringLiteral("STDTable")))));

    const int person =
        addPerson(QStringLiteral("A01"), QStringLiteral("张三"), 1, QStringLiteral("3"));
    ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES (%1,%2,1)")
                                 .arg(sort)
                                 .arg(person)));
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202501").arg(sort)));
    ASSERT_TRUE(
        db().Execute(QStringLiteral("UPDATE %1 SET %2='2'").arg(wageTable(sort), gradeField)));

    struct Case
    {
        int table;
        int fDate;
        int rows;
        int amount;
    };
    const Case cases[] = {{twoD, 202501, 1, 3300}, {oneD, 202501, 1, 450}, {twoD, 202502, 0, 0}};
    for (const Case& c : cases) {
        ASSERT_TRUE(rs.Open(QStringLiteral("EXEC qp_GetWageStdTableByPsn %1,%2,%3")
                                .arg(person)
                                .arg(c.fDate)
                                .arg(c.table)));
        EXPECT_EQ(rs.GetRecordCount(), c.rows);
        if (c.rows)
            EXPECT_EQ(rs.GetFieldInt(QStringLiteral("Jine")), c.amount);
    }

    // Column codes come and go with their columns; a used table cannot be deleted.
    ASSERT_TRUE(db().Execute(
        QStringLiteral("EXEC qp_DelStdTableDictColItem %1,'%2','D08','2'").arg(twoD).arg(data)));
    EXPECT_FALSE(db().Execute(QStringLiteral("SELECT c2 FROM %1").arg(data)));
    addItem(sort, QStringLiteral("岗位工资"), 2, {}, {}, false, twoD);
    EXPECT_FALSE(db().Execute(QStringLiteral("qp_DelStdTableByID %1").arg(twoD)));
    EXPECT_TRUE(db().GetErrorDescription().contains(QStringLiteral("岗位工资")));
    EXPECT_TRUE(db().Execute(QStringLiteral("qp_DelStdTableByID %1").arg(oneD)));
}

TEST_F(PayrollProcedures, CandidateTablesAndAddingToAMonthWithEarlierValues)
{
    const int sort = addSort(QStringLiteral("工资"));
    const QString base = addItem(sort, QStringLiteral("基本工资"));
    const int p1 = addPerson(QStringLiteral("A01"), QStringLiteral("张三"), 1);
    const int p2 = addPerson(QStringLiteral("A02"), QStringLiteral("李四"), 2);
    ASSERT_TRUE(db().Execute(
        QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES (%1,%2,1)").arg(sort).arg(p1)));
    // Members are not candidates; the department filter takes the subtree.
    ASSERT_TRUE(db().Execute(
        QStringLiteral("qp_CreateTmpTblForWageSortPsnSelect '##tmp1',%1,1").arg(sort)));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM [##tmp1]")), 1);
    EXPECT_FALSE(db().Execute(
        QStringLiteral("qp_CreateTmpTblForWageSortPsnSelect 'x]; DROP TABLE qp_Users;--',%1,1")
            .arg(sort)));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Users")), 1);
    ASSERT_TRUE(db().Execute(QStringLiteral("qp_DeleteTmpTbl '##tmp1'")));

    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202501").arg(sort)));
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202502").arg(sort)));
    const QString table = wageTable(sort);
    // p2 is paid in January by hand, then added to February with January's values.
    ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO %1 (fDate,PID,%2) VALUES (202501,%3,4200)")
                                 .arg(table, base)
                                 .arg(p2)));
    ASSERT_TRUE(db().Execute(
        QStringLiteral("EXEC qp_CreateWageTmpTableForAddPsn 'tmpWageUser1',%1,0,202502")
            .arg(sort)));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tmpWageUser1")), 1);
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE [tmpWageUser1] SET [CKD]=1")));
    ASSERT_TRUE(db().Execute(
        QStringLiteral("EXEC qp_AddWagePsnFromTmpTable 'tmpWageUser1',%1,202502").arg(sort)));
    ASSERT_TRUE(db().Execute(
        QStringLiteral("EXEC qp_UpdateWageTmpTableForAddPsn 'tmpWageUser1',%1,202502,202501")
            .arg(sort)));
    EXPECT_EQ(count(QStringLiteral("SELECT %1 FROM %2 WHERE fDate=202502 AND PID=%3")
                        .arg(base, table)
                        .arg(p2)),
              4200);
    EXPECT_EQ(
        count(
            QStringLiteral("SELECT DID FROM %1 WHERE fDate=202502 AND PID=%2").arg(table).arg(p2)),
        2);
}

} // namespace
} // namespace orvane::payrolltest
