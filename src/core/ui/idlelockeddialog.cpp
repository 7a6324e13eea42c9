#include "core/ui/idlelockeddialog.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane::core::ui {

IdleLockedDialog::IdleLockedDialog(const COrvaneApp& app, QWidget* parent)
    : QDialog(parent), m_lock(app)
{
    setWindowTitle(CDlgAppIdleLocked::caption());
    setObjectName(QStringLiteral("IdleLockedDialog"));
    setWindowFlag(Qt::WindowCloseButtonHint, false);

    auto* hint = new QLabel(QStringLiteral("系统已挂起，请输入登录密码解除锁定。"), this);
    auto* user = new QLineEdit(m_lock.userName(), this);
    user->setObjectName(QStringLiteral("userName"));
    user->setReadOnly(true);
    user->setFocusPolicy(Qt::NoFocus);
    m_passwordEdit = new QLineEdit(this);
    m_passwordEdit->setObjectName(QStringLiteral("password"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);

    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("hint"));
    m_hint->setStyleSheet(QStringLiteral("color: #c0392b;"));
    m_hint->hide();

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(QStringLiteral("用户名："), user);
    form->addRow(QStringLiteral("密　码(&P)："), m_passwordEdit);

    // Only OK: the lock cannot be cancelled, so there is no button that would do nothing.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("解除锁定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &IdleLockedDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(form);
    layout->addWidget(m_hint);
    layout->addWidget(buttons);
    setMinimumWidth(340);
    m_passwordEdit->setFocus();
}

void IdleLockedDialog::accept()
{
    switch (m_lock.unlock(m_passwordEdit->text())) {
    case CDlgAppIdleLocked::Result::Unlocked:
        QDialog::accept();
        return;
    case CDlgAppIdleLocked::Result::TooManyAttempts:
        QDialog::done(QDialog::Rejected);
        return;
    case CDlgAppIdleLocked::Result::Stay:
        break;
    }
    m_hint->setText(m_lock.hint());
    m_hint->show();
    m_passwordEdit->setFocus();
    m_passwordEdit->selectAll();
}

void IdleLockedDialog::reject()
{
    // Only the right password leaves the lock.
}

void IdleLockedDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

} // namespace orvane::core::ui
