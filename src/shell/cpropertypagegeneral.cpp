#include "shell/cpropertypagegeneral.h"

#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "shell/sysoptionrow.h"

namespace orvane::shell {

CPropertyPageGeneral::CPropertyPageGeneral(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

QStringList CPropertyPageGeneral::ruleNames()
{
    return {QStringLiteral("自动编号(顺序号)"), QStringLiteral("自动编号(固定前缀+顺序号)"),
            QStringLiteral("自动编号(分部门前缀+顺序号)"), QStringLiteral("手工编号")};
}

bool CPropertyPageGeneral::load()
{
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("SELECT TOP 1 sContent FROM qp_SysOption WHERE nType=0")) ||
        rs.IsEOF())
        return false;
    m_stored = rs.GetFieldString(QStringLiteral("sContent"));
    const QStringList parts = m_stored.split(QLatin1Char('|'));
    if (parts.size() != 3)
        return false;
    mode = core::leadingInt(parts[0]);
    if (mode < Sequence || mode > Manual)
        mode = Sequence;
    length = qBound(0, core::leadingInt(parts[1]), MaxNumberLength);
    prefix = parts[2];
    return true;
}

QString CPropertyPageGeneral::ruleText() const
{
    QString cleanPrefix = usesPrefix(mode) ? prefix.trimmed() : QString();
    cleanPrefix.remove(QLatin1Char('|')); // the bar separates the parts
    return QStringLiteral("%1|%2|%3").arg(mode).arg(qMax(0, length)).arg(cleanPrefix);
}

bool CPropertyPageGeneral::apply()
{
    if (length > MaxNumberLength) {
        m_prompter.message(QStringLiteral("人员编号长度不能超过50!"), core::promptCaption(),
                           core::Prompter::Icon::Warning);
        return false;
    }
    if (usesPrefix(mode) && ruleText().section(QLatin1Char('|'), 2).isEmpty()) {
        m_prompter.message(QStringLiteral("请输入人员编号的固定前缀!"), core::promptCaption(),
                           core::Prompter::Icon::Warning);
        return false;
    }
    const QString text = ruleText();
    if (text == m_stored)
        return true;
    QString reason;
    if (!SysOptionRow::write(m_app.database(),
                             QStringLiteral("SELECT sContent FROM qp_SysOption WHERE nType=0"),
                             text, reason)) {
        m_prompter.message(QStringLiteral("保存人员编号规则失败：%1").arg(reason),
                           core::promptCaption(), core::Prompter::Icon::Error);
        return false;
    }
    m_stored = text;
    core::AddSystemLog(m_app, QStringLiteral("系统管理[系统设置->修改常规设置]"));
    return true;
}

} // namespace orvane::shell
