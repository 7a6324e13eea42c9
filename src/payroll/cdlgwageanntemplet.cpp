#include "payroll/cdlgwageanntemplet.h"

#include "payroll/wageexportquery.h"

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

CDlgWageAnnTemplet::CDlgWageAnnTemplet(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                                       int aid)
    : m_app(app), m_prompter(prompter), m_sortId(sortId), m_aid(aid)
{
}

QString CDlgWageAnnTemplet::title() const
{
    return m_aid == 0 ? QStringLiteral("新建邮件模板") : QStringLiteral("修改邮件模板");
}

bool CDlgWageAnnTemplet::load()
{
    if (m_aid == 0)
        return true;
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("SELECT Subject,Content,Name FROM qp_WageAnnounce WHERE AID=%1 ")
                     .arg(m_aid)) ||
        rs.IsEOF())
        return false;
    subject = rs.GetFieldString(QStringLiteral("Subject"));
    content = rs.GetFieldString(QStringLiteral("Content"));
    name = m_storedName = rs.GetFieldString(QStringLiteral("Name"));
    return true;
}

std::vector<std::pair<QString, QStringList>> CDlgWageAnnTemplet::referenceItems() const
{
    std::vector<std::pair<QString, QStringList>> groups;
    const auto captions = [this](const QString& sql) {
        QStringList out;
        db::CADORecordset rs(&m_app.database());
        if (rs.Open(sql))
            for (; !rs.IsEOF(); rs.MoveNext())
                out << rs.GetFieldString(QStringLiteral("Alias"));
        return out;
    };
    if (m_sortId != 0) {
        const QString table = WageExportQuery(m_app.database()).wageTable(m_sortId);
        groups.emplace_back(QStringLiteral("<薪资表项目>"),
                            captions(QStringLiteral("SELECT ItemID,Alias FROM qp_Items WHERE "
                                                    "UPPER(TblName)='%1' ORDER BY Ord")
                                         .arg(core::sqlEscape(table.toUpper()))));
    }
    const std::pair<const char*, const char*> tables[] = {{"<人事基本表项目>", "QP_PSNBASE"},
                                                          {"<组织机构表项目>", "QP_DEPT"},
                                                          {"<人员类别表项目>", "QP_PSNSORT"}};
    for (const auto& [group, table] : tables)
        groups.emplace_back(QString::fromUtf8(group),
                            captions(QStringLiteral("SELECT Alias FROM qp_Items WHERE "
                                                    "UPPER(TblName)='%1' AND iDataType<4 ORDER "
                                                    "BY Ord")
                                         .arg(QLatin1String(table))));
    return groups;
}

QString CDlgWageAnnTemplet::restoreExpressions(QString html)
{
    static const std::pair<const char*, const char*> entities[] = {
        {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}, {"&#39;", "'"}, {"&amp;", "&"}};
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = html.indexOf(QLatin1String("{$"), from);
        if (open < 0)
            break;
        const qsizetype close = html.indexOf(QLatin1String("$}"), open + 2);
        if (close < 0)
            break;
        QString expression = html.mid(open + 2, close - open - 2);
        for (const auto& [entity, character] : entities)
            expression.replace(QLatin1String(entity), QLatin1String(character));
        html.replace(open + 2, close - open - 2, expression);
        from = open + 2 + expression.size() + 2;
    }
    return html;
}

bool CDlgWageAnnTemplet::save()
{
    const auto refuse = [this](const QString& text) {
        m_prompter.message(text, core::promptCaption(), Prompter::Icon::Warning);
        return false;
    };
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return refuse(QStringLiteral("错误：名称不能为空!"));
    const core::Catalog catalog(m_app.database());
    if (trimmed != m_storedName &&
        !catalog
             .text(QStringLiteral("SELECT AID FROM qp_WageAnnounce WHERE (SID=%1 AND Name='%2')")
                       .arg(m_sortId)
                       .arg(core::sqlEscape(trimmed)))
             .isEmpty())
        return refuse(QStringLiteral("错误：该模板已存在!"));
    if (m_sortId != 0 &&
        !catalog.rowExists(QStringLiteral("qp_Table"), QStringLiteral("[ID]=%1").arg(m_sortId)))
        return refuse(QStringLiteral("选择的薪资帐套被删除！"));
    db::CADOCommand cmd(&m_app.database(), QStringLiteral("qp_AddAnnounceTemplet"));
    cmd.AddParameter(QStringLiteral("AID"), db::adInteger, db::adParamInput, 4, m_aid);
    cmd.AddParameter(QStringLiteral("SID"), db::adInteger, db::adParamInput, 4, m_sortId);
    cmd.AddParameter(QStringLiteral("Name"), db::adVarWChar, db::adParamInput, 255, trimmed);
    cmd.AddParameter(QStringLiteral("Active"), db::adBoolean, db::adParamInput, 1, 1);
    cmd.AddParameter(QStringLiteral("Subject"), db::adVarWChar, db::adParamInput, 256,
                     subject.left(256));
    content = restoreExpressions(content);
    cmd.AddParameter(QStringLiteral("Content"), db::adLongVarWChar, db::adParamInput, -1, content);
    if (!cmd.Execute()) {
        m_prompter.message(cmd.GetErrorDescription(), core::promptCaption(), Prompter::Icon::Error);
        return false;
    }
    const bool isNew = m_aid == 0;
    if (isNew)
        m_aid = catalog.integer(
            QStringLiteral("SELECT AID FROM qp_WageAnnounce WHERE (SID=%1 AND Name='%2')")
                .arg(m_sortId)
                .arg(core::sqlEscape(trimmed)));
    m_storedName = trimmed;
    const QString sort =
        catalog.text(QStringLiteral("SELECT Title FROM qp_Table WHERE ID=%1").arg(m_sortId));
    core::AddSystemLog(
        m_app, QStringLiteral("薪资管理[薪资类别'%1'%2邮件模板'%3']")
                   .arg(sort, isNew ? QStringLiteral("新建") : QStringLiteral("修改"), trimmed));
    return true;
}

} // namespace orvane::payroll
