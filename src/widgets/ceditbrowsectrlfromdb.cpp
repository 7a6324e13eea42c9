#include "widgets/ceditbrowsectrlfromdb.h"

#include "widgets/cdroplisttree.h"

namespace orvane::widgets {

CEditBrowseCtrlFromDB::CEditBrowseCtrlFromDB(Mode mode, QWidget* parent)
    : BrowseEdit(parent), m_mode(mode)
{
}

void CEditBrowseCtrlFromDB::setNodes(const QList<personnel::PickNode>& nodes)
{
    m_nodes = nodes;
    if (m_drop)
        m_drop->setNodes(m_nodes);
}

void CEditBrowseCtrlFromDB::setCurrentKey(int id)
{
    const personnel::PickNode* node = personnel::findPickNode(m_nodes, id);
    if (node && id != 0)
        setChoice(id, node->text);
    else
        clearChoice();
}

void CEditBrowseCtrlFromDB::setCurrentCaption(const QString& text)
{
    const personnel::PickNode* node = personnel::findPickNodeByText(m_nodes, text);
    setChoice(node ? node->id : 0, text);
}

void CEditBrowseCtrlFromDB::pickKey(int id)
{
    if (const personnel::PickNode* node = personnel::findPickNode(m_nodes, id))
        choose(id, node->text);
}

void CEditBrowseCtrlFromDB::openDropDown()
{
    if (!m_drop) {
        m_drop = new CDropListTree(this);
        m_drop->setNodes(m_nodes);
        connect(m_drop, &CDropListTree::picked, this,
                [this](int id, const QString& text) { choose(id, text); });
    }
    m_drop->popup(this, currentId());
}

} // namespace orvane::widgets
