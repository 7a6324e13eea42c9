#pragma once

#include "core/cdlgappidlelocked.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace orvane::core {
class COrvaneApp;
}

namespace orvane::core::ui {

// The idle lock window over CDlgAppIdleLocked: Escape and the close button do nothing; the dialog
// ends with OK on the right password and is rejected after the last allowed wrong one.
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
    QLabel* m_hint = nullptr;
};

} // namespace orvane::core::ui
