#pragma once

#include "core/cdlglogin.h"

#include <QDialog>
#include <QPoint>

class QCheckBox;
class QLineEdit;

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::core::ui {

// The login window over CDlgLogin; also the re-login window of the main frame.
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    LoginDialog(COrvaneApp& app, Prompter& prompter, bool reloginMode = false,
                QWidget* parent = nullptr);

    CDlgLogin& workflow() { return m_login; }

public slots:
    void accept() override;

protected:
    // The window can be dragged by any point of its client area.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    COrvaneApp& m_app;
    Prompter& m_prompter;
    CDlgLogin m_login;
    QLineEdit* m_userEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QCheckBox* m_saveBox = nullptr;
    QPoint m_dragOffset;
    bool m_dragging = false;
};

} // namespace orvane::core::ui
