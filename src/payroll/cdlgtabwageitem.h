#pragma once

#include "payroll/orderedlist.h"

#include <QString>

#include <functional>

namespace orvane::core {
class COrvaneApp;
class CDlgResetOrder;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

class CDlgWageItemSet;

// The wage items page: the sort's items in display order with new, change, delete, calculation
// order, up, down and refresh. The editor and the reorder dialog are run by the callbacks the
// window sets (tests fill them in); each returns true when something was saved or changed.
class CDlgTabWageItem
{
public:
    CDlgTabWageItem(core::COrvaneApp& app, core::Prompter& prompter);

    // Loads the page for a sort; reloading the same sort is skipped unless forced.
    void setSort(int sortId, bool force = false);
    int sortId() const { return m_sortId; }
    bool refresh();
    OrderedList& items() { return m_items; }

    bool newItem();
    bool changeItem();
    bool deleteItem();
    bool moveItem(core::RowOrder::Direction direction);
    bool resetCalcOrder();

    std::function<bool(CDlgWageItemSet& editor)> runEditor;
    // Shows the shared order editor with its title; the page reads changed() afterwards.
    std::function<void(core::CDlgResetOrder& order, const QString& title)> runResetOrder;

private:
    bool edit(CDlgWageItemSet& editor);
    void warn(const QString& text);
    QString sortTitle() const;

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId = -1;
    OrderedList m_items;
};

} // namespace orvane::payroll
