#include "widgets/gridmodel.h"

#include "db/resultset.h"

#include <QBrush>
#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QFont>
#include <QLocale>

namespace orvane::widgets {

using core::GridColumn;

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

QList<GridColumn> GridModel::defaultColumns(const db::ResultSet& rows)
{
    QList<GridColumn> columns;
    for (int c = 0; c < rows.visibleColumns && c < rows.columnCount(); ++c) {
        GridColumn column;
        column.field = rows.columns[size_t(c)].name;
        column.caption = column.field;
        columns << column;
    }
    return columns;
}

QList<GridColumn> GridModel::defaultColumns(int count)
{
    QList<GridColumn> columns;
    for (int c = 0; c < count; ++c) {
        GridColumn column;
        column.caption = QString::number(c + 1);
        columns << column;
    }
    return columns;
}

void GridModel::setSource(const db::ResultSet* rows, QList<GridColumn> columns)
{
    if (rows) {
        const QList<GridColumn> defaults = defaultColumns(*rows);
        while (columns.size() < defaults.size())
            columns << defaults.at(columns.size());
        if (columns.size() > defaults.size())
            columns.resize(defaults.size());
    } else {
        columns.clear();
    }
    beginResetModel();
    m_held.setRows(rows);
    m_rows = rows ? &m_held : nullptr;
    m_columns = std::move(columns);
    endResetModel();
}

void GridModel::setSource(const core::GridRowSource* rows, QList<GridColumn> columns)
{
    beginResetModel();
    m_rows = rows;
    if (!rows)
        columns.clear();
    m_columns = std::move(columns);
    endResetModel();
}

void GridModel::rowsChanged()
{
    beginResetModel();
    endResetModel();
}

void GridModel::cellsChanged()
{
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void GridModel::setColumnFormat(int column, const core::ColFmt& format)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].format = format;
    if (rowCount() > 0)
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return (parent.isValid() || !m_rows) ? 0 : m_rows->rowCount();
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString GridModel::cellText(int row, int column) const
{
    const QVariant value = m_rows->value(row, column);
    if (value.isNull())
        return QString();
    const GridColumn& col = m_columns.at(column);
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime stamp = value.toDateTime();
        if (col.dataType == GridColumn::Date || stamp.time() == QTime(0, 0))
            return stamp.date().toString(QStringLiteral("yyyy-MM-dd"));
        return stamp.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::Double:
        if (col.dataType == GridColumn::Number)
            return QString::number(value.toDouble(), 'f', col.decimals);
        return QString::number(value.toDouble(), 'g', 15);
    case QMetaType::LongLong:
    case QMetaType::Int:
        // An embedded file keeps a whole amount as an integer, a server as a decimal: both show
        // the column's decimals.
        if (col.dataType == GridColumn::Number)
            return QString::number(value.toDouble(), 'f', col.decimals);
        break;
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    default:
        break;
    }
    if (col.dataType == GridColumn::Date) {
        // Dates stored as text by another client still show as dates.
        const QDateTime stamp = QDateTime::fromString(value.toString(), Qt::ISODate);
        if (stamp.isValid())
            return stamp.date().toString(QStringLiteral("yyyy-MM-dd"));
    }
    return value.toString();
}

QVariant GridModel::editValue(int row, int column) const
{
    const QVariant value = m_rows->value(row, column);
    switch (m_columns.at(column).dataType) {
    case GridColumn::Date:
        if (value.isNull())
            return QDate();
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().date();
        return QDateTime::fromString(value.toString(), Qt::ISODate).date();
    case GridColumn::Number:
        return value.isNull() ? QVariant(0.0) : QVariant(value.toDouble());
    default:
        return value.isNull() ? QString() : value.toString();
    }
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!m_rows || !index.isValid() || index.row() >= m_rows->rowCount() ||
        index.column() >= m_columns.size())
        return QVariant();
    const GridColumn& col = m_columns.at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::EditRole:
        return editValue(index.row(), index.column());
    case Qt::TextAlignmentRole:
        if (col.dataType == GridColumn::Number)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole:
        if (col.format.isSet() && col.format.bold) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return QVariant();
    case Qt::ForegroundRole:
        if (col.format.isSet())
            return QBrush(QColor::fromRgb(col.format.textColor));
        return QVariant();
    case Qt::BackgroundRole:
        if (col.format.isSet())
            return QBrush(QColor::fromRgb(col.format.backColor));
        return QVariant();
    default:
        return QVariant();
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    if (!commitEdit(index.row(), index.column(), value))
        return false;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (commitEdit && index.column() < m_columns.size() && m_columns.at(index.column()).editable)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= m_columns.size())
        return QVariant();
    return m_columns.at(section).caption;
}

QString GridModel::toTsv(const QList<int>& rows, const QList<int>& columns) const
{
    QString out;
    for (int row : rows) {
        if (row < 0 || row >= rowCount())
            continue;
        QStringList cells;
        for (int column : columns) {
            QString text =
                (column >= 0 && column < columnCount()) ? cellText(row, column) : QString();
            text.replace(QLatin1Char('\t'), QLatin1Char(' '));
            text.replace(QLatin1String("\r\n"), QLatin1String(" "));
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            text.replace(QLatin1Char('\r'), QLatin1Char(' '));
            cells << text;
        }
        out += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out;
}

} // namespace orvane::widgets
