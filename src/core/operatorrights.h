#pragma once

#include <QString>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::core {

class COrvaneApp;
class Prompter;
struct OperatorRecord;

// The rights of the logged-in operator: reading his Purview, the two "all permitted" flags and
// the right check that gates every command.
class OperatorRights
{
public:
    // Parses `purviewText` into the record and derives allCategories / allDepartments: true for
    // a super user, otherwise true when every category (department) key is in the permitted list.
    static void applyPurview(db::CADODatabase& database, OperatorRecord& record,
                             const QString& purviewText);

    // True at once for a super user. With `refresh`, first rereads the operator's Purview so a
    // change made in the operator manager counts without a new login (the record keeps its old
    // rights when the query fails; a deleted operator has none). An index outside the table is
    // never granted.
    static bool hasRight(COrvaneApp& app, int index, bool refresh);

    // hasRight() with refresh; when refused tells the operator (message 106) and returns false.
    static bool checkRight(COrvaneApp& app, Prompter& prompter, int index);

    static QString noRightMessage();
};

} // namespace orvane::core
