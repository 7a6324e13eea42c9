#pragma once

#include <QString>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::personnel {

// The department-tree routines every part of the personnel side shares. Paths follow the rule
// "|" + DID + "|" for a top-level department and "|" + DID + the parent's path below it, so
// "CHARINDEX('|d|',ParentArr)>0" selects department d with its whole subtree.
class DeptTree
{
public:
    explicit DeptTree(db::CADODatabase& database) : m_db(database) {}

    int childCount(int did) const;
    // The stored path of a department ("" when there is none).
    QString path(int did) const;
    // The path a department gets under `parentId` (0: top level).
    QString pathUnder(int did, int parentId) const;

    // Sets the parent of `did` and rebuilds its path and its descendants' paths.
    bool setParent(int did, int parentId);
    // Rewrites the paths (and, for the direct children, nothing else) below `did`, whose path is
    // `didPath`. When `newParent` is given the direct children also get that ParentID (merge).
    bool rebuildDescendants(int did, const QString& didPath, int newParent = -1);
    // Moves the persons and every wage sort's member rows from one department to another. A
    // failure of one table does not stop the others; false when any failed.
    bool movePersons(int fromDid, int toDid);
    // Gives every department its 0-based position in the depth-first listing of the tree.
    bool renumberOrder();

private:
    bool rebuild(int did, const QString& didPath, int newParent, int depth);
    void walk(int parentId, int& position, bool& ok, int depth);

    db::CADODatabase& m_db;
};

} // namespace orvane::personnel
