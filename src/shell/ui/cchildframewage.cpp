#include "shell/ui/cchildframewage.h"

#include "payroll/ui/wageview.h"
#include "personnel/deptselection.h"
#include "widgets/cdeptpane.h"

#include <QDockWidget>
#include <QMainWindow>

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
    m_inner->setCentralWidget(m_view);
    auto* dock = new QDockWidget(QStringLiteral("导航"), m_inner);
    dock->setObjectName(QStringLiteral("WageDeptPane"));
    dock->setWidget(m_dept);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_inner->addDockWidget(Qt::LeftDockWidgetArea, dock);
    m_inner->resizeDocks({dock}, {190}, Qt::Horizontal);
    setWidget(m_inner);

    m_view->open();
    connect(m_view, &payroll::ui::WageView::closeRequested, this, &QWidget::close);
    connect(this, &QMdiSubWindow::aboutToActivate, this,
            [this] { m_view->workflow().publishContext(); });
    connect(m_dept, &widgets::CDeptPane::selectionChanged, this,
            [this](const personnel::DeptSelection& selection) {
                m_view->setNavigation(selection.departmentId, selection.categoryId);
            });
    m_dept->reload();
}

void CChildFrameWage::refresh()
{
    m_view->refresh();
}

} // namespace orvane::shell::ui
