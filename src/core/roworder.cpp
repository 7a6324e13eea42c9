#include "core/roworder.h"

#include "core/catalog.h"
#include "core/gridrows.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::core {

bool RowOrder::storeOrder(db::CADODatabase& database, const QString& table,
                          const QString& keyName, const QString& orderName, int key, int order)
{
    return database.Execute(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + orderName
                            + QStringLiteral("=%1 WHERE ").arg(order) + keyName
                            + QStringLiteral("=%1").arg(key));
}

bool RowOrder::moveGridRow(db::CADODatabase& database, GridRows& grid, Direction direction,
                           const OrderColumns& columns)
{
    const int row = grid.currentRow();
    if (row < 0 || row >= grid.rowCount())
        return false;
    const int other = direction == Direction::Down ? row + 1 : row - 1;
    if (other < 0 || other >= grid.rowCount())
        return false;

    const int rowOrder = grid.cellInt(row, columns.orderColumn);
    const int otherOrder = grid.cellInt(other, columns.orderColumn);
    grid.swapRows(row, other);
    // The moved row is now at `other` and takes the neighbour's former order value.
    grid.setCellInt(other, columns.orderColumn, otherOrder);
    grid.setCellInt(row, columns.orderColumn, rowOrder);
    grid.setCurrentRow(other);

    const int movedKey = grid.cellInt(other, columns.keyColumn);
    const int neighbourKey = grid.cellInt(row, columns.keyColumn);
    if (!storeOrder(database, columns.table, columns.keyName, columns.orderName, movedKey,
                    otherOrder))
        return false;
    return storeOrder(database, columns.table, columns.keyName, columns.orderName, neighbourKey,
                      rowOrder);
}

bool RowOrder::MoveRowOrder(db::CADODatabase& database, const QString& table,
                            const QString& keyName, const QString& orderName, int movedKey,
                            int targetKey, const QString& extraCondition)
{
    const Catalog catalog(database);
    const QString read = QStringLiteral("SELECT ") + orderName + QStringLiteral(" FROM ") + table
                         + QStringLiteral(" WHERE ") + keyName + QStringLiteral("=%1");
    const int a = catalog.integer(read.arg(movedKey));
    const int b = catalog.integer(read.arg(targetKey));
    if (a == b)
        return true;

    QString shift;
    if (a < b) {
        shift = QStringLiteral("UPDATE %1 SET %2=%2-1 WHERE (%2>%3 AND %2<=%4)")
                    .arg(table, orderName, QString::number(a), QString::number(b));
    } else {
        shift = QStringLiteral("UPDATE %1 SET %2=%2+1 WHERE (%2>=%3 AND %2<%4)")
                    .arg(table, orderName, QString::number(b), QString::number(a));
    }
    if (!extraCondition.isEmpty())
        shift += QStringLiteral(" AND ") + extraCondition;
    if (!database.Execute(shift))
        return false;
    return database.Execute(QStringLiteral("UPDATE %1 SET %2=%3 WHERE %4=%5")
                                .arg(table, orderName, QString::number(b), keyName,
                                     QString::number(movedKey)));
}

} // namespace orvane::core
