#include "widgets/cameracapturedialog.h"

#include <QBuffer>
#include <QCamera>
#include <QDialogButtonBox>
#include <QImage>
#include <QImageCapture>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace orvane::widgets {

CameraCaptureDialog::CameraCaptureDialog(QWidget* parent)
    : QDialog(parent), m_camera(new QCamera(this)), m_capture(new QImageCapture(this)),
      m_session(new QMediaCaptureSession(this)), m_video(new QVideoWidget(this)),
      m_take(new QPushButton(QStringLiteral("拍照(&P)"), this))
{
    setWindowTitle(QStringLiteral("拍照"));
    resize(480, 420);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_video, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->addButton(m_take, QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    m_session->setCamera(m_camera);
    m_session->setImageCapture(m_capture);
    m_session->setVideoOutput(m_video);
    connect(m_take, &QPushButton::clicked, m_capture, [this] { m_capture->capture(); });
    connect(m_capture, &QImageCapture::imageCaptured, this, [this](int, const QImage& image) {
        QBuffer buffer(&m_photo);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", 90);
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_camera->start();
}

CameraCaptureDialog::~CameraCaptureDialog()
{
    m_camera->stop();
}

bool CameraCaptureDialog::hasCamera()
{
    return !QMediaDevices::videoInputs().isEmpty();
}

QByteArray CameraCaptureDialog::capture(QWidget* parent)
{
    CameraCaptureDialog dialog(parent);
    return dialog.exec() == QDialog::Accepted ? dialog.photo() : QByteArray();
}

} // namespace orvane::widgets
