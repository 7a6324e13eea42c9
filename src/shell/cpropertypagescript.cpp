#include "shell/cpropertypagescript.h"

#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "script/scriptengine.h"
#include "shell/sysoptionrow.h"

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
    m_errorLine = 0;
    if (m_id == 0)
        return false;
    if (text == m_text)
        return true;

    script::ScriptEngine engine;
    if (!engine.checkSyntax(text.toStdString())) {
        const script::EngineError& error = engine.lastError();
        m_errorLine = qMax(1, error.line);
        m_prompter.message(QStringLiteral("自定义脚本第%1行有语法错误：%2\n\n脚本没有保存。")
                               .arg(m_errorLine)
                               .arg(QString::fromStdString(error.description)),
                           core::promptCaption(), core::Prompter::Icon::Warning);
        return false;
    }

    QString reason;
    if (!SysOptionRow::write(
            m_app.database(),
            QStringLiteral("SELECT sContent FROM qp_SysOption WHERE nType=1 AND id=%1").arg(m_id),
            text, reason)) {
        m_prompter.message(QStringLiteral("保存自定义脚本失败：%1").arg(reason),
                           core::promptCaption(), core::Prompter::Icon::Error);
        return false;
    }
    m_text = text;
    core::AddSystemLog(m_app, QStringLiteral("系统管理[系统设置->修改自定义脚本]"));
    m_prompter.message(QStringLiteral("自定义脚本已保存，之后的计算使用新的脚本。"),
                       core::promptCaption(), core::Prompter::Icon::Information);
    return true;
}

} // namespace orvane::shell
