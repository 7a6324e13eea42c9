#pragma once

#include "core/cdlgresetorder.h"
#include "core/gridcolumn.h"
#include "core/pagedrows.h"
#include "personnel/selectedperson.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::core {
class GridRows;
}

namespace orvane::personnel {

class CDlgDynCtlFormForPsnbase;

// The personnel view's workflow: the persons of the navigation's department subtree and
// category, with the catalogue's columns of qp_PsnBase, and the view's commands (search,
// delete, in-place edit, reorder, export, column widths and formats, frozen columns).
//
// The grid shows rows() with columns(); the first three columns are the hidden keys PID, DID
// and AID. Row numbers are positions in rows(). Only the keys of the list are read at once;
// the rows themselves are fetched in blocks as the grid shows them (core::PagedRows).
class CViewPsn
{
public:
    CViewPsn(core::COrvaneApp& app, core::Prompter& prompter);

    // The navigation's selection: department (0 = whole organisation) and category (0 = all,
    // negative = none). Call refresh() afterwards.
    void setNavigation(int department, int category);
    int department() const { return m_department; }
    int category() const { return m_category; }

    // An extra condition and sort order from the advanced search; empty texts clear them.
    void setSearchFilter(const QString& condition, const QString& order);

    // Rebuilds the column list, the WHERE clause and the query and runs it. On failure the
    // data layer's error is shown and the last rows stay.
    bool refresh();

    QString columnList() const { return m_columnList; }
    QString whereClause() const { return m_where; }
    QString orderClause() const { return m_order; }
    QString query() const;
    const QList<core::GridColumn>& columns() const { return m_columns; }
    const core::GridRowSource& rows() const { return m_rows; }
    int rowCount() const;
    // "共 计：%d 人"
    QString footerText() const;
    int numberColumn() const { return m_numberColumn; }
    int nameColumn() const { return m_nameColumn; }
    SelectedPerson personAt(int row) const;
    // Row of a person by key, -1 when not listed.
    int rowOfPerson(int pid) const;

    // Search box: the row whose number, else whose name, equals `text` (case-insensitive);
    // -1 when none. A found text joins the history.
    int search(const QString& text);
    // The first listed row whose field equals `text` (case-insensitive), -1 when none.
    int findRow(int column, const QString& text) const;
    QStringList searchHistory() const { return m_history; }

    // Add ("增加", right 2): the personnel form "人员添加" in add mode, run by `runPersonForm`;
    // the list is refreshed after each save. Returns the PID of the last person added (0: none).
    int addPerson();
    // Edit ("修改", right 3): the person must still exist; the form "人员信息更改" steps through
    // `owner` (the grid, key in column 0). Returns true when the form was opened.
    bool editPerson(int row, core::GridRows* owner);
    std::function<void(CDlgDynCtlFormForPsnbase& form)> runPersonForm;
    bool canEdit(int row);

    // "删除" for the given rows: confirmation, one qp_DeletePsnBaseByID per person, one log
    // line, refresh. Returns true when something was deleted.
    bool deletePersons(const QList<int>& rows);

    // In-place editing: before an editor opens, and when it is accepted.
    bool canEditCell(int row, int column);
    bool commitCell(int row, int column, const QVariant& value);

    // "调序": the order editor over the navigation department's persons, run by
    // `runOrderDialog` (the window shows it; tests drive it).
    bool reorder();
    std::function<void(core::CDlgResetOrder& order)> runOrderDialog;

    // "导出" to a workbook chosen by the operator.
    bool exportList();

    // A width dragged by the operator, stored for every field of that name.
    void storeColumnWidth(int column, int width);
    // Whether the column can take a display format (catalogue columns only).
    bool canFormatColumn(int column) const;
    bool storeColumnFormat(int column, const core::ColFmt& format);

    // Frozen columns: the profile value "FreezeColsP" (default 2).
    int frozenColumns() const;
    void setFrozenColumns(int visibleColumns);

    static constexpr int kKeyColumns = 3;

private:
    void buildColumns();
    void buildWhere();
    // The record-exists test; tells the operator (message 133) when the person is gone.
    bool confirmPersonExists(int pid);
    bool checkRight(int index);
    QString conditionText() const;
    void log(const QString& text);
    void showError(const QString& text);

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_department = 0;
    int m_category = 0;
    QString m_filter;
    QString m_filterOrder;
    QString m_columnList;
    QString m_where;
    QString m_order;
    QList<core::GridColumn> m_columns;
    int m_numberColumn = -1;
    int m_nameColumn = -1;
    core::PagedRows m_rows;
    QStringList m_history;
};

} // namespace orvane::personnel
