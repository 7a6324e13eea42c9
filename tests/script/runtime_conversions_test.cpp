#include "runtime_support.h"

#include <cmath>

namespace orvane::script::test {
namespace {

TEST(RuntimeConversions, NumbersAsTextUseFifteenSignificantDigits)
{
    EXPECT_EQ(show(D(1.5)), "1.5");
    EXPECT_EQ(show(opAdd(D(0.1), D(0.2))), "0.3");
    EXPECT_EQ(show(D(1.0 / 3.0)), "0.333333333333333");
    EXPECT_EQ(show(D(123456789012345.0)), "123456789012345");
    EXPECT_EQ(show(D(1e15)), "1E+15");
    EXPECT_EQ(show(D(0.0001)), "0.0001");
    EXPECT_EQ(show(D(0.00001)), "1E-05");
    EXPECT_EQ(show(D(-2.5e-7)), "-2.5E-07");
    EXPECT_EQ(show(D(-0.0)), "0");
    EXPECT_EQ(show(Variant::fromSingle(1.0f / 3.0f)), "0.3333333");
    EXPECT_EQ(show(Variant::fromSingle(12345678.0f)), "1.234568E+07");
    EXPECT_EQ(show(Variant::fromCurrencyRaw(15000)), "1.5");
    EXPECT_EQ(show(Variant::fromCurrencyRaw(-1)), "-0.0001");
    EXPECT_EQ(show(B(true)), "True");
    EXPECT_EQ(show(Variant()), "");
}

TEST(RuntimeConversions, WholeNumberConversionsRoundHalfToEvenAndCheckRange)
{
    EXPECT_EQ(toInteger(D(2.5)), 2);
    EXPECT_EQ(toInteger(D(3.5)), 4);
    EXPECT_EQ(toInteger(D(-2.5)), -2);
    EXPECT_EQ(toInteger(S(u" 1.5 ")), 2);
    EXPECT_EQ(toInteger(B(true)), -1);
    EXPECT_EQ(toInteger(Variant()), 0);
    EXPECT_EQ(toLong(Variant::fromCurrencyRaw(25000)), 2);   // 2.5
    EXPECT_EQ(toLong(Variant::fromCurrencyRaw(-35000)), -4); // -3.5
    EXPECT_EQ(toLong(D(2147483647.4)), 2147483647);
    EXPECT_EQ(toByte(D(254.5)), 254);

    EXPECT_EQ(errorOf([] { toInteger(D(32767.5)); }), err::Overflow);
    EXPECT_EQ(errorOf([] { toByte(I(-1)); }), err::Overflow);
    EXPECT_EQ(errorOf([] { toLong(D(3e9)); }), err::Overflow);
    EXPECT_EQ(errorOf([] { toInteger(S(u"abc")); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { toInteger(Variant::null()); }), err::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { toString(Variant::null()); }), err::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { toDouble(S(u"1e400")); }), err::Overflow);
    EXPECT_EQ(errorOf([] { toCurrencyRaw(D(1e16)); }), err::Overflow);
    EXPECT_EQ(toCurrencyRaw(D(0.00005)), 0); // half to even at the fourth decimal
    EXPECT_EQ(toCurrencyRaw(D(1.23456)), 12346);
}

TEST(RuntimeConversions, NumericTextFollowsIsNumericRules)
{
    auto isNumeric = [](std::u16string_view s) { return call("IsNumeric", {S(s)}).boolValue(); };
    EXPECT_TRUE(isNumeric(u" 12 "));
    EXPECT_TRUE(isNumeric(u"-.5"));
    EXPECT_TRUE(isNumeric(u"1e3"));
    EXPECT_TRUE(isNumeric(u"&H1F"));
    EXPECT_TRUE(isNumeric(u"1,000"));
    EXPECT_FALSE(isNumeric(u""));
    EXPECT_FALSE(isNumeric(u"."));
    EXPECT_FALSE(isNumeric(u"1e"));
    EXPECT_FALSE(isNumeric(u"12abc"));
    EXPECT_FALSE(isNumeric(u"¥12"));
    EXPECT_FALSE(isNumeric(u"$12"));
    EXPECT_FALSE(isNumeric(u"1,5.2.3"));
    EXPECT_TRUE(call("IsNumeric", {Variant()}).boolValue());
    EXPECT_FALSE(call("IsNumeric", {Variant::null()}).boolValue());
    EXPECT_FALSE(call("IsNumeric", {Variant::fromDate(1)}).boolValue());

    EXPECT_EQ(*parseNumber(u"1e3"), 1000);
    EXPECT_EQ(*parseNumber(u"&H1F"), 31);
    EXPECT_EQ(*parseNumber(u"&HFFFFFFFF"), -1);
    EXPECT_EQ(*parseNumber(u"&O17"), 15);
    EXPECT_EQ(*parseNumber(u"1,234.5"), 1234.5);
    EXPECT_EQ(*parseNumber(u"2D2"), 200);
}

TEST(RuntimeConversions, BooleanConversionAcceptsWordsAndNumbers)
{
    EXPECT_TRUE(toBool(S(u"true")));
    EXPECT_FALSE(toBool(S(u" False ")));
    EXPECT_TRUE(toBool(S(u"-1")));
    EXPECT_FALSE(toBool(S(u"0.0")));
    EXPECT_TRUE(toBool(D(0.1)));
    EXPECT_FALSE(toBool(Variant()));
    EXPECT_EQ(errorOf([] { toBool(S(u"yes")); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { toBool(Variant::makeArray(std::vector<Variant>{})); }),
              err::TypeMismatch);
}

TEST(RuntimeConversions, DatesParseAndPrintInChineseShortForm)
{
    const double dec5 = 46361; // 2026-12-05
    EXPECT_EQ(toDate(S(u"2026/12/5")), dec5);
    EXPECT_EQ(toDate(S(u"2026-12-05")), dec5);
    EXPECT_EQ(toDate(S(u"2026年12月5日")), dec5);
    EXPECT_EQ(toDate(S(u"12/5/2026")), dec5);
    EXPECT_DOUBLE_EQ(toDate(S(u"2026/12/5 15:04:05")), dec5 + (15 * 3600 + 4 * 60 + 5) / 86400.0);
    EXPECT_DOUBLE_EQ(toDate(S(u"3:04 PM")), (15 * 3600 + 4 * 60) / 86400.0);
    EXPECT_DOUBLE_EQ(toDate(S(u"下午3:04")), (15 * 3600 + 4 * 60) / 86400.0);
    EXPECT_EQ(toDate(S(u"2024/2/29")), toDate(S(u"2024/3/1")) - 1);
    EXPECT_EQ(errorOf([] { toDate(S(u"2026/2/29")); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { toDate(S(u"2026/13/1")); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { toDate(S(u"25:00")); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { toDate(S(u"45000")); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { toDate(S(u"2026/12/5 x")); }), err::TypeMismatch);

    EXPECT_EQ(show(Variant::fromDate(dec5)), "2026/12/5");
    EXPECT_EQ(show(Variant::fromDate(dec5 + 0.5)), "2026/12/5 12:00:00");
    EXPECT_EQ(show(Variant::fromDate(9.0 / 24 + 5.0 / 1440)), "9:05:00");
    EXPECT_EQ(show(Variant::fromDate(0)), "0:00:00");
    EXPECT_EQ(show(Variant::fromDate(-1.25)), "1899/12/29 6:00:00");
    EXPECT_EQ(show(Variant::fromDate(-657434)), "100/1/1");
    EXPECT_EQ(errorOf([] { toDate(D(1e8)); }), err::Overflow);
}

TEST(RuntimeConversions, Utf8RoundTripKeepsChineseAndReplacesBadBytes)
{
    const std::string text = "工资 ¥1,234 😀";
    EXPECT_EQ(toUtf8(fromUtf8(text)), text);
    EXPECT_EQ(fromUtf8(text).size(), 12u); // the emoji is two UTF-16 units
    EXPECT_EQ(fromUtf8("a\xff"
                       "b"),
              u"a\uFFFDb");
    EXPECT_EQ(fromUtf8("\xe5\xb7"), u"\uFFFD\uFFFD"); // truncated sequence
    EXPECT_EQ(Variant::fromUtf8("人员").utf8(), "人员");
}

} // namespace
} // namespace orvane::script::test
