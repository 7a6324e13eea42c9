#include "widgets/cgridview.h"

#include "widgets/griddelegate.h"
#include "widgets/gridmodel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace orvane::widgets {

namespace {

constexpr int kRowHeight = 22;

void setUpTable(QTableView* table, QAbstractItemDelegate* delegate)
{
    table->setItemDelegate(delegate);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
    table->setAlternatingRowColors(true);
    table->setWordWrap(false);
    table->setContextMenuPolicy(Qt::NoContextMenu);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    table->verticalHeader()->setMinimumSectionSize(kRowHeight);
    table->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table->horizontalHeader()->setMinimumSectionSize(16);
    table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

} // namespace

CGridView::CGridView(QWidget* parent)
    : QWidget(parent), m_table(new QTableView(this)), m_footer(new QLabel(this))
{
    m_frozen = new QTableView(m_table);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_footer);

    // A delegate per view: a delegate's commitData reaches every view it serves, and a view
    // handed another view's editor warns.
    setUpTable(m_table, new GridDelegate(this));
    setUpTable(m_frozen, new GridDelegate(this));
    m_frozen->setFocusPolicy(Qt::NoFocus);
    m_frozen->verticalHeader()->hide();
    m_frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setStyleSheet(QStringLiteral("QTableView { border: none; }"));
    m_frozen->hide();
    m_table->viewport()->stackUnder(m_frozen);

    m_footer->setFrameShape(QFrame::StyledPanel);
    m_footer->setContentsMargins(6, 2, 6, 2);
    m_footer->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_footer->setMinimumHeight(kRowHeight);
    m_footer->setAutoFillBackground(true);
    m_footer->setBackgroundRole(QPalette::Button);

    connect(m_table->verticalScrollBar(), &QScrollBar::valueChanged, m_frozen->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(m_frozen->verticalScrollBar(), &QScrollBar::valueChanged, m_table->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int logical, int, int size) {
                if (logical < m_frozen->model()->columnCount() && size > 0)
                    m_frozen->setColumnWidth(logical, size);
                updateFrozenGeometry();
                if (!m_applying && size > 0 && m_model) {
                    m_model->setColumnWidth(logical, size);
                    emit columnResized(logical, size);
                }
            });
    // The row-number column widens and narrows with the row count; the frozen part follows.
    connect(m_table->verticalHeader(), &QHeaderView::geometriesChanged, this,
            &CGridView::updateFrozenGeometry);
    connect(m_table->horizontalHeader(), &QHeaderView::geometriesChanged, this,
            &CGridView::updateFrozenGeometry);
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (!(index.flags() & Qt::ItemIsEditable))
            emit rowActivated(index.row());
    });
    m_table->installEventFilter(this);
    m_table->viewport()->installEventFilter(this);
    m_frozen->viewport()->installEventFilter(this);

    auto* copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this, &CGridView::copySelection);
    addAction(copy);
}

CGridView::~CGridView()
{
    // The tables are deleted before QObject drops this view's connections: no slot of this
    // half-destroyed view may run meanwhile.
    m_table->verticalHeader()->disconnect(this);
    m_table->horizontalHeader()->disconnect(this);
    m_table->disconnect(this);
    if (QItemSelectionModel* selection = m_table->selectionModel())
        selection->disconnect(this);
    if (m_model)
        m_model->disconnect(this);
}

void CGridView::setModel(GridModel* model)
{
    m_model = model;
    m_table->setModel(model);
    m_frozen->setModel(model);
    m_frozen->setSelectionModel(m_table->selectionModel());
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                emit currentRowChanged(current.isValid() ? current.row() : -1);
            });
    connect(model, &QAbstractItemModel::modelReset, this, &CGridView::applyColumns);
    applyColumns();
}

void CGridView::applyColumns()
{
    if (!m_model)
        return;
    m_applying = true;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const core::GridColumn& column = m_model->column(c);
        m_table->setColumnHidden(c, !column.visible);
        if (column.visible && column.width > 0)
            m_table->setColumnWidth(c, column.width);
    }
    m_applying = false;
    updateFrozenColumns();
}

QList<int> CGridView::shownColumns() const
{
    QList<int> shown;
    if (!m_model)
        return shown;
    for (int visual = 0; visual < m_model->columnCount(); ++visual) {
        const int logical = m_table->horizontalHeader()->logicalIndex(visual);
        if (!m_table->isColumnHidden(logical))
            shown << logical;
    }
    return shown;
}

int CGridView::visibleColumnsThrough(int column) const
{
    int count = 0;
    for (int logical : shownColumns()) {
        ++count;
        if (logical == column)
            return count;
    }
    return 0;
}

void CGridView::setFrozenColumns(int visibleColumns)
{
    m_frozenCount = qMax(0, visibleColumns);
    updateFrozenColumns();
}

void CGridView::updateFrozenColumns()
{
    if (!m_model)
        return;
    const QList<int> shown = shownColumns();
    const int frozen = qMin(m_frozenCount, int(shown.size()));
    const std::set<int> keep(shown.begin(), shown.begin() + frozen);
    for (int c = 0; c < m_model->columnCount(); ++c) {
        m_frozen->setColumnHidden(c, !keep.count(c));
        if (keep.count(c))
            m_frozen->setColumnWidth(c, m_table->columnWidth(c));
    }
    m_frozen->setVisible(frozen > 0);
    updateFrozenGeometry();
}

void CGridView::updateFrozenGeometry()
{
    if (!m_model || !m_frozen->isVisibleTo(this))
        return;
    int width = 0;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        if (!m_frozen->isColumnHidden(c))
            width += m_table->columnWidth(c);
    }
    m_frozen->horizontalHeader()->setFixedHeight(m_table->horizontalHeader()->height());
    m_frozen->setGeometry(m_table->viewport()->x(), m_table->frameWidth(), width,
                          m_table->viewport()->height() + m_table->horizontalHeader()->height());
}

void CGridView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateFrozenGeometry();
}

bool CGridView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu) {
        const auto* menu = static_cast<QContextMenuEvent*>(event);
        emit contextMenuRequested(menu->globalPos());
        return true;
    }
    if (watched == m_table && event->type() == QEvent::Resize)
        updateFrozenGeometry();
    return QWidget::eventFilter(watched, event);
}

void CGridView::setFooterText(const QString& text)
{
    m_footer->setText(text);
}

QString CGridView::footerText() const
{
    return m_footer->text();
}

void CGridView::setWholeRowSelection(bool wholeRows)
{
    m_wholeRows = wholeRows;
    const auto behavior =
        wholeRows ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems;
    m_table->setSelectionBehavior(behavior);
    m_frozen->setSelectionBehavior(behavior);
}

QList<int> CGridView::selectedRows() const
{
    // Ranges, not indexes: a select-all over 100,000 rows is one range.
    std::set<int> rows;
    if (auto* selection = m_table->selectionModel()) {
        for (const QItemSelectionRange& range : selection->selection()) {
            for (int r = range.top(); r <= range.bottom(); ++r)
                rows.insert(r);
        }
    }
    if (rows.empty() && currentRow() >= 0)
        rows.insert(currentRow());
    return QList<int>(rows.begin(), rows.end());
}

int CGridView::currentRow() const
{
    const QModelIndex current = m_table->currentIndex();
    return current.isValid() ? current.row() : -1;
}

int CGridView::currentColumn() const
{
    const QModelIndex current = m_table->currentIndex();
    return current.isValid() ? current.column() : -1;
}

void CGridView::selectRow(int row)
{
    if (!m_model || row < 0 || row >= m_model->rowCount())
        return;
    int column = currentColumn();
    const QList<int> shown = shownColumns();
    if (column < 0 || m_table->isColumnHidden(column))
        column = shown.isEmpty() ? 0 : shown.first();
    const QModelIndex index = m_model->index(row, column);
    const auto flags = QItemSelectionModel::ClearAndSelect |
                       (m_wholeRows ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate);
    m_table->selectionModel()->setCurrentIndex(index, flags);
    if (!m_wholeRows)
        m_table->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    m_table->scrollTo(index);
    m_table->setFocus();
}

void CGridView::selectAllRows()
{
    m_table->selectAll();
}

QString CGridView::selectionTsv() const
{
    if (!m_model || !m_table->selectionModel())
        return QString();
    const QItemSelection selection = m_table->selectionModel()->selection();
    if (selection.isEmpty())
        return QString();
    const QList<int> shown = shownColumns();
    if (m_wholeRows)
        return m_model->toTsv(selectedRows(), shown);
    int top = INT_MAX, bottom = -1;
    std::set<int> columns;
    for (const QItemSelectionRange& range : selection) {
        top = qMin(top, range.top());
        bottom = qMax(bottom, range.bottom());
        for (int c = range.left(); c <= range.right(); ++c)
            columns.insert(c);
    }
    QList<int> rows;
    for (int r = top; r <= bottom; ++r)
        rows << r;
    QList<int> ordered;
    for (int c : shown) {
        if (columns.count(c))
            ordered << c;
    }
    return m_model->toTsv(rows, ordered);
}

void CGridView::copySelection()
{
    const QString text = selectionTsv();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

} // namespace orvane::widgets
