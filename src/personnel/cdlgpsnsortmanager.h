#pragma once

#include "core/treerow.h"
#include "personnel/rowlist.h"

#include <functional>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::personnel {

class CDlgDynCtlFormForPsnSort;

// The category manager ("人员类别"): a flat grid with the catalogue's columns and the commands
// new, edit, delete, up, down and refresh. The category form is run by the window through
// runForm.
class CDlgPsnSortManager
{
public:
    CDlgPsnSortManager(core::COrvaneApp& app, core::Prompter& prompter);

    // Rereads columns and rows without renumbering.
    bool reload();
    // The refresh command: renumbers Ord 1..n in the present order, then reloads.
    bool refresh();

    const QList<core::TreeColumn>& columns() const { return m_columns; }
    RowList& rows() { return m_rows; }
    int aidColumn() const { return m_aidColumn; }
    int ordColumn() const { return m_ordColumn; }

    bool newCategory();
    bool editCategory();
    bool deleteCategory();
    bool moveUp();
    bool moveDown();
    bool columnResized(const QString& caption, int width);

    std::function<void(CDlgDynCtlFormForPsnSort& form)> runForm;

private:
    bool requireSelection();
    bool move(bool up);
    void selectAid(int aid);
    bool openForm(bool add);

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    QList<core::TreeColumn> m_columns;
    QString m_select;
    RowList m_rows;
    int m_aidColumn = -1;
    int m_ordColumn = -1;
};

} // namespace orvane::personnel
