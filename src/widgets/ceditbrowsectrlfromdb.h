#pragma once

#include "personnel/picknode.h"
#include "widgets/browseedit.h"

namespace orvane::widgets {

class CDropListTree;

// Picker over a tree of entries: a dictionary, the department tree or the category list (each
// filled by the form's workflow). The choice is a key and its caption.
class CEditBrowseCtrlFromDB : public BrowseEdit
{
    Q_OBJECT
public:
    enum class Mode { Dictionary, Department, Category };

    explicit CEditBrowseCtrlFromDB(Mode mode, QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    void setNodes(const QList<personnel::PickNode>& nodes);
    const QList<personnel::PickNode>& nodes() const { return m_nodes; }

    // Shows the entry with that key (0 or an unknown key: nothing picked).
    void setCurrentKey(int id);
    // Shows a stored caption; the key is the matching entry's, or 0 when the text is not in the
    // list (an old value stays visible).
    void setCurrentCaption(const QString& text);

    // Picks an entry as the operator would (tests, keyboard).
    void pickKey(int id);

protected:
    void openDropDown() override;

private:
    Mode m_mode;
    QList<personnel::PickNode> m_nodes;
    CDropListTree* m_drop = nullptr;
};

} // namespace orvane::widgets
