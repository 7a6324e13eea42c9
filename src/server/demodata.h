#pragma once

#include <QList>
#include <QString>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::server {

// An operator the demo data adds. The caller supplies the stored password hash and the rights
// text (qp_Users.Purview), which belong to the layer above.
struct DemoOperator
{
    QString name;
    QString passwordHash;
    QString description;
    QString purview;
    bool super = false;
};

struct DemoDataCounts
{
    int departments = 0;
    int categories = 0;
    int persons = 0;
    int operators = 0;
};

// Fills a freshly created database with a plausible organisation: a department tree several
// levels deep, an extra category, `persons` people with Chinese names, numbers, sex, nationality,
// birth and entry dates and identity-card-like numbers, and the given operators. The same
// `persons` always gives the same data. Runs in one transaction: on failure nothing is kept and
// `error` says why.
bool fillDemoData(db::CADODatabase& database, int persons, const QList<DemoOperator>& operators,
                  DemoDataCounts* counts, QString* error);

} // namespace orvane::server
