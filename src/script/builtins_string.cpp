// String and array-of-string built-in functions. Positions and lengths count UTF-16 units; Asc
// and Chr use the Chinese ANSI code page (936).

#include "script/builtins_internal.h"
#include "script/builtins_locale.h"

#include <algorithm>
#include <iconv.h>
#include <optional>

namespace orvane::script {

namespace {

using detail::Args;
using detail::has;
using detail::longArg;
using detail::text;

constexpr std::size_t npos = std::u16string::npos;

// Converts between UTF-16 and code page 936 with iconv; nullopt when not representable.
std::optional<std::string> convert(const char* to, const char* from, std::string_view in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(16, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::optional<int> ansiCode(char16_t c)
{
    if (c < 0x80)
        return c;
    const char bytes[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    const auto out = convert(regional::kAnsiCodePage, "UTF-16LE", std::string_view(bytes, 2));
    if (!out || out->empty())
        return std::nullopt;
    if (out->size() == 1)
        return static_cast<unsigned char>((*out)[0]);
    return (static_cast<unsigned char>((*out)[0]) << 8) | static_cast<unsigned char>((*out)[1]);
}

std::optional<char16_t> fromAnsi(int code)
{
    if (code < 0x80)
        return static_cast<char16_t>(code);
    std::string bytes;
    if (code > 0xFF)
        bytes += static_cast<char>(code >> 8);
    bytes += static_cast<char>(code & 0xFF);
    const auto out = convert("UTF-16LE", regional::kAnsiCodePage, bytes);
    if (!out || out->size() != 2)
        return std::nullopt;
    return static_cast<char16_t>(static_cast<unsigned char>((*out)[0]) |
                                 (static_cast<unsigned char>((*out)[1]) << 8));
}

std::int32_t nonNegativeArg(const Variant& v)
{
    if (v.isNull())
        throwError(err::InvalidUseOfNull);
    const std::int32_t n = toLong(v);
    if (n < 0)
        throwError(err::InvalidProcedureCall);
    return n;
}

// Space and String refuse lengths no string could hold instead of exhausting memory.
constexpr std::int32_t kMaxStringLength = 1 << 28;

std::size_t lengthArg(const Variant& v)
{
    const std::int32_t n = nonNegativeArg(v);
    if (n > kMaxStringLength)
        throwError(err::OutOfStringSpace);
    return static_cast<std::size_t>(n);
}

std::int32_t positionArg(const Variant& v)
{
    if (v.isNull())
        throwError(err::InvalidUseOfNull);
    const std::int32_t n = toLong(v);
    if (n < 1)
        throwError(err::InvalidProcedureCall);
    return n;
}

Variant fnLen(Args a)
{
    if (a[0].isNull())
        return Variant::null();
    return Variant::fromLong(static_cast<std::int32_t>(text(a[0]).size()));
}

Variant fnLeft(Args a)
{
    const std::int32_t n = nonNegativeArg(a[1]);
    if (a[0].isNull())
        return Variant::null();
    return Variant::fromString(text(a[0]).substr(0, static_cast<std::size_t>(n)));
}

Variant fnRight(Args a)
{
    const std::int32_t n = nonNegativeArg(a[1]);
    if (a[0].isNull())
        return Variant::null();
    const std::u16string s = text(a[0]);
    const std::size_t take = std::min(s.size(), static_cast<std::size_t>(n));
    return Variant::fromString(s.substr(s.size() - take));
}

Variant fnMid(Args a)
{
    const std::int32_t start = positionArg(a[1]);
    const std::int32_t length = has(a, 2) ? nonNegativeArg(a[2]) : -1;
    if (a[0].isNull())
        return Variant::null();
    const std::u16string s = text(a[0]);
    const auto from = static_cast<std::size_t>(start - 1);
    if (from >= s.size())
        return Variant::fromString(u"");
    return Variant::fromString(
        s.substr(from, length < 0 ? npos : static_cast<std::size_t>(length)));
}

Variant fnInStr(Args a)
{
    // InStr(s1, s2) or InStr(start, s1, s2[, compare])
    const bool withStart = a.size() >= 3;
    const std::size_t first = withStart ? 1 : 0;
    const std::int32_t start = withStart ? positionArg(a[0]) : 1;
    const CompareMode mode = withStart ? detail::compareArg(a, 3) : CompareMode::Binary;
    if (a[first].isNull() || a[first + 1].isNull())
        return Variant::null();
    const std::u16string hay = text(a[first]);
    const std::u16string needle = text(a[first + 1]);
    if (static_cast<std::size_t>(start) > hay.size())
        return Variant::fromLong(0);
    if (needle.empty())
        return Variant::fromLong(start);
    const std::size_t at = detail::findText(hay, needle, static_cast<std::size_t>(start - 1), mode);
    return Variant::fromLong(at == npos ? 0 : static_cast<std::int32_t>(at + 1));
}

Variant fnInStrRev(Args a)
{
    std::int32_t start = longArg(a, 2, -1);
    if (start == 0 || start < -1)
        throwError(err::InvalidProcedureCall);
    const CompareMode mode = detail::compareArg(a, 3);
    if (a[0].isNull() || a[1].isNull())
        return Variant::null();
    const std::u16string hay = text(a[0]);
    const std::u16string needle = text(a[1]);
    if (start == -1)
        start = static_cast<std::int32_t>(hay.size());
    if (static_cast<std::size_t>(start) > hay.size())
        return Variant::fromLong(0);
    if (needle.empty())
        return Variant::fromLong(start);
    // The match must end at or before position `start`.
    const auto end = static_cast<std::size_t>(start);
    if (needle.size() > end)
        return Variant::fromLong(0);
    for (std::size_t i = end - needle.size() + 1; i-- > 0;) {
        if (compareStrings(std::u16string_view(hay).substr(i, needle.size()), needle, mode) == 0)
            return Variant::fromLong(static_cast<std::int32_t>(i + 1));
    }
    return Variant::fromLong(0);
}

template <typename F> Variant mapChars(const Variant& v, F f)
{
    if (v.isNull())
        return Variant::null();
    std::u16string s = text(v);
    std::transform(s.begin(), s.end(), s.begin(), f);
    return Variant::fromString(std::move(s));
}

Variant fnLCase(Args a)
{
    return mapChars(a[0], toLowerChar);
}
Variant fnUCase(Args a)
{
    return mapChars(a[0], toUpperChar);
}

Variant trim(const Variant& v, bool left, bool right)
{
    if (v.isNull())
        return Variant::null();
    const std::u16string s = text(v);
    std::size_t b = 0, e = s.size();
    if (left)
        while (b < e && s[b] == u' ')
            ++b;
    if (right)
        while (e > b && s[e - 1] == u' ')
            --e;
    return Variant::fromString(s.substr(b, e - b));
}

Variant fnLTrim(Args a)
{
    return trim(a[0], true, false);
}
Variant fnRTrim(Args a)
{
    return trim(a[0], false, true);
}
Variant fnTrim(Args a)
{
    return trim(a[0], true, true);
}

Variant fnSpace(Args a)
{
    return Variant::fromString(std::u16string(lengthArg(a[0]), u' '));
}

Variant fnString(Args a)
{
    const std::size_t n = lengthArg(a[0]);
    if (a[1].isNull())
        return Variant::null();
    char16_t c = 0;
    if (a[1].isString()) {
        if (a[1].stringValue().empty())
            throwError(err::InvalidProcedureCall);
        c = a[1].stringValue()[0];
    } else {
        const std::int32_t code = toLong(a[1]) % 256;
        c = static_cast<char16_t>(code < 0 ? code + 256 : code);
    }
    return Variant::fromString(std::u16string(n, c));
}

Variant fnReplace(Args a)
{
    for (std::size_t i = 0; i < 3; ++i)
        if (a[i].isNull())
            throwError(err::InvalidUseOfNull);
    const std::int32_t start = has(a, 3) ? positionArg(a[3]) : 1;
    const std::int32_t count = longArg(a, 4, -1);
    if (count < -1)
        throwError(err::InvalidProcedureCall);
    const CompareMode mode = detail::compareArg(a, 5);
    const std::u16string source = text(a[0]);
    const std::u16string find = text(a[1]);
    const std::u16string with = text(a[2]);
    if (static_cast<std::size_t>(start) > source.size())
        return Variant::fromString(u"");
    // The result begins at `start`, as the language defines it.
    const std::u16string s = source.substr(static_cast<std::size_t>(start - 1));
    if (find.empty() || count == 0)
        return Variant::fromString(s);
    std::u16string out;
    std::size_t pos = 0;
    std::int32_t done = 0;
    while (count < 0 || done < count) {
        const std::size_t at = detail::findText(s, find, pos, mode);
        if (at == npos)
            break;
        out.append(s, pos, at - pos);
        out += with;
        pos = at + find.size();
        ++done;
    }
    out.append(s, pos, npos);
    return Variant::fromString(std::move(out));
}

Variant fnSplit(Args a)
{
    if (a[0].isNull())
        throwError(err::InvalidUseOfNull);
    const std::u16string s = text(a[0]);
    const std::u16string delimiter = has(a, 1) ? text(a[1]) : std::u16string(u" ");
    const std::int32_t count = longArg(a, 2, -1);
    if (count < -1)
        throwError(err::InvalidProcedureCall);
    const CompareMode mode = detail::compareArg(a, 3);
    std::vector<Variant> parts;
    if (s.empty() || count == 0)
        return Variant::makeArray(std::move(parts));
    if (delimiter.empty()) {
        parts.push_back(Variant::fromString(s));
        return Variant::makeArray(std::move(parts));
    }
    std::size_t pos = 0;
    while (count < 0 || static_cast<std::int32_t>(parts.size()) < count - 1) {
        const std::size_t at = detail::findText(s, delimiter, pos, mode);
        if (at == npos)
            break;
        parts.push_back(Variant::fromString(s.substr(pos, at - pos)));
        pos = at + delimiter.size();
    }
    parts.push_back(Variant::fromString(s.substr(pos)));
    return Variant::makeArray(std::move(parts));
}

// The elements of a one-dimensional array argument.
std::span<const Variant> listArg(const Variant& v)
{
    if (!v.isArray())
        throwError(err::TypeMismatch);
    if (v.arrayDims() != 1)
        throwError(err::SubscriptOutOfRange);
    return v.arrayElements();
}

Variant fnJoin(Args a)
{
    const std::span<const Variant> items = listArg(a[0]);
    const std::u16string delimiter = has(a, 1) ? text(a[1]) : std::u16string(u" ");
    std::u16string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += delimiter;
        if (!items[i].isNull())
            out += text(items[i]);
    }
    return Variant::fromString(std::move(out));
}

Variant fnFilter(Args a)
{
    const std::span<const Variant> items = listArg(a[0]);
    if (a[1].isNull())
        throwError(err::InvalidUseOfNull);
    const std::u16string value = text(a[1]);
    const bool include = has(a, 2) ? toBool(a[2]) : true;
    const CompareMode mode = detail::compareArg(a, 3);
    std::vector<Variant> out;
    for (const Variant& item : items) {
        std::u16string s = item.isNull() ? std::u16string() : text(item);
        const bool found = detail::findText(s, value, 0, mode) != npos;
        if (found == include)
            out.push_back(Variant::fromString(std::move(s)));
    }
    return Variant::makeArray(std::move(out));
}

Variant fnStrReverse(Args a)
{
    if (a[0].isNull())
        throwError(err::InvalidUseOfNull);
    std::u16string s = text(a[0]);
    std::reverse(s.begin(), s.end());
    return Variant::fromString(std::move(s));
}

Variant fnStrComp(Args a)
{
    const CompareMode mode = detail::compareArg(a, 2);
    if (a[0].isNull() || a[1].isNull())
        return Variant::null();
    return Variant::fromInteger(
        static_cast<std::int16_t>(compareStrings(text(a[0]), text(a[1]), mode)));
}

char16_t firstChar(const Variant& v)
{
    if (v.isNull())
        throwError(err::InvalidUseOfNull);
    const std::u16string s = text(v);
    if (s.empty())
        throwError(err::InvalidProcedureCall);
    return s[0];
}

Variant fnAsc(Args a)
{
    const char16_t c = firstChar(a[0]);
    const std::optional<int> code = ansiCode(c);
    // A character outside the code page reads as "?", as the conversion does.
    return Variant::fromInteger(static_cast<std::int16_t>(code ? *code : '?'));
}

Variant fnAscW(Args a)
{
    return Variant::fromInteger(static_cast<std::int16_t>(firstChar(a[0])));
}

std::int32_t charCodeArg(const Variant& v)
{
    if (v.isNull())
        throwError(err::InvalidUseOfNull);
    const std::int32_t code = toLong(v);
    if (code < -32768 || code > 65535)
        throwError(err::InvalidProcedureCall);
    return code & 0xFFFF;
}

Variant fnChr(Args a)
{
    const std::optional<char16_t> c = fromAnsi(charCodeArg(a[0]));
    if (!c)
        throwError(err::InvalidProcedureCall);
    return Variant::fromString(std::u16string(1, *c));
}

Variant fnChrW(Args a)
{
    return Variant::fromString(std::u16string(1, static_cast<char16_t>(charCodeArg(a[0]))));
}

const BuiltinInfo kStrings[] = {
    {"Len", 1, 1, fnLen},         {"Left", 2, 2, fnLeft},       {"Right", 2, 2, fnRight},
    {"Mid", 2, 3, fnMid},         {"InStr", 2, 4, fnInStr},     {"InStrRev", 2, 4, fnInStrRev},
    {"LCase", 1, 1, fnLCase},     {"UCase", 1, 1, fnUCase},     {"LTrim", 1, 1, fnLTrim},
    {"RTrim", 1, 1, fnRTrim},     {"Trim", 1, 1, fnTrim},       {"Space", 1, 1, fnSpace},
    {"String", 2, 2, fnString},   {"Replace", 3, 6, fnReplace}, {"Split", 1, 4, fnSplit},
    {"Join", 1, 2, fnJoin},       {"Filter", 2, 4, fnFilter},   {"StrReverse", 1, 1, fnStrReverse},
    {"StrComp", 2, 3, fnStrComp}, {"Asc", 1, 1, fnAsc},         {"AscW", 1, 1, fnAscW},
    {"Chr", 1, 1, fnChr},         {"ChrW", 1, 1, fnChrW},
};

} // namespace

std::span<const BuiltinInfo> detail::stringBuiltins()
{
    return kStrings;
}

} // namespace orvane::script
