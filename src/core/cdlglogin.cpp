#include "core/cdlglogin.h"

#include "core/appsettings.h"
#include "core/connectconfig.h"
#include "core/operatorrights.h"
#include "core/passwordhash.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/connectionstring.h"
#include "platform/configcipher.h"

#include <QFileInfo>
#include <QSysInfo>

namespace orvane::core {

namespace {
constexpr int kRememberedPasswordWidth = 12;
} // namespace

CDlgLogin::CDlgLogin(COrvaneApp& app, Prompter& prompter, bool reloginMode)
    : m_app(app), m_prompter(prompter), m_relogin(reloginMode)
{
}

void CDlgLogin::open()
{
    AppSettings& s = m_app.settings();
    m_savePassword = s.saveUserPwd() != 0;
    if (m_savePassword) {
        m_userName = s.userName();
        m_password = s.password();
    }
    m_passwordEdited = false;
}

void CDlgLogin::setPassword(const QString& password)
{
    m_password = password;
    m_passwordEdited = true;
}

CDlgLogin::Result CDlgLogin::submit()
{
    QString userName = m_userName.trimmed();
    userName.remove(QLatin1Char(';'));
    userName.remove(QLatin1Char(','));
    const QString password = m_passwordEdited
                                 ? m_password.trimmed()
                                 : platform::ConfigCipher::transform(1, m_password).trimmed();

    if (userName.isEmpty()) {
        m_prompter.message(QStringLiteral("用户名不能为空!"), promptCaption(),
                           Prompter::Icon::Warning);
        return Result::Stay;
    }
    if (!m_relogin && !openDatabase())
        return Result::Stay;

    db::CADODatabase& database = m_app.database();
    db::CADORecordset rs(&database);
    const QString sql = QStringLiteral("SELECT UserID,UserName,ISuper,Locked,Pwd,Purview FROM "
                                       "qp_Users WHERE Upper(UserName)='%1'")
                            .arg(sqlEscape(userName.toUpper()));
    if (!rs.Open(sql))
        return Result::Stay;
    if (rs.IsEOF() || passwordHash(password) != rs.GetFieldString(QStringLiteral("Pwd"))) {
        rs.Close();
        return failedAttempt(userName);
    }
    if (rs.GetFieldInt(QStringLiteral("Locked")) != 0) {
        m_prompter.message(QStringLiteral("抱歉,该用户被锁定,请与管理员联系!"), promptCaption(),
                           Prompter::Icon::Warning);
        return Result::Stay;
    }

    OperatorRecord op;
    op.UserID = rs.GetFieldInt(QStringLiteral("UserID"));
    op.UserName = rs.GetFieldString(QStringLiteral("UserName"));
    op.ISuper = rs.GetFieldInt(QStringLiteral("ISuper")) != 0;
    op.Pwd = rs.GetFieldString(QStringLiteral("Pwd"));
    const QString purview = rs.GetFieldString(QStringLiteral("Purview"));
    rs.Close();
    OperatorRights::applyPurview(database, op, purview);
    // The operator who was logged in before a re-login leaves the system.
    if (m_relogin && m_app.isLoggedIn())
        AddSystemLog(m_app, QStringLiteral("登出系统"));
    m_app.setCurrentOperator(op);

    rememberLogin(userName, password);
    AddSystemLog(m_app, QStringLiteral("登录系统[计算机名：") + QSysInfo::machineHostName() +
                            QLatin1Char(']'));
    return Result::Accepted;
}

bool CDlgLogin::openDatabase()
{
    const auto config = ConnectConfig::read(m_app.iniPath());
    if (!config) {
        m_prompter.message(QStringLiteral("数据库连接配置没找到!"), promptCaption(),
                           Prompter::Icon::Warning);
        if (runConnectDialog)
            runConnectDialog();
        return false;
    }
    m_app.setConnectionString(config->connectionString());
    if (!m_app.database().Open(m_app.connectionString())) {
        m_prompter.message(
            QStringLiteral("登录失败! \n\r\n\r请检查:\n\r1.网络连接是否正常!\n\r"
                           "2.数据库服务器是否正常运行!\n\r3.数据库连接配置是否正确!") +
                openFailureDetail(config->server),
            promptCaption(), Prompter::Icon::Error);
        if (runConnectDialog)
            runConnectDialog();
        return false;
    }
    // The retention decides whether even this login is logged.
    m_app.setRecentDays(readRecentDays(m_app.database()));
    return true;
}

QString CDlgLogin::openFailureDetail(const QString& server) const
{
    QString reason;
    if (db::ConnectionString::looksLikeFilePath(server)) {
        const QFileInfo file(server);
        if (!file.exists())
            reason = QStringLiteral("数据库文件不存在");
        else if (!file.isFile())
            reason = QStringLiteral("该路径不是一个文件");
        else if (!file.isReadable())
            reason = QStringLiteral("没有读取该文件的权限");
    }
    if (reason.isEmpty())
        reason = m_app.database().GetLastErrorString();
    return QStringLiteral("\n\r\n\r数据库：%1\n\r原因：%2").arg(server, reason);
}

CDlgLogin::Result CDlgLogin::failedAttempt(const QString& userName)
{
    ++m_failedAttempts;
    AddSystemLogAs(m_app, userName,
                   QStringLiteral("系统管理[登录失败'%1'第%2次,计算机名：%3]")
                       .arg(userName)
                       .arg(m_failedAttempts)
                       .arg(QSysInfo::machineHostName()));
    if (m_failedAttempts < kMaxAttempts) {
        m_prompter.message(
            QStringLiteral("错误：第%1次错误，请确认后重新输入!").arg(m_failedAttempts),
            promptCaption(), Prompter::Icon::Warning);
        return Result::Stay;
    }
    m_prompter.message(QStringLiteral("错误：输入错误!请联系统管理员!"), promptCaption(),
                       Prompter::Icon::Error);
    return Result::Rejected;
}

void CDlgLogin::rememberLogin(const QString& userName, const QString& password)
{
    AppSettings& s = m_app.settings();
    s.setSaveUserPwd(m_savePassword ? 1 : 0);
    if (m_savePassword) {
        s.setUserName(userName);
        s.setPassword(platform::ConfigCipher::transform(
            0, password.leftJustified(kRememberedPasswordWidth, QLatin1Char(' '))));
    } else {
        s.setUserName(QString());
        s.setPassword(QString());
    }
    s.sync();
}

} // namespace orvane::core
