#pragma once

#include "payroll/cviewwage.h"

#include <QWidget>

class QAction;
class QMenu;
class QToolBar;
class QToolButton;

namespace orvane::widgets {
class CGridView;
class GridModel;
} // namespace orvane::widgets

namespace orvane::payroll::ui {

// The wage view (the window of CViewWage): the tool bar with the month's commands and the four
// drop-down lists 打印, 导出, 报盘 and 邮件, the grid with its totals footer, the edit menu on the
// right button and F5. The drop-down lists are rebuilt after a template manager closes.
class WageView : public QWidget
{
    Q_OBJECT
public:
    WageView(core::COrvaneApp& app, core::Prompter& prompter, int sortId, int fDate,
             QWidget* parent = nullptr);

    CViewWage& workflow() { return m_view; }
    widgets::CGridView* grid() const { return m_grid; }
    widgets::GridModel* model() const { return m_model; }
    QToolBar* toolBar() const { return m_toolBar; }
    QMenu* editMenu() const { return m_editMenu; }
    // The drop-down list with this caption ("打印", "导出", "报盘", "邮件").
    QMenu* dropDown(const QString& caption) const;
    // The tool bar's action with this text, for tests and the frame.
    QAction* command(const QString& text) const;

    // Reads the sort and loads the whole month; false when the sort is gone.
    bool open();
    void setNavigation(int department, int category);
    void refresh();

signals:
    void closeRequested();

private:
    void buildActions();
    void rebuildDropDowns();
    void showRows(int selectPid = 0);
    void afterCellEdit();
    void recalculate();
    void batchUpdate();
    void addPersons();
    void removePersons();
    void reorder();
    void checkOut();
    void formatColumn();
    void bankFile(int templateId);
    void payslips(int templateId);
    void manageBank();
    void manageMail();
    QToolButton* dropDownButton(const QString& caption);

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    CViewWage m_view;
    widgets::GridModel* m_model;
    widgets::CGridView* m_grid;
    QToolBar* m_toolBar;
    QMenu* m_editMenu;
    QMenu* m_print;
    QMenu* m_export;
    QMenu* m_bank;
    QMenu* m_mail;
};

} // namespace orvane::payroll::ui
