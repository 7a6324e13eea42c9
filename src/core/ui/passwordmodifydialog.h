#pragma once

#include "core/cdlgpasswordmodify.h"

#include <QDialog>

class QLineEdit;

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::core::ui {

// The password change window over CDlgPassWordModify.
class PasswordModifyDialog : public QDialog
{
    Q_OBJECT
public:
    PasswordModifyDialog(COrvaneApp& app, Prompter& prompter, QWidget* parent = nullptr);

public slots:
    void accept() override;

private:
    Prompter& m_prompter;
    CDlgPassWordModify m_modify;
    QLineEdit* m_oldEdit = nullptr;
    QLineEdit* m_newEdit = nullptr;
    QLineEdit* m_confirmEdit = nullptr;
};

} // namespace orvane::core::ui
