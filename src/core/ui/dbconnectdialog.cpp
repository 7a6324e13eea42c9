#include "core/ui/dbconnectdialog.h"

#include "core/ui/qtprompter.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orvane::core::ui {

DBConnectDialog::DBConnectDialog(COrvaneApp& app, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_connect(app, prompter)
{
    setWindowTitle(QStringLiteral("数据库连接设置"));
    setObjectName(QStringLiteral("DBConnectDialog"));

    m_serverEdit = new QLineEdit(this);
    m_serverEdit->setObjectName(QStringLiteral("server"));
    m_serverEdit->setPlaceholderText(
        QStringLiteral("服务器名称、IP、数据库文件或 postgresql://主机:端口/数据库"));
    m_serverEdit->setToolTip(QStringLiteral(
        "PostgreSQL 服务器：postgresql://主机:端口/数据库，用户和密码填在下面（集成安全使用本机"
        "账户）；\n嵌入式数据库：数据库文件的路径"));
    auto* browse = new QPushButton(QStringLiteral("浏览(&B)..."), this);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAutoDefault(false);
    auto* serverRow = new QHBoxLayout;
    serverRow->addWidget(m_serverEdit, 1);
    serverRow->addWidget(browse);

    m_integrated = new QRadioButton(QStringLiteral("集成安全验证(&W)"), this);
    m_login = new QRadioButton(QStringLiteral("数据库用户登录(&L)"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(m_integrated, CDlgDBConnect::IntegratedSecurity);
    group->addButton(m_login, CDlgDBConnect::ServerLogin);
    auto* authBox = new QGroupBox(QStringLiteral("身份验证"), this);
    auto* authLayout = new QVBoxLayout(authBox);
    authLayout->addWidget(m_integrated);
    authLayout->addWidget(m_login);

    m_userEdit = new QLineEdit(this);
    m_userEdit->setObjectName(QStringLiteral("user"));
    m_passwordEdit = new QLineEdit(this);
    m_passwordEdit->setObjectName(QStringLiteral("password"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* serverLabel = new QLabel(QStringLiteral("服务器(&S)："), this);
    serverLabel->setBuddy(m_serverEdit);
    form->addRow(serverLabel, serverRow);
    form->addRow(authBox);
    form->addRow(QStringLiteral("用户名(&U)："), m_userEdit);
    form->addRow(QStringLiteral("密　码(&P)："), m_passwordEdit);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* test = new QPushButton(QStringLiteral("测试连接(&T)"), this);
    test->setObjectName(QStringLiteral("test"));
    test->setAutoDefault(false);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(test);
    buttonRow->addStretch(1);
    buttonRow->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addLayout(buttonRow);
    m_serverEdit->setMinimumWidth(260);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons, &QDialogButtonBox::accepted, this, &DBConnectDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DBConnectDialog::reject);
    connect(group, &QButtonGroup::idClicked, this, [this](int id) {
        m_connect.choice = id;
        updateEnabled();
    });
    connect(test, &QPushButton::clicked, this, [this] {
        PrompterParentScope scope(m_prompter, this);
        pullFields();
        m_connect.test();
    });
    connect(browse, &QPushButton::clicked, this, [this] {
        PrompterParentScope scope(m_prompter, this);
        pullFields();
        if (m_connect.chooseDatabaseFile())
            showFields();
    });

    m_connect.open();
    showFields();
}

void DBConnectDialog::pullFields()
{
    m_connect.server = m_serverEdit->text();
    m_connect.user = m_userEdit->text();
    m_connect.password = m_passwordEdit->text();
    m_connect.choice =
        m_integrated->isChecked() ? CDlgDBConnect::IntegratedSecurity : CDlgDBConnect::ServerLogin;
}

void DBConnectDialog::showFields()
{
    m_serverEdit->setText(m_connect.server);
    m_userEdit->setText(m_connect.user);
    m_passwordEdit->setText(m_connect.password);
    (m_connect.choice == CDlgDBConnect::IntegratedSecurity ? m_integrated : m_login)
        ->setChecked(true);
    updateEnabled();
}

void DBConnectDialog::updateEnabled()
{
    const bool on = m_connect.credentialsEnabled();
    m_userEdit->setEnabled(on);
    m_passwordEdit->setEnabled(on);
}

void DBConnectDialog::accept()
{
    PrompterParentScope scope(m_prompter, this);
    pullFields();
    if (m_connect.accept()) {
        QDialog::accept();
        return;
    }
    switch (m_connect.focusField()) {
    case CDlgDBConnect::Field::User:
        m_userEdit->setFocus();
        break;
    default:
        m_serverEdit->setFocus();
        break;
    }
}

} // namespace orvane::core::ui
