#include "personnel/depttree.h"

#include "core/catalog.h"
#include "core/sqltext.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

#include <QList>

namespace orvane::personnel {

namespace {

// A damaged tree must not recurse forever.
constexpr int kMaxDepth = 64;

} // namespace

int DeptTree::childCount(int did) const
{
    return core::Catalog(m_db).departmentChildCount(did);
}

QString DeptTree::path(int did) const
{
    return core::Catalog(m_db).text(
        QStringLiteral("SELECT ParentArr FROM qp_Dept WHERE DID=%1").arg(did));
}

QString DeptTree::pathUnder(int did, int parentId) const
{
    if (parentId == 0)
        return QStringLiteral("|%1|").arg(did);
    return QStringLiteral("|%1").arg(did) + path(parentId);
}

bool DeptTree::setParent(int did, int parentId)
{
    const QString newPath = pathUnder(did, parentId);
    if (!m_db.Execute(QStringLiteral("EXEC qp_UpdateDeptParentByID %1,%2,'%3'")
                          .arg(did)
                          .arg(parentId)
                          .arg(core::sqlEscape(newPath))))
        return false;
    return rebuildDescendants(did, newPath);
}

bool DeptTree::rebuildDescendants(int did, const QString& didPath, int newParent)
{
    return rebuild(did, didPath, newParent, 0);
}

bool DeptTree::rebuild(int did, const QString& didPath, int newParent, int depth)
{
    if (depth > kMaxDepth)
        return false;
    db::CADORecordset rs(&m_db);
    const QString columns =
        newParent >= 0 ? QStringLiteral("DID,ParentArr,ParentID") : QStringLiteral("DID,ParentArr");
    if (!rs.Open(QStringLiteral("SELECT %1 FROM qp_Dept WHERE ParentID=%2").arg(columns).arg(did)))
        return false;
    QList<QPair<int, QString>> children;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const int child = rs.GetFieldInt(QStringLiteral("DID"));
        const QString childPath = QStringLiteral("|%1").arg(child) + didPath;
        if (!rs.Edit() || !rs.SetFieldValue(QStringLiteral("ParentArr"), childPath))
            return false;
        if (newParent >= 0 && !rs.SetFieldValue(QStringLiteral("ParentID"), newParent))
            return false;
        if (!rs.Update())
            return false;
        children.append({child, childPath});
    }
    for (const auto& [child, childPath] : children)
        if (childCount(child) > 0 && !rebuild(child, childPath, -1, depth + 1))
            return false;
    return true;
}

bool DeptTree::movePersons(int fromDid, int toDid)
{
    bool ok = m_db.Execute(
        QStringLiteral("UPDATE qp_PsnBase SET DID=%1 WHERE DID=%2").arg(toDid).arg(fromDid));
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("SELECT TblName FROM qp_Table WHERE nType=6")))
        return false;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        QString table = rs.GetFieldString(QStringLiteral("TblName"));
        table.replace(QLatin1Char(']'), QStringLiteral("]]"));
        ok = m_db.Execute(QStringLiteral("UPDATE [%1] SET DID=%2 WHERE DID=%3")
                              .arg(table)
                              .arg(toDid)
                              .arg(fromDid)) &&
             ok;
    }
    return ok;
}

bool DeptTree::renumberOrder()
{
    int position = 0;
    bool ok = true;
    walk(0, position, ok, 0);
    return ok;
}

void DeptTree::walk(int parentId, int& position, bool& ok, int depth)
{
    if (depth > kMaxDepth)
        return;
    QList<int> level;
    {
        db::CADORecordset rs(&m_db);
        if (!rs.Open(QStringLiteral("SELECT DID FROM qp_Dept WHERE ParentID=%1 ORDER BY Ord")
                         .arg(parentId))) {
            ok = false;
            return;
        }
        for (; !rs.IsEOF(); rs.MoveNext())
            level.append(rs.GetFieldInt(QStringLiteral("DID")));
    }
    for (const int did : level) {
        ok = m_db.Execute(QStringLiteral("UPDATE qp_Dept SET Ord=%1 WHERE DID=%2")
                              .arg(position++)
                              .arg(did)) &&
             ok;
        walk(did, position, ok, depth + 1);
    }
}

} // namespace orvane::personnel
