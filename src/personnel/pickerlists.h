#pragma once

#include "personnel/picknode.h"

#include "db/resultset.h"

#include <QString>

namespace orvane::db {
class CADODatabase;
}
namespace orvane::core {
struct OperatorRecord;
}

namespace orvane::personnel {

// What the drop-downs of the pickers and the navigation pane offer, filtered by the logged-in
// operator's permitted departments and categories.
class PickerLists
{
public:
    PickerLists(db::CADODatabase& database, const core::OperatorRecord& op)
        : m_db(database), m_operator(op)
    {
    }

    // Departments level by level from the top ("SELECT * FROM qp_Dept WHERE ParentID=%d ORDER BY
    // Ord"). For an operator who is not a super user a department outside his list is left out
    // together with its whole subtree.
    QList<PickNode> departments() const;
    // Categories in Ord order, limited to the operator's list (flat).
    QList<PickNode> categories() const;
    // Active entries of a dictionary nested by parent value; the key is qp_DictItem.ID, the
    // caption the entry's title.
    QList<PickNode> dictionary(const QString& dictId) const;
    // The persons offered by the person picker for a wage sort (0: all), limited to the
    // operator's departments. Empty with `error` set when the procedure fails.
    db::ResultSet persons(int wageSortId, QString* error = nullptr) const;
    // The filter text handed to qp_SelectPsnForEditBrowseCtrl.
    QString personFilter(int wageSortId) const;

private:
    QList<PickNode> departmentsUnder(int parentId, int depth) const;

    db::CADODatabase& m_db;
    const core::OperatorRecord& m_operator;
};

} // namespace orvane::personnel
