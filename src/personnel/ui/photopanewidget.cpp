#include "personnel/ui/photopanewidget.h"

#include "core/prompter.h"
#include "widgets/cimageedit.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QVBoxLayout>

namespace orvane::personnel::ui {

PhotoPaneWidget::PhotoPaneWidget(core::COrvaneApp& app, core::Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_pane(app, prompter),
      m_picture(new widgets::CImageEdit(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_picture);
    connect(m_picture, &widgets::CImageEdit::openRequested, this, [this] {
        if (m_pane.openPhoto())
            showPhoto();
    });
    connect(m_picture, &widgets::CImageEdit::clearRequested, this, [this] {
        if (m_pane.clearPhoto())
            showPhoto();
    });
    setEnabled(false);
}

void PhotoPaneWidget::setPerson(const SelectedPerson& person)
{
    m_pane.setPerson(person);
    setEnabled(person.isValid());
    showPhoto();
}

void PhotoPaneWidget::showPhoto()
{
    m_picture->setImageBytes(m_pane.photo());
}

void PhotoPaneWidget::takePicture()
{
    if (!capturePhoto) {
        m_prompter.message(QStringLiteral("本机没有可用的摄像头。"), core::promptCaption(),
                           core::Prompter::Icon::Warning);
        return;
    }
    const QByteArray bytes = capturePhoto(this);
    if (!bytes.isEmpty() && m_pane.setCapturedPhoto(bytes))
        showPhoto();
}

void PhotoPaneWidget::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("打开(&O)"), this, [this] {
        if (m_pane.openPhoto())
            showPhoto();
    });
    menu.addAction(QStringLiteral("另存为(&A)"), this, [this] { m_pane.savePhotoAs(); })
        ->setEnabled(m_pane.hasPhoto());
    menu.addAction(QStringLiteral("拍照(&P)"), this, &PhotoPaneWidget::takePicture);
    menu.addAction(QStringLiteral("清除(&C)"), this, [this] {
        if (m_pane.clearPhoto())
            showPhoto();
    });
    menu.exec(event->globalPos());
}

} // namespace orvane::personnel::ui
