#pragma once

#include "personnel/deptselection.h"
#include "personnel/picknode.h"

#include <QList>

#include <functional>

namespace orvane::core {
class COrvaneApp;
}

namespace orvane::personnel {

// The workflow of the navigation pane (CDeptPane): the category list with "<所有类别>" at its end,
// the department tree under the root "全体部门", both limited to what the operator may see, and
// the selection record sent to the frame on each change.
class DeptPaneFlow
{
public:
    explicit DeptPaneFlow(core::COrvaneApp& app);

    // Rereads both lists, selects the first category and the root node.
    void reload();

    const QList<PickNode>& categories() const { return m_categories; }
    // The department tree below the root (the root itself is not in the list).
    const QList<PickNode>& departments() const { return m_departments; }
    static QString rootCaption();

    // Index into categories(), -1 for none.
    void selectCategory(int index);
    // 0 selects the root; an unknown key selects nothing new.
    void selectDepartment(int did);

    const DeptSelection& selection() const { return m_selection; }
    int categoryIndex() const { return m_categoryIndex; }

    // Receives the selection record after every change (the frame's handler).
    std::function<void(const DeptSelection&)> onSelectionChanged;

private:
    void publish();

    core::COrvaneApp& m_app;
    QList<PickNode> m_categories;
    QList<PickNode> m_departments;
    int m_categoryIndex = -1;
    DeptSelection m_selection;
};

} // namespace orvane::personnel
