#pragma once

#include <QList>
#include <QString>

namespace orvane::personnel {

// One entry of a picker's drop-down: a key, its caption and the entries below it.
struct PickNode
{
    int id = 0;
    QString text;
    QList<PickNode> children;
};

// The entry with `id` anywhere in the tree, or nullptr.
const PickNode* findPickNode(const QList<PickNode>& nodes, int id);
// The entry whose caption equals `text` (without regard to case), or nullptr.
const PickNode* findPickNodeByText(const QList<PickNode>& nodes, const QString& text);

} // namespace orvane::personnel
