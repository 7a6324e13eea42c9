#include "widgets/ctreegrid.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QHeaderView>
#include <QStandardItemModel>

namespace orvane::widgets {

namespace {

QString cellText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd"));
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    return value.toString();
}

} // namespace

CTreeGrid::CTreeGrid(QWidget* parent) : QTreeView(parent), m_model(new QStandardItemModel(this))
{
    setModel(m_model);
    setAlternatingRowColors(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);

    connect(header(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        // Only a drag by the operator counts; the stretched last column follows the window.
        if (!m_filling && QGuiApplication::mouseButtons() != Qt::NoButton && column >= 0 &&
            column < m_columns.size() && !m_columns[column].hidden)
            emit columnWidthChanged(column, width, m_columns[column].caption);
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!m_filling)
            emit currentKeyChanged(currentKey());
    });
    connect(this, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.column() != m_editableColumn)
            emit rowActivated(currentKey());
    });
    connect(this, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == m_editableColumn)
            edit(index);
    });
    connect(m_model, &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
        if (m_filling || item->column() != m_editableColumn)
            return;
        const QModelIndex keyIndex = item->index().siblingAtColumn(m_keyColumn);
        emit cellEdited(keyIndex.data().toInt(), item->column(), item->text());
    });
}

void CTreeGrid::setColumns(const QList<core::TreeColumn>& columns)
{
    m_filling = true;
    m_columns = columns;
    m_model->clear();
    m_model->setColumnCount(int(columns.size()));
    for (int c = 0; c < columns.size(); ++c)
        m_model->setHeaderData(c, Qt::Horizontal, columns[c].caption);
    // The branch lines go into the first shown column (keys are often hidden in front).
    int treeColumn = 0;
    while (treeColumn < columns.size() - 1 && columns[treeColumn].hidden)
        ++treeColumn;
    setTreePosition(treeColumn);
    for (int c = 0; c < columns.size(); ++c) {
        setColumnHidden(c, columns[c].hidden);
        setColumnWidth(c, columns[c].width > 0 ? columns[c].width : 100);
    }
    m_filling = false;
}

void CTreeGrid::setRows(const QList<core::TreeRow>& rows)
{
    const int previous = currentKey();
    m_filling = true;
    m_model->removeRows(0, m_model->rowCount());
    addRows(m_model->invisibleRootItem(), rows);
    expandAll();
    m_filling = false;
    if (previous >= 0)
        selectKey(previous);
}

void CTreeGrid::addRows(QStandardItem* parent, const QList<core::TreeRow>& rows)
{
    for (const core::TreeRow& row : rows) {
        QList<QStandardItem*> items;
        for (int c = 0; c < m_columns.size(); ++c) {
            auto* item =
                new QStandardItem(c < row.cells.size() ? cellText(row.cells[c]) : QString());
            item->setEditable(c == m_editableColumn);
            items << item;
        }
        parent->appendRow(items);
        addRows(items.first(), row.children);
    }
}

int CTreeGrid::currentKey() const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || m_keyColumn < 0)
        return -1;
    return current.siblingAtColumn(m_keyColumn).data().toInt();
}

QModelIndex CTreeGrid::findKey(const QModelIndex& parent, int key) const
{
    for (int row = 0; row < m_model->rowCount(parent); ++row) {
        const QModelIndex index = m_model->index(row, m_keyColumn, parent);
        if (index.data().toInt() == key)
            return index.siblingAtColumn(0);
        const QModelIndex below = findKey(index.siblingAtColumn(0), key);
        if (below.isValid())
            return below;
    }
    return {};
}

bool CTreeGrid::selectKey(int key)
{
    if (m_keyColumn < 0)
        return false;
    const QModelIndex index = findKey({}, key);
    if (!index.isValid())
        return false;
    setCurrentIndex(index);
    scrollTo(index);
    return true;
}

} // namespace orvane::widgets
