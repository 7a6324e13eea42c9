#include "db/backend.h"

namespace orvane::db {

namespace {

// Any backend: one updateRow() per row.
class PlainRowWriter : public RowWriter
{
public:
    PlainRowWriter(Backend& backend, QString table, QStringList keyColumns, QStringList columns)
        : m_backend(backend), m_table(std::move(table)), m_keyColumns(std::move(keyColumns)),
          m_columns(std::move(columns))
    {
    }

    bool update(const QVariantList& keyValues, const QVariantList& values) override
    {
        return m_backend.updateRow(m_table, m_keyColumns, keyValues, m_columns, values);
    }

private:
    Backend& m_backend;
    QString m_table;
    QStringList m_keyColumns;
    QStringList m_columns;
};

} // namespace

QString rowWithoutRecordText(const QString& table)
{
    return QStringLiteral("The row has no record in table %1").arg(table);
}

QString rowChangedMeanwhileText(const QString& table)
{
    return QStringLiteral("Row cannot be located for updating in table %1; it was changed or "
                          "deleted meanwhile")
        .arg(table);
}

QString rowNotFoundText(const QString& table)
{
    return QStringLiteral("Row not found in table %1").arg(table);
}

std::unique_ptr<RowWriter> Backend::rowWriter(const QString& table, const QStringList& keyColumns,
                                              const QStringList& columns)
{
    return std::make_unique<PlainRowWriter>(*this, table, keyColumns, columns);
}

bool Backend::queryRows(const QString& sql, std::vector<ColumnInfo>& columns,
                        const RowCallback& row)
{
    ResultSet result;
    if (!query(sql, result, false))
        return false;
    columns.assign(result.columns.begin(), result.columns.begin() + result.visibleColumns);
    std::vector<QVariant> values(size_t(result.columnCount()));
    for (int r = 0; r < result.rowCount(); ++r) {
        for (int c = 0; c < result.columnCount(); ++c)
            values[size_t(c)] = result.at(r, c);
        if (!row(values.data()))
            break;
    }
    return true;
}

} // namespace orvane::db
