#pragma once

#include "payroll/orderedlist.h"

#include <QString>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// The sort manager: the grid of wage sorts ("ID", "标题", "说明", "序号") with add, change,
// delete and the up/down moves.
class CDlgWageSetSet
{
public:
    CDlgWageSetSet(core::COrvaneApp& app, core::Prompter& prompter);

    bool refresh();
    OrderedList& sorts() { return m_sorts; }
    // True once anything was changed (the settings window then refills its selector).
    bool changed() const { return m_changed; }

    // Each returns true when the sort list changed. The title is trimmed first.
    bool addSort(const QString& title, const QString& descr);
    bool changeSort(const QString& title, const QString& descr);
    bool deleteSort();
    bool moveSort(core::RowOrder::Direction direction);

    // Key of the sort added last (0 before).
    int lastAddedId() const { return m_lastAdded; }

private:
    bool titleTaken(const QString& title);
    void warn(const QString& text);

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    OrderedList m_sorts;
    bool m_changed = false;
    int m_lastAdded = 0;
};

} // namespace orvane::payroll
