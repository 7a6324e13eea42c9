#include "shell/cpropertypagegeneral.h"

#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::shell {

CPropertyPageGeneral::CPropertyPageGeneral(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

bool CPropertyPageGeneral::load()
{
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("SELECT TOP 1 sContent FROM qp_SysOption WHERE nType=0")) ||
        rs.IsEOF())
        return false;
    const QStringList parts = rs.GetFieldString(QStringLiteral("sContent")).split(QLatin1Char('|'));
    if (parts.size() != 3)
        return false;
    mode = core::leadingInt(parts[0]);
    if (mode < 0 || mode > 3)
        mode = 0;
    length = core::leadingInt(parts[1]);
    prefix = parts[2];
    return true;
}

bool CPropertyPageGeneral::apply()
{
    if (length > MaxNumberLength) {
        m_prompter.message(QStringLiteral("人员编号长度不能超过50!"), core::promptCaption(),
                           core::Prompter::Icon::Warning);
        return false;
    }
    if (length < 0)
        length = 0;
    QString cleanPrefix = prefix;
    cleanPrefix.remove(QLatin1Char('|')); // the bar separates the parts
    const QString text = QStringLiteral("%1|%2|%3").arg(mode).arg(length).arg(cleanPrefix);
    db::CADODatabase& database = m_app.database();
    if (!database.Execute(QStringLiteral("UPDATE qp_SysOption SET sContent='%1' WHERE nType=0")
                              .arg(core::sqlEscape(text)))) {
        m_prompter.message(database.GetLastErrorString(), core::promptCaption(),
                           core::Prompter::Icon::Error);
        return false;
    }
    core::AddSystemLog(m_app, QStringLiteral("系统管理[系统设置->修改常规设置]"));
    return true;
}

} // namespace orvane::shell
