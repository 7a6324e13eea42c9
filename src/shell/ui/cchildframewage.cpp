#include "shell/ui/cchildframewage.h"

#include "payroll/ui/wageview.h"
#include "personnel/deptselection.h"
#include "shell/ui/dockpane.h"
#include "widgets/cdeptpane.h"

#include <QComboBox>
#include <QMainWindow>
#include <QTimer>

namespace orvane::shell::ui {

CChildFrameWage::CChildFrameWage(core::COrvaneApp& app, core::Prompter& prompter,
                                 const ChildInfo& info, QWidget* parent)
    : QMdiSubWindow(parent), m_info(info), m_inner(new QMainWindow)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(info.caption);
    m_inner->setWindowFlags(Qt::Widget);
    const int fDate = info.fDate.year() * 100 + info.fDate.month();
    m_view = new payroll::ui::WageView(app, prompter, info.sortId, fDate, m_inner);
    m_dept = new widgets::CDeptPane(app, m_inner);
    // Wide enough for the category list and two tree levels of department names; the grid
    // takes the rest.
    m_dept->setMinimumWidth(180);
    m_inner->setCentralWidget(m_view);
    QDockWidget* dock = addDockPane(m_inner, QStringLiteral("导航"), QStringLiteral("WageDeptPane"),
                                    m_dept, Qt::LeftDockWidgetArea);
    // The pane gets its width once the window is laid out.
    QTimer::singleShot(0, this,
                       [this, dock] { m_inner->resizeDocks({dock}, {200}, Qt::Horizontal); });
    setWidget(m_inner);

    // The month opens on the whole organisation and every category ("<所有类别>", the list's
    // last entry); the pane is set to match before it starts driving the view.
    m_view->open();
    m_dept->reload();
    m_dept->categoryList()->setCurrentIndex(m_dept->categoryList()->count() - 1);
    connect(m_view, &payroll::ui::WageView::closeRequested, this, &QWidget::close);
    connect(this, &QMdiSubWindow::aboutToActivate, this,
            [this] { m_view->workflow().publishContext(); });
    connect(m_dept, &widgets::CDeptPane::selectionChanged, this,
            [this](const personnel::DeptSelection& selection) {
                m_view->setNavigation(selection.departmentId, selection.categoryId);
            });
}

void CChildFrameWage::refresh()
{
    m_view->refresh();
}

} // namespace orvane::shell::ui
