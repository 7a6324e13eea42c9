#pragma once

#include "payroll/wagecalc.h"
#include "payroll/wageexportquery.h"

#include "core/colfmt.h"
#include "core/gridcolumn.h"
#include "core/pagedrows.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace orvane::core {
class COrvaneApp;
class CDlgBatchUpdate;
class CDlgResetOrder;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

class CDlgWagePsnTable;
class WageScriptSession;

// The wage view's workflow: the persons of one wage sort and month, filtered by the navigation
// pane's department and category and the operator's limits, with one column per wage item, and
// the view's commands (cell edit, month calculation, batch change, adding, removing and ordering
// persons, check-out, the default export and the hand-offs' rights).
//
// Grid columns: 0 the row key `ID` of the data table and 1 the person's PID (both hidden), 2 the
// number, 3 the name, then the items in display order. Rows are fetched as they are shown.
// Every command that changes data reads the month's Stat first: a month checked out meanwhile
// (here or by another operator) is refused with message 110 and nothing is sent.
class CViewWage
{
public:
    // Rights of the wage view (Part of the operator's rights table, by index).
    enum Right {
        ChangeData = 19,
        CheckOut = 20,
        Print = 21,
        Import = 22,
        Export = 23,
        BankFile = 24,
        PayslipMail = 25,
        PrintTemplates = 27,
        BankTemplates = 28,
        ExportTemplates = 29,
        MailTemplates = 30,
        MonthPersons = 32
    };

    static constexpr int kKeyColumns = 2;   // ID and PID
    static constexpr int kFixedColumns = 4; // ID, PID, number, name

    CViewWage(core::COrvaneApp& app, core::Prompter& prompter, int sortId, int fDate);
    ~CViewWage();
    CViewWage(const CViewWage&) = delete;
    CViewWage& operator=(const CViewWage&) = delete;

    int sortId() const { return m_sortId; }
    int fDate() const { return m_fDate; }
    const QString& sortTitle() const { return m_sortTitle; }
    const QString& dataTable() const { return m_table; }
    QString monthText() const;

    // Resets the formula engine, selects the whole organisation and every category and loads.
    // False when the sort is gone (message 118) or the query fails.
    bool open();

    // The navigation's selection: department (0 = all) and category (0 = all, negative = none).
    void setNavigation(int department, int category);
    int department() const { return m_filter.deptId; }
    int category() const { return m_filter.categoryId; }

    // Rebuilds the selection, the columns, the rows and the totals, and reads Stat again.
    bool refresh();

    const WageViewFilter& filter() const { return m_filter; }
    QString whereText() const { return m_where; }
    QString fromWhere() const;
    QString orderBy() const;
    // The log lines' selection text: the WHERE text with "WHERE" replaced by "条件：".
    QString selectionText() const;
    // What the bank file and the payslips are handed.
    WageSelection selection() const;
    // Sort, title, month, operator and FROM/WHERE text; the session's engine reads it.
    script::WageContext context() const;
    // Puts the context into the view's formula session (when the view becomes active).
    void publishContext();
    WageScriptSession& session() { return *m_session; }

    const QList<core::GridColumn>& columns() const { return m_columns; }
    const core::GridRowSource& rows() const { return m_rows; }
    int rowCount() const { return m_rows.rowCount(); }
    int personAt(int row) const;
    QString personNameAt(int row) const;
    int rowOfPerson(int pid) const;
    // "合计：%d人" and "caption：sum" of every numeric item shown.
    QString footerText() const;
    // The sums of the numeric items by grid column (other columns absent).
    const std::vector<std::pair<int, double>>& totals() const { return m_totals; }
    int frozenColumns() const { return 2; }
    // The operator's option wWholeRowSel (default on).
    bool wholeRowSelection() const;

    // Stat as last read. The grid is read-only when checked out, or for a non-super operator
    // without right 19 (asked without a message when the view opens).
    bool checkedOut() const { return m_checkedOut; }
    bool readOnly() const;
    // Item columns only; a non-super operator changes the items of permitted wage sorts only.
    bool canEditColumn(int column) const;
    // Before an editor opens: not read-only, an item column, the month still open.
    bool canEditCell(int row, int column);
    // Writes the cell (row still there, else 133), logs it, recalculates the person and
    // rereads the rows and totals.
    bool commitCell(int row, int column, const QVariant& value);

    // "重新计算": right 19, open month, the question, the progress, failures, log, reload.
    bool recalculate();

    // "批量修改" through the shared batch change, run by `runBatchDialog` (the window shows it,
    // tests fill it and call confirm()); true when the change was made.
    bool batchUpdate();
    std::function<bool(core::CDlgBatchUpdate& batch)> runBatchDialog;

    // Adding persons to the month (right 32) through `runPsnTableDialog` (true when added).
    bool addPersons();
    std::function<bool(CDlgWagePsnTable& dialog)> runPsnTableDialog;
    // Removing the persons of the given rows from the month (right 32).
    bool removePersons(const QList<int>& rows);
    // The order of the persons of the navigation's leaf department (right 32).
    bool reorder();
    std::function<void(core::CDlgResetOrder& order)> runOrderDialog;
    // "结账" (right 20).
    bool checkOut();

    // The default export of the rows shown to a workbook chosen by the operator (right 23).
    bool exportDefault();
    // The commands whose windows are not part of this version: print with a template (21),
    // export with a template (23), wage import (22, refused with 110 after check-out), the print
    // and export template managers (27, 29). After the checks they say so; nothing changes.
    void print(const QString& templateName);
    void exportWithTemplate(const QString& templateName);
    void importData();
    void managePrintTemplates();
    void manageExportTemplates();

    // The right check of the hand-offs and template managers (message 106, caption "提示").
    bool checkRight(int right);

    // The drop-down lists of the tool bar: (key, name) of the active templates.
    std::vector<std::pair<int, QString>> printTemplates() const;
    std::vector<std::pair<int, QString>> exportTemplates() const;
    std::vector<std::pair<int, QString>> bankTemplates() const;
    std::vector<std::pair<int, QString>> mailTemplates() const;

    // Column widths and formats, stored for every item of that name.
    void storeColumnWidth(int column, int width);
    bool canFormatColumn(int column) const;
    // Right 19 (message 106) and the write-back.
    bool storeColumnFormat(int column, const core::ColFmt& format);

    static QString checkedOutMessage() { return QStringLiteral("该薪资表已结账,数据不再修改!"); }

private:
    void buildColumns();
    bool loadRows();
    void loadTotals();
    bool readStat();
    // The month must still be open (Stat read again); otherwise message 110.
    bool ensureOpen();
    void warn(const QString& text);
    void showError(const QString& text);
    void log(const QString& text);
    void notInThisVersion(const QString& command);
    std::vector<std::pair<int, QString>> list(const QString& sql) const;

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId;
    int m_fDate;
    QString m_sortTitle;
    QString m_table;
    WageViewFilter m_filter;
    QString m_where;
    std::unique_ptr<WageScriptSession> m_session;
    QList<core::GridColumn> m_columns;
    QString m_columnList;
    core::PagedRows m_rows;
    int m_totalPersons = 0;
    std::vector<std::pair<int, double>> m_totals;
    bool m_checkedOut = false;
};

} // namespace orvane::payroll
