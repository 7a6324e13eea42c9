#pragma once

#include <QMdiSubWindow>

class QMainWindow;

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::widgets {
class CDeptPane;
}

namespace orvane::personnel::ui {
class AttachmentPaneWidget;
class PersonnelView;
class PhotoPaneWidget;
class RelatedRecordsPaneWidget;
} // namespace orvane::personnel::ui

namespace orvane::shell::ui {

// The personnel child window (at most one per frame): the personnel view with the navigation
// pane on its left and the docking panes "相关资料", "相片" and "附件" around it. The panes'
// layout is restored from the profile and saved when the window closes.
class CChildFramePsn : public QMdiSubWindow
{
    Q_OBJECT
public:
    CChildFramePsn(core::COrvaneApp& app, core::Prompter& prompter, int handle,
                   QWidget* parent = nullptr);
    int handle() const { return m_handle; }

    personnel::ui::PersonnelView* view() const { return m_view; }
    widgets::CDeptPane* deptPane() const { return m_dept; }
    personnel::ui::RelatedRecordsPaneWidget* relatedPane() const { return m_related; }
    personnel::ui::PhotoPaneWidget* photoPane() const { return m_photo; }
    personnel::ui::AttachmentPaneWidget* attachmentPane() const { return m_files; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    core::COrvaneApp& m_app;
    int m_handle;
    QMainWindow* m_inner;
    personnel::ui::PersonnelView* m_view;
    widgets::CDeptPane* m_dept;
    personnel::ui::RelatedRecordsPaneWidget* m_related;
    personnel::ui::PhotoPaneWidget* m_photo;
    personnel::ui::AttachmentPaneWidget* m_files;
};

} // namespace orvane::shell::ui
