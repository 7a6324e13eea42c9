#pragma once

#include <QVariant>

namespace orvane::core {

// Rows a grid shows, read cell by cell: a query held whole in memory or one whose rows are
// fetched in blocks as they are shown (PagedRows). Values keep the data layer's raw form.
class GridRowSource
{
public:
    virtual ~GridRowSource() = default;
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    virtual QVariant value(int row, int column) const = 0;
};

} // namespace orvane::core
