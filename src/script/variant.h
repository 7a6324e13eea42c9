#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Script values. Strings are UTF-16 (std::u16string) as the script language counts them: Len and
// Mid work in UTF-16 code units. Use toUtf8()/fromUtf8() at the boundary to the rest of the
// program.

namespace orvane::script {

// VarType codes.
enum class VarType : std::uint16_t {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Object = 9,
    Error = 10,
    Boolean = 11,
    Variant = 12,
    Byte = 17,
    Array = 8192,
};

class Variant;

// Base of every object a script can hold (host objects, class instances). Reference counted;
// hold it through ObjectRef. A null ObjectRef in an Object variant is Nothing.
class Object
{
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object();

    // The class name TypeName reports.
    virtual std::u16string typeName() const;
    // The default property's value, used where a plain value is needed; false when the object
    // has none (the caller raises "Object doesn't support this property or method").
    virtual bool defaultValue(Variant& out) const;

    void addRef() const noexcept { refs_.fetch_add(1, std::memory_order_relaxed); }
    void release() const noexcept
    {
        if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }

private:
    mutable std::atomic<int> refs_{0};
};

// Intrusive owning pointer to an Object.
class ObjectRef
{
public:
    ObjectRef() noexcept = default;
    ObjectRef(Object* object) noexcept : p_(object)
    {
        if (p_)
            p_->addRef();
    }
    ObjectRef(const ObjectRef& o) noexcept : ObjectRef(o.p_) {}
    ObjectRef(ObjectRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ObjectRef& operator=(ObjectRef o) noexcept
    {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ObjectRef()
    {
        if (p_)
            p_->release();
    }
    Object* get() const noexcept { return p_; }
    Object* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

private:
    Object* p_ = nullptr;
};

// Bounds of one array dimension.
struct ArrayBound
{
    std::int32_t lower = 0;
    std::int32_t count = 0; // number of elements; upper = lower + count - 1
};

struct StringData;
struct ArrayData;

// A script value. 16 bytes; numbers need no allocation. Strings and arrays are shared,
// immutable once shared: assigning an array copies it as far as the script can see (copy on
// write). Objects are shared by reference.
class Variant
{
public:
    Variant() noexcept : type_(VarType::Empty) { u_.i64 = 0; }
    Variant(const Variant& o) noexcept;
    Variant(Variant&& o) noexcept : type_(o.type_), u_(o.u_) { o.type_ = VarType::Empty; }
    Variant& operator=(const Variant& o) noexcept;
    Variant& operator=(Variant&& o) noexcept;
    ~Variant()
    {
        if (type_ == VarType::String || type_ == VarType::Object || type_ == VarType::Array)
            clearHeap();
    }

    // Factories. No implicit conversions: a literal's type must be chosen explicitly.
    static Variant empty() noexcept { return {}; }
    static Variant null() noexcept { return Variant(VarType::Null); }
    static Variant fromBool(bool v) noexcept;
    static Variant fromByte(std::uint8_t v) noexcept;
    static Variant fromInteger(std::int16_t v) noexcept;
    static Variant fromLong(std::int32_t v) noexcept;
    static Variant fromSingle(float v) noexcept;
    static Variant fromDouble(double v) noexcept;
    // Currency in units of 1/10000.
    static Variant fromCurrencyRaw(std::int64_t scaled) noexcept;
    // Date: days since 1899-12-30, the fraction is the time of day.
    static Variant fromDate(double v) noexcept;
    static Variant fromString(std::u16string s);
    static Variant fromString(std::u16string_view s) { return fromString(std::u16string(s)); }
    static Variant fromString(const char16_t* s) { return fromString(std::u16string(s)); }
    static Variant fromUtf8(std::string_view s);
    static Variant fromObject(ObjectRef object) noexcept;
    static Variant nothing() noexcept { return fromObject(ObjectRef()); }
    static Variant fromError(std::int32_t code) noexcept;
    // A new array with the given dimensions, all elements Empty. Throws error 9 for a negative
    // count other than an empty (upper bound -1) dimension.
    static Variant makeArray(std::span<const ArrayBound> bounds);
    // One-dimensional array 0..n-1 holding the values.
    static Variant makeArray(std::vector<Variant> values);

    VarType type() const noexcept { return type_; }
    // VarType code as the VarType function reports it (arrays: 8192 + 12).
    int varTypeCode() const noexcept;
    bool isEmpty() const noexcept { return type_ == VarType::Empty; }
    bool isNull() const noexcept { return type_ == VarType::Null; }
    bool isString() const noexcept { return type_ == VarType::String; }
    bool isObject() const noexcept { return type_ == VarType::Object; }
    bool isNothing() const noexcept { return type_ == VarType::Object && u_.obj == nullptr; }
    bool isArray() const noexcept { return type_ == VarType::Array; }
    // Byte, Integer, Long, Single, Double, Currency (not Boolean, not Date).
    bool isNumberType() const noexcept;

    // Raw access; valid only for the matching type.
    bool boolValue() const noexcept { return u_.b; }
    std::uint8_t byteValue() const noexcept { return u_.u8; }
    std::int16_t integerValue() const noexcept { return u_.i16; }
    std::int32_t longValue() const noexcept { return u_.i32; }
    float singleValue() const noexcept { return u_.f; }
    double doubleValue() const noexcept { return u_.d; }
    std::int64_t currencyRaw() const noexcept { return u_.i64; }
    double dateValue() const noexcept { return u_.d; }
    std::int32_t errorValue() const noexcept { return u_.i32; }
    const std::u16string& stringValue() const noexcept; // "" for non-strings too
    Object* objectValue() const noexcept { return type_ == VarType::Object ? u_.obj : nullptr; }

    // Arrays. Indexes are checked (error 9); a non-array gives error 13.
    int arrayDims() const;
    ArrayBound arrayBound(int dimension) const; // dimension 1-based
    std::size_t arraySize() const;
    const Variant& arrayAt(std::span<const std::int32_t> indexes) const;
    Variant& arrayAtMut(std::span<const std::int32_t> indexes); // unshares first
    // All elements in storage order (first index fastest), as For Each visits them.
    std::span<const Variant> arrayElements() const;
    std::span<Variant> arrayElementsMut(); // unshares first
    // ReDim: new bounds; with preserve only the last dimension may change and elements are kept.
    void redim(std::span<const ArrayBound> bounds, bool preserve);

    // UTF-8 rendering of strings only (other types: empty). For display use toString() in
    // conversions.h.
    std::string utf8() const;

private:
    explicit Variant(VarType t) noexcept : type_(t) { u_.i64 = 0; }
    void clearHeap() noexcept;
    ArrayData& arrayData() const;
    ArrayData& arrayDataMut();

    VarType type_;
    union {
        bool b;
        std::uint8_t u8;
        std::int16_t i16;
        std::int32_t i32;
        float f;
        double d;
        std::int64_t i64;
        StringData* str; // nullptr is ""
        Object* obj;     // nullptr is Nothing
        ArrayData* arr;
    } u_;
};

std::string toUtf8(std::u16string_view s);
// Invalid UTF-8 bytes become U+FFFD.
std::u16string fromUtf8(std::string_view s);

// TypeName text of a value ("Integer", "String", "Variant()", "Nothing", an object's class name).
std::u16string typeName(const Variant& v);

// ---------------------------------------------------------------------------------------------
// Operators. All follow the script language's rules for types, Null propagation and errors and
// throw ScriptException. Objects are replaced by their default value first (error 438 if none).

enum class BinaryOp {
    Add,
    Sub,
    Mul,
    Div,
    IntDiv,
    Mod,
    Pow,
    Concat,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    And,
    Or,
    Xor,
    Eqv,
    Imp,
    Is,
};

enum class CompareMode { Binary = 0, Text = 1 };

Variant opAdd(const Variant& a, const Variant& b);
Variant opSub(const Variant& a, const Variant& b);
Variant opMul(const Variant& a, const Variant& b);
Variant opDiv(const Variant& a, const Variant& b);
Variant opIntDiv(const Variant& a, const Variant& b);
Variant opMod(const Variant& a, const Variant& b);
Variant opPow(const Variant& a, const Variant& b);
Variant opConcat(const Variant& a, const Variant& b);
Variant opNeg(const Variant& a);
Variant opNot(const Variant& a);
Variant opAnd(const Variant& a, const Variant& b);
Variant opOr(const Variant& a, const Variant& b);
Variant opXor(const Variant& a, const Variant& b);
Variant opEqv(const Variant& a, const Variant& b);
Variant opImp(const Variant& a, const Variant& b);
// Is: both must be objects (or Nothing), error 424 otherwise.
Variant opIs(const Variant& a, const Variant& b);

// Comparison result: -1, 0, 1, or Null when either side is Null.
enum class CompareResult { Less = -1, Equal = 0, Greater = 1, Null = 2 };

// Compares as the comparison operators do. A value held in a variable and a value written as a
// literal in the source compare differently when one is a number and the other a string: pass
// aLiteral/bLiteral for operands that are literals (or constants).
CompareResult compare(const Variant& a, const Variant& b, CompareMode mode = CompareMode::Binary,
                      bool aLiteral = false, bool bLiteral = false);

// =, <>, <, >, <=, >=: Boolean, or Null when either side is Null.
Variant opCompare(BinaryOp op, const Variant& a, const Variant& b,
                  CompareMode mode = CompareMode::Binary, bool aLiteral = false,
                  bool bLiteral = false);

// Dispatch for any BinaryOp (comparisons with binary mode and no literals).
Variant binaryOp(BinaryOp op, const Variant& a, const Variant& b);

} // namespace orvane::script
