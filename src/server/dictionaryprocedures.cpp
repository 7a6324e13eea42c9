// Procedures of the dictionaries (qp_Dict, qp_DictItem).
#include "server/coreprocedures.h"
#include "server/procedurehelpers.h"

#include <QRegularExpression>

namespace orvane::server {

namespace {

using db::ProcContext;

// A new dictionary's code: "D" and the next number after the highest "D<number>" in use.
QString nextDictId(ProcContext& ctx)
{
    static const QRegularExpression pattern(QStringLiteral("^D(\\d+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const db::ResultSet ids = ctx.query(QStringLiteral("SELECT DictId FROM qp_Dict"));
    qint64 highest = 0;
    for (int r = 0; r < ids.rowCount(); ++r) {
        const auto match = pattern.match(ids.at(r, 0).toString().trimmed());
        if (match.hasMatch())
            highest = qMax(highest, match.captured(1).toLongLong());
    }
    return QStringLiteral("D%1").arg(highest + 1, 2, 10, QLatin1Char('0'));
}

// qp_AddDictSort: ID (0 = new), Active, Title.
void addDictSort(ProcContext& ctx)
{
    const int id = keyParam(ctx, "ID");
    const QString title = ctx.paramString(QStringLiteral("Title")).trimmed();
    const int active = flagParam(ctx, "Active");
    if (title.isEmpty() || title.size() > 50)
        ctx.fail(QStringLiteral("错误：名称不能为空!"));
    if (scalarInt(ctx,
                  QStringLiteral("SELECT COUNT(*) FROM qp_Dict WHERE UPPER(Title)=%1 AND ID<>%2")
                      .arg(sqlText(title.toUpper()), num(id))) > 0)
        ctx.fail(QStringLiteral("错误：名称重复!"));

    if (id == 0) {
        const int ord = scalarInt(ctx, QStringLiteral("SELECT MAX(Ord) FROM qp_Dict")) + 1;
        ctx.execute(
            QStringLiteral("INSERT INTO qp_Dict (DictId,Title,Active,Ord) VALUES (%1,%2,%3,%4)")
                .arg(sqlText(nextDictId(ctx)), sqlText(title), num(active), num(ord)));
    } else {
        if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Dict WHERE ID=%1").arg(id)) == 0)
            ctx.fail(QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!"));
        ctx.execute(QStringLiteral("UPDATE qp_Dict SET Title=%1,Active=%2 WHERE ID=%3")
                        .arg(sqlText(title), num(active), num(id)));
    }
    ctx.setReturn(kReturnOk);
}

void markParent(ProcContext& ctx, const QString& dictId, const QString& parentValue)
{
    if (parentValue.isEmpty())
        return;
    const int children =
        scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_DictItem WHERE DictId=%1 AND "
                                      "ParentValue=%2")
                           .arg(sqlText(dictId), sqlText(parentValue)));
    ctx.execute(
        QStringLiteral("UPDATE qp_DictItem SET hasChild=%1 WHERE DictId=%2 AND DictValue=%3")
            .arg(num(children > 0 ? 1 : 0), sqlText(dictId), sqlText(parentValue)));
}

// qp_AddDictItem: ID (0 = new), Active, DictId, DictValue, Title, ParentValue. Inserts or
// updates an entry and keeps hasChild of its parent (old and new) in step.
void addDictItem(ProcContext& ctx)
{
    const int id = keyParam(ctx, "ID");
    const int active = flagParam(ctx, "Active");
    const QString dictId = ctx.paramString(QStringLiteral("DictId")).trimmed();
    const QString value = ctx.paramString(QStringLiteral("DictValue")).trimmed();
    const QString title = ctx.paramString(QStringLiteral("Title")).trimmed();
    const QString parent = ctx.paramString(QStringLiteral("ParentValue")).trimmed();

    if (value.isEmpty() || title.isEmpty() || value.size() > 50 || title.size() > 100)
        ctx.fail(QStringLiteral("错误：编码、名称不能为空!"));
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_Dict WHERE DictId=%1")
                           .arg(sqlText(dictId))) == 0)
        ctx.fail(QStringLiteral("基础档案类 %1 不存在").arg(dictId));
    if (!parent.isEmpty()) {
        if (!value.startsWith(parent) || value.size() <= parent.size())
            ctx.fail(QStringLiteral("子级编码必须以上级编码为前缀且长度大于上级编码长度!"));
        if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_DictItem WHERE DictId=%1 AND "
                                          "DictValue=%2")
                               .arg(sqlText(dictId), sqlText(parent))) == 0)
            ctx.fail(QStringLiteral("上级编码 %1 不存在").arg(parent));
    }
    // A code is unique among the children of one parent (the top level is one parent).
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_DictItem WHERE DictId=%1 AND "
                                      "ISNULL(ParentValue,'')=%2 AND DictValue=%3 AND ID<>%4")
                           .arg(sqlText(dictId), sqlText(parent), sqlText(value), num(id))) > 0)
        ctx.fail(QStringLiteral("错误：编码重复!"));
    if (scalarInt(ctx, QStringLiteral("SELECT COUNT(*) FROM qp_DictItem WHERE DictId=%1 AND "
                                      "UPPER(Title)=%2 AND ID<>%3")
                           .arg(sqlText(dictId), sqlText(title.toUpper()), num(id))) > 0)
        ctx.fail(QStringLiteral("错误：名称重复!"));

    if (id == 0) {
        ctx.execute(QStringLiteral("INSERT INTO qp_DictItem (DictId,DictValue,Title,ParentValue,"
                                   "hasChild,Active) VALUES (%1,%2,%3,%4,0,%5)")
                        .arg(sqlText(dictId), sqlText(value), sqlText(title), sqlText(parent),
                             num(active)));
        markParent(ctx, dictId, parent);
        ctx.setReturn(kReturnOk);
        return;
    }

    const db::ResultSet old = ctx.query(
        QStringLiteral("SELECT DictId,DictValue,ParentValue,hasChild FROM qp_DictItem WHERE ID=%1")
            .arg(id));
    if (old.rowCount() == 0)
        ctx.fail(QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!"));
    if (old.at(0, 0).toString().compare(dictId, Qt::CaseInsensitive) != 0)
        ctx.fail(QStringLiteral("档案项不属于基础档案类 %1").arg(dictId));
    const QString oldValue = old.at(0, 1).toString();
    const QString oldParent = old.at(0, 2).toString();
    // Children find their parent by its code, so a parent keeps its code.
    if (old.at(0, 3).toInt() != 0 && oldValue != value)
        ctx.fail(QStringLiteral("有下级档案项的编码不能修改!"));
    ctx.execute(QStringLiteral("UPDATE qp_DictItem SET DictValue=%1,Title=%2,ParentValue=%3,"
                               "Active=%4 WHERE ID=%5")
                    .arg(sqlText(value), sqlText(title), sqlText(parent), num(active), num(id)));
    markParent(ctx, dictId, parent);
    if (oldParent != parent)
        markParent(ctx, dictId, oldParent);
    ctx.setReturn(kReturnOk);
}

// qp_SelectSystemDictItemsByID: DictId, parent DictValue (empty for the top level).
void selectSystemDictItemsByID(ProcContext& ctx)
{
    const auto& params = ctx.params();
    const QString dictId = ctx.hasParam(QStringLiteral("DictId"))
                               ? ctx.paramString(QStringLiteral("DictId"))
                               : (params.empty() ? QString() : params[0].value.toString());
    const QString parent = ctx.hasParam(QStringLiteral("ParentValue"))
                               ? ctx.paramString(QStringLiteral("ParentValue"))
                               : (params.size() < 2 ? QString() : params[1].value.toString());
    const QString under = parent.trimmed().isEmpty()
                              ? QStringLiteral("(ParentValue='' OR ParentValue IS NULL)")
                              : QStringLiteral("ParentValue=") + sqlText(parent.trimmed());
    ctx.setResult(ctx.query(QStringLiteral("SELECT ID,DictId,DictValue,Title,ParentValue,hasChild,"
                                           "Active FROM qp_DictItem WHERE DictId=%1 AND %2 "
                                           "ORDER BY DictValue")
                                .arg(sqlText(dictId.trimmed()), under)));
}

} // namespace

void registerDictionaryProcedures()
{
    registerOnce(QStringLiteral("qp_AddDictSort"),
                 {QStringLiteral("ID"), QStringLiteral("Active"), QStringLiteral("Title")},
                 addDictSort);
    registerOnce(QStringLiteral("qp_AddDictItem"),
                 {QStringLiteral("ID"), QStringLiteral("Active"), QStringLiteral("DictId"),
                  QStringLiteral("DictValue"), QStringLiteral("Title"),
                  QStringLiteral("ParentValue")},
                 addDictItem);
    registerOnce(QStringLiteral("qp_SelectSystemDictItemsByID"),
                 {QStringLiteral("DictId"), QStringLiteral("ParentValue")},
                 selectSystemDictItemsByID);
}

} // namespace orvane::server
