#include "runtime_support.h"

#include <cmath>
#include <random>

namespace orvane::script::test {
namespace {

TEST(RuntimeRobustness, NumbersSurviveTextRoundTrip)
{
    std::mt19937_64 rng(20261205);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int i = 0; i < 5000; ++i) {
        const double d = mantissa(rng) * std::pow(10.0, exponent(rng));
        const std::u16string text = formatDouble(d);
        const std::optional<double> back = parseNumber(text);
        ASSERT_TRUE(back) << toUtf8(text);
        ASSERT_NEAR(*back, d, std::fabs(d) * 1e-14) << toUtf8(text);
        ASSERT_EQ(formatDouble(*back), text);
    }
}

TEST(RuntimeRobustness, DatesSurviveTextRoundTrip)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> days(static_cast<int>(kMinDate), static_cast<int>(kMaxDate));
    std::uniform_int_distribution<int> seconds(0, 86399);
    for (int i = 0; i < 3000; ++i) {
        const double date = combineDateTime(days(rng), seconds(rng) / 86400.0);
        const std::u16string text = formatGeneralDate(date);
        const std::optional<double> back = parseDate(text);
        ASSERT_TRUE(back) << toUtf8(text);
        ASSERT_EQ(formatGeneralDate(*back), text);
    }
}

TEST(RuntimeRobustness, MalformedTextIsRefusedWithoutCrashing)
{
    // Random mixtures of the characters the parsers react to.
    const std::u16string alphabet = u"0123456789/-.:,年月日 &HhOoEeDd+-APMJanDec上午下午\t¥";
    std::mt19937 rng(42);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 24);
    for (int i = 0; i < 20000; ++i) {
        std::u16string s;
        for (int n = length(rng); n > 0; --n)
            s += alphabet[pick(rng)];
        const std::optional<double> d = parseDate(s);
        if (d)
            ASSERT_TRUE(*d >= kMinDate && *d <= kMaxDate) << toUtf8(s);
        (void)parseNumber(s);
        const int e = errorOf([&] { toDouble(S(s)); });
        ASSERT_TRUE(e == 0 || e == err::TypeMismatch || e == err::Overflow) << toUtf8(s);
    }
    EXPECT_FALSE(parseNumber(std::u16string(100000, u'9') + u"x"));
    EXPECT_EQ(errorOf([] { toDouble(S(std::u16string(400, u'9'))); }), err::Overflow);
    EXPECT_FALSE(parseDate(std::u16string(100000, u'1')));
    EXPECT_TRUE(std::isinf(*parseNumber(u"&H123456789")));
    EXPECT_EQ(errorOf([] { toLong(S(u"&H123456789")); }), err::Overflow);
    EXPECT_EQ(*parseNumber(u"0.000" + std::u16string(400, u'0') + u"1"), 0);
    EXPECT_TRUE(std::isinf(*parseNumber(u"-0.01e400")));
    EXPECT_FALSE(parseNumber(u"&HG"));
    EXPECT_FALSE(parseNumber(std::u16string(u"1\u00002", 3)));
}

TEST(RuntimeRobustness, EnglishMonthNamesAndOtherDateForms)
{
    const double dec5 = 46361;
    EXPECT_EQ(parseDate(u"Dec 5, 2026"), dec5);
    EXPECT_EQ(parseDate(u"5-Dec-2026"), dec5);
    EXPECT_EQ(parseDate(u"December 5 2026 15:00"), dec5 + 15.0 / 24);
    EXPECT_EQ(parseDate(u"2026 Dec 5"), dec5);
    EXPECT_EQ(parseDate(u"26/12/5"), dec5); // two-digit year first
    EXPECT_EQ(parseDate(u"2026.12.5"), dec5);
    EXPECT_FALSE(parseDate(u"Dec Jan 5"));
    EXPECT_FALSE(parseDate(u"Decx 5 2026"));
    EXPECT_FALSE(parseDate(u"Feb 30 2026"));
    EXPECT_FALSE(parseDate(u"12:60"));
    EXPECT_FALSE(parseDate(u"13:00 PM"));
}

TEST(RuntimeRobustness, OversizedRequestsRaiseErrors)
{
    EXPECT_EQ(errorOf([] { call("Space", {L(1 << 30)}); }), err::OutOfStringSpace);
    EXPECT_EQ(errorOf([] { call("String", {L(1 << 30), S(u"x")}); }), err::OutOfStringSpace);
    EXPECT_EQ(errorOf([] { call("String", {I(-1), S(u"x")}); }), err::InvalidProcedureCall);
    const ArrayBound huge[] = {{0, 100000}, {0, 100000}};
    EXPECT_EQ(errorOf([&] { Variant::makeArray(huge); }), err::OutOfMemory);
    const ArrayBound negative[] = {{0, -2}};
    EXPECT_EQ(errorOf([&] { Variant::makeArray(negative); }), err::SubscriptOutOfRange);
    const ArrayBound empty[] = {{0, 0}};
    EXPECT_EQ(show(call("UBound", {Variant::makeArray(empty)})), "-1");
    EXPECT_EQ(errorOf([] {
                  call("DateAdd", {S(u"d"), D(1e300), S(u"2026/1/1")});
              }),
              err::InvalidProcedureCall);
}

} // namespace
} // namespace orvane::script::test
