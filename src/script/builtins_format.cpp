// FormatNumber, FormatCurrency, FormatPercent and FormatDateTime in the Chinese (zh-CN)
// regional format: "1,234.50", "¥1,234.50" / "¥-1,234.50", "12.50%", "2026年12月5日".

#include "script/builtins_internal.h"
#include "script/builtins_locale.h"

namespace orvane::script {

namespace {

using detail::Args;

constexpr std::int32_t kUseDefault = -2;

struct NumberStyle
{
    int decimals = regional::kDefaultDecimals;
    bool leadingDigit = true;
    bool parentheses = false;
    bool grouping = true;
};

bool tristateArg(Args a, std::size_t i, bool fallback)
{
    const std::int32_t v = detail::longArg(a, i, kUseDefault);
    if (v == kUseDefault)
        return fallback;
    if (v != -1 && v != 0)
        throwError(err::InvalidProcedureCall);
    return v == -1;
}

NumberStyle styleArgs(Args a)
{
    NumberStyle style;
    const std::int32_t decimals = detail::longArg(a, 1, -1);
    if (decimals < -1 || decimals > 99)
        throwError(err::InvalidProcedureCall);
    if (decimals >= 0)
        style.decimals = decimals;
    style.leadingDigit = tristateArg(a, 2, true);
    style.parentheses = tristateArg(a, 3, false);
    style.grouping = tristateArg(a, 4, true);
    return style;
}

double numberArg(const Variant& v)
{
    if (v.isNull())
        throwError(err::InvalidUseOfNull);
    return toDouble(v);
}

// Digits of |x| laid out by the style, and whether the rounded value is negative.
std::u16string layoutNumber(double x, const NumberStyle& style, bool& negative)
{
    const std::string fixed = detail::toFixed(x, style.decimals, false, negative);
    const std::size_t point = fixed.find('.');
    std::string intPart = fixed.substr(0, point);
    const std::string fracPart = point == std::string::npos ? std::string() : fixed.substr(point);
    if (style.grouping)
        for (int i = static_cast<int>(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(static_cast<std::size_t>(i), 1, ',');
    if (!style.leadingDigit && intPart == "0" && !fracPart.empty())
        intPart.clear();
    std::u16string out;
    for (char c : intPart + fracPart)
        out += c == ',' ? regional::kThousandsSeparator
                        : (c == '.' ? regional::kDecimalPoint : static_cast<char16_t>(c));
    return out;
}

std::u16string withSign(const std::u16string& body, bool negative, const NumberStyle& style,
                        std::u16string_view prefix, std::u16string_view suffix)
{
    const bool parentheses = negative && style.parentheses;
    std::u16string out;
    out.reserve(body.size() + prefix.size() + suffix.size() + 2);
    if (parentheses)
        out.push_back(u'(');
    out.append(prefix);
    if (negative && !parentheses)
        out.push_back(u'-');
    out.append(body);
    out.append(suffix);
    if (parentheses)
        out.push_back(u')');
    return out;
}

Variant fnFormatNumber(Args a)
{
    const double x = numberArg(a[0]);
    const NumberStyle style = styleArgs(a);
    bool negative = false;
    const std::u16string body = layoutNumber(x, style, negative);
    return Variant::fromString(withSign(body, negative, style, u"", u""));
}

Variant fnFormatCurrency(Args a)
{
    const double x = numberArg(a[0]);
    const NumberStyle style = styleArgs(a);
    bool negative = false;
    const std::u16string body = layoutNumber(x, style, negative);
    return Variant::fromString(withSign(body, negative, style, regional::kCurrencySymbol, u""));
}

Variant fnFormatPercent(Args a)
{
    const double x = numberArg(a[0]) * 100.0;
    const NumberStyle style = styleArgs(a);
    bool negative = false;
    const std::u16string body = layoutNumber(x, style, negative);
    return Variant::fromString(withSign(body, negative, style, u"", u"%"));
}

std::u16string num(int n)
{
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

Variant fnFormatDateTime(Args a)
{
    const std::int32_t format = detail::longArg(a, 1, 0);
    if (a[0].isNull())
        throwError(err::InvalidUseOfNull);
    const double date = toDate(a[0]);
    const DateParts p = splitDate(date);
    switch (format) {
    case 0:
        return Variant::fromString(formatGeneralDate(date));
    case 1:
        return Variant::fromString(num(p.year) + std::u16string(regional::kYearMark) +
                                   num(p.month) + std::u16string(regional::kMonthMark) +
                                   num(p.day) + std::u16string(regional::kDayMark));
    case 2:
        return Variant::fromString(formatShortDate(date));
    case 3:
        return Variant::fromString(formatLongTime(date));
    case 4: {
        std::u16string s;
        s += static_cast<char16_t>(u'0' + p.hour / 10);
        s += static_cast<char16_t>(u'0' + p.hour % 10);
        s += u':';
        s += static_cast<char16_t>(u'0' + p.minute / 10);
        s += static_cast<char16_t>(u'0' + p.minute % 10);
        return Variant::fromString(s);
    }
    default:
        throwError(err::InvalidProcedureCall);
    }
}

const BuiltinInfo kFormats[] = {
    {"FormatNumber", 1, 5, fnFormatNumber},
    {"FormatCurrency", 1, 5, fnFormatCurrency},
    {"FormatPercent", 1, 5, fnFormatPercent},
    {"FormatDateTime", 1, 2, fnFormatDateTime},
};

} // namespace

std::span<const BuiltinInfo> detail::formatBuiltins()
{
    return kFormats;
}

} // namespace orvane::script
