#pragma once

#include "payroll/cdlgmailserverset.h"

#include <QDialog>
#include <QWidget>

class QComboBox;
class QListWidget;

namespace orvane::payroll::ui {

// "发件邮箱设置": one sending mailbox.
class MailServerDialog : public QDialog
{
    Q_OBJECT
public:
    MailServerDialog(core::COrvaneApp& app, core::Prompter& prompter, int id,
                     QWidget* parent = nullptr);

private:
    void accept() override;

    CDlgMailServerSet m_flow;
    std::function<void()> m_collect;
};

// The options page "邮件设置": the mailboxes used for batch mail and the address field.
class MailSettingsPage : public QWidget
{
    Q_OBJECT
public:
    MailSettingsPage(core::COrvaneApp& app, core::Prompter& prompter, QWidget* parent = nullptr);
    // Writes the address field when it was changed.
    bool apply();

private:
    void showMailboxes();
    void editMailbox(bool isNew);

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    CPropertyPageAnnounce m_flow;
    QListWidget* m_list = nullptr;
    QComboBox* m_field = nullptr;
};

} // namespace orvane::payroll::ui
