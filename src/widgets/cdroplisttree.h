#pragma once

#include "personnel/picknode.h"

#include <QFrame>

class QTreeWidget;
class QTreeWidgetItem;

namespace orvane::widgets {

// The drop-down of the tree pickers: a popup window holding a tree of entries. A click (or
// Enter) on an entry picks it and closes the popup. An optional root entry ("全体部门") with key 0
// can head the tree.
class CDropListTree : public QFrame
{
    Q_OBJECT
public:
    explicit CDropListTree(QWidget* parent = nullptr);

    void setNodes(const QList<personnel::PickNode>& nodes, const QString& rootCaption = QString());
    // Shows the popup below `anchor`, as wide as it, with `currentId` selected.
    void popup(QWidget* anchor, int currentId);
    QTreeWidget* tree() const { return m_tree; }

signals:
    void picked(int id, const QString& text);

private:
    void pick(QTreeWidgetItem* item);

    QTreeWidget* m_tree;
};

// Fills a tree widget from entries, all expanded; each item keeps its key in Qt::UserRole.
// A non-empty root caption puts every entry under a bold root item with key 0.
void fillPickTree(QTreeWidget& tree, const QList<personnel::PickNode>& nodes,
                  const QString& rootCaption = QString());
// The item with that key, or nullptr.
QTreeWidgetItem* findPickItem(QTreeWidget& tree, int id);

} // namespace orvane::widgets
