#include "payroll/cdlgwagebanktemplet.h"

#include "payroll/cdlgwagebankoutput.h"
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

namespace {

const QString kSortGone = QStringLiteral("选择的薪资帐套被删除！");

} // namespace

CDlgWageBankTemplet::CDlgWageBankTemplet(core::COrvaneApp& app, core::Prompter& prompter,
                                         int sortId, int eid)
    : m_app(app), m_prompter(prompter), m_sortId(sortId), m_eid(eid)
{
    m_values.sortId = sortId;
}

QString CDlgWageBankTemplet::title() const
{
    return m_eid == 0 ? QStringLiteral("新建银行代发模板") : QStringLiteral("修改银行代发模板");
}

void CDlgWageBankTemplet::warn(const QString& text)
{
    m_prompter.message(text, core::promptCaption(), Prompter::Icon::Warning);
}

void CDlgWageBankTemplet::log(const QString& text)
{
    const QString sort =
        core::Catalog(m_app.database())
            .text(QStringLiteral("SELECT Title FROM qp_Table WHERE ID=%1").arg(m_sortId));
    core::AddSystemLog(m_app, QStringLiteral("薪资管理[薪资类别'%1'%2]").arg(sort, text));
}

bool CDlgWageBankTemplet::load()
{
    if (m_eid == 0)
        return true;
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(
            QStringLiteral("SELECT Header,Footer,Sep,Ext,SFRows FROM qp_WageExport WHERE EID=%1")
                .arg(m_eid)) ||
        rs.IsEOF())
        return false;
    m_values.eid = m_eid;
    m_values.header = rs.GetFieldString(QStringLiteral("Header"));
    m_values.footer = rs.GetFieldString(QStringLiteral("Footer"));
    m_values.separator = rs.GetFieldString(QStringLiteral("Sep"));
    m_values.extension = rs.GetFieldString(QStringLiteral("Ext"));
    m_values.linesPerFile = rs.GetFieldInt(QStringLiteral("SFRows"));
    m_storedName =
        core::Catalog(m_app.database())
            .text(QStringLiteral("SELECT Name FROM qp_WageExport WHERE EID=%1").arg(m_eid));
    m_values.name = m_storedName;
    return refreshFields();
}

bool CDlgWageBankTemplet::save()
{
    const QString name = m_values.name.trimmed();
    if (name.isEmpty()) {
        warn(QStringLiteral("错误：名称不能为空!"));
        return false;
    }
    const core::Catalog catalog(m_app.database());
    if (!catalog.rowExists(QStringLiteral("qp_Table"), QStringLiteral("[ID]=%1").arg(m_sortId))) {
        warn(kSortGone);
        return false;
    }
    if (name != m_storedName &&
        !catalog
             .text(QStringLiteral("SELECT EID FROM qp_WageExport WHERE (SID=%1 AND Name='%2')")
                       .arg(m_sortId)
                       .arg(core::sqlEscape(name)))
             .isEmpty()) {
        warn(QStringLiteral("错误：该银行模板名称已存在!"));
        return false;
    }
    if (m_eid != 0 && !catalog.confirmRowExists(m_prompter, QStringLiteral("qp_WageExport"),
                                                QStringLiteral("EID=%1").arg(m_eid)))
        return false;
    db::CADOCommand cmd(&m_app.database(), QStringLiteral("qp_AddBankExportTemplet"));
    cmd.AddParameter(QStringLiteral("EID"), db::adInteger, db::adParamInput, 4, m_eid);
    cmd.AddParameter(QStringLiteral("SID"), db::adInteger, db::adParamInput, 4, m_sortId);
    cmd.AddParameter(QStringLiteral("Name"), db::adVarWChar, db::adParamInput, 255, name);
    cmd.AddParameter(QStringLiteral("Active"), db::adBoolean, db::adParamInput, 1, 1);
    cmd.AddParameter(QStringLiteral("Header"), db::adLongVarWChar, db::adParamInput, -1,
                     m_values.header);
    cmd.AddParameter(QStringLiteral("Footer"), db::adLongVarWChar, db::adParamInput, -1,
                     m_values.footer);
    cmd.AddParameter(QStringLiteral("Sep"), db::adVarWChar, db::adParamInput, 6,
                     m_values.separator.left(6));
    cmd.AddParameter(QStringLiteral("Ext"), db::adVarWChar, db::adParamInput, 6,
                     m_values.extension.left(6));
    cmd.AddParameter(QStringLiteral("SFRows"), db::adInteger, db::adParamInput, 4,
                     std::max(0, m_values.linesPerFile));
    if (!cmd.Execute()) {
        m_prompter.message(cmd.GetErrorDescription(), core::promptCaption(), Prompter::Icon::Error);
        return false;
    }
    const bool isNew = m_eid == 0;
    if (isNew)
        m_eid = catalog.integer(
            QStringLiteral("SELECT EID FROM qp_WageExport WHERE (SID=%1 AND Name='%2')")
                .arg(m_sortId)
                .arg(core::sqlEscape(name)));
    m_values.eid = m_eid;
    m_storedName = name;
    log(QStringLiteral("%1银行代发模板'%2'")
            .arg(isNew ? QStringLiteral("新建") : QStringLiteral("修改"), name));
    return true;
}

bool CDlgWageBankTemplet::refreshFields()
{
    if (m_eid == 0) {
        m_fields.clear();
        return true;
    }
    return m_fields.load(
        m_app.database(),
        QStringLiteral("EXEC qp_SelectWageBankTempletItemsByID %1,%2").arg(m_sortId).arg(m_eid));
}

bool CDlgWageBankTemplet::canEditFields()
{
    if (m_eid != 0)
        return true;
    warn(QStringLiteral("请保存模板后设置明细数据域！"));
    return false;
}

BankField CDlgWageBankTemplet::fieldAt(int row) const
{
    BankField f;
    if (row < 0 || row >= m_fields.rowCount())
        return f;
    const db::ResultSet& rows = m_fields.rows();
    f.id = rows.value(row, QStringLiteral("ID")).toInt();
    f.name = rows.value(row, QStringLiteral("DName")).toString();
    f.source = rows.value(row, QStringLiteral("iSource")).toInt();
    f.content = rows.value(row, QStringLiteral("DContent")).toString();
    f.fixedLength = rows.value(row, QStringLiteral("bFixLen")).toInt() != 0;
    f.length = rows.value(row, QStringLiteral("iLen")).toInt();
    f.fillChar = rows.value(row, QStringLiteral("iFillChar")).toInt();
    f.fillBefore = rows.value(row, QStringLiteral("iFillDirec")).toInt();
    f.quote = rows.value(row, QStringLiteral("iQuo")).toInt();
    return f;
}

bool CDlgWageBankTemplet::storeField(const BankField& field)
{
    const int ord =
        field.id == 0 ? m_fields.rowCount() : m_fields.currentValue(QStringLiteral("Ord")).toInt();
    db::CADOCommand cmd(&m_app.database(), QStringLiteral("qp_AddBankExportDetail"));
    const auto integer = [&](const char* name, int value) {
        cmd.AddParameter(QString::fromLatin1(name), db::adInteger, db::adParamInput, 4, value);
    };
    integer("ID", field.id);
    integer("SID", m_sortId);
    integer("EID", m_eid);
    integer("iSource", field.source);
    cmd.AddParameter(QStringLiteral("DName"), db::adVarWChar, db::adParamInput, 20,
                     field.name.left(20));
    cmd.AddParameter(QStringLiteral("DContent"), db::adVarWChar, db::adParamInput, 255,
                     field.content.left(255));
    cmd.AddParameter(QStringLiteral("bFixLen"), db::adBoolean, db::adParamInput, 1,
                     field.fixedLength ? 1 : 0);
    integer("iLen", field.length);
    integer("iFillChar", field.fillChar);
    integer("iFillDirec", field.fillBefore);
    integer("iQuo", field.quote);
    integer("Ord", ord);
    if (!cmd.Execute()) {
        m_prompter.message(cmd.GetErrorDescription(), core::promptCaption(), Prompter::Icon::Error);
        return false;
    }
    log(QStringLiteral("%1银行代发模板'%2'明细项'%3'")
            .arg(field.id == 0 ? QStringLiteral("新建") : QStringLiteral("修改"), m_storedName,
                 field.name));
    refreshFields();
    return true;
}

bool CDlgWageBankTemplet::deleteField()
{
    const int id = m_fields.currentKey();
    if (id == 0) {
        warn(QStringLiteral("请选择项！"));
        return false;
    }
    if (m_prompter.askYesNo(QStringLiteral("删除选定的明细数据域.\r\n\r\n确定吗?"),
                            core::promptCaption(),
                            Prompter::Icon::Question) != Prompter::Answer::Yes)
        return false;
    const QString name = m_fields.currentValue(QStringLiteral("DName")).toString();
    if (!m_app.database().Execute(
            QStringLiteral("DELETE FROM qp_WageExportDetail WHERE ID=%1").arg(id)))
        return false;
    log(QStringLiteral("删除银行代发模板'%1'明细项'%2'").arg(m_storedName, name));
    m_app.database().Execute(QStringLiteral("EXEC qp_RefreshBankExportDetailOrder %1").arg(m_eid));
    refreshFields();
    return true;
}

bool CDlgWageBankTemplet::moveField(core::RowOrder::Direction direction)
{
    if (m_fields.currentKey() == 0) {
        warn(QStringLiteral("请选择项！"));
        return false;
    }
    core::OrderColumns columns;
    columns.keyColumn = 0;
    columns.orderColumn = 9;
    columns.table = QStringLiteral("qp_WageExportDetail");
    columns.keyName = QStringLiteral("ID");
    columns.orderName = QStringLiteral("Ord");
    if (!m_fields.move(m_app.database(), direction, columns))
        return false;
    log(QStringLiteral("银行代发模板'%1'调序").arg(m_storedName));
    return true;
}

QStringList CDlgWageBankTemplet::sourceCaptions() const
{
    QStringList captions;
    const auto add = [&](const QString& sql) {
        db::CADORecordset rs(&m_app.database());
        if (rs.Open(sql))
            for (; !rs.IsEOF(); rs.MoveNext())
                captions << rs.GetFieldString(QStringLiteral("Alias"));
    };
    add(QStringLiteral("SELECT Alias FROM qp_Items WHERE iSort=0 ORDER BY Ord"));
    const QString table = WageExportQuery(m_app.database()).wageTable(m_sortId);
    if (!table.isEmpty())
        add(QStringLiteral("SELECT Alias FROM qp_Items WHERE UPPER(TblName)='%1' ORDER BY Ord")
                .arg(core::sqlEscape(table.toUpper())));
    return captions;
}

bool CDlgWageBankTemplet::previewQuery(QString& sql, script::WageContext& context)
{
    WageExportQuery query(m_app.database());
    const int month = query.latestMonth(m_sortId);
    if (month == 0) {
        warn(QStringLiteral("该薪资类别还没有薪资表，无法预览！"));
        return false;
    }
    const WageSelection selection{m_sortId, month, 0, 0};
    sql = query.selectSql(selection);
    context = query.context(selection, m_app.currentOperator().UserName);
    m_values.fields = CDlgWageBankOutput::loadFields(m_app.database(), m_eid);
    return !sql.isEmpty();
}

CDlgWageBankDetail::CDlgWageBankDetail(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                                       int eid)
    : m_app(app), m_prompter(prompter), m_sortId(sortId), m_eid(eid)
{
}

bool CDlgWageBankDetail::check(BankField& field)
{
    const auto refuse = [this](const QString& text) {
        m_prompter.message(text, core::promptCaption(), Prompter::Icon::Warning);
        return false;
    };
    field.name = field.name.trimmed();
    if (field.name.isEmpty())
        return refuse(QStringLiteral("错误：名称不能为空!"));
    if (field.source == BankField::Custom) {
        const QString& c = field.content;
        if (c.count(QLatin1Char('[')) != c.count(QLatin1Char(']')))
            return refuse(QStringLiteral("错误：域内容中括号不配对!"));
        if (c.count(QLatin1Char('(')) != c.count(QLatin1Char(')')))
            return refuse(QStringLiteral("错误：域内容小括号不配对!"));
        if (c.count(QLatin1Char('{')) != c.count(QLatin1Char('}')))
            return refuse(QStringLiteral("错误：域内容大括号不配对!"));
    }
    const core::Catalog catalog(m_app.database());
    if (!catalog.rowExists(QStringLiteral("qp_Table"), QStringLiteral("[ID]=%1").arg(m_sortId)))
        return refuse(kSortGone);
    if (!catalog.rowExists(QStringLiteral("qp_WageExport"), QStringLiteral("EID=%1").arg(m_eid)))
        return refuse(QStringLiteral("选择的代发银行被删除！"));
    return true;
}

} // namespace orvane::payroll
