#include "core/cdlgpasswordmodify.h"

#include "core/corvaneapp.h"
#include "core/passwordhash.h"
#include "core/prompter.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"

namespace orvane::core {

CDlgPassWordModify::CDlgPassWordModify(COrvaneApp& app, Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

CDlgPassWordModify::Result CDlgPassWordModify::submit(const QString& oldPassword,
                                                      const QString& newPassword,
                                                      const QString& confirmation)
{
    m_focus = Field::None;
    OperatorRecord& op = m_app.currentOperator();
    if (passwordHash(oldPassword) != op.Pwd) {
        m_prompter.message(QStringLiteral("请输入原登录口令!"), promptCaption(),
                           Prompter::Icon::Warning);
        m_focus = Field::OldPassword;
        return Result::Stay;
    }
    if (newPassword != confirmation) {
        m_prompter.message(QStringLiteral("新密码与密码确认不一致!"), promptCaption(),
                           Prompter::Icon::Warning);
        m_focus = Field::Confirmation;
        return Result::Stay;
    }
    if (newPassword.isEmpty() &&
        m_prompter.askYesNo(QStringLiteral("新密码为空，确定要使用空密码登录吗?"), promptCaption(),
                            Prompter::Icon::Question) != Prompter::Answer::Yes) {
        m_focus = Field::NewPassword;
        return Result::Stay;
    }
    // The hash holds only hex digits, so it needs no quoting.
    const QString hash = passwordHash(newPassword);
    if (m_app.database().Execute(QStringLiteral("UPDATE qp_Users SET Pwd='%1' WHERE UserID=%2")
                                     .arg(hash)
                                     .arg(op.UserID))) {
        m_prompter.message(QStringLiteral("登录口令修改成功!!!"), promptCaption(),
                           Prompter::Icon::Information);
        op.Pwd = hash;
        AddSystemLog(m_app, QStringLiteral("系统管理[修改登录口令]"));
    }
    return Result::Closed;
}

} // namespace orvane::core
