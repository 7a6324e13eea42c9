#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace orvane::core {

// An operator's rights record as stored in qp_Users.Purview:
// "<mask hex>|<category keys>|<department keys>|<wage sort keys>", key lists joined by ','.
struct Purview
{
    quint64 rightsMask = 0;
    QString categories;  // permitted qp_PsnSort.AID values
    QString departments; // permitted qp_Dept.DID values
    QString wageSorts;   // permitted qp_Table.ID values of wage sorts

    // Never fails: a missing or malformed mask gives 0, missing lists stay empty.
    static Purview parse(const QString& text);
    QString toString() const;

    bool operator==(const Purview&) const = default;
};

// True when `key` occurs as ",key," in `list` with a comma added at both ends.
bool keyInList(const QString& list, int key);

// Keys joined by ',' without a trailing comma ("" for none).
QString joinKeys(const QList<int>& keys);

} // namespace orvane::core
