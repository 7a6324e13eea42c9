#pragma once

#include <QWidget>

class QPushButton;

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::widgets {
class CDeptPane;
class CGridView;
class GridModel;
} // namespace orvane::widgets

namespace orvane::payroll {
class CDlgTabWagePSN;
}

namespace orvane::payroll::ui {

// The page "所属人员": the department tree beside the sort's members, with add, delete, up,
// down (also Ctrl+Up / Ctrl+Down) and refresh.
class WageMemberPage : public QWidget
{
    Q_OBJECT
public:
    WageMemberPage(CDlgTabWagePSN& page, core::COrvaneApp& app, QWidget* parent = nullptr);

    void showMembers();
    widgets::CGridView* grid() const { return m_grid; }

private:
    void move(bool up);

    CDlgTabWagePSN& m_page;
    widgets::CDeptPane* m_departments;
    widgets::GridModel* m_model = nullptr;
    widgets::CGridView* m_grid = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
};

} // namespace orvane::payroll::ui
