#include "personnel/panecommand.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/operatorrights.h"
#include "core/prompter.h"
#include "core/systemlog.h"

#include <QFileInfo>

namespace orvane::personnel {

namespace {
constexpr int kRightEdit = 3; // "修改人员"
}

bool PaneCommand::checkChange(const SelectedPerson& person) const
{
    if (!person.isValid()) {
        m_prompter.message(QStringLiteral("请选择人员！"), core::promptCaption(),
                           core::Prompter::Icon::Warning);
        return false;
    }
    if (!core::OperatorRights::checkRight(m_app, m_prompter, kRightEdit))
        return false;
    if (!core::Catalog(m_app.database())
             .rowExists(QStringLiteral("qp_PsnBase"), QStringLiteral("PID=%1").arg(person.pid))) {
        m_prompter.message(QStringLiteral("选择的人员被删除！"), core::promptCaption(),
                           core::Prompter::Icon::Warning);
        return false;
    }
    return true;
}

void PaneCommand::log(const SelectedPerson& person, const QString& detail) const
{
    core::AddSystemLog(
        m_app, QStringLiteral("人员档案[\"%1(%2)\"->%3]").arg(person.name, person.number, detail));
}

bool PaneCommand::confirmOverwrite(const QString& path) const
{
    if (!QFileInfo::exists(path))
        return true;
    return m_prompter.askYesNo(QStringLiteral("%1 已经存在。\r\n要替换它吗？").arg(path),
                               QStringLiteral("文件覆盖"),
                               core::Prompter::Icon::Warning) == core::Prompter::Answer::Yes;
}

void PaneCommand::error(const QString& text) const
{
    m_prompter.message(text, core::promptCaption(), core::Prompter::Icon::Error);
}

QString PaneCommand::notAvailableText()
{
    return QStringLiteral("此功能在当前版本中尚不可用。");
}

} // namespace orvane::personnel
