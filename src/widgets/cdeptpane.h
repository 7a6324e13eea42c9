#pragma once

#include "personnel/deptpaneflow.h"

#include <QWidget>

class QComboBox;
class QTreeWidget;

namespace orvane::core {
class COrvaneApp;
}

namespace orvane::widgets {

// The navigation pane of the personnel and wage frames: the category list above the department
// tree (root "全体部门"), both limited to what the operator may see. Every change of either
// selection sends the selection record through selectionChanged().
class CDeptPane : public QWidget
{
    Q_OBJECT
public:
    explicit CDeptPane(core::COrvaneApp& app, QWidget* parent = nullptr);

    // Rereads categories and departments and selects the first category and the root.
    void reload();
    const personnel::DeptSelection& selection() const { return m_flow.selection(); }
    personnel::DeptPaneFlow& flow() { return m_flow; }

    QComboBox* categoryList() const { return m_categories; }
    QTreeWidget* departmentTree() const { return m_tree; }

signals:
    void selectionChanged(const orvane::personnel::DeptSelection& selection);

private:
    personnel::DeptPaneFlow m_flow;
    QComboBox* m_categories;
    QTreeWidget* m_tree;
    bool m_filling = false;
};

} // namespace orvane::widgets
