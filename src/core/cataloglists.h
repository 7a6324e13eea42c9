#pragma once

#include "core/tagorvaneiteminfo.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::core {

// One entry of a dictionary, with the entries below it.
struct DictNode
{
    int id = 0;
    QString dictId;
    QString value; // DictValue
    QString title;
    QList<DictNode> children;
};

// One department with the departments below it.
struct DeptNode
{
    int did = 0;
    int parentId = 0;
    QString name;
    QList<DeptNode> children;
};

// A key with its caption (categories, wage sorts, operators).
struct KeyedName
{
    int key = 0;
    QString name;
    bool operator==(const KeyedName&) const = default;
};

// The lists the drop-downs and trees of every module are filled from. A failing query leaves
// the list empty (or stops a tree where it failed). A permitted-key list, when given, keeps only
// the entries whose key occurs in it (see keyInList()); std::nullopt means no filtering.
class CatalogLists
{
public:
    explicit CatalogLists(db::CADODatabase& database) : m_db(database) {}

    QList<DictNode> dictionaryTree(const QString& dictId) const;
    // At most 500 titles, in code order.
    QStringList dictionaryTitles(const QString& dictId) const;

    // Departments from the top (ParentID 0) down, in Ord order. A department left out by the
    // filter is skipped and its permitted descendants take its place.
    QList<DeptNode> departmentTree(const std::optional<QString>& permitted = std::nullopt) const;
    // The same with the caller's query for one level ("%1" stands for the parent's DID); it must
    // give the columns DID, ParentID and Name.
    QList<DeptNode> departmentTree(const QString& levelQuery,
                                   const std::optional<QString>& permitted) const;
    QList<KeyedName> categories(const std::optional<QString>& permitted = std::nullopt) const;
    // As categories(), with "<所有类别>" (key 0) in front.
    QList<KeyedName> categoriesWithAll(const std::optional<QString>& permitted = std::nullopt) const;
    QList<KeyedName> wageSorts(const std::optional<QString>& permitted = std::nullopt) const;
    QList<KeyedName> operators() const;

    // "SELECT ItemID,[Name],[Alias],iDataType,iDec,iChoice,TblName FROM qp_Items " + clause.
    QList<tagORVANEITEMINFO> fields(const QString& whereAndOrder) const;

    static QString allCategoriesCaption();

private:
    QList<KeyedName> keyedList(const QString& sql, const std::optional<QString>& permitted) const;
    void dictionaryChildren(const QString& dictId, DictNode& parent, int depth) const;
    QList<DeptNode> departmentsUnder(const QString& levelQuery, int parentId,
                                     const std::optional<QString>& permitted, int depth) const;

    db::CADODatabase& m_db;
};

} // namespace orvane::core
