#include "core/cdlgappidlelocked.h"

#include "core/corvaneapp.h"
#include "core/passwordhash.h"

namespace orvane::core {

CDlgAppIdleLocked::CDlgAppIdleLocked(const COrvaneApp& app) : m_app(app) {}

QString CDlgAppIdleLocked::caption()
{
    return QStringLiteral("离开挂起 - ") + COrvaneApp::productTitle();
}

QString CDlgAppIdleLocked::userName() const
{
    return m_app.currentOperator().UserName;
}

CDlgAppIdleLocked::Result CDlgAppIdleLocked::unlock(const QString& password)
{
    if (passwordHash(password) == m_app.currentOperator().Pwd) {
        m_failed = 0;
        return Result::Unlocked;
    }
    ++m_failed;
    return m_failed >= kMaxAttempts ? Result::TooManyAttempts : Result::Stay;
}

QString CDlgAppIdleLocked::hint() const
{
    if (m_failed == 0)
        return QString();
    return QStringLiteral("密码错误（第%1次，共%2次机会），请重新输入。")
        .arg(m_failed)
        .arg(kMaxAttempts);
}

} // namespace orvane::core
