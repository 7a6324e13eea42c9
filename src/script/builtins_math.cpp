// Mathematical built-in functions.

#include "script/builtins_internal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace orvane::script {

namespace {

using detail::Args;

// Applies f to a number keeping its type where the language does (Abs, Int, Fix).
template <typename WholeFn, typename RealFn>
Variant keepType(const Variant& in, WholeFn whole, RealFn real)
{
    Variant v = in.isObject() ? dereference(in) : in;
    switch (v.type()) {
    case VarType::Null:
        return Variant::null();
    case VarType::Empty:
        return Variant::fromInteger(0);
    case VarType::Boolean:
    case VarType::Integer: {
        const std::int64_t r = whole(v.isEmpty() ? 0 : toDouble(v));
        if (r >= -32768 && r <= 32767)
            return Variant::fromInteger(static_cast<std::int16_t>(r));
        return Variant::fromLong(static_cast<std::int32_t>(r));
    }
    case VarType::Byte:
        return Variant::fromByte(static_cast<std::uint8_t>(whole(v.byteValue())));
    case VarType::Long: {
        const std::int64_t r = whole(v.longValue());
        if (r > std::numeric_limits<std::int32_t>::max())
            return Variant::fromDouble(static_cast<double>(r));
        return Variant::fromLong(static_cast<std::int32_t>(r));
    }
    case VarType::Single:
        return Variant::fromSingle(static_cast<float>(real(v.singleValue())));
    case VarType::Currency:
        return Variant::fromCurrencyRaw(toCurrencyRaw(Variant::fromDouble(real(toDouble(v)))));
    case VarType::Date:
        return Variant::fromDate(real(v.dateValue()));
    default:
        return Variant::fromDouble(real(toDouble(v)));
    }
}

Variant fnAbs(Args a)
{
    return keepType(
        a[0], [](double d) { return static_cast<std::int64_t>(std::fabs(d)); },
        [](double d) { return std::fabs(d); });
}

Variant fnInt(Args a)
{
    return keepType(
        a[0], [](double d) { return static_cast<std::int64_t>(d); },
        [](double d) { return std::floor(d); });
}

Variant fnFix(Args a)
{
    return keepType(
        a[0], [](double d) { return static_cast<std::int64_t>(d); },
        [](double d) { return std::trunc(d); });
}

Variant fnSgn(Args a)
{
    if (a[0].isNull())
        return Variant::null();
    const double d = toDouble(a[0]);
    return Variant::fromInteger(d > 0 ? 1 : (d < 0 ? -1 : 0));
}

double roundTo(double x, int decimals)
{
    // Fast path: away from a tie the binary value rounds the same way as its decimal digits.
    static constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    if (decimals <= 8) {
        const double scale = kPowers[decimals];
        const double y = x * scale;
        if (std::fabs(y) < 1e9) {
            const double f = y - std::floor(y);
            if (std::fabs(f - 0.5) > 1e-6)
                return (f < 0.5 ? std::floor(y) : std::ceil(y)) / scale;
        }
    }
    bool negative = false;
    const std::string fixed = detail::toFixed(x, decimals, true, negative);
    double r = 0;
    std::from_chars(fixed.data(), fixed.data() + fixed.size(), r);
    return negative ? -r : r;
}

Variant fnRound(Args a)
{
    const std::int32_t decimals = detail::longArg(a, 1, 0);
    if (decimals < 0)
        throwError(err::InvalidProcedureCall);
    Variant v = a[0].isObject() ? dereference(a[0]) : a[0];
    switch (v.type()) {
    case VarType::Null:
        return Variant::null();
    case VarType::Empty:
        return Variant::fromInteger(0);
    case VarType::Boolean:
        return Variant::fromInteger(v.boolValue() ? -1 : 0);
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
        return v;
    case VarType::Single:
        return Variant::fromSingle(static_cast<float>(roundTo(v.singleValue(), decimals)));
    case VarType::Currency: {
        if (decimals >= 4)
            return v;
        // Round the scaled integer half to even at the wanted digit.
        std::int64_t unit = 1;
        for (int i = decimals; i < 4; ++i)
            unit *= 10;
        const std::int64_t raw = v.currencyRaw();
        std::int64_t q = raw / unit;
        const std::int64_t rem = raw % unit;
        if (rem * 2 > unit || (rem * 2 == unit && (q & 1)))
            ++q;
        else if (rem * 2 < -unit || (rem * 2 == -unit && (q & 1)))
            --q;
        return Variant::fromCurrencyRaw(q * unit);
    }
    case VarType::Date:
        return Variant::fromDate(roundTo(v.dateValue(), decimals));
    default:
        return Variant::fromDouble(roundTo(toDouble(v), decimals));
    }
}

double realArg(const Variant& v)
{
    if (v.isNull())
        throwError(err::InvalidUseOfNull);
    return toDouble(v);
}

Variant checkedReal(double r)
{
    if (std::isnan(r))
        throwError(err::InvalidProcedureCall);
    if (std::isinf(r))
        throwError(err::Overflow);
    return Variant::fromDouble(r);
}

Variant fnSqr(Args a)
{
    const double d = realArg(a[0]);
    if (d < 0)
        throwError(err::InvalidProcedureCall);
    return Variant::fromDouble(std::sqrt(d));
}

Variant fnExp(Args a)
{
    return checkedReal(std::exp(realArg(a[0])));
}

Variant fnLog(Args a)
{
    const double d = realArg(a[0]);
    if (d <= 0)
        throwError(err::InvalidProcedureCall);
    return Variant::fromDouble(std::log(d));
}

Variant fnAtn(Args a)
{
    return checkedReal(std::atan(realArg(a[0])));
}
Variant fnSin(Args a)
{
    return checkedReal(std::sin(realArg(a[0])));
}
Variant fnCos(Args a)
{
    return checkedReal(std::cos(realArg(a[0])));
}
Variant fnTan(Args a)
{
    return checkedReal(std::tan(realArg(a[0])));
}

// The language's 24-bit linear congruential generator: the same seed gives the same sequence.
struct RandomState
{
    std::uint32_t seed = 0x50000;
};

thread_local RandomState tRandom;

float nextRandom()
{
    tRandom.seed = (tRandom.seed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    return static_cast<float>(tRandom.seed) / 16777216.0f;
}

Variant fnRnd(Args a)
{
    if (detail::has(a, 0)) {
        const float n = toSingle(a[0]);
        if (n == 0)
            return Variant::fromSingle(static_cast<float>(tRandom.seed) / 16777216.0f);
        if (n < 0) {
            std::uint32_t bits = 0;
            std::memcpy(&bits, &n, sizeof bits);
            tRandom.seed = (bits + (bits >> 24)) & 0xFFFFFFu;
        }
    }
    return Variant::fromSingle(nextRandom());
}

Variant fnRandomize(Args a)
{
    double n = 0;
    if (detail::has(a, 0)) {
        n = toDouble(a[0]);
    } else {
        const double now = currentDateTime();
        n = (now - std::floor(now)) * 86400.0;
    }
    std::uint64_t bits = 0;
    std::memcpy(&bits, &n, sizeof bits);
    const auto hi = static_cast<std::uint32_t>(bits >> 32);
    const std::uint32_t mixed = ((hi & 0xFFFFu) ^ (hi >> 16)) << 8;
    tRandom.seed = (tRandom.seed & 0xFF0000FFu) | (mixed & 0xFFFF00u);
    return Variant();
}

std::u16string radix(std::uint32_t value, int base)
{
    if (value == 0)
        return u"0";
    std::u16string out;
    while (value) {
        const unsigned d = value % static_cast<unsigned>(base);
        out.insert(out.begin(), static_cast<char16_t>(d < 10 ? u'0' + d : u'A' + d - 10));
        value /= static_cast<unsigned>(base);
    }
    return out;
}

Variant hexOrOct(const Variant& v, int base)
{
    if (v.isNull())
        return Variant::null();
    switch (v.type()) {
    case VarType::Empty:
        return Variant::fromString(u"0");
    case VarType::Byte:
        return Variant::fromString(radix(v.byteValue(), base));
    case VarType::Boolean:
    case VarType::Integer:
        return Variant::fromString(radix(static_cast<std::uint16_t>(toInteger(v)), base));
    default:
        return Variant::fromString(radix(static_cast<std::uint32_t>(toLong(v)), base));
    }
}

Variant fnHex(Args a)
{
    return hexOrOct(a[0], 16);
}
Variant fnOct(Args a)
{
    return hexOrOct(a[0], 8);
}

const BuiltinInfo kMath[] = {
    {"Abs", 1, 1, fnAbs},     {"Sgn", 1, 1, fnSgn},
    {"Int", 1, 1, fnInt},     {"Fix", 1, 1, fnFix},
    {"Round", 1, 2, fnRound}, {"Sqr", 1, 1, fnSqr},
    {"Exp", 1, 1, fnExp},     {"Log", 1, 1, fnLog},
    {"Atn", 1, 1, fnAtn},     {"Sin", 1, 1, fnSin},
    {"Cos", 1, 1, fnCos},     {"Tan", 1, 1, fnTan},
    {"Rnd", 0, 1, fnRnd},     {"Randomize", 0, 1, fnRandomize},
    {"Hex", 1, 1, fnHex},     {"Oct", 1, 1, fnOct},
};

} // namespace

std::span<const BuiltinInfo> detail::mathBuiltins()
{
    return kMath;
}

std::string detail::toFixed(double x, int decimals, bool halfEven, bool& negative)
{
    negative = std::signbit(x) && x != 0;
    x = std::fabs(x);
    std::string digits;
    int exponent = 0;
    if (x != 0 && std::isfinite(x)) {
        // Fifteen significant digits: the value as the language displays it.
        char buf[40];
        const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
        const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
        const std::size_t e = sci.find('e');
        for (char c : sci.substr(0, e))
            if (c != '.')
                digits += c;
        std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                        exponent);
    }
    // Keep the digits down to place 10^-decimals; round on the rest.
    const int keep = digits.empty() ? 0 : exponent + decimals + 1;
    std::string kept;
    if (keep > 0 && static_cast<std::size_t>(keep) < digits.size()) {
        kept = digits.substr(0, static_cast<std::size_t>(keep));
        const std::string rest = digits.substr(static_cast<std::size_t>(keep));
        const bool above = rest[0] > '5' ||
                           (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
        const bool tie = rest[0] == '5' && !above;
        const bool odd = (kept.back() - '0') % 2 == 1;
        if (above || (tie && (!halfEven || odd))) {
            int i = static_cast<int>(kept.size()) - 1;
            while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9')
                kept[static_cast<std::size_t>(i--)] = '0';
            if (i < 0) {
                kept.insert(kept.begin(), '1');
                ++exponent;
            } else {
                ++kept[static_cast<std::size_t>(i)];
            }
        }
    } else if (keep > 0) {
        kept = digits;
    } else if (keep == 0 && !digits.empty()) {
        // Everything is below the last kept place: round against one unit of it.
        const bool above =
            digits[0] > '5' ||
            (digits[0] == '5' && digits.find_first_not_of('0', 1) != std::string::npos);
        const bool tie = digits[0] == '5' && !above;
        if (above || (tie && !halfEven)) {
            kept = "1";
            ++exponent;
        }
    }
    // Lay the kept digits out with `decimals` places after the point.
    const int intDigits = exponent + 1;
    std::string intPart, fracPart;
    for (int place = std::max(intDigits - 1, 0); place >= -decimals; --place) {
        const int index = intDigits - 1 - place;
        const char c = (index >= 0 && static_cast<std::size_t>(index) < kept.size())
                           ? kept[static_cast<std::size_t>(index)]
                           : '0';
        if (place >= 0)
            intPart += c;
        else
            fracPart += c;
    }
    if (intPart.empty())
        intPart.push_back('0');
    if (kept.empty() || kept.find_first_not_of('0') == std::string::npos)
        negative = false;
    return fracPart.empty() ? intPart : intPart + "." + fracPart;
}

} // namespace orvane::script
