#pragma once

#include <QByteArray>
#include <QFrame>

class QLabel;
class QPushButton;

namespace orvane::widgets {

// The photo control of the person form and the photo pane: shows a picture from its file bytes,
// scaled to fit, with buttons to choose a file and to clear it. The owner decides what the
// buttons do (file choice, checks and storing live in the workflow).
class CImageEdit : public QFrame
{
    Q_OBJECT
public:
    explicit CImageEdit(QWidget* parent = nullptr);

    // Shows the picture; false (and an empty control) when the bytes are not a picture.
    bool setImageBytes(const QByteArray& bytes);
    void clearImage() { setImageBytes({}); }
    bool hasImage() const { return !m_pixmap.isNull(); }

    QPushButton* openButton() const { return m_open; }
    QPushButton* clearButton() const { return m_clear; }

signals:
    void openRequested();
    void clearRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showScaled();

    QLabel* m_picture;
    QPushButton* m_open;
    QPushButton* m_clear;
    QPixmap m_pixmap;
};

} // namespace orvane::widgets
