#pragma once

#include "personnel/cviewpsn.h"

#include <QWidget>

class QAction;
class QComboBox;
class QMenu;
class QToolBar;

namespace orvane::widgets {
class CGridView;
class GridModel;
} // namespace orvane::widgets

namespace orvane::personnel::ui {

// The personnel view (the window of CViewPsn): its toolbar, the grid of persons, the edit menu
// on the right button, the search box and F5. Tells the side panes the selected person.
class PersonnelView : public QWidget
{
    Q_OBJECT
public:
    PersonnelView(core::COrvaneApp& app, core::Prompter& prompter, QWidget* parent = nullptr);

    CViewPsn& workflow() { return m_view; }
    widgets::CGridView* grid() const { return m_grid; }
    QComboBox* searchBox() const { return m_search; }
    QToolBar* toolBar() const { return m_toolBar; }
    QMenu* editMenu() const { return m_editMenu; }

    // Shows the persons of a department subtree and category.
    void setNavigation(int department, int category);
    void refresh();

signals:
    void personSelected(const orvane::personnel::SelectedPerson& person);
    void closeRequested();
    // The mail menu: the general notice templates (mail templates of no wage sort) and sending
    // one to the persons shown.
    void mailTemplatesRequested();
    void mailSendRequested();

private:
    void buildActions();
    void showRows(int selectPid = 0);
    void search();
    void deleteSelected();
    void reorder();
    void exportList();
    void freezeColumns();
    void formatColumn();
    void notAvailable();
    void addPerson();
    void editPerson();
    QAction* action(const QString& text, const QKeySequence& key, void (PersonnelView::*slot)());

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    CViewPsn m_view;
    widgets::GridModel* m_model;
    widgets::CGridView* m_grid;
    QToolBar* m_toolBar;
    QComboBox* m_search;
    QMenu* m_editMenu;
};

} // namespace orvane::personnel::ui
