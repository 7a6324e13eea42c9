#pragma once

#include <QString>
#include <QtGlobal>

#include <span>

namespace orvane::core {

// One entry of the fixed table of operator rights. The index is what the command table of the
// main window uses; each entry owns one bit of the 64-bit rights mask.
struct RightEntry
{
    int index;
    int bit;
    const char* name;        // UTF-8
    const char* description; // UTF-8, may be empty

    quint64 mask() const { return quint64(1) << bit; }
    QString nameText() const { return QString::fromUtf8(name); }
    QString descriptionText() const { return QString::fromUtf8(description); }
};

class RightsTable
{
public:
    static constexpr int Count = 39;
    // The first entry of each group is the group's own right.
    static constexpr int PersonnelGroup = 0;
    static constexpr int PayrollGroup = 16;
    static constexpr int SystemGroup = 33;

    static std::span<const RightEntry> entries();
    // nullptr for an index outside 0..Count-1.
    static const RightEntry* entry(int index);

    static bool isGroup(int index);
    // Index of the group entry an entry belongs to (the group's own index for a group entry),
    // -1 for an index outside the table.
    static int groupOf(int index);
    // Whether a non-super operator with `rightsMask` holds entry `index`.
    static bool granted(quint64 rightsMask, int index);
};

} // namespace orvane::core
