#pragma once

#include "personnel/crelatinfopane.h"

#include <QWidget>

class QComboBox;
class QTabBar;

namespace orvane::widgets {
class CGridView;
class GridModel;
} // namespace orvane::widgets

namespace orvane::personnel::ui {

// The related-records pane ("相关资料") over CRelatInfoPane: a tab per related table and the
// wage-history tab with its sort chooser, the rows in the shared grid, and the context menu
// "新增", "修改", "删除", "调序", "导出", "打印".
class RelatedRecordsPaneWidget : public QWidget
{
    Q_OBJECT
public:
    RelatedRecordsPaneWidget(core::COrvaneApp& app, core::Prompter& prompter,
                             QWidget* parent = nullptr);

    CRelatInfoPane& workflow() { return m_pane; }
    QTabBar* tabBar() const { return m_tabs; }
    widgets::CGridView* grid() const { return m_grid; }
    void reloadTabs();
    void setPerson(const SelectedPerson& person);

private:
    void showRows(int selectKey = 0);
    void showMenu(const QPoint& at);

    core::Prompter& m_prompter;
    CRelatInfoPane m_pane;
    QTabBar* m_tabs;
    QComboBox* m_sorts;
    widgets::GridModel* m_model;
    widgets::CGridView* m_grid;
    bool m_filling = false;
};

} // namespace orvane::personnel::ui
