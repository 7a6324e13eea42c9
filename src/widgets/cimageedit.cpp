#include "widgets/cimageedit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane::widgets {

CImageEdit::CImageEdit(QWidget* parent)
    : QFrame(parent), m_picture(new QLabel(this)),
      m_open(new QPushButton(QStringLiteral("照片..."), this)),
      m_clear(new QPushButton(QStringLiteral("清除"), this))
{
    setFrameShape(QFrame::StyledPanel);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(102, 126);
    m_picture->setText(QStringLiteral("无照片"));
    m_picture->setStyleSheet(QStringLiteral("color: gray; background: palette(base);"));
    for (QPushButton* b : {m_open, m_clear}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
    }
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    buttons->addWidget(m_open);
    buttons->addWidget(m_clear);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(m_picture, 1);
    layout->addLayout(buttons);
    connect(m_open, &QPushButton::clicked, this, &CImageEdit::openRequested);
    connect(m_clear, &QPushButton::clicked, this, &CImageEdit::clearRequested);
}

bool CImageEdit::setImageBytes(const QByteArray& bytes)
{
    m_pixmap = QPixmap();
    const bool ok = !bytes.isEmpty() && m_pixmap.loadFromData(bytes);
    if (!ok)
        m_pixmap = QPixmap();
    showScaled();
    return ok;
}

void CImageEdit::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    showScaled();
}

void CImageEdit::showScaled()
{
    if (m_pixmap.isNull()) {
        m_picture->setPixmap(QPixmap());
        m_picture->setText(QStringLiteral("无照片"));
        return;
    }
    m_picture->setPixmap(
        m_pixmap.scaled(m_picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace orvane::widgets
