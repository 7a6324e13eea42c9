#pragma once

// The regional settings every conversion and built-in function uses: those of Chinese (zh-CN)
// Windows, fixed here in one place so that results never depend on the machine's locale.
//   short date  yyyy/M/d      "2026/12/5"       long date  yyyy年M月d日  "2026年12月5日"
//   long time   H:mm:ss       "15:04:05"        short time HH:mm         "15:04"
//   numbers     "1,234.50"    currency "¥1,234.50", negative "¥-1,234.50"
//   weeks start on Monday; ANSI code page 936; two-digit years 00-29 are 20xx.

#include <array>
#include <string_view>

namespace orvane::script::regional {

inline constexpr char16_t kDateSeparator = u'/';
inline constexpr char16_t kTimeSeparator = u':';
inline constexpr char16_t kDecimalPoint = u'.';
inline constexpr char16_t kThousandsSeparator = u',';
inline constexpr std::u16string_view kCurrencySymbol = u"¥";
inline constexpr std::u16string_view kYearMark = u"年";
inline constexpr std::u16string_view kMonthMark = u"月";
inline constexpr std::u16string_view kDayMark = u"日";
inline constexpr int kDefaultDecimals = 2;
inline constexpr int kFirstDayOfWeek = 2; // Monday, for vbUseSystemDayOfWeek
inline constexpr int kTwoDigitYearCutoff = 30;
inline constexpr const char* kAnsiCodePage = "CP936";
inline constexpr int kLocaleId = 2052;

inline constexpr std::array<std::u16string_view, 12> kMonthNames{
    u"一月", u"二月", u"三月", u"四月", u"五月",   u"六月",
    u"七月", u"八月", u"九月", u"十月", u"十一月", u"十二月"};
inline constexpr std::array<std::u16string_view, 12> kMonthAbbreviations{
    u"1月", u"2月", u"3月", u"4月",  u"5月",  u"6月",
    u"7月", u"8月", u"9月", u"10月", u"11月", u"12月"};
inline constexpr std::array<std::u16string_view, 7> kDayNames{
    u"星期日", u"星期一", u"星期二", u"星期三", u"星期四", u"星期五", u"星期六"};
inline constexpr std::array<std::u16string_view, 7> kDayAbbreviations{
    u"周日", u"周一", u"周二", u"周三", u"周四", u"周五", u"周六"};

} // namespace orvane::script::regional
