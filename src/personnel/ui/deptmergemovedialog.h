#pragma once

#include <QDialog>

class QTreeWidget;

namespace orvane::core {
class Prompter;
}

namespace orvane::personnel {
class CDlgDeptMergeMove;
}

namespace orvane::personnel::ui {

// The target dialog of merge and move: the source department's name, the prompt and the
// department tree under "全体部门". OK runs the workflow's checks.
class DeptMergeMoveDialog : public QDialog
{
public:
    DeptMergeMoveDialog(CDlgDeptMergeMove& dialog, core::Prompter& prompter,
                        QWidget* parent = nullptr);

    QTreeWidget* tree() const { return m_tree; }
    void accept() override;

private:
    CDlgDeptMergeMove& m_dialog;
    core::Prompter& m_prompter;
    QTreeWidget* m_tree;
};

} // namespace orvane::personnel::ui
