#pragma once

#include "personnel/cadjunctpane.h"

#include <QWidget>

class QListWidget;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvane::personnel::ui {

// The attachment pane ("附件") over CAdjunctPane: icon, list and detail views with the file
// types' icons and names, rename in place, files dropped in and dragged out.
class AttachmentPaneWidget : public QWidget
{
    Q_OBJECT
public:
    enum class Mode { Icons, List, Details };

    AttachmentPaneWidget(core::COrvaneApp& app, core::Prompter& prompter,
                         QWidget* parent = nullptr);

    CAdjunctPane& workflow() { return m_pane; }
    void setPerson(const SelectedPerson& person);
    void setMode(Mode mode);
    QTreeWidget* details() const { return m_details; }
    QListWidget* list() const { return m_list; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showFiles();
    QList<int> selectedIndexes() const;
    int currentIndex() const;
    void renameCurrent();
    void dragOut();

    CAdjunctPane m_pane;
    QStackedWidget* m_stack;
    QListWidget* m_list;
    QTreeWidget* m_details;
    Mode m_mode = Mode::Details;
    bool m_filling = false;
    QPoint m_pressAt;
};

} // namespace orvane::personnel::ui
