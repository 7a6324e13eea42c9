#include "shell/ui/cmainframe.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/ui/idlelockeddialog.h"
#include "core/ui/logindialog.h"
#include "core/ui/passwordmodifydialog.h"
#include "core/ui/syslogmanagedialog.h"
#include "core/ui/userlistdialog.h"
#include "payroll/cdlgwagetableopen.h"
#include "payroll/ui/wagesetdialog.h"
#include "payroll/ui/wagetableopendialog.h"
#include "personnel/ui/deptmanagerdialog.h"
#include "personnel/ui/psnsortmanagerdialog.h"
#include "shell/commandtable.h"
#include "shell/ui/applook.h"
#include "shell/ui/cchildframepsn.h"
#include "shell/ui/cchildframewage.h"
#include "shell/ui/cpropertysheetsystemset.h"
#include "shell/ui/desktopinput.h"
#include "shell/ui/dockpane.h"

#include <QActionGroup>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
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
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBox>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

namespace orvane::shell::ui {

namespace {

const char* const kLockTexts[3] = {"大写", "数字", "滚动"};

} // namespace

CMainFrame::CMainFrame(core::COrvaneApp& app, core::Prompter* prompter, QWidget* parent)
    : QMainWindow(parent), m_app(app),
      m_ownPrompter(prompter ? nullptr : std::make_unique<core::ui::QtPrompter>(this)),
      m_prompter(prompter ? *prompter : *m_ownPrompter),
      m_flow(app, m_prompter, m_clock, m_reminders)
{
    setWindowTitle(core::COrvaneApp::productTitle());
    setWindowIcon(AppLook::icon());
    resize(1100, 720);

    m_mdi = new QMdiArea(this);
    m_mdi->setViewMode(QMdiArea::TabbedView);
    m_mdi->setTabsClosable(true);
    m_mdi->setTabsMovable(true);
    setCentralWidget(m_mdi);

    // Cancel on the connection warning runs the ordinary exit, question included.
    m_flow.gate().requestClose = [this] { QTimer::singleShot(0, this, &QWidget::close); };
    m_flow.endProgram = [this] {
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
    m_flow.chooseWageTable = [this](ChildInfo& info) { return chooseWageTable(info); };
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
        m_helpWasVisible = m_helpWindow && m_helpWindow->isVisible();
        for (QWidget* tool : {m_helpWindow.data(), m_calendarWindow.data()}) {
            if (tool)
                tool->hide(); // nothing of the client stays readable under the lock
        }
        showMinimized();
    };
    m_flow.restore = [this] {
        if (m_wasMaximized)
            showMaximized();
        else
            showNormal();
        raise();
        activateWindow();
        if (m_helpWasVisible && m_helpWindow)
            m_helpWindow->show();
    };
    m_flow.navigationChanged = [this] {
        rebuildNavigation();
        m_userLabel->setText(m_flow.statusUserText());
    };
    m_flow.timers().onIdleLock = [this] { m_flow.lock(); };
    m_flow.timers().desktopIdleMs = [] { return DesktopInput::idleMs(); };
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
    connect(&m_pollTimer, &QTimer::timeout, this, [this] {
        m_flow.timers().poll();
        updateLockKeys();
    });
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
    // Every mnemonic is unique in the menu bar and in each menu; where two commands' own
    // letters meet, one of them sits in a submenu.
    QMenuBar* bar = menuBar();
    QMenu* psn = bar->addMenu(QStringLiteral("人事管理(&P)"));
    for (int id : {2100, 2101, 2104, 33249, 33222})
        makeAction(id, psn);
    QMenu* wage = bar->addMenu(QStringLiteral("薪资管理(&G)"));
    for (int id : {33158, 2201, 2202})
        makeAction(id, wage);
    QMenu* sys = bar->addMenu(QStringLiteral("系统管理(&S)"));
    QMenu* organisation = sys->addMenu(QStringLiteral("组织与类别(&O)"));
    for (int id : {33188, 33189})
        makeAction(id, organisation);
    QMenu* structure = sys->addMenu(QStringLiteral("数据维护(&M)"));
    for (int id : {33174, 33171})
        makeAction(id, structure);
    makeAction(2300, sys);
    sys->addSeparator();
    for (int id : {2301, 2302})
        makeAction(id, sys);
    sys->addSeparator();
    QAction* quit = sys->addAction(QStringLiteral("退出(&X)"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* user = bar->addMenu(QStringLiteral("用户(&U)"));
    for (int id : {2303, 33230, 33301})
        makeAction(id, user);

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
    QAction* closeOne =
        window->addAction(QStringLiteral("关闭(&O)"), m_mdi, &QMdiArea::closeActiveSubWindow);
    closeOne->setShortcut(QKeySequence(QStringLiteral("Ctrl+F4")));
    closeOne->setObjectName(QStringLiteral("closeChild"));
    addAction(closeOne);
    makeAction(32871, window);
    window->addSeparator();
    window->addAction(QStringLiteral("层叠(&C)"), this, &CMainFrame::cascadeChildren)
        ->setObjectName(QStringLiteral("cascade"));
    window->addAction(QStringLiteral("平铺(&T)"), this, &CMainFrame::tileChildren);
    window->addAction(QStringLiteral("标签页(&B)"), this, &CMainFrame::tabChildren)
        ->setObjectName(QStringLiteral("tabbed"));
    window->addAction(QStringLiteral("下一个(&N)"), m_mdi, &QMdiArea::activateNextSubWindow);

    QMenu* help = bar->addMenu(QStringLiteral("帮助(&H)"));
    makeAction(CommandTable::HelpTopics, help);
    help->addSeparator();
    help->addAction(QStringLiteral("关于(&A)..."), this, &CMainFrame::showAbout)
        ->setObjectName(QStringLiteral("about"));

    for (QMenu* menu : {psn, wage, sys, organisation, structure})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateEnabling);
    updateEnabling();
}

void CMainFrame::cascadeChildren()
{
    // Cascading needs free windows: in tab mode every child would shrink to its minimum.
    m_mdi->setViewMode(QMdiArea::SubWindowView);
    const QSize size = (m_mdi->viewport()->size() * 0.7).expandedTo(QSize(320, 200));
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
    QPoint at(0, 0);
    for (QMdiSubWindow* child : m_mdi->subWindowList(QMdiArea::StackingOrder)) {
        child->showNormal();
        child->setGeometry(QRect(at, size));
        child->raise();
        at += QPoint(step, step);
        if (at.y() + size.height() > m_mdi->viewport()->height())
            at = QPoint(0, 0);
    }
}

void CMainFrame::tileChildren()
{
    m_mdi->setViewMode(QMdiArea::SubWindowView);
    for (QMdiSubWindow* child : m_mdi->subWindowList())
        child->showNormal();
    m_mdi->tileSubWindows();
}

void CMainFrame::tabChildren()
{
    m_mdi->setViewMode(QMdiArea::TabbedView);
    applyTabs();
    for (QMdiSubWindow* child : m_mdi->subWindowList())
        child->showMaximized();
}

void CMainFrame::showAbout()
{
    QMessageBox box(this);
    box.setWindowTitle(QStringLiteral("关于 %1").arg(core::COrvaneApp::productTitle()));
    box.setIconPixmap(AppLook::icon().pixmap(64, 64));
    box.setText(QStringLiteral("<h3>%1</h3><p>版本 %2</p>")
                    .arg(core::COrvaneApp::productTitle(), QStringLiteral(ORVANE_VERSION)));
    box.setInformativeText(QStringLiteral("人员档案、薪资核算与系统管理。<br>基于 Qt %1。")
                               .arg(QString::fromLatin1(qVersion())));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void CMainFrame::updateLockKeys()
{
    const auto keys = DesktopInput::lockKeys();
    if (!keys)
        return; // no desktop to ask: the key presses seen by the client keep the state
    const bool states[3] = {keys->capsLock, keys->numLock, keys->scrollLock};
    for (int i = 0; i < 3; ++i) {
        m_lockStates[i] = states[i];
        m_lockLabels[i]->setEnabled(states[i]);
    }
    m_desktopLockKeys = true;
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
    m_banner = banner;
    banner->viewport()->installEventFilter(this); // the height follows the width
    fitBanner();
    m_bannerDock->setWidget(banner);
    addDockWidget(Qt::TopDockWidgetArea, m_bannerDock);

    m_navBox = new QToolBox(this);
    m_navBox->setMinimumWidth(170);
    m_navDock = addDockPane(this, QStringLiteral("功能导航"), QStringLiteral("navigation"),
                            m_navBox, Qt::LeftDockWidgetArea,
                            QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);

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

void CMainFrame::fitBanner()
{
    // At least the stored height; more when a narrow window wraps the banner's text.
    QTextDocument* document = m_banner->document();
    document->setTextWidth(m_banner->viewport()->width());
    const int content = int(std::ceil(document->size().height())) + 2 * m_banner->frameWidth();
    const int height = qMax(qMax(56, m_app.settings().bannerHeight()), content);
    if (m_banner->height() != height)
        m_banner->setFixedHeight(height);
}

void CMainFrame::applyLook(int lookId)
{
    lookId = AppLook::apply(lookId);
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
        window = new CChildFrameWage(m_app, m_prompter, info);
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
    case CommandTable::WageSet: {
        payroll::ui::WageSetDialog dialog(m_app, m_prompter, this);
        dialog.exec();
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

// The wage archive: the chosen sort and month open a wage frame.
bool CMainFrame::chooseWageTable(ChildInfo& info)
{
    payroll::CDlgWageTableOpen archive(m_app, m_prompter);
    payroll::ui::WageTableOpenDialog dialog(archive, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const int fDate = archive.currentMonth();
    info.sortId = archive.sortId();
    info.sortTitle = archive.sortTitle();
    info.tableName = core::Catalog(m_app.database()).wageSortTable(info.sortId);
    info.fDate = QDate(fDate / 100, fDate % 100, 1);
    info.wageTableId = archive.months().currentKey();
    return true;
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
    QTimer::singleShot(10000, popup, &QWidget::close);
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
        auto* browser = new QTextBrowser(this);
        browser->setWindowFlag(Qt::Window);
        browser->setObjectName(QStringLiteral("help"));
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->setWindowTitle(QStringLiteral("帮助 - %1").arg(core::COrvaneApp::productTitle()));
        browser->resize(760, 560);
        const QString page = htmlPath(QStringLiteral("系统简介.htm"));
        if (QFileInfo::exists(page))
            browser->setSource(QUrl::fromLocalFile(page));
        else
            browser->setHtml(
                QStringLiteral("<p>找不到帮助文件 %1。</p>").arg(page.toHtmlEscaped()));
        // Centred over the frame when it opens.
        QRect area = geometry();
        if (isMinimized() || !isVisible())
            area = screen()->availableGeometry();
        QRect rect(QPoint(0, 0), browser->size());
        rect.moveCenter(area.center());
        browser->move(rect.topLeft());
        m_helpWindow = browser;
    }
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
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
    auto* idleOn = new QCheckBox(QStringLiteral("无操作时自动锁定(&I)"), &dialog);
    idleOn->setChecked(m_app.settings().enableIdleLocked() != 0);
    auto* idleMinutes = new QSpinBox(&dialog);
    idleMinutes->setRange(1, 1440);
    idleMinutes->setSuffix(QStringLiteral(" 分钟"));
    idleMinutes->setValue(qMax(1, m_app.settings().idleLockTime()));
    idleMinutes->setEnabled(idleOn->isChecked());
    connect(idleOn, &QCheckBox::toggled, idleMinutes, &QWidget::setEnabled);
    auto* askExit = new QCheckBox(QStringLiteral("退出前确认(&E)"), &dialog);
    askExit->setChecked(m_app.settings().exitYesNo() != 0);
    form->addRow(QStringLiteral("界面风格:"), look);
    form->addRow(QStringLiteral("标签样式:"), shape);
    form->addRow(QStringLiteral("标签位置:"), where);
    form->addRow(QString(), idleOn);
    form->addRow(QStringLiteral("锁定等待时间:"), idleMinutes);
    form->addRow(QString(), askExit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_app.settings().setEnableIdleLocked(idleOn->isChecked() ? 1 : 0);
    m_app.settings().setIdleLockTime(idleMinutes->value());
    m_app.settings().setExitYesNo(askExit->isChecked() ? 1 : 0);
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
    if (m_banner && watched == m_banner->viewport() && event->type() == QEvent::Resize)
        fitBanner();
    // Escape closes the help window like a dialog.
    if (m_helpWindow && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && watched->isWidgetType() &&
        (watched == m_helpWindow || m_helpWindow->isAncestorOf(static_cast<QWidget*>(watched)))) {
        m_helpWindow->close();
        return true;
    }
    if (m_popup && watched == m_popup && event->type() == QEvent::Hide)
        m_popupPos = m_popup->pos(); // however the popup goes, it comes back there
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int index = key == Qt::Key_CapsLock     ? 0
                          : key == Qt::Key_NumLock    ? 1
                          : key == Qt::Key_ScrollLock ? 2
                                                      : -1;
        if (index >= 0 && !m_desktopLockKeys && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
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
