#pragma once

#include "core/gridrowsource.h"
#include "db/resultset.h"

namespace orvane::core {

// A query held whole in memory as grid rows (its visible columns only).
class ResultSetRows : public GridRowSource
{
public:
    explicit ResultSetRows(const db::ResultSet* rows = nullptr) : m_rows(rows) {}
    void setRows(const db::ResultSet* rows) { m_rows = rows; }

    int rowCount() const override { return m_rows ? m_rows->rowCount() : 0; }
    int columnCount() const override { return m_rows ? m_rows->visibleColumns : 0; }
    QVariant value(int row, int column) const override { return m_rows->at(row, column); }

private:
    const db::ResultSet* m_rows;
};

} // namespace orvane::core
