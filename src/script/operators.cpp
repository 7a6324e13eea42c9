// The script operators declared in variant.h: arithmetic with the language's type promotion,
// concatenation, comparison and the bitwise/three-valued logical operators.

#include "script/conversions.h"
#include "script/scripterror.h"
#include "script/variant.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvane::script {

namespace {

// Numeric kinds in order of precision; Date and Currency are handled apart.
enum class Kind { Byte, Integer, Long, Single, Double, Currency, Date };

struct Num
{
    Kind kind = Kind::Integer;
    std::int64_t i = 0; // Byte, Integer, Long; Currency raw
    double d = 0;       // Single, Double, Date
};

Num toNum(const Variant& v)
{
    switch (v.type()) {
    case VarType::Empty:
        return {Kind::Integer, 0, 0};
    case VarType::Boolean:
        return {Kind::Integer, v.boolValue() ? -1 : 0, 0};
    case VarType::Byte:
        return {Kind::Byte, v.byteValue(), 0};
    case VarType::Integer:
        return {Kind::Integer, v.integerValue(), 0};
    case VarType::Long:
        return {Kind::Long, v.longValue(), 0};
    case VarType::Single:
        return {Kind::Single, 0, v.singleValue()};
    case VarType::Double:
        return {Kind::Double, 0, v.doubleValue()};
    case VarType::Currency:
        return {Kind::Currency, v.currencyRaw(), 0};
    case VarType::Date:
        return {Kind::Date, 0, v.dateValue()};
    case VarType::String:
        return {Kind::Double, 0, toDouble(v)};
    case VarType::Object:
        return toNum(dereference(v));
    default:
        throwError(err::TypeMismatch);
    }
}

double asDouble(const Num& n)
{
    switch (n.kind) {
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
        return static_cast<double>(n.i);
    case Kind::Currency:
        return static_cast<double>(n.i) / 10000.0;
    default:
        return n.d;
    }
}

bool isWhole(Kind k)
{
    return k == Kind::Byte || k == Kind::Integer || k == Kind::Long;
}

// Whole-number result: the narrowest of Byte/Integer/Long at or above `kind` that holds it,
// otherwise Double.
Variant wholeResult(Kind kind, std::int64_t r)
{
    if (kind == Kind::Byte && r >= 0 && r <= 255)
        return Variant::fromByte(static_cast<std::uint8_t>(r));
    if (kind != Kind::Long && r >= -32768 && r <= 32767)
        return Variant::fromInteger(static_cast<std::int16_t>(r));
    if (r >= std::numeric_limits<std::int32_t>::min() &&
        r <= std::numeric_limits<std::int32_t>::max())
        return Variant::fromLong(static_cast<std::int32_t>(r));
    return Variant::fromDouble(static_cast<double>(r));
}

Variant doubleResult(double r)
{
    if (!std::isfinite(r))
        throwError(err::Overflow);
    return Variant::fromDouble(r);
}

Variant singleResult(double r)
{
    if (std::fabs(r) > std::numeric_limits<float>::max())
        return doubleResult(r);
    return Variant::fromSingle(static_cast<float>(r));
}

Variant dateResult(double r)
{
    if (!(r >= kMinDate && r < kMaxDate + 1))
        throwError(err::Overflow);
    return Variant::fromDate(r);
}

Variant currencyResult(double r)
{
    return Variant::fromCurrencyRaw(toCurrencyRaw(Variant::fromDouble(r)));
}

std::int64_t currencyOf(const Num& n)
{
    if (n.kind == Kind::Currency)
        return n.i;
    if (isWhole(n.kind))
        return n.i * 10000;
    return toCurrencyRaw(Variant::fromDouble(n.d));
}

enum class Arith { Add, Sub, Mul };

Variant arithmetic(Arith op, const Num& x, const Num& y)
{
    if (x.kind == Kind::Date || y.kind == Kind::Date) {
        const double a = asDouble(x), b = asDouble(y);
        switch (op) {
        case Arith::Add:
            return dateResult(a + b);
        case Arith::Sub:
            return (x.kind == Kind::Date && y.kind == Kind::Date) ? doubleResult(a - b)
                                                                  : dateResult(a - b);
        case Arith::Mul:
            return doubleResult(a * b);
        }
    }
    if (x.kind == Kind::Currency || y.kind == Kind::Currency) {
        const std::int64_t a = currencyOf(x), b = currencyOf(y);
        std::int64_t r = 0;
        switch (op) {
        case Arith::Add:
            if (__builtin_add_overflow(a, b, &r))
                throwError(err::Overflow);
            return Variant::fromCurrencyRaw(r);
        case Arith::Sub:
            if (__builtin_sub_overflow(a, b, &r))
                throwError(err::Overflow);
            return Variant::fromCurrencyRaw(r);
        case Arith::Mul: {
            const Num& other = x.kind == Kind::Currency ? y : x;
            const std::int64_t cur = x.kind == Kind::Currency ? x.i : y.i;
            if (isWhole(other.kind) || other.kind == Kind::Currency) {
                if (other.kind != Kind::Currency && !__builtin_mul_overflow(cur, other.i, &r))
                    return Variant::fromCurrencyRaw(r);
            }
            return currencyResult(asDouble(x) * asDouble(y));
        }
        }
    }
    const Kind kind = std::max(x.kind, y.kind);
    if (isWhole(kind)) {
        std::int64_t r = 0;
        switch (op) {
        case Arith::Add:
            r = x.i + y.i;
            break;
        case Arith::Sub:
            r = x.i - y.i;
            break;
        case Arith::Mul:
            r = x.i * y.i;
            break;
        }
        return wholeResult(kind, r);
    }
    const double a = asDouble(x), b = asDouble(y);
    double r = 0;
    switch (op) {
    case Arith::Add:
        r = a + b;
        break;
    case Arith::Sub:
        r = a - b;
        break;
    case Arith::Mul:
        r = a * b;
        break;
    }
    const bool longWithSingle = (x.kind == Kind::Long && y.kind == Kind::Single) ||
                                (x.kind == Kind::Single && y.kind == Kind::Long);
    if (kind == Kind::Single && !longWithSingle)
        return singleResult(r);
    return doubleResult(r);
}

// Operand for the logical operators: Boolean, or a whole number of kind Byte/Integer/Long.
struct Logic
{
    bool null = false;
    bool boolean = false;
    Kind kind = Kind::Integer;
    std::int64_t v = 0;
};

Logic toLogic(const Variant& v)
{
    switch (v.type()) {
    case VarType::Null:
        return {true};
    case VarType::Boolean:
        return {false, true, Kind::Integer, v.boolValue() ? -1 : 0};
    case VarType::Empty:
        return {false, false, Kind::Integer, 0};
    case VarType::Byte:
        return {false, false, Kind::Byte, v.byteValue()};
    case VarType::Integer:
        return {false, false, Kind::Integer, v.integerValue()};
    case VarType::Long:
        return {false, false, Kind::Long, v.longValue()};
    case VarType::String: {
        const std::u16string& s = v.stringValue();
        if (!parseNumber(s))
            return {false, true, Kind::Integer, toBool(v) ? -1 : 0};
        return {false, false, Kind::Long, toLong(v)};
    }
    case VarType::Object:
        return toLogic(dereference(v));
    default:
        return {false, false, Kind::Long, toLong(v)};
    }
}

Variant logicResult(const Logic& like, std::int64_t r)
{
    if (like.boolean)
        return Variant::fromBool(r != 0);
    switch (like.kind) {
    case Kind::Byte:
        return Variant::fromByte(static_cast<std::uint8_t>(r & 0xFF));
    case Kind::Integer:
        return Variant::fromInteger(static_cast<std::int16_t>(r));
    default:
        return Variant::fromLong(static_cast<std::int32_t>(r));
    }
}

// All bits set for the operand's width (True, 255, -1).
bool allOnes(const Logic& l)
{
    return l.kind == Kind::Byte ? l.v == 0xFF : l.v == -1;
}

enum class LogicOp { And, Or, Xor, Eqv, Imp };

std::int64_t applyLogic(LogicOp op, std::int64_t a, std::int64_t b)
{
    switch (op) {
    case LogicOp::And:
        return a & b;
    case LogicOp::Or:
        return a | b;
    case LogicOp::Xor:
        return a ^ b;
    case LogicOp::Eqv:
        return ~(a ^ b);
    case LogicOp::Imp:
        return ~a | b;
    }
    return 0;
}

Variant logical(LogicOp op, const Variant& va, const Variant& vb)
{
    const Logic a = toLogic(va);
    const Logic b = toLogic(vb);
    if (a.null || b.null) {
        // Three-valued logic: Null is "unknown", so the result is known only when the other
        // operand decides it alone.
        if (a.null && b.null)
            return Variant::null();
        const Logic& known = a.null ? b : a;
        switch (op) {
        case LogicOp::And:
            return known.v == 0 ? logicResult(known, 0) : Variant::null();
        case LogicOp::Or:
            return allOnes(known) ? logicResult(known, known.v) : Variant::null();
        case LogicOp::Imp:
            if (a.null) // Null Imp b: True when b is all ones
                return allOnes(b) ? logicResult(b, b.v) : Variant::null();
            return a.v == 0 ? logicResult(a, -1) : Variant::null(); // a Imp Null
        default:
            return Variant::null();
        }
    }
    const std::int64_t r = applyLogic(op, a.v, b.v);
    if (a.boolean && b.boolean)
        return Variant::fromBool(r != 0);
    Logic like;
    like.kind = std::max(a.kind, b.kind);
    if (like.kind == Kind::Byte && (a.boolean || b.boolean))
        like.kind = Kind::Integer;
    return logicResult(like, like.kind == Kind::Byte ? (r & 0xFF) : r);
}

const Variant& derefInto(const Variant& v, Variant& holder)
{
    if (!v.isObject())
        return v;
    holder = dereference(v);
    return holder;
}

// Integer, Long or Double as a double: the common operands of formulas, handled without the
// general promotion machinery.
bool plainNumber(const Variant& v, double& out)
{
    switch (v.type()) {
    case VarType::Integer:
        out = v.integerValue();
        return true;
    case VarType::Long:
        out = v.longValue();
        return true;
    case VarType::Double:
        out = v.doubleValue();
        return true;
    default:
        return false;
    }
}

bool isNumericForCompare(const Variant& v)
{
    return v.isNumberType() || v.type() == VarType::Boolean || v.type() == VarType::Date;
}

int compareNumbers(const Variant& a, const Variant& b)
{
    if (a.type() == VarType::Currency && b.type() == VarType::Currency)
        return a.currencyRaw() < b.currencyRaw() ? -1 : (a.currencyRaw() > b.currencyRaw() ? 1 : 0);
    const double x = toDouble(a), y = toDouble(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

// Converts a string literal to the type of the number it is compared with.
std::optional<Variant> literalAs(const Variant& str, const Variant& like)
{
    try {
        switch (like.type()) {
        case VarType::Boolean:
            return Variant::fromBool(toBool(str));
        case VarType::Date:
            return Variant::fromDate(toDate(str));
        default:
            return Variant::fromDouble(toDouble(str));
        }
    } catch (const ScriptException&) {
        return std::nullopt;
    }
}

} // namespace

Variant opAdd(const Variant& a, const Variant& b)
{
    if (a.isNull() || b.isNull())
        return Variant::null();
    // Fast path for the common whole-number case.
    if (a.type() == VarType::Integer && b.type() == VarType::Integer)
        return wholeResult(Kind::Integer, std::int64_t(a.integerValue()) + b.integerValue());
    if (a.type() == VarType::Double && b.type() == VarType::Double)
        return doubleResult(a.doubleValue() + b.doubleValue());
    Variant ha, hb;
    const Variant& x = derefInto(a, ha);
    const Variant& y = derefInto(b, hb);
    if (x.isNull() || y.isNull())
        return Variant::null();
    if (x.isString() && (y.isString() || y.isEmpty()))
        return Variant::fromString(x.stringValue() + y.stringValue());
    if (x.isEmpty() && y.isString())
        return y;
    return arithmetic(Arith::Add, toNum(x), toNum(y));
}

Variant opSub(const Variant& a, const Variant& b)
{
    if (a.type() == VarType::Double && b.type() == VarType::Double)
        return doubleResult(a.doubleValue() - b.doubleValue());
    Variant ha, hb;
    const Variant& x = derefInto(a, ha);
    const Variant& y = derefInto(b, hb);
    if (x.isNull() || y.isNull())
        return Variant::null();
    return arithmetic(Arith::Sub, toNum(x), toNum(y));
}

Variant opMul(const Variant& a, const Variant& b)
{
    if (a.type() == VarType::Double && b.type() == VarType::Double)
        return doubleResult(a.doubleValue() * b.doubleValue());
    Variant ha, hb;
    const Variant& x = derefInto(a, ha);
    const Variant& y = derefInto(b, hb);
    if (x.isNull() || y.isNull())
        return Variant::null();
    return arithmetic(Arith::Mul, toNum(x), toNum(y));
}

Variant opDiv(const Variant& a, const Variant& b)
{
    Variant ha, hb;
    const Variant& x = derefInto(a, ha);
    const Variant& y = derefInto(b, hb);
    if (x.isNull() || y.isNull())
        return Variant::null();
    const Num p = toNum(x), q = toNum(y);
    const double divisor = asDouble(q);
    const double dividend = asDouble(p);
    if (divisor == 0)
        throwError(dividend == 0 ? err::Overflow : err::DivisionByZero);
    const double r = dividend / divisor;
    auto smallOrSingle = [](Kind k) {
        return k == Kind::Byte || k == Kind::Integer || k == Kind::Single;
    };
    if ((p.kind == Kind::Single || q.kind == Kind::Single) && smallOrSingle(p.kind) &&
        smallOrSingle(q.kind))
        return singleResult(r);
    auto wholeOrCurrency = [](Kind k) { return isWhole(k) || k == Kind::Currency; };
    if ((p.kind == Kind::Currency || q.kind == Kind::Currency) && wholeOrCurrency(p.kind) &&
        wholeOrCurrency(q.kind))
        return currencyResult(r);
    return doubleResult(r);
}

namespace {

// Operand of \ and Mod: a whole number, Long unless it already is Byte or Integer.
Num wholeOperand(const Variant& v)
{
    Num n = toNum(v);
    if (isWhole(n.kind))
        return n;
    return {Kind::Long, toLong(v.isString() ? Variant::fromDouble(n.d) : v), 0};
}

} // namespace

Variant opIntDiv(const Variant& a, const Variant& b)
{
    Variant ha, hb;
    const Variant& x = derefInto(a, ha);
    const Variant& y = derefInto(b, hb);
    if (x.isNull() || y.isNull())
        return Variant::null();
    const Num p = wholeOperand(x), q = wholeOperand(y);
    if (q.i == 0)
        throwError(err::DivisionByZero);
    return wholeResult(std::max(p.kind, q.kind), p.i / q.i);
}

Variant opMod(const Variant& a, const Variant& b)
{
    Variant ha, hb;
    const Variant& x = derefInto(a, ha);
    const Variant& y = derefInto(b, hb);
    if (x.isNull() || y.isNull())
        return Variant::null();
    const Num p = wholeOperand(x), q = wholeOperand(y);
    if (q.i == 0)
        throwError(err::DivisionByZero);
    return wholeResult(std::max(p.kind, q.kind), p.i % q.i);
}

Variant opPow(const Variant& a, const Variant& b)
{
    Variant ha, hb;
    const Variant& x = derefInto(a, ha);
    const Variant& y = derefInto(b, hb);
    if (x.isNull() || y.isNull())
        return Variant::null();
    const double base = toDouble(x), exponent = toDouble(y);
    if (base == 0 && exponent < 0)
        throwError(err::DivisionByZero);
    const double r = std::pow(base, exponent);
    if (std::isnan(r))
        throwError(err::InvalidProcedureCall);
    return doubleResult(r);
}

Variant opConcat(const Variant& a, const Variant& b)
{
    if (a.isNull() && b.isNull())
        return Variant::null();
    if (a.isString() && b.isString())
        return Variant::fromString(a.stringValue() + b.stringValue());
    std::u16string s = a.isNull() ? std::u16string() : toString(a);
    if (!b.isNull())
        s += toString(b);
    return Variant::fromString(std::move(s));
}

Variant opNeg(const Variant& a)
{
    Variant h;
    const Variant& x = derefInto(a, h);
    switch (x.type()) {
    case VarType::Null:
        return Variant::null();
    case VarType::Empty:
        return Variant::fromInteger(0);
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long: {
        const Num n = toNum(x);
        return wholeResult(n.kind == Kind::Byte ? Kind::Integer : n.kind, -n.i);
    }
    case VarType::Single:
        return Variant::fromSingle(-x.singleValue());
    case VarType::Currency:
        if (x.currencyRaw() == std::numeric_limits<std::int64_t>::min())
            throwError(err::Overflow);
        return Variant::fromCurrencyRaw(-x.currencyRaw());
    case VarType::Date:
        return dateResult(-x.dateValue());
    default:
        return doubleResult(-toDouble(x));
    }
}

Variant opNot(const Variant& a)
{
    const Logic l = toLogic(a);
    if (l.null)
        return Variant::null();
    return logicResult(l, l.kind == Kind::Byte ? (~l.v & 0xFF) : ~l.v);
}

Variant opAnd(const Variant& a, const Variant& b)
{
    return logical(LogicOp::And, a, b);
}
Variant opOr(const Variant& a, const Variant& b)
{
    return logical(LogicOp::Or, a, b);
}
Variant opXor(const Variant& a, const Variant& b)
{
    return logical(LogicOp::Xor, a, b);
}
Variant opEqv(const Variant& a, const Variant& b)
{
    return logical(LogicOp::Eqv, a, b);
}
Variant opImp(const Variant& a, const Variant& b)
{
    return logical(LogicOp::Imp, a, b);
}

Variant opIs(const Variant& a, const Variant& b)
{
    if (!a.isObject() || !b.isObject())
        throwError(err::ObjectRequired);
    return Variant::fromBool(a.objectValue() == b.objectValue());
}

CompareResult compare(const Variant& a, const Variant& b, CompareMode mode, bool aLiteral,
                      bool bLiteral)
{
    double p = 0, q = 0;
    if (plainNumber(a, p) && plainNumber(b, q))
        return p < q ? CompareResult::Less
                     : (p > q ? CompareResult::Greater : CompareResult::Equal);
    Variant ha, hb;
    const Variant& x = derefInto(a, ha);
    const Variant& y = derefInto(b, hb);
    if (x.isNull() || y.isNull())
        return CompareResult::Null;
    auto result = [](int c) { return static_cast<CompareResult>(c < 0 ? -1 : (c > 0 ? 1 : 0)); };
    for (const Variant* v : {&x, &y})
        if (v->isArray() || v->type() == VarType::Error)
            throwError(err::TypeMismatch);

    if (x.isEmpty() && y.isEmpty())
        return CompareResult::Equal;
    if (x.isString() && y.isString())
        return result(compareStrings(x.stringValue(), y.stringValue(), mode));
    if (x.isEmpty() || y.isEmpty()) {
        const Variant& other = x.isEmpty() ? y : x;
        int c = other.isString() ? compareStrings(u"", other.stringValue(), mode)
                                 : compareNumbers(Variant::fromInteger(0), other);
        return result(x.isEmpty() ? c : -c);
    }
    if (isNumericForCompare(x) && isNumericForCompare(y))
        return result(compareNumbers(x, y));

    // A number against a string. Written as a literal, the string is read as the number's
    // type; held in variables, any number is less than any string.
    const bool stringFirst = x.isString();
    const Variant& str = stringFirst ? x : y;
    const Variant& num = stringFirst ? y : x;
    if (aLiteral || bLiteral) {
        if (const auto converted = literalAs(str, num)) {
            const int c = compareNumbers(num, *converted);
            return result(stringFirst ? -c : c);
        }
    }
    return stringFirst ? CompareResult::Greater : CompareResult::Less;
}

Variant opCompare(BinaryOp op, const Variant& a, const Variant& b, CompareMode mode, bool aLiteral,
                  bool bLiteral)
{
    const CompareResult c = compare(a, b, mode, aLiteral, bLiteral);
    if (c == CompareResult::Null)
        return Variant::null();
    const int v = static_cast<int>(c);
    switch (op) {
    case BinaryOp::Eq:
        return Variant::fromBool(v == 0);
    case BinaryOp::Ne:
        return Variant::fromBool(v != 0);
    case BinaryOp::Lt:
        return Variant::fromBool(v < 0);
    case BinaryOp::Gt:
        return Variant::fromBool(v > 0);
    case BinaryOp::Le:
        return Variant::fromBool(v <= 0);
    case BinaryOp::Ge:
        return Variant::fromBool(v >= 0);
    default:
        throwError(err::InternalError);
    }
}

Variant binaryOp(BinaryOp op, const Variant& a, const Variant& b)
{
    switch (op) {
    case BinaryOp::Add:
        return opAdd(a, b);
    case BinaryOp::Sub:
        return opSub(a, b);
    case BinaryOp::Mul:
        return opMul(a, b);
    case BinaryOp::Div:
        return opDiv(a, b);
    case BinaryOp::IntDiv:
        return opIntDiv(a, b);
    case BinaryOp::Mod:
        return opMod(a, b);
    case BinaryOp::Pow:
        return opPow(a, b);
    case BinaryOp::Concat:
        return opConcat(a, b);
    case BinaryOp::And:
        return opAnd(a, b);
    case BinaryOp::Or:
        return opOr(a, b);
    case BinaryOp::Xor:
        return opXor(a, b);
    case BinaryOp::Eqv:
        return opEqv(a, b);
    case BinaryOp::Imp:
        return opImp(a, b);
    case BinaryOp::Is:
        return opIs(a, b);
    default:
        return opCompare(op, a, b);
    }
}

} // namespace orvane::script
