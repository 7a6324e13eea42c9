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

bool CDlgAppIdleLocked::unlock(const QString& password) const
{
    return passwordHash(password) == m_app.currentOperator().Pwd;
}

} // namespace orvane::core
