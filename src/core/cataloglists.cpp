#include "core/cataloglists.h"

#include "core/catalog.h"
#include "core/sqltext.h"
#include "core/purview.h"
#include "db/cadorecordset.h"

namespace orvane::core {

namespace {

// Trees in the database may be damaged (an entry that is its own ancestor); stop descending
// well beyond any real depth instead of recursing forever.
constexpr int kMaxTreeDepth = 32;

bool permits(const std::optional<QString>& permitted, int key)
{
    return !permitted || keyInList(*permitted, key);
}

} // namespace

QString CatalogLists::allCategoriesCaption()
{
    return QStringLiteral("<所有类别>");
}

QList<DictNode> CatalogLists::dictionaryTree(const QString& dictId) const
{
    QList<DictNode> top;
    db::CADORecordset rs(&m_db);
    const QString sql = QStringLiteral("SELECT ID,DictId,DictValue,Title FROM qp_DictItem WHERE "
                                       "Active=1 AND DictId='%1' AND (ParentValue='' OR "
                                       "ParentValue IS NULL) ORDER BY DictValue")
                            .arg(sqlEscape(dictId));
    if (!rs.Open(sql))
        return top;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        DictNode node;
        node.id = rs.GetFieldInt(QStringLiteral("ID"));
        node.dictId = rs.GetFieldString(QStringLiteral("DictId"));
        node.value = rs.GetFieldString(QStringLiteral("DictValue"));
        node.title = rs.GetFieldString(QStringLiteral("Title"));
        top.append(node);
    }
    for (DictNode& node : top)
        dictionaryChildren(dictId, node, 1);
    return top;
}

void CatalogLists::dictionaryChildren(const QString& dictId, DictNode& parent, int depth) const
{
    if (depth > kMaxTreeDepth)
        return;
    const QString code = sqlEscape(dictId);
    const QString value = sqlEscape(parent.value);
    const Catalog catalog(m_db);
    if (catalog.integer(QStringLiteral("SELECT Count(*) FROM qp_DictItem WHERE Active=1 AND "
                                       "DictId='%1' AND ParentValue='%2'")
                            .arg(code, value))
        <= 0)
        return;
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("SELECT ID,DictId,DictValue,Title FROM qp_DictItem WHERE Active=1 "
                                "AND DictId='%1' AND ParentValue='%2' ORDER BY DictValue")
                     .arg(code, value)))
        return;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        DictNode node;
        node.id = rs.GetFieldInt(QStringLiteral("ID"));
        node.dictId = rs.GetFieldString(QStringLiteral("DictId"));
        node.value = rs.GetFieldString(QStringLiteral("DictValue"));
        node.title = rs.GetFieldString(QStringLiteral("Title"));
        parent.children.append(node);
    }
    for (DictNode& child : parent.children)
        dictionaryChildren(dictId, child, depth + 1);
}

QStringList CatalogLists::dictionaryTitles(const QString& dictId) const
{
    QStringList titles;
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("SELECT TOP 500 Title FROM qp_DictItem WHERE Active=1 AND "
                                "DictId='%1' ORDER BY DictValue")
                     .arg(sqlEscape(dictId))))
        return titles;
    for (; !rs.IsEOF() && titles.size() < 500; rs.MoveNext())
        titles << rs.GetFieldString(QStringLiteral("Title"));
    return titles;
}

QList<DeptNode> CatalogLists::departmentTree(const std::optional<QString>& permitted) const
{
    return departmentTree(QStringLiteral("SELECT * FROM qp_Dept WHERE ParentID=%1 ORDER BY Ord"),
                          permitted);
}

QList<DeptNode> CatalogLists::departmentTree(const QString& levelQuery,
                                             const std::optional<QString>& permitted) const
{
    return departmentsUnder(levelQuery, 0, permitted, 1);
}

QList<DeptNode> CatalogLists::departmentsUnder(const QString& levelQuery, int parentId,
                                               const std::optional<QString>& permitted,
                                               int depth) const
{
    QList<DeptNode> result;
    if (depth > kMaxTreeDepth)
        return result;
    QList<DeptNode> level;
    {
        db::CADORecordset rs(&m_db);
        if (!rs.Open(levelQuery.arg(parentId)))
            return result;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            DeptNode node;
            node.did = rs.GetFieldInt(QStringLiteral("DID"));
            node.parentId = rs.GetFieldInt(QStringLiteral("ParentID"));
            node.name = rs.GetFieldString(QStringLiteral("Name"));
            level.append(node);
        }
    }
    for (DeptNode& node : level) {
        node.children = departmentsUnder(levelQuery, node.did, permitted, depth + 1);
        if (permits(permitted, node.did))
            result.append(node);
        else
            result.append(node.children);
    }
    return result;
}

QList<KeyedName> CatalogLists::keyedList(const QString& sql,
                                         const std::optional<QString>& permitted) const
{
    QList<KeyedName> result;
    db::CADORecordset rs(&m_db);
    if (!rs.Open(sql))
        return result;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        KeyedName entry;
        rs.GetFieldValue(0, entry.key);
        rs.GetFieldValue(1, entry.name);
        if (permits(permitted, entry.key))
            result.append(entry);
    }
    return result;
}

QList<KeyedName> CatalogLists::categories(const std::optional<QString>& permitted) const
{
    return keyedList(QStringLiteral("SELECT AID,Name FROM qp_PsnSort ORDER BY ord"), permitted);
}

QList<KeyedName> CatalogLists::categoriesWithAll(const std::optional<QString>& permitted) const
{
    QList<KeyedName> result{{0, allCategoriesCaption()}};
    result.append(categories(permitted));
    return result;
}

QList<KeyedName> CatalogLists::wageSorts(const std::optional<QString>& permitted) const
{
    return keyedList(QStringLiteral("SELECT ID,Title FROM qp_Table WHERE nType=6 ORDER BY Ord"),
                     permitted);
}

QList<KeyedName> CatalogLists::operators() const
{
    return keyedList(QStringLiteral("SELECT UserID,UserName FROM qp_Users"), std::nullopt);
}

QList<tagORVANEITEMINFO> CatalogLists::fields(const QString& whereAndOrder) const
{
    QList<tagORVANEITEMINFO> result;
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral(
                     "SELECT ItemID,[Name],[Alias],iDataType,iDec,iChoice,TblName FROM qp_Items ")
                 + whereAndOrder))
        return result;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        tagORVANEITEMINFO info;
        info.ItemID = rs.GetFieldInt(QStringLiteral("ItemID"));
        info.setName(rs.GetFieldString(QStringLiteral("Name")));
        info.setAlias(rs.GetFieldString(QStringLiteral("Alias")));
        info.setTableName(rs.GetFieldString(QStringLiteral("TblName")));
        info.iDataType = qint16(rs.GetFieldInt(QStringLiteral("iDataType")));
        info.iDec = qint16(rs.GetFieldInt(QStringLiteral("iDec")));
        info.iChoice = qint16(rs.GetFieldInt(QStringLiteral("iChoice")));
        result.append(info);
    }
    return result;
}

} // namespace orvane::core
