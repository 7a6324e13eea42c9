#include "payroll/cdlgwageitemset.h"

#include "payroll/formulavalidator.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "core/systemlog.h"

#include "db/cadocommand.h"
#include "db/cadorecordset.h"

namespace orvane::payroll {

using core::Prompter;

CDlgWageItemSet::CDlgWageItemSet(core::COrvaneApp& app, core::Prompter& prompter, int sortId)
    : m_app(app), m_prompter(prompter), m_sortId(sortId)
{
    db::CADORecordset rs(&m_app.database());
    if (rs.Open(
            QStringLiteral("SELECT ID,Title,DictId FROM qp_Dict WHERE Active=1 ORDER BY Ord"))) {
        for (; !rs.IsEOF(); rs.MoveNext())
            m_dicts.append({rs.GetFieldInt(QStringLiteral("ID")),
                            rs.GetFieldString(QStringLiteral("DictId")),
                            rs.GetFieldString(QStringLiteral("Title"))});
    }
    db::CADORecordset std(&m_app.database());
    if (std.Open(QStringLiteral("SELECT id,STDName FROM qp_WageStdTable WHERE SID=%1 ORDER BY Ord")
                     .arg(sortId))) {
        for (; !std.IsEOF(); std.MoveNext())
            m_stdTables.append({std.GetFieldInt(QStringLiteral("id")), QString(),
                                std.GetFieldString(QStringLiteral("STDName"))});
    }
}

QString CDlgWageItemSet::standardTableList() const
{
    QString list;
    for (const Choice& c : m_stdTables)
        list += QStringLiteral("#%1;%2|").arg(c.id).arg(c.title);
    return list;
}

QString CDlgWageItemSet::windowTitle() const
{
    return isNew() ? QStringLiteral("新增薪资项目") : QStringLiteral("修改薪资项目");
}

bool CDlgWageItemSet::load(int itemId)
{
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("SELECT Alias,iDataType,IdRef,iProperty,iDec,iChoice,Retain,"
                                "Active,StdTblID,FExp2 FROM qp_Items WHERE ItemID=%1")
                     .arg(itemId)) ||
        rs.IsEOF()) {
        warn(core::Catalog::deletedRowMessage());
        return false;
    }
    m_itemId = itemId;
    caption = m_oldCaption = rs.GetFieldString(QStringLiteral("Alias"));
    dataType = rs.GetFieldInt(QStringLiteral("iDataType")) == Reference ? Reference : Numeric;
    dictionary = rs.GetFieldString(QStringLiteral("IdRef"));
    property = rs.GetFieldInt(QStringLiteral("iProperty"));
    decimals = rs.GetFieldInt(QStringLiteral("iDec"));
    rounding = rs.GetFieldInt(QStringLiteral("iChoice"));
    retain = rs.GetFieldInt(QStringLiteral("Retain")) != 0;
    active = rs.GetFieldInt(QStringLiteral("Active")) != 0;
    standardTable = rs.GetFieldInt(QStringLiteral("StdTblID"));
    formula = rs.GetFieldString(QStringLiteral("FExp2"));
    return true;
}

void CDlgWageItemSet::warn(const QString& text)
{
    m_prompter.message(text, core::promptCaption(), Prompter::Icon::Warning);
}

bool CDlgWageItemSet::save()
{
    const QString name = caption.trimmed();
    if (name.isEmpty()) {
        warn(QStringLiteral("错误：项目名不能为空!"));
        return false;
    }
    const core::Catalog catalog(m_app.database());
    if ((isNew() || name != m_oldCaption) &&
        !catalog
             .text(QStringLiteral("SELECT ItemID FROM qp_Items WHERE iSort=1 AND Alias=%1")
                       .arg(core::sqlQuote(name)))
             .isEmpty()) {
        warn(QStringLiteral("错误：该项目已存在!"));
        return false;
    }
    if (!catalog.confirmRowExists(m_prompter, QStringLiteral("qp_Table"),
                                  QStringLiteral("[ID]=%1").arg(m_sortId)))
        return false;

    int sendProperty = property;
    int sendStd = standardTable;
    QString fexp;
    QString fexp2;
    QString idRef;
    if (dataType == Reference) {
        if (dictionary.trimmed().isEmpty()) {
            warn(QStringLiteral("参照项不能为空!"));
            return false;
        }
        idRef = dictionary.trimmed();
        sendProperty = FreeInput;
        sendStd = 0;
    } else if (property == StandardTable) {
        if (standardTable == 0) {
            warn(QStringLiteral("请选择标准表!"));
            return false;
        }
    } else if (property == Formula) {
        if (formula.trimmed().isEmpty()) {
            warn(QStringLiteral("错误：公式内容不能为空!"));
            return false;
        }
        FormulaValidator validator(m_app, m_prompter);
        fexp2 = formula.trimmed();
        if (!validator.validate(m_sortId, name, fexp2) || !validator.convert(fexp2, fexp))
            return false;
        formula = fexp2;
        sendStd = 0;
    } else {
        sendProperty = FreeInput;
        sendStd = 0;
    }
    if (!isNew() && !catalog.confirmRowExists(m_prompter, QStringLiteral("qp_Items"),
                                              QStringLiteral("ItemID=%1").arg(m_itemId)))
        return false;

    db::CADOCommand cmd(&m_app.database(), QStringLiteral("qp_AddDBTableWageItem"));
    cmd.AddParameter(QStringLiteral("Return"), db::adInteger, db::adParamReturnValue, 4, 0);
    cmd.AddParameter(QStringLiteral("SID"), db::adInteger, db::adParamInput, 4, m_sortId);
    cmd.AddParameter(QStringLiteral("Active"), db::adInteger, db::adParamInput, 4, active ? 1 : 0);
    cmd.AddParameter(QStringLiteral("ItemID"), db::adInteger, db::adParamInput, 4, m_itemId);
    cmd.AddParameter(QStringLiteral("Alias"), db::adVarChar, db::adParamInput, 50, name);
    cmd.AddParameter(QStringLiteral("DataType"), db::adInteger, db::adParamInput, 4, dataType);
    cmd.AddParameter(QStringLiteral("IdRef"), db::adVarChar, db::adParamInput, 100, idRef);
    cmd.AddParameter(QStringLiteral("Property"), db::adInteger, db::adParamInput, 4, sendProperty);
    cmd.AddParameter(QStringLiteral("Retain"), db::adInteger, db::adParamInput, 4, retain ? 1 : 0);
    cmd.AddParameter(QStringLiteral("StdTblID"), db::adInteger, db::adParamInput, 4, sendStd);
    cmd.AddParameter(QStringLiteral("FieldDec"), db::adInteger, db::adParamInput, 4, decimals);
    cmd.AddParameter(QStringLiteral("Choice"), db::adInteger, db::adParamInput, 4, rounding);
    cmd.AddParameter(QStringLiteral("FExp"), db::adLongVarChar, db::adParamInput, -1, fexp);
    cmd.AddParameter(QStringLiteral("FExp2"), db::adLongVarChar, db::adParamInput, -1, fexp2);
    cmd.AddParameter(QStringLiteral("NewItemID"), db::adInteger, db::adParamOutput, 4, 0);
    if (!cmd.Execute() || cmd.GetParameter(QStringLiteral("Return")).GetValue().toInt() != 0) {
        m_prompter.message(QStringLiteral("错误：保存到数据库时失败!"), core::promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    const bool added = isNew();
    m_itemId = cmd.GetParameter(QStringLiteral("NewItemID")).GetValue().toInt();
    m_oldCaption = name;
    core::AddSystemLog(m_app,
                       QStringLiteral("薪资管理[薪资类别'%1'%2薪资项目'%3']")
                           .arg(catalog.wageSortTitle(m_sortId),
                                added ? QStringLiteral("新建") : QStringLiteral("修改"), name));
    return true;
}

} // namespace orvane::payroll
