#include "core/purview.h"
#include "core/rightstable.h"

#include <gtest/gtest.h>

#include <set>

using orvane::core::Purview;
using orvane::core::RightsTable;

TEST(RightsTable, BitsAreDistinctAndGroupsCoverTheirMembers)
{
    std::set<int> bits;
    for (const auto& e : RightsTable::entries())
        bits.insert(e.bit);
    EXPECT_EQ(bits.size(), std::size_t(RightsTable::Count));
    EXPECT_EQ(RightsTable::entry(39), nullptr);
    EXPECT_EQ(RightsTable::groupOf(15), 0);
    EXPECT_EQ(RightsTable::groupOf(32), 16);
    EXPECT_EQ(RightsTable::groupOf(33), 33);
    EXPECT_EQ(RightsTable::groupOf(39), -1);
}

TEST(Purview, MaskOfBit63AloneGrantsEntryZeroOnly)
{
    const Purview p = Purview::parse(QStringLiteral("8000000000000000|1|2|"));
    EXPECT_EQ(p.rightsMask, quint64(1) << 63);
    EXPECT_EQ(p.categories, QStringLiteral("1"));
    EXPECT_EQ(p.departments, QStringLiteral("2"));
    EXPECT_TRUE(p.wageSorts.isEmpty());
    for (int i = 0; i < RightsTable::Count; ++i)
        EXPECT_EQ(RightsTable::granted(p.rightsMask, i), i == 0) << i;
    EXPECT_EQ(p.toString(), QStringLiteral("8000000000000000|1|2|"));
}

TEST(Purview, ShortOrBrokenTextsGiveEmptyParts)
{
    EXPECT_EQ(Purview::parse(QString()), Purview{});
    EXPECT_FALSE(RightsTable::granted(Purview::parse(QString()).rightsMask, 0));

    const Purview twoParts = Purview::parse(QStringLiteral("ff|3,4"));
    EXPECT_EQ(twoParts.rightsMask, 0xffu);
    EXPECT_EQ(twoParts.categories, QStringLiteral("3,4"));
    EXPECT_TRUE(twoParts.departments.isEmpty());

    EXPECT_EQ(Purview::parse(QStringLiteral("xyz|1|1|1")).rightsMask, 0u);
    EXPECT_EQ(Purview::parse(QStringLiteral("1ffffffffffffffff|1")).rightsMask, 0u); // overflow
    // Lower-case hexadecimal without leading zeros on the way out.
    Purview p;
    p.rightsMask = 0x00ABCDEF;
    EXPECT_EQ(p.toString(), QStringLiteral("abcdef|||"));
}

TEST(Purview, KeyListMatchesWholeKeysOnly)
{
    using orvane::core::keyInList;
    EXPECT_TRUE(keyInList(QStringLiteral("1,12,3"), 12));
    EXPECT_TRUE(keyInList(QStringLiteral("1,12,3"), 1));
    EXPECT_TRUE(keyInList(QStringLiteral("1,12,3"), 3));
    EXPECT_FALSE(keyInList(QStringLiteral("1,12,3"), 2));
    EXPECT_FALSE(keyInList(QStringLiteral("112"), 12));
    EXPECT_FALSE(keyInList(QString(), 0));
    EXPECT_EQ(orvane::core::joinKeys({5, 7, 9}), QStringLiteral("5,7,9"));
    EXPECT_EQ(orvane::core::joinKeys({}), QString());
}
