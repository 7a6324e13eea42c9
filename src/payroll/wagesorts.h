#pragma once

#include <QList>
#include <QString>

namespace orvane::core {
class COrvaneApp;
}

namespace orvane::payroll {

struct WageSortEntry
{
    int id = 0;
    QString title;
};

// The sort selector's list and the few texts every payroll window shares.
class WageSorts
{
public:
    // "SELECT ID,Title FROM qp_Table WHERE nType=6 ORDER BY Ord", keeping only the sorts the
    // operator may use (all for a super operator).
    static QList<WageSortEntry> list(core::COrvaneApp& app);
    // Index of the sort in the list, -1 when absent.
    static int indexOf(const QList<WageSortEntry>& sorts, int sortId);

    static int monthKey(int year, int month) { return year * 100 + month; }

    // The messages the payroll windows share (strings 111, 112, 113, 118).
    static QString chooseItemMessage();
    static QString choosePersonMessage();
    static QString chooseSortMessage();
    static QString sortDeletedMessage();
};

} // namespace orvane::payroll
