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
class CDlgTabWageItem;
}

namespace orvane::payroll::ui {

// The page "薪资项目" of the wage settings window.
class WageItemPage : public QWidget
{
    Q_OBJECT
public:
    WageItemPage(CDlgTabWageItem& page, core::COrvaneApp& app, QWidget* parent = nullptr);

    void showItems();
    widgets::CGridView* grid() const { return m_grid; }

private:
    void run(bool (CDlgTabWageItem::*command)());

    CDlgTabWageItem& m_page;
    widgets::GridModel* m_model = nullptr;
    widgets::CGridView* m_grid = nullptr;
};

} // namespace orvane::payroll::ui
