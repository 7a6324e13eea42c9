#include "widgets/cdroplisttree.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace orvane::widgets {

namespace {

void addChildren(QTreeWidgetItem* parent, const QList<personnel::PickNode>& nodes)
{
    for (const personnel::PickNode& node : nodes) {
        auto* item = new QTreeWidgetItem(parent, {node.text});
        item->setData(0, Qt::UserRole, node.id);
        addChildren(item, node.children);
    }
}

} // namespace

void fillPickTree(QTreeWidget& tree, const QList<personnel::PickNode>& nodes,
                  const QString& rootCaption)
{
    tree.clear();
    if (rootCaption.isEmpty()) {
        for (const personnel::PickNode& node : nodes) {
            auto* item = new QTreeWidgetItem(&tree, {node.text});
            item->setData(0, Qt::UserRole, node.id);
            addChildren(item, node.children);
        }
    } else {
        auto* root = new QTreeWidgetItem(&tree, {rootCaption});
        root->setData(0, Qt::UserRole, 0);
        QFont bold = root->font(0);
        bold.setBold(true);
        root->setFont(0, bold);
        addChildren(root, nodes);
    }
    tree.expandAll();
}

QTreeWidgetItem* findPickItem(QTreeWidget& tree, int id)
{
    for (QTreeWidgetItemIterator it(&tree); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toInt() == id)
            return *it;
    return nullptr;
}

CDropListTree::CDropListTree(QWidget* parent)
    : QFrame(parent, Qt::Popup), m_tree(new QTreeWidget(this))
{
    setFrameShape(QFrame::StyledPanel);
    m_tree->setHeaderHidden(true);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_tree);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { pick(item); });
    connect(m_tree, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { pick(item); });
}

void CDropListTree::setNodes(const QList<personnel::PickNode>& nodes, const QString& rootCaption)
{
    fillPickTree(*m_tree, nodes, rootCaption);
}

void CDropListTree::popup(QWidget* anchor, int currentId)
{
    if (QTreeWidgetItem* item = findPickItem(*m_tree, currentId))
        m_tree->setCurrentItem(item);
    const QPoint below = anchor->mapToGlobal(QPoint(0, anchor->height()));
    resize(qMax(anchor->width(), 220), 260);
    move(below);
    show();
    m_tree->setFocus();
}

void CDropListTree::pick(QTreeWidgetItem* item)
{
    if (!item)
        return;
    hide();
    emit picked(item->data(0, Qt::UserRole).toInt(), item->text(0));
}

} // namespace orvane::widgets
