#pragma once

#include "core/gridrowsource.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <vector>

namespace orvane::db {
class CADODatabase;
class CADORecordset;
} // namespace orvane::db

namespace orvane::core {

// The rows of a long list fetched as they are shown. open() reads only the keys in display
// order; a cell asks for the block of rows around it, read with "<rowSelect> WHERE <keyColumn>
// IN (...)" as an updatable recordset. At most kMaxBlocks blocks are kept; the oldest are
// dropped when the operator scrolls far.
//
//     PagedRows rows(database);
//     rows.open("SELECT qp_PsnBase.PID FROM ... WHERE ... ORDER BY ...",
//               "SELECT qp_PsnBase.PID,... FROM ...", "qp_PsnBase.PID");
//     rows.value(99999, 3);   // reads one block of 256 rows
class PagedRows : public GridRowSource
{
public:
    static constexpr int kBlockRows = 64;
    static constexpr int kMaxBlocks = 64;

    explicit PagedRows(db::CADODatabase& database);
    ~PagedRows() override;

    // Reads the keys. The row query's first column must be the key. On failure keeps the
    // previous rows and returns false with the data layer's error in lastError().
    bool open(const QString& keyQuery, const QString& rowSelect, const QString& keyColumn);
    void clear();
    QString lastError() const { return m_error; }

    int rowCount() const override { return int(m_keys.size()); }
    int columnCount() const override;
    QVariant value(int row, int column) const override;
    int keyAt(int row) const;
    // Position of a key, -1 when it is not listed.
    int rowOfKey(int key) const;

    // Writes one cell of a row through its block's recordset (null QVariant: NULL).
    bool writeValue(int row, int column, const QVariant& value);

    // Forgets the fetched blocks (rows are read again when next shown).
    void dropBlocks();

private:
    struct Block
    {
        int first = 0;
        std::unique_ptr<db::CADORecordset> rows;
        std::vector<int> recordOf; // block position -> record index, -1 when gone
    };

    Block* block(int row) const;

    db::CADODatabase& m_db;
    QString m_rowSelect;
    QString m_keyColumn;
    std::vector<int> m_keys;
    mutable QHash<int, int> m_rowOfKey;
    mutable std::deque<std::unique_ptr<Block>> m_blocks;
    mutable int m_columns = -1;
    QString m_error;
};

} // namespace orvane::core
