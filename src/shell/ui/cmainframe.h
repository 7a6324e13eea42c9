#pragma once

#include "core/ui/qtprompter.h"
#include "shell/mainframeflow.h"
#include "shell/remindersource.h"
#include "shell/shellclock.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <memory>

class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTextBrowser;
class QToolBox;

namespace orvane::core {
class COrvaneApp;
}

namespace orvane::shell::ui {

// The one top-level window of the client: menu bar from the command table, navigation and banner
// panes, status bar with the operator's name, tabbed child windows. The rules live in
// MainFrameFlow; this class draws and forwards.
class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    // prompter: where messages go; null means real message boxes over this window.
    explicit CMainFrame(core::COrvaneApp& app, core::Prompter* prompter = nullptr,
                        QWidget* parent = nullptr);
    ~CMainFrame() override;

    MainFrameFlow& flow() { return m_flow; }
    QAction* action(int commandId) const { return m_actions.value(commandId); }
    QDockWidget* navigationPane() const { return m_navDock; }
    QMdiArea* mdiArea() const { return m_mdi; }
    QString statusUserText() const;

    // Switches the visual style (210..218) and stores it.
    void applyLook(int lookId);
    void applyTabs();
    // Opens the help window on the system introduction page.
    void showHelp();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    QAction* makeAction(int commandId, QMenu* menu);
    void createPanes();
    void createStatusBar();
    void rebuildNavigation();
    void updateEnabling();
    void runCommand(int commandId);
    void createChild(const ChildInfo& info);
    QMdiSubWindow* findChild(int handle) const;
    void startCalculator();
    void showCalendar();
    void showOptions();
    bool chooseWageTable(ChildInfo& info);
    void notAvailable(int commandId);
    void showReminderPopup();
    void fitBanner();
    void cascadeChildren();
    void tileChildren();
    void tabChildren();
    void showAbout();
    // The caps/num/scroll indicators from the desktop's real key state, where it can tell.
    void updateLockKeys();
    QString htmlPath(const QString& page) const;

    core::COrvaneApp& m_app;
    std::unique_ptr<core::ui::QtPrompter> m_ownPrompter;
    core::Prompter& m_prompter;
    SteadyClock m_clock;
    NoReminders m_reminders;
    MainFrameFlow m_flow;
    QTimer m_pollTimer;
    QMdiArea* m_mdi = nullptr;
    QDockWidget* m_navDock = nullptr;
    QToolBox* m_navBox = nullptr;
    QDockWidget* m_bannerDock = nullptr;
    QTextBrowser* m_banner = nullptr;
    QLabel* m_userLabel = nullptr;
    QLabel* m_lockLabels[3] = {nullptr, nullptr, nullptr};
    bool m_lockStates[3] = {false, false, false};
    QActionGroup* m_lookGroup = nullptr;
    QHash<int, QAction*> m_actions;
    QPointer<QWidget> m_helpWindow;
    QPointer<QWidget> m_calendarWindow;
    QPointer<QWidget> m_popup;
    QPoint m_popupPos;
    bool m_forceClose = false;
    bool m_wasMaximized = false;
    bool m_helpWasVisible = false;
    bool m_desktopLockKeys = false;
};

} // namespace orvane::shell::ui
