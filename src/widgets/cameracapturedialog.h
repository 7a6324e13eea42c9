#pragma once

#include <QByteArray>
#include <QDialog>

class QCamera;
class QImageCapture;
class QMediaCaptureSession;
class QPushButton;
class QVideoWidget;

namespace orvane::widgets {

// The camera capture window for photographs: a live picture of the default camera and the
// button "拍照"; the taken picture is kept as JPEG bytes. hasCamera() tells beforehand whether
// there is any camera at all.
class CameraCaptureDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CameraCaptureDialog(QWidget* parent = nullptr);
    ~CameraCaptureDialog() override;

    static bool hasCamera();
    // Shows the window; the JPEG bytes of the picture taken, or nothing when cancelled.
    static QByteArray capture(QWidget* parent);

    QByteArray photo() const { return m_photo; }

private:
    QCamera* m_camera;
    QImageCapture* m_capture;
    QMediaCaptureSession* m_session;
    QVideoWidget* m_video;
    QPushButton* m_take;
    QByteArray m_photo;
};

} // namespace orvane::widgets
