#include "script/variant.h"

#include "script/scripterror.h"

#include <algorithm>
#include <new>

namespace orvane::script {

struct StringData
{
    std::atomic<int> refs{1};
    std::u16string text;
};

struct ArrayData
{
    std::atomic<int> refs{1};
    std::vector<ArrayBound> bounds;
    std::vector<Variant> elements;
};

namespace {

const std::u16string kEmptyString;

void retain(StringData* s) noexcept
{
    if (s)
        s->refs.fetch_add(1, std::memory_order_relaxed);
}
void releaseString(StringData* s) noexcept
{
    if (s && s->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete s;
}
void releaseArray(ArrayData* a) noexcept
{
    if (a && a->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete a;
}

std::size_t elementCount(std::span<const ArrayBound> bounds)
{
    std::size_t n = 1;
    for (const ArrayBound& b : bounds) {
        if (b.count < 0)
            throwError(err::SubscriptOutOfRange);
        n *= static_cast<std::size_t>(b.count);
        if (n > (std::size_t(1) << 28))
            throwError(err::OutOfMemory);
    }
    return bounds.empty() ? 0 : n;
}

} // namespace

Object::~Object() = default;

std::u16string Object::typeName() const
{
    return u"Object";
}

bool Object::defaultValue(Variant&) const
{
    return false;
}

Variant::Variant(const Variant& o) noexcept : type_(o.type_), u_(o.u_)
{
    if (type_ == VarType::String)
        retain(u_.str);
    else if (type_ == VarType::Object && u_.obj)
        u_.obj->addRef();
    else if (type_ == VarType::Array)
        u_.arr->refs.fetch_add(1, std::memory_order_relaxed);
}

Variant& Variant::operator=(const Variant& o) noexcept
{
    if (this != &o) {
        Variant copy(o);
        *this = std::move(copy);
    }
    return *this;
}

Variant& Variant::operator=(Variant&& o) noexcept
{
    if (this != &o) {
        clearHeap();
        type_ = o.type_;
        u_ = o.u_;
        o.type_ = VarType::Empty;
    }
    return *this;
}

void Variant::clearHeap() noexcept
{
    switch (type_) {
    case VarType::String:
        releaseString(u_.str);
        break;
    case VarType::Object:
        if (u_.obj)
            u_.obj->release();
        break;
    case VarType::Array:
        releaseArray(u_.arr);
        break;
    default:
        break;
    }
    type_ = VarType::Empty;
}

Variant Variant::fromBool(bool v) noexcept
{
    Variant r(VarType::Boolean);
    r.u_.b = v;
    return r;
}
Variant Variant::fromByte(std::uint8_t v) noexcept
{
    Variant r(VarType::Byte);
    r.u_.u8 = v;
    return r;
}
Variant Variant::fromInteger(std::int16_t v) noexcept
{
    Variant r(VarType::Integer);
    r.u_.i16 = v;
    return r;
}
Variant Variant::fromLong(std::int32_t v) noexcept
{
    Variant r(VarType::Long);
    r.u_.i32 = v;
    return r;
}
Variant Variant::fromSingle(float v) noexcept
{
    Variant r(VarType::Single);
    r.u_.f = v;
    return r;
}
Variant Variant::fromDouble(double v) noexcept
{
    Variant r(VarType::Double);
    r.u_.d = v;
    return r;
}
Variant Variant::fromCurrencyRaw(std::int64_t scaled) noexcept
{
    Variant r(VarType::Currency);
    r.u_.i64 = scaled;
    return r;
}
Variant Variant::fromDate(double v) noexcept
{
    Variant r(VarType::Date);
    r.u_.d = v;
    return r;
}
Variant Variant::fromString(std::u16string s)
{
    Variant r(VarType::String);
    r.u_.str = s.empty() ? nullptr : new StringData{{1}, std::move(s)};
    return r;
}
Variant Variant::fromUtf8(std::string_view s)
{
    return fromString(script::fromUtf8(s));
}
Variant Variant::fromObject(ObjectRef object) noexcept
{
    Variant r(VarType::Object);
    r.u_.obj = object.get();
    if (r.u_.obj)
        r.u_.obj->addRef();
    return r;
}
Variant Variant::fromError(std::int32_t code) noexcept
{
    Variant r(VarType::Error);
    r.u_.i32 = code;
    return r;
}

Variant Variant::makeArray(std::span<const ArrayBound> bounds)
{
    if (bounds.empty() || bounds.size() > 60)
        throwError(err::SubscriptOutOfRange);
    const std::size_t n = elementCount(bounds);
    auto* data = new ArrayData;
    data->bounds.assign(bounds.begin(), bounds.end());
    try {
        data->elements.resize(n);
    } catch (const std::bad_alloc&) {
        delete data;
        throwError(err::OutOfMemory);
    }
    Variant r(VarType::Array);
    r.u_.arr = data;
    return r;
}

Variant Variant::makeArray(std::vector<Variant> values)
{
    auto* data = new ArrayData;
    data->bounds.push_back({0, static_cast<std::int32_t>(values.size())});
    data->elements = std::move(values);
    Variant r(VarType::Array);
    r.u_.arr = data;
    return r;
}

int Variant::varTypeCode() const noexcept
{
    if (type_ == VarType::Array)
        return static_cast<int>(VarType::Array) + static_cast<int>(VarType::Variant);
    return static_cast<int>(type_);
}

bool Variant::isNumberType() const noexcept
{
    switch (type_) {
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
        return true;
    default:
        return false;
    }
}

const std::u16string& Variant::stringValue() const noexcept
{
    return (type_ == VarType::String && u_.str) ? u_.str->text : kEmptyString;
}

std::string Variant::utf8() const
{
    return toUtf8(stringValue());
}

ArrayData& Variant::arrayData() const
{
    if (type_ != VarType::Array)
        throwError(err::TypeMismatch);
    return *u_.arr;
}

ArrayData& Variant::arrayDataMut()
{
    ArrayData& a = arrayData();
    if (a.refs.load(std::memory_order_acquire) != 1) {
        auto* copy = new ArrayData;
        copy->bounds = a.bounds;
        copy->elements = a.elements;
        releaseArray(u_.arr);
        u_.arr = copy;
    }
    return *u_.arr;
}

int Variant::arrayDims() const
{
    return static_cast<int>(arrayData().bounds.size());
}

ArrayBound Variant::arrayBound(int dimension) const
{
    const ArrayData& a = arrayData();
    if (dimension < 1 || dimension > static_cast<int>(a.bounds.size()))
        throwError(err::SubscriptOutOfRange);
    return a.bounds[static_cast<std::size_t>(dimension - 1)];
}

std::size_t Variant::arraySize() const
{
    return arrayData().elements.size();
}

namespace {
std::size_t flatIndex(const ArrayData& a, std::span<const std::int32_t> indexes)
{
    if (indexes.size() != a.bounds.size())
        throwError(err::SubscriptOutOfRange);
    std::size_t flat = 0;
    std::size_t stride = 1;
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        const ArrayBound& b = a.bounds[i];
        const std::int64_t off = std::int64_t(indexes[i]) - b.lower;
        if (off < 0 || off >= b.count)
            throwError(err::SubscriptOutOfRange);
        flat += static_cast<std::size_t>(off) * stride;
        stride *= static_cast<std::size_t>(b.count);
    }
    return flat;
}
} // namespace

const Variant& Variant::arrayAt(std::span<const std::int32_t> indexes) const
{
    const ArrayData& a = arrayData();
    return a.elements[flatIndex(a, indexes)];
}

Variant& Variant::arrayAtMut(std::span<const std::int32_t> indexes)
{
    // Check the index before unsharing so a bad subscript costs nothing.
    const std::size_t flat = flatIndex(arrayData(), indexes);
    return arrayDataMut().elements[flat];
}

std::span<const Variant> Variant::arrayElements() const
{
    return arrayData().elements;
}

std::span<Variant> Variant::arrayElementsMut()
{
    return arrayDataMut().elements;
}

void Variant::redim(std::span<const ArrayBound> bounds, bool preserve)
{
    if (bounds.empty() || bounds.size() > 60)
        throwError(err::SubscriptOutOfRange);
    if (!preserve || type_ != VarType::Array) {
        *this = makeArray(bounds);
        return;
    }
    const ArrayData& old = arrayData();
    if (old.bounds.size() != bounds.size())
        throwError(err::SubscriptOutOfRange);
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        if (old.bounds[i].lower != bounds[i].lower || old.bounds[i].count != bounds[i].count)
            throwError(err::SubscriptOutOfRange);
    }
    // Only the last dimension changes: storage order keeps whole slices of it contiguous.
    const std::size_t n = elementCount(bounds);
    std::vector<Variant> elements;
    elements.reserve(n);
    const std::size_t keep = std::min(n, old.elements.size());
    elements.assign(old.elements.begin(), old.elements.begin() + static_cast<long>(keep));
    elements.resize(n);
    auto* data = new ArrayData;
    data->bounds.assign(bounds.begin(), bounds.end());
    data->elements = std::move(elements);
    clearHeap();
    type_ = VarType::Array;
    u_.arr = data;
}

std::string toUtf8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string fromUtf8(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        char32_t c = 0xFFFD;
        std::size_t len = 1;
        int extra = 0;
        char32_t minimum = 0;
        if (b0 < 0x80) {
            c = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            c = b0 & 0x1F;
            extra = 1;
            minimum = 0x80;
        } else if ((b0 & 0xF0) == 0xE0) {
            c = b0 & 0x0F;
            extra = 2;
            minimum = 0x800;
        } else if ((b0 & 0xF8) == 0xF0) {
            c = b0 & 0x07;
            extra = 3;
            minimum = 0x10000;
        } else {
            extra = -1;
        }
        if (extra > 0) {
            bool ok = i + static_cast<std::size_t>(extra) < s.size();
            for (int k = 1; ok && k <= extra; ++k) {
                const auto bk = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
                if ((bk & 0xC0) != 0x80)
                    ok = false;
                else
                    c = (c << 6) | (bk & 0x3F);
            }
            if (ok && c >= minimum && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF))
                len = static_cast<std::size_t>(extra) + 1;
            else
                c = 0xFFFD;
        } else if (extra < 0) {
            c = 0xFFFD;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += len;
    }
    return out;
}

std::u16string typeName(const Variant& v)
{
    switch (v.type()) {
    case VarType::Empty:
        return u"Empty";
    case VarType::Null:
        return u"Null";
    case VarType::Integer:
        return u"Integer";
    case VarType::Long:
        return u"Long";
    case VarType::Single:
        return u"Single";
    case VarType::Double:
        return u"Double";
    case VarType::Currency:
        return u"Currency";
    case VarType::Date:
        return u"Date";
    case VarType::String:
        return u"String";
    case VarType::Object:
        return v.objectValue() ? v.objectValue()->typeName() : u"Nothing";
    case VarType::Error:
        return u"Error";
    case VarType::Boolean:
        return u"Boolean";
    case VarType::Byte:
        return u"Byte";
    case VarType::Array:
        return u"Variant()";
    default:
        return u"Unknown";
    }
}

} // namespace orvane::script
