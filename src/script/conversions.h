#pragma once

#include "script/variant.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Conversions between script values. Regional settings are fixed to the Chinese (zh-CN) format
// (builtins_locale.h): short date "2026/12/5", time "15:04:05", decimal point ".". Nothing here
// depends on the C or C++ global locale.

namespace orvane::script {

// CBool, CByte, CInt, CLng, CSng, CDbl, CCur, CDate, CStr. Whole-number conversions round half to
// even; out-of-range values raise Overflow (6), unconvertible ones Type mismatch (13), Null
// raises Invalid use of Null (94).
bool toBool(const Variant& v);
std::uint8_t toByte(const Variant& v);
std::int16_t toInteger(const Variant& v);
std::int32_t toLong(const Variant& v);
float toSingle(const Variant& v);
double toDouble(const Variant& v);
std::int64_t toCurrencyRaw(const Variant& v);
double toDate(const Variant& v);
std::u16string toString(const Variant& v);

// The value converted to a number of the nearest numeric type, as arithmetic sees it: numbers
// keep their type, Boolean becomes Integer (True = -1), Empty Integer 0, strings Double, Date
// stays Date. Null stays Null. Objects are replaced by their default value.
Variant toNumeric(const Variant& v);

// An object's default value; error 438 when it has none. Non-objects are returned unchanged.
Variant dereference(const Variant& v);

// Round half to even.
double roundHalfEven(double x);

// Number parsing as the conversions and IsNumeric do: surrounding blanks, sign, digits with ","
// grouping, ".", exponent "e"/"d", "&H" hex and "&O" octal. Not accepted: currency symbols, empty.
std::optional<double> parseNumber(std::u16string_view s);

// Date parsing as CDate/IsDate do: "2026/12/5", "2026-12-05", "2026年12月5日", "12/5/2026" when
// the first part cannot be a year, optional time "15:04", "15:04:05", "3:04 PM"; a time alone
// gives a time on day 0.
std::optional<double> parseDate(std::u16string_view s);

// Numbers as CStr writes them: up to 15 significant digits for Double, 7 for Single, exponent
// form outside 1E-5..1E15 ("1E+15", "1.5E-06").
std::u16string formatDouble(double value, int significantDigits = 15);
std::u16string formatCurrency(std::int64_t scaled); // "1.5", "-3", up to 4 decimals

// Upper/lower case of one UTF-16 unit (ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic,
// full-width Latin); other characters, Chinese among them, are unchanged.
char16_t toUpperChar(char16_t c);
char16_t toLowerChar(char16_t c);
// Three-way string comparison: Binary compares code units, Text ignores case.
int compareStrings(std::u16string_view a, std::u16string_view b, CompareMode mode);

// Date and time parts of a Date value.
struct DateParts
{
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};
DateParts splitDate(double date);
// Serial for a valid calendar date (no overflow handling); days since 1899-12-30.
double serialFromYmd(int year, int month, int day);
// Combined serial of a date and a time of day, handling negative dates as the script does
// (the fraction counts away from day 0 for days before 1899-12-30).
double combineDateTime(double daySerial, double timeFraction);
// Short date "2026/12/5", time "15:04:05"; the general form leaves out a zero date or time.
std::u16string formatShortDate(double date);
std::u16string formatLongTime(double date);
std::u16string formatGeneralDate(double date);
// Valid range of Date values: 100-01-01 to 9999-12-31.
inline constexpr double kMinDate = -657434.0;
inline constexpr double kMaxDate = 2958465.999994213;

} // namespace orvane::script
