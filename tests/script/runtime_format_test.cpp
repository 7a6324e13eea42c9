#include "runtime_support.h"

namespace orvane::script::test {
namespace {

std::string fmt(std::string_view fn, std::vector<Variant> args)
{
    return show(call(fn, std::move(args)));
}

const Variant kSkip = missingArgument();

TEST(RuntimeFormat, NumbersUseChineseGroupingAndRoundHalfAwayFromZero)
{
    EXPECT_EQ(fmt("FormatNumber", {D(1234.5)}), "1,234.50");
    EXPECT_EQ(fmt("FormatNumber", {D(-1234.5), I(0)}), "-1,235");
    EXPECT_EQ(fmt("FormatNumber", {D(2.5), I(0)}), "3");
    EXPECT_EQ(fmt("FormatNumber", {D(0.125), I(2)}), "0.13");
    EXPECT_EQ(fmt("FormatNumber", {D(0.5), I(2), I(0)}), ".50");
    EXPECT_EQ(fmt("FormatNumber", {I(-3), I(1), kSkip, I(-1)}), "(3.0)");
    EXPECT_EQ(fmt("FormatNumber", {L(1234567), I(0), kSkip, kSkip, I(0)}), "1234567");
    EXPECT_EQ(fmt("FormatNumber", {D(-0.001), I(2)}), "0.00");
    EXPECT_EQ(fmt("FormatNumber", {S(u"1e6"), I(-1)}), "1,000,000.00");
    EXPECT_EQ(fmt("FormatNumber", {D(999.996), I(2)}), "1,000.00");
    EXPECT_EQ(errorOf([] { call("FormatNumber", {S(u"abc")}); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { call("FormatNumber", {I(1), I(-2)}); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorOf([] { call("FormatNumber", {I(1), I(2), I(5)}); }), err::InvalidProcedureCall);
}

TEST(RuntimeFormat, CurrencyAndPercent)
{
    EXPECT_EQ(fmt("FormatCurrency", {D(1234.5)}), "¥1,234.50");
    EXPECT_EQ(fmt("FormatCurrency", {I(-5)}), "¥-5.00");
    EXPECT_EQ(fmt("FormatCurrency", {I(-5), kSkip, kSkip, I(-1)}), "(¥5.00)");
    EXPECT_EQ(fmt("FormatCurrency", {Variant::fromCurrencyRaw(5), I(4)}), "¥0.0005");
    EXPECT_EQ(fmt("FormatPercent", {D(0.125)}), "12.50%");
    EXPECT_EQ(fmt("FormatPercent", {D(-0.5), I(0)}), "-50%");
    EXPECT_EQ(errorOf([] { call("FormatCurrency", {Variant::null()}); }), err::InvalidUseOfNull);
}

TEST(RuntimeFormat, DateTimeForms)
{
    const Variant d = Variant::fromDate(46361 + (9 * 3600 + 4 * 60 + 5) / 86400.0);
    EXPECT_EQ(fmt("FormatDateTime", {d}), "2026/12/5 9:04:05");
    EXPECT_EQ(fmt("FormatDateTime", {d, I(1)}), "2026年12月5日");
    EXPECT_EQ(fmt("FormatDateTime", {d, I(2)}), "2026/12/5");
    EXPECT_EQ(fmt("FormatDateTime", {d, I(3)}), "9:04:05");
    EXPECT_EQ(fmt("FormatDateTime", {d, I(4)}), "09:04");
    EXPECT_EQ(fmt("FormatDateTime", {S(u"2026/1/2"), I(1)}), "2026年1月2日");
    EXPECT_EQ(errorOf([&] { call("FormatDateTime", {d, I(5)}); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorOf([] { call("FormatDateTime", {S(u"x")}); }), err::TypeMismatch);
}

} // namespace
} // namespace orvane::script::test
