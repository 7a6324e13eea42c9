#include "runtime_support.h"

namespace orvane::script::test {
namespace {

// A fixed clock: Saturday 2026-12-05 15:04:05.
class RuntimeDates : public testing::Test
{
protected:
    void SetUp() override
    {
        setClock([] { return 46361 + (15 * 3600 + 4 * 60 + 5) / 86400.0; });
    }
    void TearDown() override { setClock({}); }

    static std::string add(std::u16string_view interval, int n, std::u16string_view date)
    {
        return show(call("DateAdd", {S(interval), L(n), S(date)}));
    }
    static std::string diff(std::u16string_view interval, std::u16string_view a,
                            std::u16string_view b, int firstDay = 1)
    {
        return show(call("DateDiff", {S(interval), S(a), S(b), I(firstDay)}));
    }
    static std::string part(std::u16string_view interval, std::u16string_view date,
                            int firstDay = 1, int firstWeek = 1)
    {
        return show(call("DatePart", {S(interval), S(date), I(firstDay), I(firstWeek)}));
    }
};

TEST_F(RuntimeDates, ClockFunctionsReadTheInstalledClock)
{
    EXPECT_EQ(show(call("Now")), "2026/12/5 15:04:05");
    EXPECT_EQ(show(call("Date")), "2026/12/5");
    EXPECT_EQ(show(call("Time")), "15:04:05");
    EXPECT_EQ(show(call("Timer")), "54245");
    EXPECT_EQ(show(call("Year", {call("Now")})), "2026");
    EXPECT_EQ(show(call("Month", {call("Now")})), "12");
    EXPECT_EQ(show(call("Second", {call("Now")})), "5");
    EXPECT_EQ(show(call("Weekday", {call("Now")})), "7");
    EXPECT_EQ(show(call("Weekday", {call("Now"), I(2)})), "6");
    EXPECT_EQ(show(call("Weekday", {call("Now"), I(0)})), "6"); // the week starts on Monday
    EXPECT_TRUE(call("Hour", {Variant::null()}).isNull());
    // A date without a year is in the clock's year.
    EXPECT_EQ(show(Variant::fromDate(toDate(S(u"3/1")))), "2026/3/1");
}

TEST_F(RuntimeDates, DateSerialLetsMonthsAndDaysRunOver)
{
    auto serial = [](int y, int m, int d) { return show(call("DateSerial", {I(y), I(m), I(d)})); };
    EXPECT_EQ(serial(2026, 14, 1), "2027/2/1");
    EXPECT_EQ(serial(2026, 3, 0), "2026/2/28");
    EXPECT_EQ(serial(2024, 3, 0), "2024/2/29");
    EXPECT_EQ(serial(2026, 1, -1), "2025/12/30");
    EXPECT_EQ(serial(2026, 0, 1), "2025/12/1");
    EXPECT_EQ(serial(2026, -13, 1), "2024/11/1");
    EXPECT_EQ(serial(1900, 2, 29), "1900/3/1");
    EXPECT_EQ(serial(2000, 2, 29), "2000/2/29");
    EXPECT_EQ(serial(26, 1, 1), "2026/1/1");
    EXPECT_EQ(serial(99, 1, 1), "1999/1/1");
    EXPECT_EQ(errorOf([] {
                  call("DateSerial", {I(10000), I(1), I(1)});
              }),
              err::InvalidProcedureCall);
    EXPECT_EQ(show(call("TimeSerial", {I(25), I(0), I(0)})), "1899/12/31 1:00:00");
    EXPECT_EQ(show(call("TimeSerial", {I(12), I(-30), I(0)})), "11:30:00");
    EXPECT_EQ(show(call("TimeSerial", {I(-1), I(0), I(0)})), "1899/12/29 23:00:00");
    EXPECT_EQ(show(call("DateValue", {S(u"2026/12/5 15:00")})), "2026/12/5");
    EXPECT_EQ(show(call("TimeValue", {S(u"2026/12/5 15:00")})), "15:00:00");
    EXPECT_TRUE(call("IsDate", {S(u"2024/2/29")}).boolValue());
    EXPECT_FALSE(call("IsDate", {S(u"2026/2/29")}).boolValue());
    EXPECT_FALSE(call("IsDate", {I(1)}).boolValue());
}

TEST_F(RuntimeDates, DateAddClampsToTheEndOfTheMonth)
{
    EXPECT_EQ(add(u"m", 1, u"2026/1/31"), "2026/2/28");
    EXPECT_EQ(add(u"m", 1, u"2024/1/31"), "2024/2/29");
    EXPECT_EQ(add(u"yyyy", 1, u"2024/2/29"), "2025/2/28");
    EXPECT_EQ(add(u"q", 1, u"2026/11/30"), "2027/2/28");
    EXPECT_EQ(add(u"m", -1, u"2026/3/31 8:30"), "2026/2/28 8:30:00");
    EXPECT_EQ(add(u"d", -1, u"2026/3/1"), "2026/2/28");
    EXPECT_EQ(add(u"y", 365, u"2024/1/1"), "2024/12/31");
    EXPECT_EQ(add(u"ww", 2, u"2026/12/25"), "2027/1/8");
    EXPECT_EQ(add(u"h", 25, u"2026/12/5 15:04:05"), "2026/12/6 16:04:05");
    EXPECT_EQ(add(u"n", -5, u"2026/12/5 0:03"), "2026/12/4 23:58:00");
    EXPECT_EQ(add(u"s", 86400, u"2026/12/31"), "2027/1/1");
    EXPECT_EQ(show(call("DateAdd", {S(u"h"), I(1), Variant::fromDate(-1.25)})),
              "1899/12/29 7:00:00");
    EXPECT_EQ(errorOf([] { add(u"x", 1, u"2026/1/1"); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorOf([] { add(u"yyyy", 8000, u"2026/1/1"); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorOf([] { add(u"d", 1, u"not a date"); }), err::TypeMismatch);
}

TEST_F(RuntimeDates, DateDiffCountsCalendarBoundaries)
{
    EXPECT_EQ(diff(u"d", u"2026/12/5 23:59", u"2026/12/6 0:01"), "1");
    EXPECT_EQ(diff(u"d", u"2026/12/6", u"2026/12/5"), "-1");
    EXPECT_EQ(diff(u"yyyy", u"2026/12/31", u"2027/1/1"), "1");
    EXPECT_EQ(diff(u"q", u"2026/3/31", u"2026/4/1"), "1");
    EXPECT_EQ(diff(u"m", u"2026/1/31", u"2026/2/1"), "1");
    EXPECT_EQ(diff(u"m", u"2024/2/29", u"2026/2/28"), "24");
    EXPECT_EQ(diff(u"y", u"2024/1/1", u"2025/1/1"), "366");
    // 2026/12/5 is a Saturday: a Sunday starts a new week, a Monday when weeks start on Monday.
    EXPECT_EQ(diff(u"ww", u"2026/12/5", u"2026/12/6"), "1");
    EXPECT_EQ(diff(u"ww", u"2026/12/5", u"2026/12/6", 2), "0");
    EXPECT_EQ(diff(u"ww", u"2026/12/5", u"2026/12/7", 2), "1");
    EXPECT_EQ(diff(u"w", u"2026/12/5", u"2026/12/11"), "0");
    EXPECT_EQ(diff(u"w", u"2026/12/5", u"2026/12/12"), "1");
    EXPECT_EQ(diff(u"h", u"2026/12/5 10:59", u"2026/12/5 11:00"), "1");
    EXPECT_EQ(diff(u"n", u"2026/12/5 10:59:59", u"2026/12/5 11:00:00"), "1");
    EXPECT_EQ(diff(u"s", u"2026/12/5", u"2026/12/6"), "86400");
    EXPECT_TRUE(call("DateDiff", {S(u"d"), Variant::null(), S(u"2026/1/1")}).isNull());
}

TEST_F(RuntimeDates, DatePartAndWeekNumbers)
{
    EXPECT_EQ(part(u"y", u"2024/12/31"), "366");
    EXPECT_EQ(part(u"q", u"2026/5/1"), "2");
    EXPECT_EQ(part(u"w", u"2026/12/5"), "7");
    EXPECT_EQ(part(u"ww", u"2026/1/1"), "1");
    EXPECT_EQ(part(u"ww", u"2026/12/31"), "53");
    // First week with four days, weeks from Monday: the ISO rule.
    EXPECT_EQ(part(u"ww", u"2027/1/1", 2, 2), "53");
    EXPECT_EQ(part(u"ww", u"2027/1/4", 2, 2), "1");
    EXPECT_EQ(part(u"ww", u"2024/12/30", 2, 2), "1");
    // First full week: 2026/1/4 is the first Sunday.
    EXPECT_EQ(part(u"ww", u"2026/1/3", 1, 3), "52");
    EXPECT_EQ(part(u"ww", u"2026/1/4", 1, 3), "1");
    EXPECT_EQ(errorOf([] { part(u"ww", u"2026/1/1", 8); }), err::InvalidProcedureCall);

    EXPECT_EQ(show(call("MonthName", {I(12)})), "十二月");
    EXPECT_EQ(show(call("MonthName", {I(1), B(true)})), "1月");
    EXPECT_EQ(show(call("WeekdayName", {I(1)})), "星期日");
    EXPECT_EQ(show(call("WeekdayName", {I(1), B(true), I(2)})), "周一");
    EXPECT_EQ(errorOf([] { call("MonthName", {I(13)}); }), err::InvalidProcedureCall);
}

} // namespace
} // namespace orvane::script::test
