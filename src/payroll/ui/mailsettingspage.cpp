#include "payroll/ui/mailsettingspage.h"

#include "core/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

MailServerDialog::MailServerDialog(core::COrvaneApp& app, core::Prompter& prompter, int id,
                                   QWidget* parent)
    : QDialog(parent), m_flow(app, prompter, id)
{
    setObjectName(QStringLiteral("MailServerDialog"));
    setWindowTitle(QStringLiteral("发件邮箱设置"));
    const platform::MailServer& s = m_flow.server;
    const auto line = [this](const QString& text, const char* name) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(QLatin1String(name));
        edit->setMaxLength(50);
        return edit;
    };
    QLineEdit* host = line(s.host, "host");
    auto* port = new QSpinBox(this);
    port->setRange(1, 65535);
    port->setValue(s.port > 0 ? s.port : 25);
    auto* auth = new QCheckBox(QStringLiteral("SMTP服务器需要身份验证"), this);
    auth->setChecked(id == 0 || s.authenticate);
    auto* security = new QComboBox(this);
    security->addItems(CDlgMailServerSet::securityChoices());
    security->setCurrentIndex(std::clamp(s.security, 0, 2));
    QLineEdit* account = line(s.account, "account");
    QLineEdit* password = line(s.password, "password");
    password->setEchoMode(QLineEdit::Password);
    QLineEdit* sender = line(s.senderName, "sender");
    QLineEdit* address = line(s.address, "address");
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("发送邮件服务器(SMTP)："), host);
    form->addRow(QStringLiteral("SMTP端口："), port);
    form->addRow(auth);
    form->addRow(QStringLiteral("安全连接："), security);
    form->addRow(QStringLiteral("邮箱帐号："), account);
    form->addRow(QStringLiteral("密码："), password);
    form->addRow(QStringLiteral("发信人署名："), sender);
    form->addRow(QStringLiteral("电子邮件地址："), address);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &MailServerDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_collect = [=, this] {
        platform::MailServer& out = m_flow.server;
        out.host = host->text();
        out.port = port->value();
        out.authenticate = auth->isChecked();
        out.security = security->currentIndex();
        out.account = account->text();
        out.password = password->text();
        out.senderName = sender->text();
        out.address = address->text();
    };
}

void MailServerDialog::accept()
{
    m_collect();
    if (m_flow.save())
        QDialog::accept();
}

MailSettingsPage::MailSettingsPage(core::COrvaneApp& app, core::Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_app(app), m_prompter(prompter), m_flow(app, prompter)
{
    setObjectName(QStringLiteral("MailSettingsPage"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("mailboxes"));
    auto* add = new QPushButton(QStringLiteral("添加"), this);
    auto* modify = new QPushButton(QStringLiteral("修改"), this);
    auto* remove = new QPushButton(QStringLiteral("删除"), this);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(modify);
    buttons->addWidget(remove);
    buttons->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    row->addLayout(buttons);
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("addressField"));
    m_field->addItems(m_flow.fieldChoices());
    m_field->setCurrentText(m_flow.field);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("用于群发的邮箱："), this));
    layout->addLayout(row, 1);
    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(new QLabel(QStringLiteral("接收邮箱对应字段："), this));
    fieldRow->addWidget(m_field, 1);
    layout->addLayout(fieldRow);
    connect(add, &QPushButton::clicked, this, [this] { editMailbox(true); });
    connect(modify, &QPushButton::clicked, this, [this] { editMailbox(false); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { editMailbox(false); });
    connect(remove, &QPushButton::clicked, this, [this] {
        QListWidgetItem* item = m_list->currentItem();
        if (!item) {
            m_prompter.message(QStringLiteral("请选择项！"), core::promptCaption(),
                               core::Prompter::Icon::Warning);
            return;
        }
        if (m_flow.deleteMailbox(item->data(Qt::UserRole).toInt()))
            showMailboxes();
    });
    showMailboxes();
}

void MailSettingsPage::showMailboxes()
{
    m_list->clear();
    for (const auto& [id, address] : m_flow.mailboxes()) {
        auto* item = new QListWidgetItem(address, m_list);
        item->setData(Qt::UserRole, id);
    }
}

void MailSettingsPage::editMailbox(bool isNew)
{
    int id = 0;
    if (!isNew) {
        QListWidgetItem* item = m_list->currentItem();
        if (!item) {
            m_prompter.message(QStringLiteral("请选择项！"), core::promptCaption(),
                               core::Prompter::Icon::Warning);
            return;
        }
        id = item->data(Qt::UserRole).toInt();
    }
    MailServerDialog dialog(m_app, m_prompter, id, this);
    if (dialog.exec() == QDialog::Accepted)
        showMailboxes();
}

bool MailSettingsPage::apply()
{
    m_flow.field = m_field->currentText();
    return m_flow.apply();
}

} // namespace orvane::payroll::ui
