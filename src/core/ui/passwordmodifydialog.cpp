#include "core/ui/passwordmodifydialog.h"

#include "core/ui/qtprompter.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace orvane::core::ui {

PasswordModifyDialog::PasswordModifyDialog(COrvaneApp& app, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_modify(app, prompter)
{
    setWindowTitle(QStringLiteral("修改密码"));
    setObjectName(QStringLiteral("PasswordModifyDialog"));
    auto makeEdit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setEchoMode(QLineEdit::Password);
        return e;
    };
    m_oldEdit = makeEdit("oldPassword");
    m_newEdit = makeEdit("newPassword");
    m_confirmEdit = makeEdit("confirmation");

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(QStringLiteral("原密码(&O)："), m_oldEdit);
    form->addRow(QStringLiteral("新密码(&N)："), m_newEdit);
    form->addRow(QStringLiteral("确认新密码(&C)："), m_confirmEdit);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PasswordModifyDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PasswordModifyDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(320);
    m_oldEdit->setFocus();
}

void PasswordModifyDialog::accept()
{
    PrompterParentScope scope(m_prompter, this);
    const auto result =
        m_modify.submit(m_oldEdit->text(), m_newEdit->text(), m_confirmEdit->text());
    if (result == CDlgPassWordModify::Result::Closed) {
        QDialog::accept();
        return;
    }
    QLineEdit* edit = m_modify.focusField() == CDlgPassWordModify::Field::OldPassword ? m_oldEdit
                      : m_modify.focusField() == CDlgPassWordModify::Field::NewPassword
                          ? m_newEdit
                          : m_confirmEdit;
    edit->setFocus();
    edit->selectAll();
}

} // namespace orvane::core::ui
