#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

namespace orvane::core {

// One row of a tree grid with the rows below it; cells in column order.
struct TreeRow
{
    QVariantList cells;
    QList<TreeRow> children;
};

// One column of a tree grid.
struct TreeColumn
{
    QString caption;
    int width = 100;
    bool hidden = false;
};

} // namespace orvane::core
