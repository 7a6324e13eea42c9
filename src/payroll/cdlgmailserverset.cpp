#include "payroll/cdlgmailserverset.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadocommand.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::payroll {

using core::Prompter;

CDlgMailServerSet::CDlgMailServerSet(core::COrvaneApp& app, core::Prompter& prompter, int id)
    : m_app(app), m_prompter(prompter), m_id(id)
{
    if (id != 0) {
        server = MailSettings(app.database()).mailbox(id).server;
        m_storedAddress = server.address;
    }
}

bool CDlgMailServerSet::save()
{
    const auto refuse = [this](const QString& text) {
        m_prompter.message(text, core::promptCaption(), Prompter::Icon::Warning);
        return false;
    };
    server.host = server.host.trimmed();
    server.address = server.address.trimmed();
    if (server.host.isEmpty())
        return refuse(QStringLiteral("邮件服务器不能为空!"));
    if (server.address.isEmpty())
        return refuse(QStringLiteral("邮箱地址不能为空!"));
    if ((m_id == 0 || server.address != m_storedAddress) &&
        !core::Catalog(m_app.database())
             .text(QStringLiteral("SELECT * FROM qp_BatchMailSet WHERE mailadr LIKE '%1'")
                       .arg(core::sqlEscape(server.address)))
             .isEmpty())
        return refuse(QStringLiteral("错误：该邮箱已存在!"));
    db::CADOCommand cmd(&m_app.database(), QStringLiteral("qp_AddMailServer"));
    const auto text = [&](const char* name, const QString& value) {
        cmd.AddParameter(QString::fromLatin1(name), db::adVarWChar, db::adParamInput, 50,
                         value.left(50));
    };
    cmd.AddParameter(QStringLiteral("ID"), db::adInteger, db::adParamInput, 4, m_id);
    text("SvrName", server.host);
    cmd.AddParameter(QStringLiteral("Port"), db::adInteger, db::adParamInput, 4, server.port);
    cmd.AddParameter(QStringLiteral("Auh"), db::adInteger, db::adParamInput, 4,
                     server.authenticate ? 1 : 0);
    cmd.AddParameter(QStringLiteral("SSL"), db::adInteger, db::adParamInput, 4, server.security);
    text("Account", server.account);
    cmd.AddParameter(QStringLiteral("Pwd"), db::adVarWChar, db::adParamInput, 255,
                     MailSettings::storedPassword(server.password));
    text("MailAdr", server.address);
    text("UserName", server.senderName);
    if (!cmd.Execute()) {
        m_prompter.message(cmd.GetErrorDescription(), core::promptCaption(), Prompter::Icon::Error);
        return false;
    }
    core::AddSystemLog(m_app, QStringLiteral("系统管理[系统设置->邮件设置->%1群发邮箱'%2']")
                                  .arg(m_id == 0 ? QStringLiteral("新增") : QStringLiteral("修改"),
                                       server.address));
    return true;
}

CPropertyPageAnnounce::CPropertyPageAnnounce(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
    field = m_storedField = MailSettings(app.database()).addressField();
}

std::vector<std::pair<int, QString>> CPropertyPageAnnounce::mailboxes() const
{
    std::vector<std::pair<int, QString>> rows;
    db::CADORecordset rs(&m_app.database());
    if (rs.Open(QStringLiteral("SELECT id,mailadr FROM qp_BatchMailSet WHERE dt=3 ORDER BY id")))
        for (; !rs.IsEOF(); rs.MoveNext())
            rows.emplace_back(rs.GetFieldInt(QStringLiteral("id")),
                              rs.GetFieldString(QStringLiteral("mailadr")));
    return rows;
}

QStringList CPropertyPageAnnounce::fieldChoices() const
{
    return MailSettings(m_app.database()).addressFieldChoices();
}

bool CPropertyPageAnnounce::deleteMailbox(int id)
{
    const QString address = MailSettings(m_app.database()).mailbox(id).server.address;
    if (m_prompter.askYesNo(QStringLiteral("确定删除 %1 吗?").arg(address), core::promptCaption(),
                            Prompter::Icon::Question) != Prompter::Answer::Yes)
        return false;
    if (!m_app.database().Execute(
            QStringLiteral("DELETE FROM qp_BatchMailSet WHERE id=%1").arg(id)))
        return false;
    core::AddSystemLog(
        m_app, QStringLiteral("系统管理[系统设置->邮件设置->删除群发邮箱'%1']").arg(address));
    return true;
}

bool CPropertyPageAnnounce::apply()
{
    if (field == m_storedField)
        return true;
    db::CADODatabase& database = m_app.database();
    const bool exists = core::Catalog(database).rowExists(QStringLiteral("qp_BatchMailSet"),
                                                          QStringLiteral("dt=0"));
    const bool ok = database.Execute(
        exists ? QStringLiteral("UPDATE qp_BatchMailSet SET dbfield='%1' WHERE dt=0")
                     .arg(core::sqlEscape(field))
               : QStringLiteral("INSERT INTO qp_BatchMailSet (dt,dbfield) VALUES (0,'%1')")
                     .arg(core::sqlEscape(field)));
    if (!ok)
        return false;
    m_storedField = field;
    core::AddSystemLog(m_app, QStringLiteral("系统管理[系统设置->修改邮件设置]"));
    return true;
}

} // namespace orvane::payroll
