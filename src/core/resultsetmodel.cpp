#include "core/resultsetmodel.h"

#include "db/resultset.h"

#include <QDateTime>

namespace orvane::core {

ResultSetModel::ResultSetModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultSetModel::reset(const db::ResultSet* rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int ResultSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || m_rows == nullptr ? 0 : m_rows->rowCount();
}

int ResultSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || m_rows == nullptr ? 0 : m_rows->visibleColumns;
}

QVariant ResultSetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || m_rows == nullptr || index.row() >= m_rows->rowCount()
        || index.column() >= m_rows->visibleColumns)
        return QVariant();
    const QVariant& value = m_rows->at(index.row(), index.column());
    if (role == Qt::DisplayRole) {
        if (value.metaType().id() == QMetaType::QDateTime)
            return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return value;
    }
    if (role == Qt::EditRole)
        return value;
    return QVariant();
}

QVariant ResultSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || m_rows == nullptr)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= m_rows->visibleColumns)
        return QVariant();
    return m_rows->columns[std::size_t(section)].name;
}

} // namespace orvane::core
