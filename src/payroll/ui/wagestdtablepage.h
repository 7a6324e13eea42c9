#pragma once

#include <QWidget>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::widgets {
class CGridView;
class GridModel;
} // namespace orvane::widgets

namespace orvane::payroll {
class CDlgTabWageStdTable;
}

namespace orvane::payroll::ui {

// The page "薪资标准表": the sort's tables and the amounts of the selected one, edited in place.
class WageStdTablePage : public QWidget
{
    Q_OBJECT
public:
    WageStdTablePage(CDlgTabWageStdTable& page, QWidget* parent = nullptr);

    void showTables();
    widgets::CGridView* tableGrid() const { return m_tables; }
    widgets::CGridView* amountGrid() const { return m_amounts; }

private:
    void showAmounts();

    CDlgTabWageStdTable& m_page;
    widgets::GridModel* m_tableModel = nullptr;
    widgets::CGridView* m_tables = nullptr;
    widgets::GridModel* m_amountModel = nullptr;
    widgets::CGridView* m_amounts = nullptr;
    bool m_showing = false;
};

} // namespace orvane::payroll::ui
