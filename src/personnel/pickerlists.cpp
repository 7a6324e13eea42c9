#include "personnel/pickerlists.h"

#include "core/cataloglists.h"
#include "core/corvaneapp.h"
#include "core/purview.h"
#include "core/sqltext.h"
#include "db/cadorecordset.h"

namespace orvane::personnel {

namespace {

// A damaged tree (a department that is its own ancestor) must not recurse forever.
constexpr int kMaxDepth = 32;

PickNode fromDict(const core::DictNode& node)
{
    PickNode out{node.id, node.title, {}};
    for (const core::DictNode& child : node.children)
        out.children.append(fromDict(child));
    return out;
}

} // namespace

const PickNode* findPickNode(const QList<PickNode>& nodes, int id)
{
    for (const PickNode& node : nodes) {
        if (node.id == id)
            return &node;
        if (const PickNode* found = findPickNode(node.children, id))
            return found;
    }
    return nullptr;
}

const PickNode* findPickNodeByText(const QList<PickNode>& nodes, const QString& text)
{
    for (const PickNode& node : nodes) {
        if (node.text.compare(text, Qt::CaseInsensitive) == 0)
            return &node;
        if (const PickNode* found = findPickNodeByText(node.children, text))
            return found;
    }
    return nullptr;
}

QList<PickNode> PickerLists::departments() const
{
    return departmentsUnder(0, 1);
}

QList<PickNode> PickerLists::departmentsUnder(int parentId, int depth) const
{
    QList<PickNode> level;
    if (depth > kMaxDepth)
        return level;
    {
        db::CADORecordset rs(&m_db);
        if (!rs.Open(QStringLiteral("SELECT * FROM qp_Dept WHERE ParentID=%1 ORDER BY Ord")
                         .arg(parentId)))
            return level;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            const int did = rs.GetFieldInt(QStringLiteral("DID"));
            if (!m_operator.ISuper && !core::keyInList(m_operator.purview.departments, did))
                continue;
            level.append({did, rs.GetFieldString(QStringLiteral("Name")), {}});
        }
    }
    for (PickNode& node : level)
        node.children = departmentsUnder(node.id, depth + 1);
    return level;
}

QList<PickNode> PickerLists::categories() const
{
    QList<PickNode> list;
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("SELECT AID,Name FROM qp_PsnSort ORDER BY Ord")))
        return list;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const int aid = rs.GetFieldInt(QStringLiteral("AID"));
        if (!m_operator.ISuper && !m_operator.allCategories &&
            !core::keyInList(m_operator.purview.categories, aid))
            continue;
        list.append({aid, rs.GetFieldString(QStringLiteral("Name")), {}});
    }
    return list;
}

QList<PickNode> PickerLists::dictionary(const QString& dictId) const
{
    QList<PickNode> out;
    for (const core::DictNode& node : core::CatalogLists(m_db).dictionaryTree(dictId))
        out.append(fromDict(node));
    return out;
}

QString PickerLists::personFilter(int wageSortId) const
{
    QString filter;
    if (wageSortId > 0)
        filter = QStringLiteral(" WHERE (W.SID=%1)").arg(wageSortId);
    if (!m_operator.ISuper && !m_operator.allDepartments) {
        // The list is keys and commas only; anything else in it is dropped so it cannot end the
        // literal it travels in.
        QString keys;
        for (const QChar c : m_operator.purview.departments)
            if (c.isDigit() || c == QLatin1Char(','))
                keys += c;
        const QString condition =
            QStringLiteral("(CHARINDEX('',''+CONVERT(VARCHAR,P.DID)+'','',''%1'')>0)")
                .arg(QLatin1Char(',') + keys + QLatin1Char(','));
        filter +=
            (filter.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) + condition;
    }
    return filter;
}

db::ResultSet PickerLists::persons(int wageSortId, QString* error) const
{
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("EXEC qp_SelectPsnForEditBrowseCtrl %1,'%2'")
                     .arg(wageSortId)
                     .arg(personFilter(wageSortId)))) {
        if (error)
            *error = rs.GetErrorDescription();
        return {};
    }
    return rs.resultSet();
}

} // namespace orvane::personnel
