#pragma once

#include "core/cdlgresetorder.h"
#include "core/gridcolumn.h"
#include "db/cadorecordset.h"
#include "personnel/panecommand.h"
#include "personnel/selectedperson.h"

#include <QList>
#include <QString>

#include <functional>

namespace orvane::personnel {

class CDlgDynCtlFormForRelatArc;

// One tab of the related-records pane: a related table (nType 5) or the wage history.
struct RelatedTab
{
    int id = 0; // qp_Table.ID; 0 for the wage history tab
    QString table;
    QString title;
    bool isWageHistory() const { return id == 0; }
};

// The related-records pane ("相关资料"): a tab per shown related table of the selected person,
// and the wage-history tab over a chosen wage sort (read-only).
class CRelatInfoPane
{
public:
    CRelatInfoPane(core::COrvaneApp& app, core::Prompter& prompter);

    // Rereads the tabs and the wage sorts; the first tab becomes current.
    void loadTabs();
    const QList<RelatedTab>& tabs() const { return m_tabs; }
    // Wage sorts offered on the wage-history tab (key, title).
    const QList<std::pair<int, QString>>& wageSorts() const { return m_sorts; }

    void setPerson(const SelectedPerson& person);
    const SelectedPerson& person() const { return m_person; }
    // Shows a tab (and, for the wage history, a sort); reloads its rows.
    bool setCurrentTab(int tab);
    int currentTab() const { return m_current; }
    void setWageSort(int sortId);
    int wageSort() const { return m_sort; }
    bool reload();

    const db::ResultSet& rows() const { return m_rows.resultSet(); }
    int rowCount() const;
    const QList<core::GridColumn>& columns() const { return m_columns; }
    int keyAt(int row) const;
    int rowOfKey(int id) const;
    bool isReadOnly() const;

    // "新增(&N)" / "修改(&M)": the related-record form on the tab's table, shown by
    // `runRecordForm`. Both return the key of the last saved row, or 0 when nothing was saved.
    std::function<void(CDlgDynCtlFormForRelatArc& form)> runRecordForm;
    int addRow();
    int editRow(int row);
    bool deleteRow(int row);
    // "调序(&O)" through the shared order editor run by `runOrderDialog`.
    bool reorder();
    std::function<void(core::CDlgResetOrder& order)> runOrderDialog;
    bool exportRows();
    void storeColumnWidth(int column, int width);

private:
    QString rowQuery() const;
    int runForm(int id);
    QString tabTitle() const;

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    PaneCommand m_command;
    SelectedPerson m_person;
    QList<RelatedTab> m_tabs;
    QList<std::pair<int, QString>> m_sorts;
    int m_current = -1;
    int m_sort = 0;
    QString m_columnList;
    QList<core::GridColumn> m_columns;
    db::CADORecordset m_rows;
};

} // namespace orvane::personnel
