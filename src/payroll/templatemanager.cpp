#include "payroll/templatemanager.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::payroll {

using core::Prompter;

TemplateKind TemplateKind::bank()
{
    return {QStringLiteral("qp_WageExport"),
            QStringLiteral("EID"),
            QStringLiteral("qp_WageExportDetail"),
            QStringLiteral("EXEC qp_SelectWageBankTempletByID %1"),
            QStringLiteral("qp_CopyBankTemplet"),
            QStringLiteral("报盘模板管理"),
            QStringLiteral("银行代发模板"),
            QStringLiteral("新建银行代发模板"),
            QStringLiteral("修改银行代发模板")};
}

TemplateKind TemplateKind::mail()
{
    return {QStringLiteral("qp_WageAnnounce"),
            QStringLiteral("AID"),
            QString(),
            QStringLiteral("EXEC qp_SelectAnnMailTempletByID %1"),
            QStringLiteral("qp_CopyAnnounceTemplet"),
            QStringLiteral("邮件模板管理"),
            QStringLiteral("邮件模板"),
            QStringLiteral("新建邮件模板"),
            QStringLiteral("修改邮件模板")};
}

TemplateManager::TemplateManager(core::COrvaneApp& app, core::Prompter& prompter, TemplateKind kind,
                                 int sortId)
    : m_app(app), m_prompter(prompter), m_kind(std::move(kind)), m_sortId(sortId)
{
}

QString TemplateManager::sortTitle() const
{
    return core::Catalog(m_app.database())
        .text(QStringLiteral("SELECT Title FROM qp_Table WHERE ID=%1").arg(m_sortId));
}

bool TemplateManager::refresh()
{
    const int key = m_list.currentKey();
    const bool ok = m_list.load(m_app.database(), m_kind.listSql.arg(m_sortId));
    if (key != 0)
        m_list.selectKey(key);
    return ok;
}

QString TemplateManager::currentName() const
{
    return m_list.currentValue(QStringLiteral("Name")).toString();
}

void TemplateManager::log(const QString& text)
{
    core::AddSystemLog(m_app, QStringLiteral("薪资管理[薪资类别'%1'%2]").arg(sortTitle(), text));
}

int TemplateManager::selectedForChange()
{
    const int key = m_list.currentKey();
    if (key == 0) {
        m_prompter.message(QStringLiteral("请选择项！"), core::promptCaption(),
                           Prompter::Icon::Warning);
        return 0;
    }
    if (!core::Catalog(m_app.database())
             .confirmRowExists(m_prompter, m_kind.table,
                               QStringLiteral("%1=%2").arg(m_kind.key).arg(key)))
        return 0;
    return key;
}

bool TemplateManager::setActive(int row, bool active)
{
    if (row < 0 || row >= m_list.rowCount())
        return false;
    m_list.setCurrentRow(row);
    const int key = m_list.currentKey();
    if (!m_app.database().Execute(QStringLiteral("UPDATE %1 SET Active=%2 WHERE %3=%4")
                                      .arg(m_kind.table)
                                      .arg(active ? 1 : 0)
                                      .arg(m_kind.key)
                                      .arg(key)))
        return false;
    log(QStringLiteral("%1'%2'%3")
            .arg(m_kind.noun, currentName(),
                 active ? QStringLiteral("启用") : QStringLiteral("停用")));
    refresh();
    return true;
}

bool TemplateManager::copySelected()
{
    const int key = selectedForChange();
    if (key == 0)
        return false;
    const QString name = currentName();
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("EXEC %1 %2").arg(m_kind.copyProcedure).arg(key)) || rs.IsEOF())
        return false;
    QVariant value;
    rs.GetFieldValue(0, value);
    const int copied = value.toInt();
    if (copied <= 0)
        return false;
    log(QStringLiteral("复制%1'%2'").arg(m_kind.noun, name));
    reloadAndSelect(copied);
    return true;
}

bool TemplateManager::deleteSelected()
{
    const int key = m_list.currentKey();
    if (key == 0) {
        m_prompter.message(QStringLiteral("请选择项！"), core::promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    const QString name = currentName();
    if (m_prompter.askYesNo(QStringLiteral("确定要删除模板“%1”吗?").arg(name),
                            core::promptCaption(),
                            Prompter::Icon::Question) != Prompter::Answer::Yes)
        return false;
    db::CADODatabase& database = m_app.database();
    if (!database.Execute(
            QStringLiteral("DELETE FROM %1 WHERE %2=%3").arg(m_kind.table, m_kind.key).arg(key)))
        return false;
    if (!m_kind.detailTable.isEmpty())
        database.Execute(QStringLiteral("DELETE FROM %1 WHERE %2=%3")
                             .arg(m_kind.detailTable, m_kind.key)
                             .arg(key));
    log(QStringLiteral("删除%1'%2'").arg(m_kind.noun, name));
    refresh();
    return true;
}

bool TemplateManager::move(core::RowOrder::Direction direction)
{
    if (m_list.currentKey() == 0) {
        m_prompter.message(QStringLiteral("请选择项！"), core::promptCaption(),
                           Prompter::Icon::Warning);
        return false;
    }
    core::OrderColumns columns;
    columns.keyColumn = 0;
    columns.orderColumn = 3;
    columns.table = m_kind.table;
    columns.keyName = m_kind.key;
    columns.orderName = QStringLiteral("Ord");
    if (!m_list.move(m_app.database(), direction, columns))
        return false;
    log(QStringLiteral("%1调序").arg(m_kind.noun));
    return true;
}

void TemplateManager::reloadAndSelect(int key)
{
    m_list.load(m_app.database(), m_kind.listSql.arg(m_sortId));
    m_list.selectKey(key);
}

} // namespace orvane::payroll
