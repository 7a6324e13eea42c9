#include "script/formula.h"

#include "script/conversions.h"
#include "script/lexer.h"

#include <cmath>

namespace orvane::script {

namespace {

// The type a whole-number literal of this magnitude gets, negated when written with '-'.
Variant wholeLiteral(double magnitude, bool negative)
{
    if (magnitude <= 32767)
        return Variant::fromInteger(
            static_cast<int16_t>(negative ? -static_cast<int>(magnitude) : magnitude));
    if (magnitude <= 2147483647.0) {
        const auto m = static_cast<int64_t>(magnitude);
        return Variant::fromLong(static_cast<int32_t>(negative ? -m : m));
    }
    return Variant::fromDouble(negative ? -magnitude : magnitude);
}

// Reads a number as written by CStr back the way the parser reads a literal.
Variant readBack(const std::u16string& text)
{
    try {
        const auto tokens = Lexer(toUtf8(text)).tokenize();
        size_t i = 0;
        bool negative = false;
        if (tokens[i].kind == TokenKind::Operator && tokens[i].text == "-") {
            negative = true;
            ++i;
        }
        const Token& t = tokens[i];
        if (t.kind == TokenKind::Integer)
            return wholeLiteral(static_cast<double>(t.integer), negative);
        if (t.kind == TokenKind::Double)
            return Variant::fromDouble(negative ? -t.number : t.number);
    } catch (...) {
    }
    return Variant::null();
}

Variant doubleLiteral(double v)
{
    if (v == 0)
        return Variant::fromInteger(0);
    if (!std::isfinite(v))
        return Variant::fromDouble(v);
    const double a = std::fabs(v);
    if (a < 1e15 && a == std::floor(a))
        return wholeLiteral(a, v < 0);
    // Fast path: a value with up to four decimals that CStr writes exactly reads back as itself.
    double scale = 1;
    for (int k = 1; k <= 4; ++k) {
        scale *= 10;
        const double s = a * scale;
        if (s >= 1e15)
            break;
        if (s == std::floor(s) && s / scale == a)
            return Variant::fromDouble(v);
    }
    return readBack(formatDouble(v));
}

} // namespace

int Formula::slot(std::string_view name) const
{
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (namesEqual(m_names[i], name))
            return static_cast<int>(i);
    }
    return -1;
}

void Formula::bind(int slot, const Variant& value)
{
    if (slot < 0 || static_cast<size_t>(slot) >= m_values.size())
        return;
    m_values[static_cast<size_t>(slot)] = literalOf(value);
}

void Formula::bind(std::string_view name, const Variant& value)
{
    bind(slot(name), value);
}

Variant Formula::literalOf(const Variant& value)
{
    switch (value.type()) {
    case VarType::String:
    case VarType::Boolean:
        return value;
    case VarType::Byte:
        return Variant::fromInteger(value.byteValue());
    case VarType::Integer:
    case VarType::Long: {
        // "-32768" reads back as a Long: the literal 32768 is one before it is negated.
        const int64_t v =
            value.type() == VarType::Integer ? value.integerValue() : value.longValue();
        return wholeLiteral(static_cast<double>(v < 0 ? -v : v), v < 0);
    }
    case VarType::Double:
        return doubleLiteral(value.doubleValue());
    case VarType::Single:
        return readBack(formatDouble(value.singleValue(), 7));
    case VarType::Currency:
        return readBack(formatCurrency(value.currencyRaw()));
    case VarType::Date:
        return Variant::fromString(toString(value));
    default:
        return Variant::null();
    }
}

bool Formula::literalText(const Variant& value, std::string& out)
{
    switch (value.type()) {
    case VarType::String:
    case VarType::Date:
        out = "\"" + toUtf8(toString(value)) + "\"";
        return true;
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
        out = toUtf8(toString(value));
        return true;
    default:
        return false;
    }
}

bool Formula::substitute(std::string_view text, const std::vector<std::string>& names,
                         const std::vector<Variant>& values, std::string& out)
{
    out.assign(text);
    size_t from = 0;
    for (;;) {
        const size_t close = out.find('}', from);
        if (close == std::string::npos)
            return true;
        const size_t open = out.rfind('{', close);
        if (open == std::string::npos || open < from) {
            from = close + 1; // a '}' without its own '{' (or one left by a value)
            continue;
        }
        const std::string name = out.substr(open + 1, close - open - 1);
        size_t index = names.size();
        for (size_t i = 0; i < names.size(); ++i) {
            if (namesEqual(names[i], name))
                index = i;
        }
        std::string literal;
        if (index >= values.size() || !literalText(values[index], literal))
            return false;
        out.replace(open, close - open + 1, literal);
        from = open + literal.size();
    }
}

} // namespace orvane::script
