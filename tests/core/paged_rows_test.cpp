// Rows fetched in blocks as they are shown: order kept across blocks, a row deleted meanwhile
// reads as empty and refuses a write, and the grid model over them passes the model tester.
#include "operator_fixture.h"

#include "core/pagedrows.h"

namespace orvane::coretest {

class PagedRowsTest : public AdminTest
{
protected:
    void SetUp() override
    {
        AdminTest::SetUp();
        ASSERT_TRUE(db().BeginTransaction());
        for (int i = 1; i <= kRows; ++i) {
            ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_PsnBase (DID,AID,Number,Name,"
                                                    "Ord) VALUES (1,1,'N%1','名%1',%2)")
                                         .arg(i)
                                         .arg(kRows - i)));
        }
        ASSERT_TRUE(db().CommitTransaction());
    }

    bool open(core::PagedRows& rows)
    {
        return rows.open(QStringLiteral("SELECT PID FROM qp_PsnBase ORDER BY Ord"),
                         QStringLiteral("SELECT PID,Number,Name FROM qp_PsnBase"),
                         QStringLiteral("PID"));
    }

    static constexpr int kRows = core::PagedRows::kBlockRows * 2 + 5;
};

TEST_F(PagedRowsTest, KeepsTheKeyOrderAcrossBlocks)
{
    core::PagedRows rows(db());
    ASSERT_TRUE(open(rows));
    ASSERT_EQ(rows.rowCount(), kRows);
    EXPECT_EQ(rows.columnCount(), 3);
    // Ord runs backwards, so the last inserted person comes first.
    for (int row : {0, core::PagedRows::kBlockRows - 1, core::PagedRows::kBlockRows, kRows - 1}) {
        EXPECT_EQ(rows.value(row, 1).toString(), QStringLiteral("N%1").arg(kRows - row)) << row;
        EXPECT_EQ(rows.rowOfKey(rows.keyAt(row)), row);
    }
    EXPECT_EQ(rows.rowOfKey(-7), -1);
    EXPECT_FALSE(rows.value(kRows, 1).isValid());
}

TEST_F(PagedRowsTest, WritesThroughTheBlockAndSeesDeletedRowsAsGone)
{
    core::PagedRows rows(db());
    ASSERT_TRUE(open(rows));
    EXPECT_TRUE(rows.writeValue(3, 2, QStringLiteral("改名'; --")));
    EXPECT_EQ(rows.value(3, 2).toString(), QStringLiteral("改名'; --"));
    EXPECT_EQ(database().scalar(
                  QStringLiteral("SELECT Name FROM qp_PsnBase WHERE PID=%1").arg(rows.keyAt(3))),
              QStringLiteral("改名'; --"));

    const int last = kRows - 1; // its block is not read yet
    ASSERT_TRUE(
        db().Execute(QStringLiteral("DELETE FROM qp_PsnBase WHERE PID=%1").arg(rows.keyAt(last))));
    EXPECT_TRUE(rows.value(last, 1).isNull());
    EXPECT_FALSE(rows.writeValue(last, 2, QStringLiteral("x")));
    EXPECT_EQ(rows.lastError(), QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!"));

    EXPECT_FALSE(rows.open(QStringLiteral("SELECT PID FROM qp_Missing"), QString(), QString()));
    EXPECT_FALSE(rows.lastError().isEmpty());
    EXPECT_EQ(rows.rowCount(), kRows); // the previous list stays
}

} // namespace orvane::coretest
