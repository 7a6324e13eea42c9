#include "personnel/ui/attachmentpanewidget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QDrag>
#include <QFile>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <set>

namespace orvane::personnel::ui {

namespace {

QIcon iconFor(const QString& fileName)
{
    static const QMimeDatabase mimes;
    static const QFileIconProvider provider;
    const QMimeType type = mimes.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    return QIcon::fromTheme(
        type.iconName(),
        QIcon::fromTheme(type.genericIconName(), provider.icon(QFileIconProvider::File)));
}

} // namespace

AttachmentPaneWidget::AttachmentPaneWidget(core::COrvaneApp& app, core::Prompter& prompter,
                                           QWidget* parent)
    : QWidget(parent), m_pane(app, prompter), m_stack(new QStackedWidget(this)),
      m_list(new QListWidget(this)), m_details(new QTreeWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);
    m_stack->addWidget(m_details);
    m_stack->addWidget(m_list);
    setAcceptDrops(true);

    m_details->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("大小"),
                                QStringLiteral("日期"), QStringLiteral("类型")});
    m_details->setRootIsDecorated(false);
    m_details->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_details->setEditTriggers(QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::SelectedClicked);
    for (const auto& [section, width] : {std::pair{0, 130}, {1, 60}, {2, 110}, {3, 90}})
        m_details->header()->resizeSection(section, width);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setWordWrap(true);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(m_details), static_cast<QAbstractItemView*>(m_list)}) {
        view->setContextMenuPolicy(Qt::NoContextMenu);
        view->viewport()->installEventFilter(this);
        view->viewport()->setAcceptDrops(false);
        view->setDragEnabled(false);
    }
    connect(m_details, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (m_filling || column != 0)
            return;
        m_pane.rename(m_details->indexOfTopLevelItem(item), item->text(0));
        showFiles(); // the stored name, whether the rename was accepted or not
    });
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (m_filling)
            return;
        m_pane.rename(m_list->row(item), item->text());
        showFiles();
    });
    setEnabled(false);
}

void AttachmentPaneWidget::setPerson(const SelectedPerson& person)
{
    m_pane.setPerson(person);
    setEnabled(person.isValid());
    showFiles();
}

void AttachmentPaneWidget::setMode(Mode mode)
{
    m_mode = mode;
    if (mode == Mode::Details) {
        m_stack->setCurrentWidget(m_details);
    } else {
        m_list->setViewMode(mode == Mode::Icons ? QListView::IconMode : QListView::ListMode);
        m_list->setIconSize(mode == Mode::Icons ? QSize(32, 32) : QSize(16, 16));
        m_list->setGridSize(mode == Mode::Icons ? QSize(96, 72) : QSize());
        m_stack->setCurrentWidget(m_list);
    }
}

void AttachmentPaneWidget::showFiles()
{
    m_filling = true;
    m_details->clear();
    m_list->clear();
    for (const Attachment& file : m_pane.files()) {
        const QIcon icon = iconFor(file.name);
        auto* row = new QTreeWidgetItem(m_details,
                                        {file.name, file.size, CAdjunctPane::dateText(file.added),
                                         CAdjunctPane::typeName(file.name)});
        row->setIcon(0, icon);
        row->setFlags(row->flags() | Qt::ItemIsEditable);
        auto* item = new QListWidgetItem(icon, file.name, m_list);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    m_filling = false;
}

QList<int> AttachmentPaneWidget::selectedIndexes() const
{
    std::set<int> rows;
    if (m_mode == Mode::Details) {
        for (QTreeWidgetItem* item : m_details->selectedItems())
            rows.insert(m_details->indexOfTopLevelItem(item));
    } else {
        for (QListWidgetItem* item : m_list->selectedItems())
            rows.insert(m_list->row(item));
    }
    return QList<int>(rows.begin(), rows.end());
}

int AttachmentPaneWidget::currentIndex() const
{
    if (m_mode == Mode::Details)
        return m_details->indexOfTopLevelItem(m_details->currentItem());
    return m_list->currentRow();
}

void AttachmentPaneWidget::renameCurrent()
{
    const int index = currentIndex();
    if (index < 0)
        return;
    if (m_mode == Mode::Details)
        m_details->editItem(m_details->topLevelItem(index), 0);
    else
        m_list->editItem(m_list->item(index));
}

void AttachmentPaneWidget::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    const bool chosen = !selectedIndexes().isEmpty();
    menu.addAction(QStringLiteral("添加(&A)"), this, [this] {
        if (m_pane.addFiles() > 0)
            showFiles();
    });
    menu.addAction(QStringLiteral("更名(&E)"), this, &AttachmentPaneWidget::renameCurrent)
        ->setEnabled(chosen);
    menu.addAction(QStringLiteral("删除(&D)"), this,
                   [this] {
                       if (m_pane.deleteFiles(selectedIndexes()))
                           showFiles();
                   })
        ->setEnabled(chosen);
    menu.addAction(QStringLiteral("另存为(&S)..."), this, [this] { m_pane.saveAs(currentIndex()); })
        ->setEnabled(chosen);
    menu.addAction(QStringLiteral("刷新(&R)"), this, [this] {
        m_pane.reload();
        showFiles();
    });
    menu.addSeparator();
    const std::pair<QString, Mode> modes[] = {{QStringLiteral("图标(&N)"), Mode::Icons},
                                              {QStringLiteral("列表(&L)"), Mode::List},
                                              {QStringLiteral("详细信息(&T)"), Mode::Details}};
    for (const auto& [caption, mode] : modes) {
        QAction* a = menu.addAction(caption, this, [this, mode = mode] { setMode(mode); });
        a->setCheckable(true);
        a->setChecked(m_mode == mode);
    }
    menu.exec(event->globalPos());
}

void AttachmentPaneWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->source() == nullptr && event->mimeData()->hasUrls() && m_pane.person().isValid())
        event->acceptProposedAction();
}

void AttachmentPaneWidget::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    if (m_pane.addFiles(paths) > 0)
        showFiles();
}

bool AttachmentPaneWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        m_pressAt = static_cast<QMouseEvent*>(event)->pos();
    } else if (event->type() == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        if ((move->buttons() & Qt::LeftButton) &&
            (move->pos() - m_pressAt).manhattanLength() >= QApplication::startDragDistance() &&
            !selectedIndexes().isEmpty()) {
            dragOut();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AttachmentPaneWidget::dragOut()
{
    // The files live in a temporary folder only while the drop target takes them.
    QTemporaryDir folder(QDir::temp().filePath(QStringLiteral("orvane-XXXXXX")));
    if (!folder.isValid())
        return;
    const QStringList paths = m_pane.writeCopies(selectedIndexes(), folder.path());
    if (paths.isEmpty())
        return;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    auto* data = new QMimeData;
    data->setUrls(urls);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

} // namespace orvane::personnel::ui
