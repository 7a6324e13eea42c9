#pragma once

#include "core/corvaneapp.h"

#include <QString>

#include <functional>

namespace orvane::core {

class Prompter;

// The login: checks a user name and password against qp_Users and makes that operator the
// logged-in one. At start-up it first opens the shared database from hr.ini; in re-login mode the
// open database is used and the previous operator stays unless the new login succeeds.
class CDlgLogin
{
public:
    enum class Result { Stay, Accepted, Rejected };

    CDlgLogin(COrvaneApp& app, Prompter& prompter, bool reloginMode = false);

    // Fills the fields from the remembered settings (as the dialog opens).
    void open();

    QString userName() const { return m_userName; }
    void setUserName(const QString& name) { m_userName = name; }
    // The password field: after open() it may hold the remembered enciphered text.
    QString password() const { return m_password; }
    // Typing in the password field: from now on the field holds a plain password.
    void setPassword(const QString& password);
    bool passwordEdited() const { return m_passwordEdited; }
    bool savePassword() const { return m_savePassword; }
    void setSavePassword(bool on) { m_savePassword = on; }
    bool reloginMode() const { return m_relogin; }
    int failedAttempts() const { return m_failedAttempts; }

    // The OK button. Stay: the dialog stays open; Accepted: the operator is logged in;
    // Rejected: the third failed attempt cancels the dialog.
    Result submit();

    // Runs the connection dialog when the configuration is missing or does not connect.
    std::function<void()> runConnectDialog;

    // Maximum failed attempts before the dialog closes.
    static constexpr int kMaxAttempts = 3;

private:
    bool openDatabase();
    Result failedAttempt(const QString& userName);
    // The file and the reason when the database could not be opened.
    QString openFailureDetail(const QString& server) const;
    void rememberLogin(const QString& userName, const QString& password);

    COrvaneApp& m_app;
    Prompter& m_prompter;
    bool m_relogin = false;
    QString m_userName;
    QString m_password;
    bool m_passwordEdited = false;
    bool m_savePassword = false;
    int m_failedAttempts = 0;
};

} // namespace orvane::core
