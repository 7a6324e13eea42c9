#include "script/conversions.h"

#include "script/builtins.h"
#include "script/builtins_locale.h"
#include "script/scripterror.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace orvane::script {

namespace {

constexpr std::int64_t kCurrencyScale = 10000;
constexpr double kMaxCurrency = 922337203685477.5807;

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x3000;
}

std::u16string_view trimmed(std::u16string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b)
{
    return compareStrings(a, b, CompareMode::Text) == 0;
}

std::u16string asciiToU16(std::string_view s)
{
    return std::u16string(s.begin(), s.end());
}

double checkedFinite(double d)
{
    if (!std::isfinite(d))
        throwError(err::Overflow);
    return d;
}

double stringToDouble(const std::u16string& s)
{
    const std::optional<double> d = parseNumber(s);
    if (!d)
        throwError(err::TypeMismatch);
    return checkedFinite(*d);
}

std::int64_t roundToInt64(double d, double lo, double hi)
{
    const double r = roundHalfEven(d);
    if (!(r >= lo && r <= hi))
        throwError(err::Overflow);
    return static_cast<std::int64_t>(r);
}

// Whole-number value of v for CByte/CInt/CLng, rounded half to even.
std::int64_t toWhole(const Variant& v, double lo, double hi)
{
    switch (v.type()) {
    case VarType::Empty:
        return 0;
    case VarType::Boolean:
        return v.boolValue() ? -1 : 0;
    case VarType::Byte:
        return roundToInt64(v.byteValue(), lo, hi);
    case VarType::Integer:
        return roundToInt64(v.integerValue(), lo, hi);
    case VarType::Long:
        return roundToInt64(v.longValue(), lo, hi);
    case VarType::Currency: {
        // Exact: round the scaled integer half to even.
        const std::int64_t raw = v.currencyRaw();
        std::int64_t q = raw / kCurrencyScale;
        const std::int64_t rem = raw % kCurrencyScale;
        if (rem * 2 > kCurrencyScale || (rem * 2 == kCurrencyScale && (q & 1)))
            ++q;
        else if (rem * 2 < -kCurrencyScale || (rem * 2 == -kCurrencyScale && (q & 1)))
            --q;
        return roundToInt64(static_cast<double>(q), lo, hi);
    }
    default:
        return roundToInt64(toDouble(v), lo, hi);
    }
}

int daysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[static_cast<std::size_t>(month - 1)];
}

std::u16string number(long long n)
{
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, n);
    return asciiToU16(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
}

std::u16string twoDigits(int n)
{
    std::u16string s;
    s += static_cast<char16_t>(u'0' + n / 10);
    s += static_cast<char16_t>(u'0' + n % 10);
    return s;
}

} // namespace

double roundHalfEven(double x)
{
    if (!std::isfinite(x))
        return x;
    const double f = std::floor(x);
    const double diff = x - f;
    if (diff > 0.5)
        return f + 1.0;
    if (diff < 0.5)
        return f;
    return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}

char16_t toUpperChar(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<char16_t>(c - 32);
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
        // Latin Extended-A pairs: even upper, odd lower (shifted by one in 0x139..0x148 and
        // 0x179..0x17E).
        const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (shifted)
            return (c % 2 == 0) ? static_cast<char16_t>(c - 1) : c;
        return (c % 2 == 1) ? static_cast<char16_t>(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return static_cast<char16_t>(c - 32);
    if (c >= 0x430 && c <= 0x44F)
        return static_cast<char16_t>(c - 32);
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<char16_t>(c - 80);
    if (c >= 0xFF41 && c <= 0xFF5A)
        return static_cast<char16_t>(c - 32);
    return c;
}

char16_t toLowerChar(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<char16_t>(c + 32);
    if (c == 0x178)
        return 0xFF;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
        const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (shifted)
            return (c % 2 == 1) ? static_cast<char16_t>(c + 1) : c;
        return (c % 2 == 0) ? static_cast<char16_t>(c + 1) : c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
        return static_cast<char16_t>(c + 32);
    if (c >= 0x410 && c <= 0x42F)
        return static_cast<char16_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 80);
    if (c >= 0xFF21 && c <= 0xFF3A)
        return static_cast<char16_t>(c + 32);
    return c;
}

int compareStrings(std::u16string_view a, std::u16string_view b, CompareMode mode)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        char16_t x = a[i];
        char16_t y = b[i];
        if (mode == CompareMode::Text) {
            x = toLowerChar(x);
            y = toLowerChar(y);
        }
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::optional<double> parseNumber(std::u16string_view s)
{
    s = trimmed(s);
    if (s.empty())
        return std::nullopt;
    if (s[0] == u'&') {
        std::u16string_view digits = s.substr(1);
        int base = 8;
        if (!digits.empty() && (digits[0] == u'H' || digits[0] == u'h')) {
            base = 16;
            digits.remove_prefix(1);
        } else if (!digits.empty() && (digits[0] == u'O' || digits[0] == u'o')) {
            digits.remove_prefix(1);
        }
        if (digits.empty())
            return std::nullopt;
        std::uint64_t value = 0;
        for (char16_t c : digits) {
            int d = -1;
            if (isDigit(c))
                d = c - u'0';
            else if (base == 16 && c >= u'a' && c <= u'f')
                d = c - u'a' + 10;
            else if (base == 16 && c >= u'A' && c <= u'F')
                d = c - u'A' + 10;
            if (d < 0 || d >= base)
                return std::nullopt;
            value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
            if (value > 0xFFFFFFFFull)
                return std::numeric_limits<double>::infinity();
        }
        // Eight hex digits fill a Long: the top bit is its sign.
        if (value > 0x7FFFFFFFull)
            return static_cast<double>(
                static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
        return static_cast<double>(value);
    }

    // Build a plain ASCII copy for from_chars: sign, digits, point, exponent.
    std::string ascii;
    ascii.reserve(s.size());
    std::size_t i = 0;
    if (s[i] == u'+' || s[i] == u'-') {
        if (s[i] == u'-')
            ascii += '-';
        ++i;
        while (i < s.size() && isBlank(s[i]))
            ++i;
    }
    bool intDigits = false;
    while (i < s.size() && (isDigit(s[i]) || (s[i] == u',' && intDigits))) {
        if (s[i] != u',') {
            ascii += static_cast<char>(s[i]);
            intDigits = true;
        }
        ++i;
    }
    bool fracDigits = false;
    if (i < s.size() && s[i] == u'.') {
        ascii += '.';
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ascii += static_cast<char>(s[i]);
            fracDigits = true;
            ++i;
        }
    }
    if (!intDigits && !fracDigits)
        return std::nullopt;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        ascii += 'e';
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            ascii += static_cast<char>(s[i++]);
        bool expDigits = false;
        while (i < s.size() && isDigit(s[i])) {
            ascii += static_cast<char>(s[i++]);
            expDigits = true;
        }
        if (!expDigits)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    double value = 0;
    const char* first = ascii.data();
    const char* last = ascii.data() + ascii.size();
    auto res = std::from_chars(first, last, value);
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow gives 0, overflow infinity (reported by the caller as Overflow). Tell them
        // apart by the decimal magnitude: digits before the point plus the exponent.
        const bool negative = ascii[0] == '-';
        const std::size_t e = ascii.find('e');
        const std::string_view mantissa = std::string_view(ascii).substr(negative ? 1 : 0, e);
        const std::size_t firstDigit = mantissa.find_first_not_of("0.");
        const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
        long long magnitude = static_cast<long long>(point) - static_cast<long long>(firstDigit);
        if (e != std::string::npos) {
            const std::string_view expText = std::string_view(ascii).substr(e + 1);
            const bool expNegative = !expText.empty() && expText[0] == '-';
            // An exponent too long to read is huge either way.
            long long exp = 100000;
            std::from_chars(expText.data() + (expNegative || expText[0] == '+' ? 1 : 0),
                            expText.data() + expText.size(), exp);
            magnitude += expNegative ? -exp : exp;
        }
        if (magnitude <= 0)
            return negative ? -0.0 : 0.0;
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    if (res.ec != std::errc() || res.ptr != last)
        return std::nullopt;
    return value;
}

// ---- Dates ------------------------------------------------------------------------------------

namespace {

// Days since 1970-01-01 for a proleptic Gregorian date.
long long daysFromCivil(long long y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

constexpr long long kEpochOffset = 25569; // 1970-01-01 as a serial

} // namespace

double serialFromYmd(int year, int month, int day)
{
    return static_cast<double>(daysFromCivil(year, month, day) + kEpochOffset);
}

double combineDateTime(double daySerial, double timeFraction)
{
    return daySerial < 0 ? daySerial - timeFraction : daySerial + timeFraction;
}

DateParts splitDate(double date)
{
    double day = std::trunc(date);
    long long seconds = std::llround(std::fabs(date - day) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        day += 1;
    }
    DateParts p;
    civilFromDays(static_cast<long long>(day) - kEpochOffset, p.year, p.month, p.day);
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>(seconds / 60 % 60);
    p.second = static_cast<int>(seconds % 60);
    return p;
}

std::u16string formatShortDate(double date)
{
    const DateParts p = splitDate(date);
    const std::u16string sep(1, regional::kDateSeparator);
    return number(p.year) + sep + number(p.month) + sep + number(p.day);
}

std::u16string formatLongTime(double date)
{
    const DateParts p = splitDate(date);
    const std::u16string sep(1, regional::kTimeSeparator);
    return number(p.hour) + sep + twoDigits(p.minute) + sep + twoDigits(p.second);
}

std::u16string formatGeneralDate(double date)
{
    const DateParts p = splitDate(date);
    const bool noTime = p.hour == 0 && p.minute == 0 && p.second == 0;
    const bool noDate = p.year == 1899 && p.month == 12 && p.day == 30;
    if (noDate)
        return formatLongTime(date);
    if (noTime)
        return formatShortDate(date);
    return formatShortDate(date) + u" " + formatLongTime(date);
}

namespace {

struct DateToken
{
    enum Kind { Number, Word, Sep } kind;
    int value = 0;
    int digits = 0;
    std::u16string text; // words and separators
};

std::optional<std::vector<DateToken>> tokenizeDate(std::u16string_view s)
{
    std::vector<DateToken> tokens;
    std::size_t i = 0;
    while (i < s.size()) {
        const char16_t c = s[i];
        if (isBlank(c) || c == u',') {
            ++i;
            continue;
        }
        if (isDigit(c)) {
            DateToken t{DateToken::Number, 0, 0, {}};
            while (i < s.size() && isDigit(s[i])) {
                if (t.digits > 6)
                    return std::nullopt;
                t.value = t.value * 10 + (s[i] - u'0');
                ++t.digits;
                ++i;
            }
            tokens.push_back(t);
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
            DateToken t{DateToken::Word, 0, 0, {}};
            while (i < s.size() &&
                   ((s[i] >= u'a' && s[i] <= u'z') || (s[i] >= u'A' && s[i] <= u'Z')))
                t.text += toUpperChar(s[i++]);
            tokens.push_back(t);
        } else if (c == u'/' || c == u'-' || c == u'.' || c == u':' || c == u'年' || c == u'月' ||
                   c == u'日' || c == u'号' || c == u'时' || c == u'分' || c == u'秒') {
            tokens.push_back(DateToken{DateToken::Sep, 0, 0, std::u16string(1, c)});
            ++i;
        } else if (s.substr(i, 2) == u"上午" || s.substr(i, 2) == u"下午") {
            tokens.push_back(
                DateToken{DateToken::Word, 0, 0, s.substr(i, 2) == u"上午" ? u"AM" : u"PM"});
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

int expandYear(const DateToken& t)
{
    if (t.digits <= 2)
        return t.value < regional::kTwoDigitYearCutoff ? 2000 + t.value : 1900 + t.value;
    return t.value;
}

// Month number of an English month name or its abbreviation ("DEC", "DECEMBER"); 0 if none.
int monthFromWord(std::u16string_view upper)
{
    static constexpr std::u16string_view names[] = {
        u"JANUARY", u"FEBRUARY", u"MARCH",     u"APRIL",   u"MAY",      u"JUNE",
        u"JULY",    u"AUGUST",   u"SEPTEMBER", u"OCTOBER", u"NOVEMBER", u"DECEMBER"};
    if (upper.size() < 3)
        return 0;
    for (int m = 0; m < 12; ++m)
        if (names[m].substr(0, upper.size()) == upper)
            return m + 1;
    return 0;
}

bool validYmd(int y, int m, int d)
{
    return y >= 100 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

} // namespace

std::optional<double> parseDate(std::u16string_view text)
{
    const auto tokens = tokenizeDate(trimmed(text));
    if (!tokens || tokens->empty())
        return std::nullopt;
    const std::vector<DateToken>& t = *tokens;
    std::size_t i = 0;

    // Date part: numbers separated by / - . or followed by 年 月 日.
    std::vector<DateToken> dateNums;
    bool chineseForm = false;
    int namedMonth = 0; // "Dec 5, 2026", "5-Dec-2026"
    auto monthWordAt = [&](std::size_t k) {
        return k < t.size() && t[k].kind == DateToken::Word && monthFromWord(t[k].text) != 0;
    };
    while (i < t.size() && (t[i].kind == DateToken::Number || monthWordAt(i))) {
        if (t[i].kind == DateToken::Word) {
            if (namedMonth)
                return std::nullopt;
            namedMonth = monthFromWord(t[i].text);
            ++i;
            if (i < t.size() && t[i].kind == DateToken::Sep &&
                (t[i].text == u"-" || t[i].text == u"/" || t[i].text == u"."))
                ++i;
            continue;
        }
        const bool timeFollows = i + 1 < t.size() && t[i + 1].kind == DateToken::Sep &&
                                 (t[i + 1].text == u":" || t[i + 1].text == u"时");
        if (timeFollows)
            break;
        const bool amPmFollows =
            i + 1 < t.size() && t[i + 1].kind == DateToken::Word && !monthWordAt(i + 1);
        if (amPmFollows && dateNums.empty())
            break;
        dateNums.push_back(t[i]);
        ++i;
        if (i < t.size() && t[i].kind == DateToken::Sep) {
            const std::u16string& sep = t[i].text;
            if (sep == u"年" || sep == u"月" || sep == u"日" || sep == u"号")
                chineseForm = true;
            else if (sep != u"/" && sep != u"-" && sep != u".")
                return std::nullopt;
            ++i;
        } else if (!monthWordAt(i) &&
                   !(namedMonth && i < t.size() && t[i].kind == DateToken::Number)) {
            break;
        }
    }

    double day = 0;
    bool haveDate = false;
    auto yearLike = [](const DateToken& n) { return n.digits >= 3 || n.value > 31; };
    if (namedMonth) {
        int y = 0, d = 1;
        if (dateNums.size() == 1 && yearLike(dateNums[0])) {
            y = dateNums[0].value;
        } else if (dateNums.size() == 1) {
            y = splitDate(currentDateTime()).year, d = dateNums[0].value;
        } else if (dateNums.size() == 2 && yearLike(dateNums[0])) {
            y = dateNums[0].value, d = dateNums[1].value;
        } else if (dateNums.size() == 2) {
            y = expandYear(dateNums[1]), d = dateNums[0].value;
        } else {
            return std::nullopt;
        }
        if (!validYmd(y, namedMonth, d))
            return std::nullopt;
        day = serialFromYmd(y, namedMonth, d);
        haveDate = true;
    } else if (!dateNums.empty()) {
        int y = 0, m = 0, d = 0;
        if (dateNums.size() == 3) {
            const DateToken &a = dateNums[0], &b = dateNums[1], &c = dateNums[2];
            if (!chineseForm && !yearLike(a) && yearLike(c)) {
                // Month first when the year comes last, day first if the month cannot be one.
                y = expandYear(c), m = a.value, d = b.value;
                if (m > 12)
                    std::swap(m, d);
            } else {
                y = expandYear(a), m = b.value, d = c.value;
            }
        } else if (dateNums.size() == 2) {
            const DateToken &a = dateNums[0], &b = dateNums[1];
            if (a.digits >= 3 || a.value > 31) {
                y = a.value, m = b.value, d = 1;
            } else {
                y = splitDate(currentDateTime()).year, m = a.value, d = b.value;
                if (m > 12)
                    std::swap(m, d);
            }
        } else {
            return std::nullopt;
        }
        if (!validYmd(y, m, d))
            return std::nullopt;
        day = serialFromYmd(y, m, d);
        haveDate = true;
    }

    double time = 0;
    bool haveTime = false;
    if (i < t.size()) {
        // "上午"/"下午" (or AM/PM) may stand before the time as well as after it.
        std::u16string marker;
        if (t[i].kind == DateToken::Word)
            marker = t[i++].text;
        int parts[3] = {0, 0, 0};
        int count = 0;
        while (i < t.size() && t[i].kind == DateToken::Number && count < 3) {
            parts[count++] = t[i].value;
            ++i;
            if (i < t.size() && t[i].kind == DateToken::Sep &&
                (t[i].text == u":" || t[i].text == u"时" || t[i].text == u"分" ||
                 t[i].text == u"秒" || (t[i].text == u"." && count == 3)))
                ++i;
            else
                break;
        }
        // A fraction of a second after "." is ignored.
        if (i < t.size() && t[i].kind == DateToken::Number && count == 3)
            ++i;
        if (count == 0)
            return std::nullopt;
        int hour = parts[0];
        if (marker.empty() && i < t.size() && t[i].kind == DateToken::Word)
            marker = t[i++].text;
        if (!marker.empty()) {
            const std::u16string& w = marker;
            const bool pm = w == u"PM" || w == u"P";
            if (!pm && w != u"AM" && w != u"A")
                return std::nullopt;
            if (hour < 1 || hour > 12)
                return std::nullopt;
            hour = hour % 12 + (pm ? 12 : 0);
        } else if (count == 1) {
            return std::nullopt; // a lone number is not a time
        }
        if (hour > 23 || parts[1] > 59 || parts[2] > 59)
            return std::nullopt;
        time = (hour * 3600 + parts[1] * 60 + parts[2]) / 86400.0;
        haveTime = true;
    }
    if (i != t.size() || (!haveDate && !haveTime))
        return std::nullopt;
    return combineDateTime(day, time);
}

// ---- Numbers as text --------------------------------------------------------------------------

std::u16string formatDouble(double value, int significantDigits)
{
    if (std::isnan(value))
        return u"-1.#IND";
    if (std::isinf(value))
        return value > 0 ? u"1.#INF" : u"-1.#INF";
    if (value == 0)
        return u"0";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific,
                             significantDigits - 1);
    const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
    const bool negative = sci[0] == '-';
    const std::size_t ePos = sci.find('e');
    std::string digits;
    for (char c : sci.substr(negative ? 1 : 0, ePos - (negative ? 1 : 0)))
        if (c != '.')
            digits += c;
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                    exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= significantDigits || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const int absExp = std::abs(exponent);
        if (absExp < 10)
            out += '0';
        out += std::to_string(absExp);
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const std::size_t intLen = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intLen) {
            out += digits;
            out.append(intLen - digits.size(), '0');
        } else {
            out += digits.substr(0, intLen);
            out += '.';
            out += digits.substr(intLen);
        }
    }
    return asciiToU16(out);
}

std::u16string formatCurrency(std::int64_t scaled)
{
    const bool negative = scaled < 0;
    const std::uint64_t mag =
        negative ? std::uint64_t(0) - static_cast<std::uint64_t>(scaled) : std::uint64_t(scaled);
    std::string out = negative ? "-" : "";
    out += std::to_string(mag / kCurrencyScale);
    std::uint64_t frac = mag % kCurrencyScale;
    if (frac != 0) {
        std::string f = std::to_string(frac);
        f.insert(0, 4 - f.size(), '0');
        while (f.back() == '0')
            f.pop_back();
        out += '.';
        out += f;
    }
    return asciiToU16(out);
}

// ---- Conversions ------------------------------------------------------------------------------

Variant dereference(const Variant& v)
{
    if (v.type() != VarType::Object)
        return v;
    Object* o = v.objectValue();
    if (!o)
        throwError(err::ObjectVariableNotSet);
    Variant out;
    if (!o->defaultValue(out))
        throwError(err::ObjectDoesntSupportMember);
    if (out.isObject())
        return dereference(out);
    return out;
}

Variant toNumeric(const Variant& v)
{
    switch (v.type()) {
    case VarType::Empty:
        return Variant::fromInteger(0);
    case VarType::Boolean:
        return Variant::fromInteger(v.boolValue() ? -1 : 0);
    case VarType::String:
        return Variant::fromDouble(stringToDouble(v.stringValue()));
    case VarType::Object:
        return toNumeric(dereference(v));
    case VarType::Error:
    case VarType::Array:
        throwError(err::TypeMismatch);
    default:
        return v;
    }
}

bool toBool(const Variant& v)
{
    switch (v.type()) {
    case VarType::Empty:
        return false;
    case VarType::Null:
        throwError(err::InvalidUseOfNull);
    case VarType::Boolean:
        return v.boolValue();
    case VarType::Byte:
        return v.byteValue() != 0;
    case VarType::Integer:
        return v.integerValue() != 0;
    case VarType::Long:
        return v.longValue() != 0;
    case VarType::Single:
        return v.singleValue() != 0;
    case VarType::Double:
    case VarType::Date:
        return v.doubleValue() != 0;
    case VarType::Currency:
        return v.currencyRaw() != 0;
    case VarType::String: {
        const std::u16string_view s = trimmed(v.stringValue());
        if (equalsIgnoreCase(s, u"True") || equalsIgnoreCase(s, u"#TRUE#"))
            return true;
        if (equalsIgnoreCase(s, u"False") || equalsIgnoreCase(s, u"#FALSE#"))
            return false;
        return stringToDouble(v.stringValue()) != 0;
    }
    case VarType::Object:
        return toBool(dereference(v));
    default:
        throwError(err::TypeMismatch);
    }
}

std::uint8_t toByte(const Variant& v)
{
    if (v.isNull())
        throwError(err::InvalidUseOfNull);
    return static_cast<std::uint8_t>(toWhole(v, 0, 255));
}

std::int16_t toInteger(const Variant& v)
{
    if (v.type() == VarType::Integer)
        return v.integerValue();
    if (v.isNull())
        throwError(err::InvalidUseOfNull);
    return static_cast<std::int16_t>(toWhole(v, -32768, 32767));
}

std::int32_t toLong(const Variant& v)
{
    if (v.type() == VarType::Long)
        return v.longValue();
    if (v.isNull())
        throwError(err::InvalidUseOfNull);
    return static_cast<std::int32_t>(toWhole(v, -2147483648.0, 2147483647.0));
}

float toSingle(const Variant& v)
{
    const double d = toDouble(v);
    if (std::fabs(d) > std::numeric_limits<float>::max())
        throwError(err::Overflow);
    return static_cast<float>(d);
}

double toDouble(const Variant& v)
{
    switch (v.type()) {
    case VarType::Empty:
        return 0;
    case VarType::Null:
        throwError(err::InvalidUseOfNull);
    case VarType::Boolean:
        return v.boolValue() ? -1 : 0;
    case VarType::Byte:
        return v.byteValue();
    case VarType::Integer:
        return v.integerValue();
    case VarType::Long:
        return v.longValue();
    case VarType::Single:
        return v.singleValue();
    case VarType::Double:
    case VarType::Date:
        return v.doubleValue();
    case VarType::Currency:
        return static_cast<double>(v.currencyRaw()) / kCurrencyScale;
    case VarType::String:
        return stringToDouble(v.stringValue());
    case VarType::Object:
        return toDouble(dereference(v));
    default:
        throwError(err::TypeMismatch);
    }
}

std::int64_t toCurrencyRaw(const Variant& v)
{
    switch (v.type()) {
    case VarType::Currency:
        return v.currencyRaw();
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Boolean:
    case VarType::Empty:
        return static_cast<std::int64_t>(toDouble(v)) * kCurrencyScale;
    default: {
        const double d = toDouble(v);
        if (!(std::fabs(d) <= kMaxCurrency))
            throwError(err::Overflow);
        const double scaled = roundHalfEven(d * kCurrencyScale);
        if (scaled >= 9223372036854775807.0 || scaled < -9223372036854775807.0)
            throwError(err::Overflow);
        return static_cast<std::int64_t>(scaled);
    }
    }
}

double toDate(const Variant& v)
{
    double d = 0;
    switch (v.type()) {
    case VarType::Date:
        return v.dateValue();
    case VarType::Null:
        throwError(err::InvalidUseOfNull);
    case VarType::String: {
        const std::optional<double> parsed = parseDate(v.stringValue());
        if (!parsed)
            throwError(err::TypeMismatch);
        return *parsed;
    }
    case VarType::Object:
        return toDate(dereference(v));
    default:
        d = toDouble(v);
        break;
    }
    if (!(d >= kMinDate && d < kMaxDate + 1))
        throwError(err::Overflow);
    return d;
}

std::u16string toString(const Variant& v)
{
    switch (v.type()) {
    case VarType::Empty:
        return {};
    case VarType::Null:
        throwError(err::InvalidUseOfNull);
    case VarType::Boolean:
        return v.boolValue() ? u"True" : u"False";
    case VarType::Byte:
        return number(v.byteValue());
    case VarType::Integer:
        return number(v.integerValue());
    case VarType::Long:
        return number(v.longValue());
    case VarType::Single:
        return formatDouble(v.singleValue(), 7);
    case VarType::Double:
        return formatDouble(v.doubleValue(), 15);
    case VarType::Currency:
        return formatCurrency(v.currencyRaw());
    case VarType::Date:
        return formatGeneralDate(v.dateValue());
    case VarType::String:
        return v.stringValue();
    case VarType::Object:
        return toString(dereference(v));
    case VarType::Error:
        return u"Error " + number(v.errorValue());
    default:
        throwError(err::TypeMismatch);
    }
}

} // namespace orvane::script
