// Date and time built-in functions. "Now" comes from the injectable clock (builtins.h).

#include "script/builtins_internal.h"
#include "script/builtins_locale.h"

#include <array>
#include <cmath>

namespace orvane::script {

namespace {

using detail::Args;
using detail::has;

// A Date value as a point on a straight time line (days), and back. Dates before 1899-12-30
// store the time of day as a positive fraction after a negative day number.
double toLinear(double date)
{
    const double day = std::trunc(date);
    return day + std::fabs(date - day);
}

double fromLinear(double linear)
{
    const double day = std::floor(linear);
    return combineDateTime(day, linear - day);
}

double dayPart(double date)
{
    return std::trunc(date);
}

double timePart(double date)
{
    return std::fabs(date - std::trunc(date));
}

// Whole seconds on the time line, so that boundary counts are exact.
long long linearSeconds(double date)
{
    return std::llround(toLinear(date) * 86400.0);
}

double dateArg(const Variant& v)
{
    if (v.isNull())
        throwError(err::InvalidUseOfNull);
    return toDate(v);
}

Variant checkedDate(double date)
{
    if (!(date >= kMinDate && date < kMaxDate + 1))
        throwError(err::InvalidProcedureCall);
    return Variant::fromDate(date);
}

int daysIn(int year, int month)
{
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[static_cast<std::size_t>(month - 1)];
}

// Year, month and day with months and days allowed to run over (DateSerial).
double serialFromParts(long long year, long long month, long long day)
{
    long long m0 = month - 1;
    year += m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
    m0 = ((m0 % 12) + 12) % 12;
    if (year < 100 || year > 9999)
        throwError(err::InvalidProcedureCall);
    return serialFromYmd(static_cast<int>(year), static_cast<int>(m0 + 1), 1) +
           static_cast<double>(day - 1);
}

template <int (*Get)(const DateParts&)> Variant datePartFn(Args a)
{
    if (a[0].isNull())
        return Variant::null();
    return Variant::fromInteger(static_cast<std::int16_t>(Get(splitDate(dateArg(a[0])))));
}

int getYear(const DateParts& p)
{
    return p.year;
}
int getMonth(const DateParts& p)
{
    return p.month;
}
int getDay(const DateParts& p)
{
    return p.day;
}
int getHour(const DateParts& p)
{
    return p.hour;
}
int getMinute(const DateParts& p)
{
    return p.minute;
}
int getSecond(const DateParts& p)
{
    return p.second;
}

Variant fnNow(Args)
{
    return Variant::fromDate(currentDateTime());
}
Variant fnDate(Args)
{
    return Variant::fromDate(dayPart(currentDateTime()));
}
Variant fnTime(Args)
{
    return Variant::fromDate(timePart(currentDateTime()));
}
Variant fnTimer(Args)
{
    return Variant::fromSingle(static_cast<float>(timePart(currentDateTime()) * 86400.0));
}

// Weekday relative to the first day of the week: 1 .. 7.
int relativeWeekday(double date, int firstDay)
{
    return (detail::weekdayOf(date) - firstDay + 7) % 7 + 1;
}

Variant fnWeekday(Args a)
{
    const int first = detail::firstDayArg(a, 1);
    if (a[0].isNull())
        return Variant::null();
    return Variant::fromInteger(static_cast<std::int16_t>(relativeWeekday(dateArg(a[0]), first)));
}

// Two-digit years of DateSerial: 0-29 are 2000-2029, 30-99 are 1930-1999.
long long expandYear(long long y)
{
    if (y >= 0 && y < regional::kTwoDigitYearCutoff)
        return 2000 + y;
    if (y >= regional::kTwoDigitYearCutoff && y < 100)
        return 1900 + y;
    return y;
}

Variant fnDateSerial(Args a)
{
    for (std::size_t i = 0; i < 3; ++i)
        if (a[i].isNull())
            throwError(err::InvalidUseOfNull);
    const long long year = expandYear(toInteger(a[0]));
    return checkedDate(serialFromParts(year, toLong(a[1]), toLong(a[2])));
}

Variant fnTimeSerial(Args a)
{
    for (std::size_t i = 0; i < 3; ++i)
        if (a[i].isNull())
            throwError(err::InvalidUseOfNull);
    const long long seconds = static_cast<long long>(toLong(a[0])) * 3600 +
                              static_cast<long long>(toLong(a[1])) * 60 + toLong(a[2]);
    const long long days = seconds >= 0 ? seconds / 86400 : -((86399 - seconds) / 86400);
    const long long rest = seconds - days * 86400;
    return checkedDate(combineDateTime(static_cast<double>(days), rest / 86400.0));
}

Variant fnDateValue(Args a)
{
    if (a[0].isNull())
        return Variant::null();
    return Variant::fromDate(dayPart(dateArg(a[0])));
}

Variant fnTimeValue(Args a)
{
    if (a[0].isNull())
        return Variant::null();
    return Variant::fromDate(timePart(dateArg(a[0])));
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval intervalArg(const Variant& v)
{
    if (v.isNull())
        throwError(err::InvalidUseOfNull);
    const std::u16string s = detail::text(v);
    auto is = [&](std::u16string_view name) {
        return compareStrings(s, name, CompareMode::Text) == 0;
    };
    if (is(u"yyyy"))
        return Interval::Year;
    if (is(u"q"))
        return Interval::Quarter;
    if (is(u"m"))
        return Interval::Month;
    if (is(u"y"))
        return Interval::DayOfYear;
    if (is(u"d"))
        return Interval::Day;
    if (is(u"w"))
        return Interval::Weekday;
    if (is(u"ww"))
        return Interval::Week;
    if (is(u"h"))
        return Interval::Hour;
    if (is(u"n"))
        return Interval::Minute;
    if (is(u"s"))
        return Interval::Second;
    throwError(err::InvalidProcedureCall);
}

double addMonths(double date, long long months)
{
    const DateParts p = splitDate(date);
    long long m0 = static_cast<long long>(p.year) * 12 + (p.month - 1) + months;
    const long long year = m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
    const int month = static_cast<int>(m0 - year * 12) + 1;
    if (year < 100 || year > 9999)
        throwError(err::InvalidProcedureCall);
    // The day is clamped to the end of a shorter month: Jan 31 + 1 month is Feb 28 or 29.
    const int day = std::min(p.day, daysIn(static_cast<int>(year), month));
    return combineDateTime(serialFromYmd(static_cast<int>(year), month, day), timePart(date));
}

Variant fnDateAdd(Args a)
{
    const Interval interval = intervalArg(a[0]);
    if (a[1].isNull() || a[2].isNull())
        throwError(err::InvalidUseOfNull);
    const double count = roundHalfEven(toDouble(a[1]));
    if (std::fabs(count) > 1e9)
        throwError(err::InvalidProcedureCall);
    const double date = dateArg(a[2]);
    const auto n = static_cast<long long>(count);
    switch (interval) {
    case Interval::Year:
        return checkedDate(addMonths(date, n * 12));
    case Interval::Quarter:
        return checkedDate(addMonths(date, n * 3));
    case Interval::Month:
        return checkedDate(addMonths(date, n));
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday:
        return checkedDate(fromLinear(toLinear(date) + count));
    case Interval::Week:
        return checkedDate(fromLinear(toLinear(date) + count * 7));
    case Interval::Hour:
    case Interval::Minute:
    case Interval::Second: {
        const long long unit =
            interval == Interval::Hour ? 3600 : (interval == Interval::Minute ? 60 : 1);
        const long long seconds = linearSeconds(date) + n * unit;
        return checkedDate(fromLinear(static_cast<double>(seconds) / 86400.0));
    }
    }
    throwError(err::InvalidProcedureCall);
}

long long floorDiv(long long a, long long b)
{
    return a >= 0 ? a / b : -((b - 1 - a) / b);
}

// Day number of the first day of the week containing `day`.
long long weekStart(long long day, int firstDay)
{
    return day - (relativeWeekday(static_cast<double>(day), firstDay) - 1);
}

Variant fnDateDiff(Args a)
{
    const Interval interval = intervalArg(a[0]);
    const int firstDay = detail::firstDayArg(a, 3);
    if (a[1].isNull() || a[2].isNull())
        return Variant::null();
    const double d1 = dateArg(a[1]);
    const double d2 = dateArg(a[2]);
    const DateParts p1 = splitDate(d1), p2 = splitDate(d2);
    const long long s1 = linearSeconds(d1), s2 = linearSeconds(d2);
    const long long day1 = floorDiv(s1, 86400), day2 = floorDiv(s2, 86400);
    long long r = 0;
    switch (interval) {
    case Interval::Year:
        r = p2.year - p1.year;
        break;
    case Interval::Quarter:
        r = (p2.year * 4LL + (p2.month - 1) / 3) - (p1.year * 4LL + (p1.month - 1) / 3);
        break;
    case Interval::Month:
        r = (p2.year * 12LL + p2.month) - (p1.year * 12LL + p1.month);
        break;
    case Interval::DayOfYear:
    case Interval::Day:
        r = day2 - day1;
        break;
    case Interval::Weekday:
        r = (day2 - day1) / 7;
        break;
    case Interval::Week:
        r = (weekStart(day2, firstDay) - weekStart(day1, firstDay)) / 7;
        break;
    case Interval::Hour:
        r = floorDiv(s2, 3600) - floorDiv(s1, 3600);
        break;
    case Interval::Minute:
        r = floorDiv(s2, 60) - floorDiv(s1, 60);
        break;
    case Interval::Second:
        r = s2 - s1;
        break;
    }
    return Variant::fromLong(static_cast<std::int32_t>(r));
}

// Week of the year by the first-week rule: 1 the week of January 1, 2 the first week with at
// least four days, 3 the first full week. 0 is the regional setting (January 1).
int weekOfYear(double date, int firstDay, int firstWeek)
{
    const auto day = static_cast<long long>(std::floor(toLinear(date)));
    const DateParts p = splitDate(date);
    auto firstWeekStart = [&](int year) {
        const auto jan1 = static_cast<long long>(serialFromYmd(year, 1, 1));
        const long long start = weekStart(jan1, firstDay);
        const long long daysInYearWeek = start + 7 - jan1; // days of that week in the new year
        switch (firstWeek) {
        case 2:
            return daysInYearWeek >= 4 ? start : start + 7;
        case 3:
            return start == jan1 ? start : start + 7;
        default:
            return start;
        }
    };
    long long start = firstWeekStart(p.year);
    if (day < start)
        start = firstWeekStart(p.year - 1);
    else if (firstWeek != 1 && firstWeek != 0 && day >= firstWeekStart(p.year + 1))
        return 1;
    return static_cast<int>((weekStart(day, firstDay) - start) / 7 + 1);
}

Variant fnDatePart(Args a)
{
    const Interval interval = intervalArg(a[0]);
    const int firstDay = detail::firstDayArg(a, 2);
    const std::int32_t firstWeek = detail::longArg(a, 3, 1);
    if (firstWeek < 0 || firstWeek > 3)
        throwError(err::InvalidProcedureCall);
    if (a[1].isNull())
        return Variant::null();
    const double date = dateArg(a[1]);
    const DateParts p = splitDate(date);
    int r = 0;
    switch (interval) {
    case Interval::Year:
        r = p.year;
        break;
    case Interval::Quarter:
        r = (p.month - 1) / 3 + 1;
        break;
    case Interval::Month:
        r = p.month;
        break;
    case Interval::DayOfYear:
        r = static_cast<int>(serialFromYmd(p.year, p.month, p.day) - serialFromYmd(p.year, 1, 1)) +
            1;
        break;
    case Interval::Day:
        r = p.day;
        break;
    case Interval::Weekday:
        r = relativeWeekday(date, firstDay);
        break;
    case Interval::Week:
        r = weekOfYear(date, firstDay, firstWeek);
        break;
    case Interval::Hour:
        r = p.hour;
        break;
    case Interval::Minute:
        r = p.minute;
        break;
    case Interval::Second:
        r = p.second;
        break;
    }
    return Variant::fromInteger(static_cast<std::int16_t>(r));
}

Variant fnMonthName(Args a)
{
    const std::int32_t m = detail::longArg(a, 0, 0);
    if (m < 1 || m > 12)
        throwError(err::InvalidProcedureCall);
    const bool abbreviate = has(a, 1) && toBool(a[1]);
    const auto i = static_cast<std::size_t>(m - 1);
    return Variant::fromString(abbreviate ? regional::kMonthAbbreviations[i]
                                          : regional::kMonthNames[i]);
}

Variant fnWeekdayName(Args a)
{
    const std::int32_t n = detail::longArg(a, 0, 0);
    if (n < 1 || n > 7)
        throwError(err::InvalidProcedureCall);
    const bool abbreviate = has(a, 1) && toBool(a[1]);
    const int first = detail::firstDayArg(a, 2);
    const auto i = static_cast<std::size_t>((n - 1 + first - 1) % 7);
    return Variant::fromString(abbreviate ? regional::kDayAbbreviations[i]
                                          : regional::kDayNames[i]);
}

const BuiltinInfo kDates[] = {
    {"Now", 0, 0, fnNow},
    {"Date", 0, 0, fnDate},
    {"Time", 0, 0, fnTime},
    {"Timer", 0, 0, fnTimer},
    {"Year", 1, 1, datePartFn<getYear>},
    {"Month", 1, 1, datePartFn<getMonth>},
    {"Day", 1, 1, datePartFn<getDay>},
    {"Hour", 1, 1, datePartFn<getHour>},
    {"Minute", 1, 1, datePartFn<getMinute>},
    {"Second", 1, 1, datePartFn<getSecond>},
    {"Weekday", 1, 2, fnWeekday},
    {"DateSerial", 3, 3, fnDateSerial},
    {"TimeSerial", 3, 3, fnTimeSerial},
    {"DateValue", 1, 1, fnDateValue},
    {"TimeValue", 1, 1, fnTimeValue},
    {"DateAdd", 3, 3, fnDateAdd},
    {"DateDiff", 3, 5, fnDateDiff},
    {"DatePart", 2, 4, fnDatePart},
    {"MonthName", 1, 2, fnMonthName},
    {"WeekdayName", 1, 3, fnWeekdayName},
};

} // namespace

std::span<const BuiltinInfo> detail::dateBuiltins()
{
    return kDates;
}

int detail::weekdayOf(double date)
{
    // Serial 0 (1899-12-30) was a Saturday.
    const auto day = static_cast<long long>(std::floor(toLinear(date)));
    return static_cast<int>(((day + 6) % 7 + 7) % 7) + 1;
}

int detail::firstDayArg(Args args, std::size_t i)
{
    const std::int32_t first = longArg(args, i, 1);
    if (first < 0 || first > 7)
        throwError(err::InvalidProcedureCall);
    return first == 0 ? regional::kFirstDayOfWeek : first;
}

} // namespace orvane::script
