#pragma once

#include "payroll/mailsettings.h"

#include <QStringList>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// The mailbox editor "发件邮箱设置".
class CDlgMailServerSet
{
public:
    // id 0 for a new mailbox.
    CDlgMailServerSet(core::COrvaneApp& app, core::Prompter& prompter, int id);
    static QStringList securityChoices()
    {
        return {QStringLiteral("不需要安全连接"), QStringLiteral("安全连接SSL"),
                QStringLiteral("安全连接TLS")};
    }
    platform::MailServer server;
    // "确定": checks and stores the mailbox (password enciphered) and logs it.
    bool save();

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_id;
    QString m_storedAddress;
};

// The options page "邮件设置": the sending mailboxes and the personnel field of the address.
class CPropertyPageAnnounce
{
public:
    CPropertyPageAnnounce(core::COrvaneApp& app, core::Prompter& prompter);
    // Rows of "SELECT id,mailadr FROM qp_BatchMailSet WHERE dt=3 ORDER BY id".
    std::vector<std::pair<int, QString>> mailboxes() const;
    QStringList fieldChoices() const;
    QString field;
    // "删除": asks "确定删除 %s 吗?" first.
    bool deleteMailbox(int id);
    // Writes a changed address field.
    bool apply();

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    QString m_storedField;
};

} // namespace orvane::payroll
