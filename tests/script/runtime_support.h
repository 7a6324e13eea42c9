#pragma once

#include "script/builtins.h"
#include "script/conversions.h"
#include "script/scripterror.h"
#include "script/variant.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane::script::test {

inline Variant S(std::u16string_view s)
{
    return Variant::fromString(s);
}
inline Variant I(int v)
{
    return Variant::fromInteger(static_cast<std::int16_t>(v));
}
inline Variant L(std::int32_t v)
{
    return Variant::fromLong(v);
}
inline Variant D(double v)
{
    return Variant::fromDouble(v);
}
inline Variant B(bool v)
{
    return Variant::fromBool(v);
}

// CStr of a value as UTF-8, "Null" for Null.
inline std::string show(const Variant& v)
{
    return v.isNull() ? std::string("Null") : toUtf8(toString(v));
}

inline std::string type(const Variant& v)
{
    return toUtf8(typeName(v));
}

// Calls a built-in by name as the engine does, checking the argument count.
inline Variant call(std::string_view name, std::vector<Variant> args = {})
{
    const BuiltinInfo* info = findBuiltin(name);
    if (!info)
        throw ScriptException(err::SubOrFunctionNotDefined);
    if (static_cast<int>(args.size()) < info->minArgs ||
        static_cast<int>(args.size()) > info->maxArgs)
        throw ScriptException(err::WrongNumberOfArguments);
    return info->fn(args);
}

// The error number an operation raises, 0 when it succeeds.
template <typename F> int errorOf(F&& f)
{
    try {
        f();
    } catch (const ScriptException& e) {
        return e.number();
    }
    return 0;
}

} // namespace orvane::script::test
