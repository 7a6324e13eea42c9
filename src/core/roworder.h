#pragma once

#include <QString>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::core {

class GridRows;

// Where a grid keeps a row's key and order value, and where the database keeps them.
struct OrderColumns
{
    int keyColumn = 0;   // grid column with the row's key
    int orderColumn = 1; // grid column with the row's order value
    QString table;
    QString keyName;
    QString orderName;
};

// The order operations shared by every list that lets the operator move entries. The statements
// stand alone (no transaction): a failure leaves the earlier ones in place.
class RowOrder
{
public:
    enum class Direction { Up, Down };

    // Exchanges the current row with its neighbour in the grid (values of the order cells
    // included) and stores both new order values, the second only when the first was stored.
    // The moved row stays current. Returns false when nothing moved or a statement failed.
    static bool moveGridRow(db::CADODatabase& database, GridRows& grid, Direction direction,
                            const OrderColumns& columns);

    // Moves the row `movedKey` to the place of `targetKey` and shifts the rows in between by one,
    // within `extraCondition` when given. The order values stay a permutation.
    static bool MoveRowOrder(db::CADODatabase& database, const QString& table,
                             const QString& keyName, const QString& orderName, int movedKey,
                             int targetKey, const QString& extraCondition = QString());

    // "UPDATE table SET order=value WHERE key=id" (the tree variant of the move).
    static bool storeOrder(db::CADODatabase& database, const QString& table,
                           const QString& keyName, const QString& orderName, int key, int order);
};

} // namespace orvane::core
