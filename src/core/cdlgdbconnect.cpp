#include "core/cdlgdbconnect.h"

#include "core/connectconfig.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "db/cadodatabase.h"

#include <QFileInfo>

namespace orvane::core {

CDlgDBConnect::CDlgDBConnect(COrvaneApp& app, Prompter& prompter) : m_app(app), m_prompter(prompter)
{
}

void CDlgDBConnect::open()
{
    if (const auto config = ConnectConfig::read(m_app.iniPath())) {
        server = config->server;
        user = config->user;
        password = config->password;
        choice = config->integrated ? IntegratedSecurity : ServerLogin;
    }
}

bool CDlgDBConnect::chooseDatabaseFile()
{
    const QString dir = server.isEmpty() ? m_app.programFolder() : QFileInfo(server).path();
    const QString path = m_prompter.openFileName(
        QStringLiteral("选择数据库文件"), dir,
        QStringLiteral("数据库文件 (*.db *.sqlite *.sqlite3);;所有文件 (*)"));
    if (path.isEmpty())
        return false;
    server = path;
    choice = IntegratedSecurity;
    return true;
}

QString CDlgDBConnect::connectionString() const
{
    ConnectConfig c{server.trimmed(), user.trimmed(), password, choice == IntegratedSecurity};
    return c.connectionString();
}

bool CDlgDBConnect::test()
{
    db::CADODatabase probe;
    const bool ok = probe.Open(connectionString());
    probe.Close();
    if (ok) {
        m_prompter.message(QStringLiteral("连接成功！"), promptCaption(),
                           Prompter::Icon::Information);
    } else {
        m_prompter.message(QStringLiteral("连接失败！"), promptCaption(), Prompter::Icon::Error);
    }
    return ok;
}

bool CDlgDBConnect::accept()
{
    m_focus = Field::None;
    if (server.trimmed().isEmpty()) {
        m_prompter.message(QStringLiteral("请输入数据库服务器名称或IP!"), promptCaption(),
                           Prompter::Icon::Warning);
        m_focus = Field::Server;
        return false;
    }
    if (choice == ServerLogin && user.trimmed().isEmpty()) {
        m_prompter.message(QStringLiteral("用户名称不能为空!"), promptCaption(),
                           Prompter::Icon::Warning);
        m_focus = Field::User;
        return false;
    }
    const bool integrated = choice == IntegratedSecurity;
    QString error;
    if (!ConnectConfig::write(m_app.iniPath(), server.trimmed(), integrated,
                              integrated ? QString() : user.trimmed(),
                              integrated ? QString() : password, &error)) {
        m_prompter.message(QStringLiteral("连接配置保存失败!\n%1").arg(error), promptCaption(),
                           Prompter::Icon::Error);
        m_focus = Field::Server;
        return false;
    }
    return true;
}

} // namespace orvane::core
