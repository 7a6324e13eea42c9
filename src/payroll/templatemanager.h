#pragma once

#include "payroll/orderedlist.h"

#include <QString>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// What tells the two kinds of output template apart: bank disbursement templates and mail
// templates are kept, listed, copied, deleted and ordered alike.
struct TemplateKind
{
    QString table;       // qp_WageExport / qp_WageAnnounce
    QString key;         // EID / AID
    QString detailTable; // data fields deleted with a template ("" for none)
    QString listSql;     // "EXEC ... %1" with the sort ID
    QString copyProcedure;
    QString caption;  // dialog title
    QString noun;     // in the log lines
    QString newTitle; // editor titles
    QString editTitle;

    static TemplateKind bank();
    static TemplateKind mail();
};

// The template manager of one sort (sort 0: the personnel view's mail templates): the list with
// the active check column, copy, delete and the moves. New and modify open the kind's editor,
// which stores the template; the manager then reloads and selects it.
class TemplateManager
{
public:
    TemplateManager(core::COrvaneApp& app, core::Prompter& prompter, TemplateKind kind, int sortId);

    const TemplateKind& kind() const { return m_kind; }
    int sortId() const { return m_sortId; }
    QString sortTitle() const;

    bool refresh();
    // Rows: key, Name, Active, Ord.
    OrderedList& templates() { return m_list; }
    QString currentName() const;

    // The key of the selected template after checking one is selected and still exists
    // (0 with the message otherwise).
    int selectedForChange();
    // Toggles Active of a row at once and logs it.
    bool setActive(int row, bool active);
    bool copySelected();
    bool deleteSelected();
    bool move(core::RowOrder::Direction direction);
    // After an editor stored a template: reload and select it.
    void reloadAndSelect(int key);

private:
    void log(const QString& text);

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    TemplateKind m_kind;
    int m_sortId;
    OrderedList m_list;
};

} // namespace orvane::payroll
