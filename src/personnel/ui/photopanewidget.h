#pragma once

#include "personnel/cphotopane.h"

#include <QWidget>

#include <functional>

namespace orvane::widgets {
class CImageEdit;
}

namespace orvane::personnel::ui {

// The photo pane ("相片") over CPhotoPane: the shared picture control and the context menu
// "打开", "另存为", "拍照", "清除".
class PhotoPaneWidget : public QWidget
{
    Q_OBJECT
public:
    PhotoPaneWidget(core::COrvaneApp& app, core::Prompter& prompter, QWidget* parent = nullptr);

    CPhotoPane& workflow() { return m_pane; }
    widgets::CImageEdit* picture() const { return m_picture; }
    void setPerson(const SelectedPerson& person);

    // Runs the camera capture window; returns the picture's JPEG bytes or nothing.
    std::function<QByteArray(QWidget* parent)> capturePhoto;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void showPhoto();
    void takePicture();

    core::Prompter& m_prompter;
    CPhotoPane m_pane;
    widgets::CImageEdit* m_picture;
};

} // namespace orvane::personnel::ui
