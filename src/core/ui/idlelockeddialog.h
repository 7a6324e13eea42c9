#pragma once

#include "core/cdlgappidlelocked.h"

#include <QDialog>

class QLineEdit;

namespace orvane::core {
class COrvaneApp;
}

namespace orvane::core::ui {

// The idle lock window over CDlgAppIdleLocked: Cancel, Escape and the close button do nothing.
class IdleLockedDialog : public QDialog
{
    Q_OBJECT
public:
    explicit IdleLockedDialog(const COrvaneApp& app, QWidget* parent = nullptr);

public slots:
    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CDlgAppIdleLocked m_lock;
    QLineEdit* m_passwordEdit = nullptr;
};

} // namespace orvane::core::ui
