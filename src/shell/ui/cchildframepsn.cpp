#include "shell/ui/cchildframepsn.h"

#include "payroll/ui/wageoutputcommands.h"

#include "core/corvaneapp.h"
#include "personnel/deptselection.h"
#include "personnel/ui/attachmentpanewidget.h"
#include "personnel/ui/personnelview.h"
#include "personnel/ui/photopanewidget.h"
#include "personnel/ui/relatedrecordspanewidget.h"
#include "widgets/cdeptpane.h"
#ifdef ORVANE_HAVE_CAMERA
#include "widgets/cameracapturedialog.h"
#endif

#include "shell/ui/dockpane.h"

#include <QCloseEvent>
#include <QMainWindow>

namespace orvane::shell::ui {

namespace {

constexpr const char* kLayoutKey = "PsnFrameLayout";

} // namespace

CChildFramePsn::CChildFramePsn(core::COrvaneApp& app, core::Prompter& prompter, int handle,
                               QWidget* parent)
    : QMdiSubWindow(parent), m_app(app), m_handle(handle), m_inner(new QMainWindow)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("人员档案"));
    m_inner->setWindowFlags(Qt::Widget);
    m_inner->setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
    m_view = new personnel::ui::PersonnelView(app, prompter, m_inner);
    m_dept = new widgets::CDeptPane(app, m_inner);
    m_related = new personnel::ui::RelatedRecordsPaneWidget(app, prompter, m_inner);
    m_photo = new personnel::ui::PhotoPaneWidget(app, prompter, m_inner);
    m_files = new personnel::ui::AttachmentPaneWidget(app, prompter, m_inner);
    m_inner->setCentralWidget(m_view);
    QDockWidget* dept = addDockPane(m_inner, QStringLiteral("部门"), QStringLiteral("DeptPane"),
                                    m_dept, Qt::LeftDockWidgetArea);
    QDockWidget* related =
        addDockPane(m_inner, QStringLiteral("相关资料"), QStringLiteral("RelatInfoPane"), m_related,
                    Qt::BottomDockWidgetArea);
    QDockWidget* photo = addDockPane(m_inner, QStringLiteral("相片"), QStringLiteral("PhotoPane"),
                                     m_photo, Qt::RightDockWidgetArea);
    QDockWidget* files = addDockPane(m_inner, QStringLiteral("附件"), QStringLiteral("AdjunctPane"),
                                     m_files, Qt::RightDockWidgetArea);
    m_inner->splitDockWidget(photo, files, Qt::Vertical);
    m_inner->resizeDocks({photo, files}, {200, 260}, Qt::Vertical);
    m_inner->resizeDocks({photo, dept}, {200, 175}, Qt::Horizontal);
    m_inner->resizeDocks({related}, {170}, Qt::Vertical);
    setWidget(m_inner);

#ifdef ORVANE_HAVE_CAMERA
    if (widgets::CameraCaptureDialog::hasCamera())
        m_photo->capturePhoto = &widgets::CameraCaptureDialog::capture;
#endif

    connect(m_view, &personnel::ui::PersonnelView::personSelected, this,
            [this](const personnel::SelectedPerson& person) {
                m_related->setPerson(person);
                m_photo->setPerson(person);
                m_files->setPerson(person);
            });
    connect(m_view, &personnel::ui::PersonnelView::closeRequested, this, &QWidget::close);
    core::Prompter* operatorPrompter = &prompter;
    connect(m_view, &personnel::ui::PersonnelView::mailTemplatesRequested, this,
            [this, operatorPrompter] {
                payroll::ui::manageMailTemplates(m_app, *operatorPrompter, 0, this);
            });
    connect(m_view, &personnel::ui::PersonnelView::mailSendRequested, this,
            [this, operatorPrompter] {
                payroll::ui::sendNotices(m_app, *operatorPrompter, m_view->workflow().whereClause(),
                                         m_view->workflow().orderClause(), this);
            });
    connect(m_dept, &widgets::CDeptPane::selectionChanged, this,
            [this](const personnel::DeptSelection& selection) {
                m_view->setNavigation(selection.departmentId, selection.categoryId);
            });

    const QByteArray layout =
        QByteArray::fromBase64(app.settings().textValue(kLayoutKey).toLatin1());
    if (!layout.isEmpty())
        m_inner->restoreState(layout);
    m_related->reloadTabs();
    m_dept->reload();
}

void CChildFramePsn::closeEvent(QCloseEvent* event)
{
    m_app.settings().setValue(kLayoutKey, QString::fromLatin1(m_inner->saveState().toBase64()));
    QMdiSubWindow::closeEvent(event);
}

} // namespace orvane::shell::ui
