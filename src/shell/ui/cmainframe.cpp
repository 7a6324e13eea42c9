#include "shell/ui/cmainframe.h"

#include "core/corvaneapp.h"
#include "core/ui/idlelockeddialog.h"
#include "core/ui/logindialog.h"
#include "core/ui/passwordmodifydialog.h"
#include "core/ui/syslogmanagedialog.h"
#include "core/ui/userlistdialog.h"
#include "personnel/ui/deptmanagerdialog.h"
#include "personnel/ui/psnsortmanagerdialog.h"
#include "shell/commandtable.h"
#include "shell/ui/cchildframepsn.h"
#include "shell/ui/cchildframewage.h"
#include "shell/ui/cpropertysheetsystemset.h"

#include <QActionGroup>
#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBox>
#include <QUrl>
#include <QVBoxLayout>

namespace orvane::shell::ui {

namespace {

struct Look
{
    const char* window;
    const char* base;
    const char* highlight;
    bool dark;
};

// Visual styles 210..218: palettes over the Fusion style.
const Look kLooks[] = {
    {"#f0f0f0", "#ffffff", "#3875d7", false}, // 210 classic light
    {"#d8d8d8", "#f4f4f4", "#4a6fa5", false}, // 211 classic grey
    {"#fbfbfb", "#ffffff", "#2f80ed", false}, // 212 plain white
    {"#dbe6f4", "#ffffff", "#2b5797", false}, // 213 blue
    {"#c3d3ea", "#f5f8fc", "#1d3f73", false}, // 214 deep blue
    {"#353535", "#252525", "#2a82da", true},  // 215 black
    {"#e2e4e8", "#fbfbfc", "#6b7b8c", false}, // 216 silver
    {"#d9efec", "#ffffff", "#14847a", false}, // 217 teal
    {"#f4e9dc", "#fffaf4", "#b5651d", false}, // 218 warm
};

QPalette paletteFor(const Look& look)
{
    QPalette p(QColor(look.window), QColor(look.window));
    p.setColor(QPalette::Base, QColor(look.base));
    p.setColor(QPalette::Highlight, QColor(look.highlight));
    p.setColor(QPalette::HighlightedText, Qt::white);
    if (look.dark) {
        for (auto role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
            p.setColor(role, QColor("#e8e8e8"));
        p.setColor(QPalette::AlternateBase, QColor("#303030"));
        p.setColor(QPalette::Disabled, QPalette::Text, QColor("#808080"));
        p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor("#808080"));
        p.setColor(QPalette::Disabled, QPalette::WindowText, QColor("#808080"));
    }
    return p;
}

const char* const kLockTexts[3] = {"大写", "数字", "滚动"};

} // namespace

CMainFrame::CMainFrame(core::COrvaneApp& app, core::Prompter* prompter, QWidget* parent)
    : QMainWindow(parent), m_app(app),
      m_ownPrompter(prompter ? nullptr : std::make_unique<core::ui::QtPrompter>(this)),
      m_prompter(prompter ? *prompter : *m_ownPrompter),
      m_flow(app, m_prompter, m_clock, m_reminders)
{
    setWindowTitle(core::COrvaneApp::productTitle());
    resize(1100, 720);

    m_mdi = new QMdiArea(this);
    m_mdi->setViewMode(QMdiArea::TabbedView);
    m_mdi->setTabsClosable(true);
    m_mdi->setTabsMovable(true);
    setCentralWidget(m_mdi);

    m_flow.gate().requestClose = [this] {
        m_forceClose = true;
        QTimer::singleShot(0, this, &QWidget::close);
    };
    m_flow.createChild = [this](const ChildInfo& info) { createChild(info); };
    m_flow.activateChild = [this](const ChildInfo& info, bool refresh) {
        QMdiSubWindow* window = findChild(info.handle);
        if (!window)
            return;
        window->showMaximized();
        m_mdi->setActiveSubWindow(window);
        if (auto* wage = qobject_cast<CChildFrameWage*>(window); wage && refresh)
            wage->refresh();
    };
    m_flow.closeChild = [this](int handle) {
        QMdiSubWindow* window = findChild(handle);
        return !window || window->close();
    };
    m_flow.runCommand = [this](int id) { runCommand(id); };
    m_flow.runLockDialog = [this] {
        core::ui::IdleLockedDialog dialog(m_app, this);
        return dialog.exec() == QDialog::Accepted;
    };
    m_flow.runReloginDialog = [this] {
        core::ui::LoginDialog dialog(m_app, m_prompter, true, this);
        return dialog.exec() == QDialog::Accepted;
    };
    m_flow.minimise = [this] {
        m_wasMaximized = isMaximized();
        showMinimized();
    };
    m_flow.restore = [this] {
        if (m_wasMaximized)
            showMaximized();
        else
            showNormal();
        raise();
        activateWindow();
    };
    m_flow.navigationChanged = [this] {
        rebuildNavigation();
        m_userLabel->setText(m_flow.statusUserText());
    };
    m_flow.timers().onIdleLock = [this] { m_flow.lock(); };
    m_flow.timers().onShowReminder = [this] { showReminderPopup(); };
    m_flow.hidePopup = [this] {
        if (m_popup)
            m_popup->close();
    };
    m_flow.closePopup = m_flow.hidePopup;

    applyLook(m_app.settings().applicationLook());
    createMenus();
    createStatusBar();
    createPanes();
    rebuildNavigation();
    applyTabs();

    qApp->installEventFilter(this);
    connect(&m_pollTimer, &QTimer::timeout, this, [this] { m_flow.timers().poll(); });
    m_pollTimer.start(100);
    m_flow.start();
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
}

QString CMainFrame::statusUserText() const
{
    return m_userLabel->text();
}

QAction* CMainFrame::makeAction(int commandId, QMenu* menu)
{
    const CommandEntry* entry = CommandTable::find(commandId);
    auto* action = new QAction(entry->menuText(), this);
    if (!entry->acceleratorText().isEmpty()) {
        action->setShortcut(QKeySequence(entry->acceleratorText()));
        addAction(action); // the accelerators work with the menu bar hidden too
    }
    connect(action, &QAction::triggered, this, [this, commandId] { m_flow.execute(commandId); });
    menu->addAction(action);
    m_actions.insert(commandId, action);
    return action;
}

void CMainFrame::createMenus()
{
    QMenuBar* bar = menuBar();
    QMenu* psn = bar->addMenu(QStringLiteral("人事管理(&P)"));
    for (int id : {2100, 2101, 2104, 33249, 33222})
        makeAction(id, psn);
    QMenu* wage = bar->addMenu(QStringLiteral("薪资管理(&W)"));
    for (int id : {33158, 2201, 2202})
        makeAction(id, wage);
    QMenu* sys = bar->addMenu(QStringLiteral("系统管理(&S)"));
    for (int id : {33188, 33189, 33174, 33171, 2300})
        makeAction(id, sys);
    sys->addSeparator();
    for (int id : {2301, 2302, 2303})
        makeAction(id, sys);
    sys->addSeparator();
    makeAction(33230, sys);
    makeAction(33301, sys);
    sys->addSeparator();
    QAction* quit = sys->addAction(QStringLiteral("退出(&X)"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* view = bar->addMenu(QStringLiteral("视图(&V)"));
    for (int id : {33236, 32796, 322}) {
        makeAction(id, view)->setCheckable(true);
        m_actions[id]->setChecked(true);
    }
    QMenu* looks = view->addMenu(QStringLiteral("界面风格(&Y)"));
    m_lookGroup = new QActionGroup(this);
    for (int id = CommandTable::LookFirst; id <= CommandTable::LookLast; ++id) {
        QAction* a = makeAction(id, looks);
        a->setCheckable(true);
        a->setChecked(id == m_app.settings().applicationLook());
        m_lookGroup->addAction(a);
    }
    view->addSeparator();
    makeAction(32776, view);

    QMenu* tools = bar->addMenu(QStringLiteral("工具(&T)"));
    makeAction(33242, tools);
    makeAction(33243, tools);

    QMenu* window = bar->addMenu(QStringLiteral("窗口(&W)"));
    makeAction(32871, window);
    window->addAction(QStringLiteral("层叠(&C)"), m_mdi, &QMdiArea::cascadeSubWindows);
    window->addAction(QStringLiteral("下一个(&N)"), m_mdi, &QMdiArea::activateNextSubWindow);

    QMenu* help = bar->addMenu(QStringLiteral("帮助(&H)"));
    makeAction(CommandTable::HelpTopics, help);

    for (QMenu* menu : {psn, wage, sys})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateEnabling);
    updateEnabling();
}

void CMainFrame::updateEnabling()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(m_flow.gate().isEnabled(it.key()));
}

void CMainFrame::createStatusBar()
{
    m_userLabel = new QLabel(m_flow.statusUserText());
    m_userLabel->setMinimumWidth(160);
    statusBar()->addPermanentWidget(m_userLabel);
    for (int i = 0; i < 3; ++i) {
        m_lockLabels[i] = new QLabel(QString::fromUtf8(kLockTexts[i]));
        m_lockLabels[i]->setEnabled(false);
        m_lockLabels[i]->setAlignment(Qt::AlignCenter);
        m_lockLabels[i]->setMinimumWidth(36);
        statusBar()->addPermanentWidget(m_lockLabels[i]);
    }
    statusBar()->showMessage(QStringLiteral("就绪"));
}

QString CMainFrame::htmlPath(const QString& page) const
{
    return QDir(m_app.programFolder()).filePath(QStringLiteral("html/") + page);
}

void CMainFrame::createPanes()
{
    m_bannerDock = new QDockWidget(QStringLiteral("横幅栏"), this);
    m_bannerDock->setObjectName(QStringLiteral("banner"));
    m_bannerDock->setFeatures(QDockWidget::DockWidgetClosable);
    m_bannerDock->setTitleBarWidget(new QWidget(m_bannerDock));
    auto* banner = new QTextBrowser(m_bannerDock);
    banner->setFrameShape(QFrame::NoFrame);
    banner->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    banner->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QString bannerFile = htmlPath(QStringLiteral("banner.htm"));
    if (QFileInfo::exists(bannerFile))
        banner->setSource(QUrl::fromLocalFile(bannerFile));
    else
        banner->setHtml(QStringLiteral("<h2>%1</h2>").arg(core::COrvaneApp::productTitle()));
    banner->setFixedHeight(qMax(56, m_app.settings().bannerHeight()));
    m_bannerDock->setWidget(banner);
    addDockWidget(Qt::TopDockWidgetArea, m_bannerDock);

    m_navDock = new QDockWidget(QStringLiteral("功能导航"), this);
    m_navDock->setObjectName(QStringLiteral("navigation"));
    m_navDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    m_navBox = new QToolBox(m_navDock);
    m_navBox->setMinimumWidth(170);
    m_navDock->setWidget(m_navBox);
    addDockWidget(Qt::LeftDockWidgetArea, m_navDock);

    // The actions as receivers: the connections end with them while the frame is destroyed.
    connect(m_navDock, &QDockWidget::visibilityChanged, m_actions.value(32796),
            &QAction::setChecked);
    connect(m_bannerDock, &QDockWidget::visibilityChanged, m_actions.value(322),
            &QAction::setChecked);
}

void CMainFrame::rebuildNavigation()
{
    while (m_navBox->count() > 0) {
        QWidget* page = m_navBox->widget(0);
        m_navBox->removeItem(0);
        delete page;
    }
    for (const NavigationGroup& group : m_flow.navigation()) {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        layout->setSpacing(4);
        for (const NavigationButton& button : group.buttons) {
            auto* push = new QPushButton(button.text, page);
            push->setMinimumHeight(32);
            push->setEnabled(m_flow.gate().isEnabled(button.commandId));
            const int id = button.commandId;
            connect(push, &QPushButton::clicked, this, [this, id] { m_flow.execute(id); });
            layout->addWidget(push);
        }
        layout->addStretch();
        m_navBox->addItem(page, group.title);
    }
    updateEnabling();
}

void CMainFrame::applyLook(int lookId)
{
    if (!CommandTable::isLook(lookId))
        lookId = 213;
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
        qApp->setStyle(style);
    qApp->setPalette(paletteFor(kLooks[lookId - CommandTable::LookFirst]));
    m_app.settings().setApplicationLook(lookId);
    if (QAction* a = m_actions.value(lookId))
        a->setChecked(true);
}

void CMainFrame::applyTabs()
{
    const int type = m_app.settings().mdiTabsType();
    m_mdi->setTabShape(type == 0 ? QTabWidget::Triangular : QTabWidget::Rounded);
    m_mdi->setTabPosition(m_app.settings().mdiTabsLocation() == 1 ? QTabWidget::South
                                                                  : QTabWidget::North);
}

QMdiSubWindow* CMainFrame::findChild(int handle) const
{
    for (QMdiSubWindow* window : m_mdi->subWindowList()) {
        if (auto* psn = qobject_cast<CChildFramePsn*>(window); psn && psn->handle() == handle)
            return window;
        if (auto* wage = qobject_cast<CChildFrameWage*>(window); wage && wage->handle() == handle)
            return window;
    }
    return nullptr;
}

void CMainFrame::createChild(const ChildInfo& info)
{
    QMdiSubWindow* window = nullptr;
    if (info.kind == ChildInfo::Kind::Personnel)
        window = new CChildFramePsn(m_app, m_prompter, info.handle);
    else
        window = new CChildFrameWage(info);
    const int handle = info.handle;
    connect(window, &QObject::destroyed, this, [this, handle] { m_flow.childClosed(handle); });
    m_mdi->addSubWindow(window);
    window->showMaximized();
    m_mdi->setActiveSubWindow(window);
}

void CMainFrame::runCommand(int commandId)
{
    if (CommandTable::isLook(commandId)) {
        applyLook(commandId);
        return;
    }
    switch (commandId) {
    case CommandTable::UserList: {
        core::ui::UserListDialog dialog(m_app, m_prompter, this);
        dialog.exec();
        break;
    }
    case CommandTable::SysLog: {
        core::ui::SysLogManageDialog dialog(m_app, m_prompter, this);
        dialog.exec();
        break;
    }
    case CommandTable::SystemSet: {
        CPropertySheetSystemSet sheet(m_app, m_prompter, this);
        sheet.exec();
        break;
    }
    case CommandTable::DeptManager: {
        personnel::ui::DeptManagerDialog dialog(m_app, m_prompter, this);
        dialog.exec();
        break;
    }
    case CommandTable::PsnSortManager: {
        personnel::ui::PsnSortManagerDialog dialog(m_app, m_prompter, this);
        dialog.exec();
        break;
    }
    case CommandTable::PasswordModify: {
        core::ui::PasswordModifyDialog dialog(m_app, m_prompter, this);
        dialog.exec();
        break;
    }
    case CommandTable::ToggleMenuBar:
        menuBar()->setVisible(!menuBar()->isVisible());
        m_actions[commandId]->setChecked(menuBar()->isVisible());
        break;
    case CommandTable::ToggleNavigation:
        m_navDock->setVisible(!m_navDock->isVisible());
        break;
    case CommandTable::ToggleBanner:
        m_bannerDock->setVisible(!m_bannerDock->isVisible());
        break;
    case CommandTable::Calculator:
        startCalculator();
        break;
    case CommandTable::Calendar:
        showCalendar();
        break;
    case CommandTable::Options:
        showOptions();
        break;
    case CommandTable::HelpTopics:
        showHelp();
        break;
    default:
        notAvailable(commandId);
        break;
    }
}

void CMainFrame::notAvailable(int commandId)
{
    const CommandEntry* entry = CommandTable::find(commandId);
    QString name = entry ? entry->menuText() : QString::number(commandId);
    name.remove(QRegularExpression(QStringLiteral("\\(&.\\)|\\.\\.\\.$")));
    m_prompter.message(QStringLiteral("此版本暂不提供“%1”功能。").arg(name), core::promptCaption(),
                       core::Prompter::Icon::Information);
}

// A small alert window at the bottom right (or where the operator last left it); it closes
// itself after ten seconds.
void CMainFrame::showReminderPopup()
{
    if (m_popup)
        return;
    auto* popup = new QWidget(this, Qt::Tool | Qt::WindowStaysOnTopHint);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setWindowTitle(QStringLiteral("人事提醒"));
    popup->setWindowOpacity(250.0 / 255.0);
    auto* layout = new QVBoxLayout(popup);
    layout->addWidget(new QLabel(QStringLiteral("有需要处理的人事提醒事项。"), popup));
    auto* open = new QPushButton(QStringLiteral("查看提醒"), popup);
    layout->addWidget(open);
    connect(open, &QPushButton::clicked, this, [this, popup] {
        popup->close();
        m_flow.execute(CommandTable::WakeupManage);
    });
    connect(popup, &QObject::destroyed, this, [this] { m_flow.timers().popupShowing = false; });
    QTimer::singleShot(10000, popup, [this, popup] {
        m_popupPos = popup->pos();
        popup->close();
    });
    popup->adjustSize();
    if (m_popupPos.isNull()) {
        const QRect area = screen()->availableGeometry();
        m_popupPos = area.bottomRight() - QPoint(popup->width() + 16, popup->height() + 48);
    }
    popup->move(m_popupPos);
    popup->show();
    m_popup = popup;
    m_flow.timers().popupShowing = true;
}

void CMainFrame::startCalculator()
{
    for (const char* program : {"gnome-calculator", "kcalc", "galculator", "qalculate-gtk"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(program));
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return;
    }
    showCalendar();
}

void CMainFrame::showCalendar()
{
    if (!m_calendarWindow) {
        auto* window = new QWidget(this, Qt::Tool);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(QStringLiteral("日历"));
        auto* layout = new QVBoxLayout(window);
        auto* calendar = new QCalendarWidget(window);
        calendar->setGridVisible(true);
        layout->addWidget(calendar);
        m_calendarWindow = window;
    }
    m_calendarWindow->show();
    m_calendarWindow->raise();
}

void CMainFrame::showHelp()
{
    if (!m_helpWindow) {
        auto* browser = new QTextBrowser;
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->setWindowTitle(QStringLiteral("帮助 - %1").arg(core::COrvaneApp::productTitle()));
        browser->resize(720, 540);
        const QString page = htmlPath(QStringLiteral("系统简介.htm"));
        if (QFileInfo::exists(page))
            browser->setSource(QUrl::fromLocalFile(page));
        else
            browser->setHtml(
                QStringLiteral("<p>找不到帮助文件 %1。</p>").arg(page.toHtmlEscaped()));
        m_helpWindow = browser;
    }
    m_helpWindow->show();
    m_helpWindow->raise();
}

void CMainFrame::showOptions()
{
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("选项"));
    auto* form = new QFormLayout(&dialog);
    auto* look = new QComboBox(&dialog);
    for (int id = CommandTable::LookFirst; id <= CommandTable::LookLast; ++id) {
        QString text = CommandTable::find(id)->menuText();
        text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
        look->addItem(text, id);
    }
    look->setCurrentIndex(look->findData(m_app.settings().applicationLook()));
    auto* shape = new QComboBox(&dialog);
    shape->addItems({QStringLiteral("梯形标签"), QStringLiteral("圆角标签")});
    shape->setCurrentIndex(m_app.settings().mdiTabsType() == 0 ? 0 : 1);
    auto* where = new QComboBox(&dialog);
    where->addItems({QStringLiteral("顶部"), QStringLiteral("底部")});
    where->setCurrentIndex(m_app.settings().mdiTabsLocation() == 1 ? 1 : 0);
    form->addRow(QStringLiteral("界面风格:"), look);
    form->addRow(QStringLiteral("标签样式:"), shape);
    form->addRow(QStringLiteral("标签位置:"), where);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_app.settings().setMdiTabsType(shape->currentIndex());
    m_app.settings().setMdiTabsLocation(where->currentIndex());
    applyLook(look->currentData().toInt());
    applyTabs();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_forceClose) {
        m_flow.timers().stopAll();
        event->accept();
        return;
    }
    if (m_flow.exitRequested()) {
        if (m_helpWindow)
            m_helpWindow->close();
        event->accept();
    } else {
        event->ignore();
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int index = key == Qt::Key_CapsLock     ? 0
                          : key == Qt::Key_NumLock    ? 1
                          : key == Qt::Key_ScrollLock ? 2
                                                      : -1;
        if (index >= 0 && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
            m_lockStates[index] = !m_lockStates[index];
            m_lockLabels[index]->setEnabled(m_lockStates[index]);
        }
        m_flow.timers().noteInput();
        break;
    }
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        m_flow.timers().noteInput();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace orvane::shell::ui
