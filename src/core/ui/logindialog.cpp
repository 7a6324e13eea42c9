#include "core/ui/logindialog.h"

#include "core/corvaneapp.h"
#include "core/ui/dbconnectdialog.h"
#include "core/ui/qtprompter.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFont>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane::core::ui {

LoginDialog::LoginDialog(COrvaneApp& app, Prompter& prompter, bool reloginMode, QWidget* parent)
    : QDialog(parent), m_app(app), m_prompter(prompter), m_login(app, prompter, reloginMode)
{
    setWindowTitle(COrvaneApp::productTitle());
    setObjectName(QStringLiteral("LoginDialog"));

    auto* title =
        new QLabel(reloginMode ? QStringLiteral("重新登录") : QStringLiteral("用户登录"), this);
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);

    m_userEdit = new QLineEdit(this);
    m_userEdit->setObjectName(QStringLiteral("userName"));
    m_userEdit->setMaxLength(50);
    m_userEdit->setMinimumWidth(220);
    m_passwordEdit = new QLineEdit(this);
    m_passwordEdit->setObjectName(QStringLiteral("password"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_saveBox = new QCheckBox(QStringLiteral("保存用户名和密码(&S)"), this);
    m_saveBox->setObjectName(QStringLiteral("savePassword"));

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("用户名(&U)："), m_userEdit);
    form->addRow(QStringLiteral("密　码(&P)："), m_passwordEdit);
    form->addRow(QString(), m_saveBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("登录"));
    connect(buttons, &QDialogButtonBox::accepted, this, &LoginDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LoginDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 16);
    layout->setSpacing(14);
    layout->addWidget(title);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(360);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    m_login.runConnectDialog = [this] {
        DBConnectDialog dialog(m_app, m_prompter, this);
        dialog.exec();
    };
    m_login.open();
    m_userEdit->setText(m_login.userName());
    m_passwordEdit->setText(m_login.password());
    m_saveBox->setChecked(m_login.savePassword());
    connect(m_passwordEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_login.setPassword(text); });

    setTabOrder(m_userEdit, m_passwordEdit);
    setTabOrder(m_passwordEdit, m_saveBox);
    setTabOrder(m_saveBox, buttons);
    if (m_userEdit->text().isEmpty())
        m_userEdit->setFocus();
    else
        m_passwordEdit->setFocus();
}

void LoginDialog::accept()
{
    PrompterParentScope scope(m_prompter, this);
    m_login.setUserName(m_userEdit->text());
    m_login.setSavePassword(m_saveBox->isChecked());
    switch (m_login.submit()) {
    case CDlgLogin::Result::Accepted:
        QDialog::accept();
        break;
    case CDlgLogin::Result::Rejected:
        QDialog::reject();
        break;
    case CDlgLogin::Result::Stay:
        if (m_userEdit->text().trimmed().isEmpty()) {
            m_userEdit->setFocus();
        } else {
            m_passwordEdit->setFocus();
            m_passwordEdit->selectAll();
        }
        break;
    }
}

void LoginDialog::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    QDialog::mousePressEvent(event);
}

void LoginDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragOffset);
    else
        m_dragging = false;
    QDialog::mouseMoveEvent(event);
}

} // namespace orvane::core::ui
