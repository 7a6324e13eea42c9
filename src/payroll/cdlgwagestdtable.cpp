#include "payroll/cdlgwagestdtable.h"

#include "payroll/wagesorts.h"

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
using core::sqlEscape;

int CDlgWageStdTable::Dictionary::tickedCount() const
{
    int n = 0;
    for (const Code& c : codes)
        n += c.ticked ? 1 : 0;
    return n;
}

QStringList CDlgWageStdTable::Dictionary::tickedValues() const
{
    QStringList values;
    for (const Code& c : codes) {
        if (c.ticked)
            values << c.value;
    }
    return values;
}

CDlgWageStdTable::CDlgWageStdTable(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                                   int stdId)
    : m_app(app), m_prompter(prompter), m_sortId(sortId), m_stdId(stdId)
{
    db::CADODatabase& database = m_app.database();
    db::CADORecordset rs(&database);
    if (rs.Open(QStringLiteral("SELECT ID,DictId,Title FROM qp_Dict INNER JOIN qp_Items ON "
                               "qp_Dict.DictId=qp_Items.IdRef WHERE (qp_Items.iDataType=3) AND "
                               "(qp_Items.iSort=0 OR qp_Items.iSort=1) ORDER BY qp_Dict.Ord"))) {
        for (; !rs.IsEOF(); rs.MoveNext()) {
            Dictionary dict;
            dict.id = rs.GetFieldInt(QStringLiteral("ID"));
            dict.dictId = rs.GetFieldString(QStringLiteral("DictId"));
            dict.title = rs.GetFieldString(QStringLiteral("Title"));
            bool seen = false;
            for (const Dictionary& d : m_dicts)
                seen = seen || d.id == dict.id;
            if (!seen)
                m_dicts.append(dict);
        }
    }
    for (Dictionary& dict : m_dicts)
        loadCodes(dict, QString(), 0);
    if (isNew())
        return;

    db::CADORecordset def(&database);
    if (def.Open(QStringLiteral("SELECT STDName,Descr,STDTable,DictRow,DictCol FROM "
                                "qp_WageStdTable WHERE id=%1")
                     .arg(m_stdId)) &&
        !def.IsEOF()) {
        name = def.GetFieldString(QStringLiteral("STDName"));
        descr = def.GetFieldString(QStringLiteral("Descr"));
        m_dataTable = def.GetFieldString(QStringLiteral("STDTable"));
        m_dictRow = def.GetFieldString(QStringLiteral("DictRow"));
        m_dictCol = def.GetFieldString(QStringLiteral("DictCol"));
    }
    const core::Catalog catalog(database);
    for (Dictionary& dict : m_dicts) {
        for (Code& code : dict.codes) {
            if (dict.dictId == m_dictRow)
                code.ticked = catalog.integer(QStringLiteral("SELECT Count(*) FROM %1 WHERE "
                                                             "DictValue='%2'")
                                                  .arg(m_dataTable, sqlEscape(code.value))) > 0;
            else if (dict.dictId == m_dictCol)
                code.ticked =
                    catalog.integer(QStringLiteral("SELECT Count(*) FROM "
                                                   "qp_WageStdTblItem WHERE StdID=%1 AND "
                                                   "DictId='%2' AND DictValue='%3'")
                                        .arg(m_stdId)
                                        .arg(sqlEscape(dict.dictId), sqlEscape(code.value))) > 0;
        }
    }
}

void CDlgWageStdTable::loadCodes(Dictionary& dict, const QString& parent, int depth)
{
    if (depth > 20)
        return;
    db::CADORecordset rs(&m_app.database());
    const QString sql =
        parent.isEmpty()
            ? QStringLiteral("SELECT ID,DictId,DictValue,Title FROM qp_DictItem WHERE DictId='%1' "
                             "AND (ParentValue='' OR ParentValue IS NULL) ORDER BY DictValue")
                  .arg(sqlEscape(dict.dictId))
            : QStringLiteral("SELECT ID,DictId,DictValue,Title FROM qp_DictItem WHERE DictId='%1' "
                             "AND ParentValue='%2' ORDER BY DictValue")
                  .arg(sqlEscape(dict.dictId), sqlEscape(parent));
    if (!rs.Open(sql))
        return;
    const core::Catalog catalog(m_app.database());
    for (; !rs.IsEOF(); rs.MoveNext()) {
        Code code;
        code.id = rs.GetFieldInt(QStringLiteral("ID"));
        code.value = rs.GetFieldString(QStringLiteral("DictValue"));
        code.title = rs.GetFieldString(QStringLiteral("Title"));
        code.depth = depth;
        dict.codes.append(code);
        if (catalog.integer(QStringLiteral("SELECT Count(*) FROM qp_DictItem WHERE DictId='%1' AND "
                                           "ParentValue='%2'")
                                .arg(sqlEscape(dict.dictId), sqlEscape(code.value))) > 0)
            loadCodes(dict, code.value, depth + 1);
    }
}

bool CDlgWageStdTable::isEditable(int dictIndex) const
{
    if (isNew())
        return true;
    const QString& id = m_dicts[dictIndex].dictId;
    return id == m_dictRow || (!m_dictCol.isEmpty() && id == m_dictCol);
}

void CDlgWageStdTable::warn(const QString& text)
{
    m_prompter.message(text, core::promptCaption(), Prompter::Icon::Warning);
}

QString CDlgWageStdTable::sortTitle() const
{
    return core::Catalog(m_app.database()).wageSortTitle(m_sortId);
}

bool CDlgWageStdTable::setTicked(int dictIndex, int codeIndex, bool ticked)
{
    if (dictIndex < 0 || dictIndex >= m_dicts.size() || !isEditable(dictIndex))
        return false;
    Dictionary& dict = m_dicts[dictIndex];
    if (codeIndex < 0 || codeIndex >= dict.codes.size())
        return false;
    Code& code = dict.codes[codeIndex];
    if (code.ticked == ticked)
        return true;
    if (isNew()) {
        code.ticked = ticked;
        return true;
    }
    db::CADODatabase& database = m_app.database();
    const QString value = core::Catalog(database).text(
        QStringLiteral("SELECT DictValue FROM qp_DictItem WHERE ID=%1").arg(code.id));
    bool ok = true;
    if (dict.dictId == m_dictRow) {
        const core::Catalog catalog(database);
        if (ticked) {
            if (catalog
                    .text(QStringLiteral("SELECT DictValue FROM [%1] WHERE DictValue='%2'")
                              .arg(m_dataTable, sqlEscape(value)))
                    .isEmpty())
                ok = database.Execute(QStringLiteral("INSERT INTO [%1] (DictValue) VALUES ('%2')")
                                          .arg(m_dataTable, sqlEscape(value)));
        } else {
            ok = database.Execute(QStringLiteral("DELETE FROM [%1] WHERE DictValue='%2'")
                                      .arg(m_dataTable, sqlEscape(value)));
        }
    } else {
        db::CADOCommand cmd(&database, ticked ? QStringLiteral("qp_AddStdTableDictColItem")
                                              : QStringLiteral("qp_DelStdTableDictColItem"));
        cmd.AddParameter(QStringLiteral("StdTblID"), db::adInteger, db::adParamInput, 4, m_stdId);
        cmd.AddParameter(QStringLiteral("stdTable"), db::adVarChar, db::adParamInput, 50,
                         m_dataTable);
        cmd.AddParameter(QStringLiteral("dictId"), db::adVarChar, db::adParamInput, 50,
                         dict.dictId);
        cmd.AddParameter(QStringLiteral("dictValue"), db::adVarChar, db::adParamInput, 50, value);
        ok = cmd.Execute();
        if (!ok)
            m_prompter.message(cmd.GetErrorDescription(), core::promptCaption(),
                               Prompter::Icon::Error);
    }
    if (ok)
        code.ticked = ticked;
    return ok;
}

bool CDlgWageStdTable::save()
{
    QList<int> chosen;
    for (int i = 0; i < m_dicts.size(); ++i) {
        if (m_dicts[i].tickedCount() > 0)
            chosen << i;
    }
    bool fits = isNew() ? (chosen.size() == 1 || chosen.size() == 2) : true;
    for (int i : chosen)
        fits = fits && m_dicts[i].tickedCount() <= kMaxCodes;
    if (!fits) {
        warn(QStringLiteral("档案类至少选一个，最多选两个！"));
        return false;
    }
    const core::Catalog catalog(m_app.database());
    struct Carrier
    {
        QString field;
        QString table;
    };
    QList<Carrier> carriers;
    if (isNew()) {
        for (int i : chosen) {
            db::CADORecordset rs(&m_app.database());
            if (!rs.Open(QStringLiteral("SELECT TOP 1 Name,TblName FROM qp_Items WHERE "
                                        "(iDataType=3) AND (iSort=0 OR iSort=1) AND (IdRef='%1')")
                             .arg(sqlEscape(m_dicts[i].dictId))) ||
                rs.IsEOF() || rs.GetFieldString(QStringLiteral("Name")).isEmpty() ||
                rs.GetFieldString(QStringLiteral("TblName")).isEmpty()) {
                warn(QStringLiteral("标准表明细项异常！"));
                return false;
            }
            carriers.append({rs.GetFieldString(QStringLiteral("Name")),
                             rs.GetFieldString(QStringLiteral("TblName"))});
        }
    }
    name = name.trimmed();
    if (name.isEmpty()) {
        warn(QStringLiteral("名称不能为空!"));
        return false;
    }
    if (m_prompter.askYesNo(QStringLiteral("确定%1标准表吗?")
                                .arg(isNew() ? QStringLiteral("新建") : QStringLiteral("修改")),
                            core::promptCaption(),
                            Prompter::Icon::Question) != Prompter::Answer::Yes)
        return false;
    if (!catalog.rowExists(QStringLiteral("qp_Table"), QStringLiteral("[ID]=%1").arg(m_sortId))) {
        warn(WageSorts::sortDeletedMessage());
        return false;
    }

    if (!isNew()) {
        if (!catalog.confirmRowExists(m_prompter, QStringLiteral("qp_WageStdTable"),
                                      QStringLiteral("[id]=%1").arg(m_stdId)))
            return false;
        db::CADORecordset rs(&m_app.database());
        if (!rs.Open(QStringLiteral("SELECT STDName,Descr FROM qp_WageStdTable WHERE id=%1")
                         .arg(m_stdId)) ||
            rs.IsEOF() || !rs.Edit() ||
            !rs.SetFieldValue(QStringLiteral("STDName"), name.left(50)) ||
            !rs.SetFieldValue(QStringLiteral("Descr"), descr.left(100)) || !rs.Update()) {
            m_prompter.message(rs.GetErrorDescription(), core::promptCaption(),
                               Prompter::Icon::Error);
            return false;
        }
        core::AddSystemLog(
            m_app,
            QStringLiteral("薪资管理[薪资类别'%1'修改薪资标准表'%2']").arg(sortTitle(), name));
        return true;
    }

    // Two dictionaries: the one with more ticked codes gives the rows; with equal counts the
    // second in the tree does.
    int rowIndex = 0;
    if (chosen.size() == 2 && m_dicts[chosen[0]].tickedCount() > m_dicts[chosen[1]].tickedCount())
        rowIndex = 0;
    else if (chosen.size() == 2)
        rowIndex = 1;
    const int colIndex = chosen.size() == 2 ? 1 - rowIndex : -1;
    const Dictionary& rows = m_dicts[chosen[rowIndex]];

    db::CADOCommand cmd(&m_app.database(), QStringLiteral("qp_AddStdDBTable"));
    auto text = [&cmd](const char* param, const QString& value) {
        cmd.AddParameter(QString::fromLatin1(param), db::adVarChar, db::adParamInput, 100, value);
    };
    cmd.AddParameter(QStringLiteral("Return"), db::adInteger, db::adParamReturnValue, 4, 0);
    text("STDName", name);
    cmd.AddParameter(QStringLiteral("SID"), db::adInteger, db::adParamInput, 4, m_sortId);
    cmd.AddParameter(QStringLiteral("STDDim"), db::adInteger, db::adParamInput, 4,
                     int(chosen.size()));
    cmd.AddParameter(QStringLiteral("STDTable"), db::adVarChar, db::adParamOutput, 50, QString());
    text("DictRow", rows.dictId);
    text("FldRow", carriers[rowIndex].field);
    text("TblRow", carriers[rowIndex].table);
    text("DictCol", colIndex < 0 ? QString() : m_dicts[chosen[colIndex]].dictId);
    text("FldCol", colIndex < 0 ? QString() : carriers[colIndex].field);
    text("TblCol", colIndex < 0 ? QString() : carriers[colIndex].table);
    text("Descr", descr);
    text("RowValues", rows.tickedValues().join(QLatin1Char(',')));
    text("ColValues", colIndex < 0
                          ? QString()
                          : m_dicts[chosen[colIndex]].tickedValues().join(QLatin1Char(',')));
    cmd.AddParameter(QStringLiteral("NewID"), db::adInteger, db::adParamOutput, 4, 0);
    if (!cmd.Execute() || cmd.GetParameter(QStringLiteral("Return")).GetValue().toInt() != 0) {
        m_prompter.message(QStringLiteral("创建标准表失败!"), core::promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    m_stdId = cmd.GetParameter(QStringLiteral("NewID")).GetValue().toInt();
    core::AddSystemLog(
        m_app, QStringLiteral("薪资管理[薪资类别'%1'新建薪资标准表'%2']").arg(sortTitle(), name));
    return true;
}

} // namespace orvane::payroll
