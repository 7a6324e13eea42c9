#include "core/pagedrows.h"

#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::core {

PagedRows::PagedRows(db::CADODatabase& database) : m_db(database) {}

PagedRows::~PagedRows() = default;

bool PagedRows::open(const QString& keyQuery, const QString& rowSelect, const QString& keyColumn)
{
    db::ResultSet keys;
    db::BackendError error;
    if (!m_db.runQuery(keyQuery, keys, false, error)) {
        m_error = error.description.isEmpty() ? m_db.GetLastErrorString() : error.description;
        return false;
    }
    m_error.clear();
    m_keys.clear();
    m_keys.reserve(size_t(keys.rowCount()));
    for (int row = 0; row < keys.rowCount(); ++row)
        m_keys.push_back(keys.at(row, 0).toInt());
    m_rowSelect = rowSelect;
    m_keyColumn = keyColumn;
    m_rowOfKey.clear();
    m_blocks.clear();
    m_columns = -1;
    return true;
}

void PagedRows::clear()
{
    m_keys.clear();
    m_rowOfKey.clear();
    m_blocks.clear();
    m_columns = -1;
}

void PagedRows::dropBlocks()
{
    m_blocks.clear();
}

int PagedRows::keyAt(int row) const
{
    return (row >= 0 && row < rowCount()) ? m_keys[size_t(row)] : 0;
}

int PagedRows::rowOfKey(int key) const
{
    if (m_rowOfKey.isEmpty()) {
        m_rowOfKey.reserve(rowCount());
        for (int row = 0; row < rowCount(); ++row)
            m_rowOfKey.insert(m_keys[size_t(row)], row);
    }
    return m_rowOfKey.value(key, -1);
}

PagedRows::Block* PagedRows::block(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    const int first = row - row % kBlockRows;
    for (const auto& b : m_blocks) {
        if (b->first == first)
            return b.get();
    }
    auto fresh = std::make_unique<Block>();
    fresh->first = first;
    fresh->rows = std::make_unique<db::CADORecordset>(&m_db);
    const int count = qMin(kBlockRows, rowCount() - first);
    QString list;
    list.reserve(count * 7);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            list += QLatin1Char(',');
        list += QString::number(m_keys[size_t(first + i)]);
    }
    fresh->recordOf.assign(size_t(count), -1);
    if (fresh->rows->Open(m_rowSelect + QStringLiteral(" WHERE ") + m_keyColumn +
                          QStringLiteral(" IN (") + list + QLatin1Char(')'))) {
        const db::ResultSet& set = fresh->rows->resultSet();
        QHash<int, int> position;
        for (int i = 0; i < count; ++i)
            position.insert(m_keys[size_t(first + i)], i);
        for (int record = 0; record < set.rowCount(); ++record) {
            const int at = position.value(set.at(record, 0).toInt(), -1);
            if (at >= 0)
                fresh->recordOf[size_t(at)] = record;
        }
        if (m_columns < 0)
            m_columns = set.visibleColumns;
    }
    if (int(m_blocks.size()) >= kMaxBlocks)
        m_blocks.pop_front();
    m_blocks.push_back(std::move(fresh));
    return m_blocks.back().get();
}

int PagedRows::columnCount() const
{
    if (m_columns < 0 && rowCount() > 0)
        block(0);
    return qMax(0, m_columns);
}

QVariant PagedRows::value(int row, int column) const
{
    const Block* b = block(row);
    if (!b)
        return QVariant();
    const int record = b->recordOf[size_t(row - b->first)];
    const db::ResultSet& set = b->rows->resultSet();
    if (record < 0 || column < 0 || column >= set.visibleColumns)
        return QVariant(); // deleted by another operator since the list was read
    return set.at(record, column);
}

bool PagedRows::writeValue(int row, int column, const QVariant& value)
{
    Block* b = block(row);
    if (!b)
        return false;
    const int record = b->recordOf[size_t(row - b->first)];
    db::CADORecordset& rs = *b->rows;
    if (record < 0) {
        m_error = QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!");
        return false;
    }
    if (!rs.SetAbsolutePosition(record) || !rs.Edit() || !rs.SetFieldValue(column, value) ||
        !rs.Update()) {
        m_error = rs.GetLastErrorString();
        rs.CancelUpdate();
        return false;
    }
    return true;
}

} // namespace orvane::core
