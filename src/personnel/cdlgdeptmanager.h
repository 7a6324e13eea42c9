#pragma once

#include "core/treerow.h"

#include <QList>
#include <QString>

#include <functional>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::personnel {

class CDlgDeptMergeMove;
class CDlgDynCtlFormForDept;

// The department manager ("组织机构"): the tree grid with the catalogue's columns, and the
// commands add, edit, delete, merge, move, up, down and refresh. The department form and the
// target dialog are run by the window through runForm / runTarget (tests drive them there).
class CDlgDeptManager
{
public:
    CDlgDeptManager(core::COrvaneApp& app, core::Prompter& prompter);

    // Rereads the columns and the rows; the current department stays current when it exists.
    bool refresh();

    const QList<core::TreeColumn>& columns() const { return m_columns; }
    const QList<core::TreeRow>& rows() const { return m_rows; }
    int didColumn() const { return m_didColumn; }
    int parentColumn() const { return m_parentColumn; }
    int ordColumn() const { return m_ordColumn; }
    // The select list the grid is read with.
    QString selectList() const { return m_select; }

    // The selected department (0: none).
    int currentDid() const { return m_current; }
    void setCurrentDid(int did) { m_current = did; }

    // Commands; each returns true when the grid changed.
    bool addDepartment();
    bool editDepartment();
    bool deleteDepartment();
    bool mergeDepartment();
    bool moveDepartment();
    bool moveUp() { return swapWithSibling(-1); }
    bool moveDown() { return swapWithSibling(1); }
    // The operator resized a column: its width is stored in the catalogue at once.
    bool columnResized(const QString& caption, int width);
    // Closing the manager renumbers Ord when the order was changed.
    void close();
    bool orderChanged() const { return m_orderChanged; }

    // Runs the department form modally (the window shows it).
    std::function<void(CDlgDynCtlFormForDept& form)> runForm;
    // Runs the target dialog; true when it was closed with OK (its checks passed).
    std::function<bool(CDlgDeptMergeMove& dialog)> runTarget;

    // The row of a department and the list holding it (nullptr when absent).
    const core::TreeRow* findRow(int did) const;

private:
    bool readColumns();
    QList<core::TreeRow> readLevel(int parentId, int depth, bool& ok);
    bool requireSelection();
    QString currentName() const;
    bool swapWithSibling(int offset);
    QList<core::TreeRow>* siblingsOf(int did, QList<core::TreeRow>& level, int* index);
    bool reloadAfterChange(int select);
    // The keys of the rows in display order, one cell each.
    void listDepthFirst(const QList<core::TreeRow>& rows, QList<QVariantList>& out) const;

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    QList<core::TreeColumn> m_columns;
    QList<core::TreeRow> m_rows;
    QString m_select;
    int m_didColumn = -1;
    int m_parentColumn = -1;
    int m_ordColumn = -1;
    int m_current = 0;
    bool m_orderChanged = false;
};

} // namespace orvane::personnel
