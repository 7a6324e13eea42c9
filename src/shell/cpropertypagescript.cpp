#include "shell/cpropertypagescript.h"

#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::shell {

CPropertyPageScript::CPropertyPageScript(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

bool CPropertyPageScript::load()
{
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("SELECT TOP 1 id,sContent FROM qp_SysOption WHERE nType=1")) ||
        rs.IsEOF())
        return false;
    m_id = rs.GetFieldString(QStringLiteral("id")).toInt();
    m_text = rs.GetFieldString(QStringLiteral("sContent"));
    return true;
}

bool CPropertyPageScript::apply(const QString& text)
{
    if (m_id == 0)
        return false;
    if (text == m_text)
        return true;
    db::CADODatabase& database = m_app.database();
    if (!database.Execute(QStringLiteral("UPDATE qp_SysOption SET sContent='%1' WHERE nType=1 "
                                         "AND id=%2")
                              .arg(core::sqlEscape(text), QString::number(m_id)))) {
        m_prompter.message(database.GetLastErrorString(), core::promptCaption(),
                           core::Prompter::Icon::Error);
        return false;
    }
    m_text = text;
    core::AddSystemLog(m_app, QStringLiteral("系统管理[系统设置->修改自定义脚本]"));
    return true;
}

} // namespace orvane::shell
