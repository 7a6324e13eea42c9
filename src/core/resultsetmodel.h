#pragma once

#include <QAbstractTableModel>

namespace orvane::db {
class ResultSet;
}

namespace orvane::core {

// Read-only table model over the rows of a query held in memory. Dates show as
// "yyyy-MM-dd HH:mm:ss"; the header shows the column names. Call reset() after the rows changed.
class ResultSetModel : public QAbstractTableModel
{
public:
    explicit ResultSetModel(QObject* parent = nullptr);

    // The rows shown; the result set must outlive the model or be replaced with nullptr.
    void reset(const db::ResultSet* rows);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const db::ResultSet* m_rows = nullptr;
};

} // namespace orvane::core
