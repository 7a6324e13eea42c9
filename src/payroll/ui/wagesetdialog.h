#pragma once

#include "payroll/cdlgwageset.h"

#include <QDialog>

class QComboBox;
class QTabWidget;

namespace orvane::payroll::ui {

class WageItemPage;
class WageMemberPage;
class WageStdTablePage;

// The wage settings window ("帐套设置"): the sort selector with the sort manager button and the
// pages "所属人员", "薪资标准表" and "薪资项目"; Ctrl+Tab moves to the next page.
class WageSetDialog : public QDialog
{
    Q_OBJECT
public:
    WageSetDialog(core::COrvaneApp& app, core::Prompter& prompter, QWidget* parent = nullptr);

    CDlgWageSet& workflow() { return m_flow; }
    QComboBox* sortBox() const { return m_sorts; }
    QTabWidget* tabs() const { return m_tabs; }
    WageItemPage* itemPage() const { return m_itemPage; }
    WageStdTablePage* standardTablePage() const { return m_stdPage; }
    WageMemberPage* memberPage() const { return m_memberPage; }

private:
    void fillSorts();
    void showPage();

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    CDlgWageSet m_flow;
    QComboBox* m_sorts;
    QTabWidget* m_tabs;
    WageMemberPage* m_memberPage;
    WageStdTablePage* m_stdPage;
    WageItemPage* m_itemPage;
    bool m_filling = false;
};

} // namespace orvane::payroll::ui
