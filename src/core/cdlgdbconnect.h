#pragma once

#include <QString>

namespace orvane::core {

class COrvaneApp;
class Prompter;

// The connection settings dialog: tests a connection and writes hr.ini.
class CDlgDBConnect
{
public:
    enum Choice { IntegratedSecurity = 0, ServerLogin = 1 };
    enum class Field { None, Server, User };

    CDlgDBConnect(COrvaneApp& app, Prompter& prompter);

    // Fills the fields from the current hr.ini, when it holds usable settings.
    void open();

    QString server;
    QString user;
    QString password;
    int choice = ServerLogin;

    // User name and password are only asked for a server login.
    bool credentialsEnabled() const { return choice == ServerLogin; }

    // Lets the operator pick an embedded database file as the server; an embedded file needs no
    // login, so the choice becomes integrated. False when the operator cancels.
    bool chooseDatabaseFile();

    // The connection string of the fields as they are.
    QString connectionString() const;
    // Opens a temporary connection and reports whether it worked.
    bool test();
    // Checks the fields and writes hr.ini; false keeps the dialog open with focusField() set.
    bool accept();
    Field focusField() const { return m_focus; }

private:
    COrvaneApp& m_app;
    Prompter& m_prompter;
    Field m_focus = Field::None;
};

} // namespace orvane::core
