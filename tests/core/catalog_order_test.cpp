#include "operator_fixture.h"

#include "core/itemmodelgridrows.h"
#include "core/roworder.h"
#include "db/backend.h"
#include "testutil/testbackend.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QStandardItemModel>

namespace orvane::coretest {

using core::RowOrder;

class RowOrderTest : public AdminTest
{
protected:
    void SetUp() override
    {
        AdminTest::SetUp();
        // Categories 1..6 with Ord 1..6 (1 to 3 are delivered).
        for (int i = 4; i <= 6; ++i)
            ASSERT_TRUE(db().Execute(
                QStringLiteral("INSERT INTO qp_PsnSort (Name,Ord) VALUES ('c%1',%1)").arg(i)));
    }

    QList<int> orders()
    {
        QList<int> result;
        for (int aid = 1; aid <= 6; ++aid)
            result << database().scalarInt(
                QStringLiteral("SELECT Ord FROM qp_PsnSort WHERE AID=%1").arg(aid));
        return result;
    }

    // Makes every update of the row with this key fail.
    void refuseUpdatesOf(int aid)
    {
        db::BackendError error;
        if (testutil::onPostgres()) {
            for (const QString& sql :
                 {QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                                 "$$BEGIN RAISE EXCEPTION 'refused'; END$$"),
                  QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON qp_PsnSort FOR EACH ROW "
                                 "WHEN (OLD.AID=%1) EXECUTE FUNCTION refuse()")
                      .arg(aid)})
                ASSERT_TRUE(db().runNative(sql, nullptr, error)) << error.description.toStdString();
            return;
        }
        ASSERT_TRUE(db().runNative(
            QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON qp_PsnSort WHEN OLD.AID=%1 "
                           "BEGIN SELECT RAISE(ABORT,'refused'); END")
                .arg(aid),
            nullptr, error))
            << error.description.toStdString();
    }

    bool move(int moved, int target, const QString& extra = QString())
    {
        return RowOrder::MoveRowOrder(db(), QStringLiteral("qp_PsnSort"), QStringLiteral("AID"),
                                      QStringLiteral("Ord"), moved, target, extra);
    }
};

TEST_F(RowOrderTest, MoveRowOrderShiftsTheRowsBetweenAndBack)
{
    EXPECT_TRUE(move(2, 5));
    EXPECT_EQ(orders(), (QList<int>{1, 5, 2, 3, 4, 6}));
    EXPECT_TRUE(move(2, 3)); // back onto AID 3, which now holds order 2
    EXPECT_EQ(orders(), (QList<int>{1, 2, 3, 4, 5, 6}));

    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_PsnSort SET Ord=4 WHERE AID=6")));
    EXPECT_TRUE(move(4, 6)); // equal orders: nothing happens
    EXPECT_EQ(orders(), (QList<int>{1, 2, 3, 4, 5, 4}));
}

TEST_F(RowOrderTest, MoveRowOrderStaysInsideTheExtraCondition)
{
    // AID 3 belongs to another group: the shift must pass it by.
    EXPECT_TRUE(move(5, 1, QStringLiteral("AID<>3")));
    EXPECT_EQ(orders(), (QList<int>{2, 3, 3, 5, 1, 6}));
}

TEST_F(RowOrderTest, FailedShiftLeavesTheMovedRowInPlace)
{
    refuseUpdatesOf(3);
    EXPECT_FALSE(move(2, 5));
    EXPECT_EQ(orders(), (QList<int>{1, 2, 3, 4, 5, 6}));
}

class GridMoveTest : public RowOrderTest
{
protected:
    void SetUp() override
    {
        RowOrderTest::SetUp();
        // Key, order and a caption, as a grid of categories shows them.
        model.setColumnCount(3);
        for (int aid = 1; aid <= 6; ++aid) {
            QList<QStandardItem*> row{new QStandardItem, new QStandardItem,
                                      new QStandardItem(QStringLiteral("c%1").arg(aid))};
            row[0]->setData(aid, Qt::EditRole);
            row[1]->setData(aid, Qt::EditRole);
            row[2]->setData(QColor(Qt::red), Qt::ForegroundRole);
            model.appendRow(row);
        }
    }

    bool moveCurrent(RowOrder::Direction direction)
    {
        core::ItemModelGridRows rows(model, &selection);
        return RowOrder::moveGridRow(db(), rows, direction, columns);
    }
    int gridKey(int row) { return model.item(row, 0)->data(Qt::EditRole).toInt(); }
    int gridOrder(int row) { return model.item(row, 1)->data(Qt::EditRole).toInt(); }

    QStandardItemModel model;
    QAbstractItemModelTester tester{&model};
    QItemSelectionModel selection{&model};
    core::OrderColumns columns{0, 1, QStringLiteral("qp_PsnSort"), QStringLiteral("AID"),
                               QStringLiteral("Ord")};
};

TEST_F(GridMoveTest, NeighboursExchangeTheirPlacesAndOrders)
{
    selection.setCurrentIndex(model.index(2, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_TRUE(moveCurrent(RowOrder::Direction::Down));
    EXPECT_EQ(gridKey(3), 3);
    EXPECT_EQ(gridOrder(3), 4);
    EXPECT_EQ(gridKey(2), 4);
    EXPECT_EQ(gridOrder(2), 3);
    EXPECT_EQ(model.item(3, 2)->text(), QStringLiteral("c3")); // every cell travels
    EXPECT_EQ(selection.currentIndex().row(), 3);
    EXPECT_EQ(orders(), (QList<int>{1, 2, 4, 3, 5, 6}));

    EXPECT_TRUE(moveCurrent(RowOrder::Direction::Up));
    EXPECT_EQ(selection.currentIndex().row(), 2);
    EXPECT_EQ(orders(), (QList<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(gridKey(2), 3);
}

TEST_F(GridMoveTest, EdgesAndNoSelectionDoNothing)
{
    EXPECT_FALSE(moveCurrent(RowOrder::Direction::Down));
    selection.setCurrentIndex(model.index(5, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_FALSE(moveCurrent(RowOrder::Direction::Down));
    selection.setCurrentIndex(model.index(0, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_FALSE(moveCurrent(RowOrder::Direction::Up));
    EXPECT_EQ(orders(), (QList<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(gridKey(0), 1);
    EXPECT_EQ(gridKey(5), 6);
}

TEST_F(GridMoveTest, SecondStatementOnlyAfterTheFirstSucceeded)
{
    refuseUpdatesOf(2);
    selection.setCurrentIndex(model.index(1, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_FALSE(moveCurrent(RowOrder::Direction::Down));
    // The grid already shows the exchange; the database is untouched, AID 3 included.
    EXPECT_EQ(gridKey(2), 2);
    EXPECT_EQ(orders(), (QList<int>{1, 2, 3, 4, 5, 6}));
}

} // namespace orvane::coretest
