#include "widgets/cdroplistgrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvane::widgets {

CDropListGrid::CDropListGrid(QWidget* parent)
    : QFrame(parent, Qt::Popup), m_filter(new QLineEdit(this)), m_grid(new QTableWidget(this))
{
    setFrameShape(QFrame::StyledPanel);
    m_filter->setPlaceholderText(QStringLiteral("输入编号或姓名筛选"));
    m_filter->setClearButtonEnabled(true);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(m_filter);
    layout->addWidget(m_grid);
    connect(m_filter, &QLineEdit::textChanged, this, &CDropListGrid::setFilter);
    auto pickCurrent = [this] {
        const int row = m_grid->currentRow();
        if (row < 0 || m_grid->columnCount() == 0 || m_grid->isRowHidden(row))
            return;
        hide();
        emit picked(m_grid->item(row, 0)->data(Qt::UserRole).toInt());
    };
    connect(m_grid, &QTableWidget::cellClicked, this, pickCurrent);
    connect(m_grid, &QTableWidget::cellActivated, this, pickCurrent);
    connect(m_filter, &QLineEdit::returnPressed, this, [this, pickCurrent] {
        for (int row = 0; row < m_grid->rowCount(); ++row)
            if (!m_grid->isRowHidden(row)) {
                m_grid->setCurrentCell(row, 0);
                pickCurrent();
                return;
            }
    });
}

void CDropListGrid::setRows(const db::ResultSet& rows, const QList<int>& widths)
{
    const int columns = qMax(0, rows.visibleColumns - 1);
    m_grid->clear();
    m_grid->setColumnCount(columns);
    m_grid->setRowCount(rows.rowCount());
    QStringList headers;
    for (int c = 0; c < columns; ++c)
        headers << rows.columns[size_t(c + 1)].name;
    m_grid->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < rows.rowCount(); ++r)
        for (int c = 0; c < columns; ++c) {
            auto* item = new QTableWidgetItem(rows.at(r, c + 1).toString());
            item->setData(Qt::UserRole, r);
            m_grid->setItem(r, c, item);
        }
    for (int c = 0; c < columns && c < widths.size(); ++c)
        m_grid->setColumnWidth(c, widths[c]);
}

void CDropListGrid::setFilter(const QString& text)
{
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        bool match = text.isEmpty();
        for (int c = 0; !match && c < m_grid->columnCount(); ++c)
            match = m_grid->item(row, c)->text().contains(text, Qt::CaseInsensitive);
        m_grid->setRowHidden(row, !match);
    }
}

int CDropListGrid::visibleRowCount() const
{
    int count = 0;
    for (int row = 0; row < m_grid->rowCount(); ++row)
        count += m_grid->isRowHidden(row) ? 0 : 1;
    return count;
}

void CDropListGrid::popup(QWidget* anchor)
{
    int width = 4;
    for (int c = 0; c < m_grid->columnCount(); ++c)
        width += m_grid->columnWidth(c);
    resize(qMax(anchor->width(), width + 24), 300);
    move(anchor->mapToGlobal(QPoint(0, anchor->height())));
    show();
    m_filter->setFocus();
}

} // namespace orvane::widgets
