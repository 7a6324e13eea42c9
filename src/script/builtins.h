#pragma once

#include "script/variant.h"

#include <functional>
#include <span>
#include <string_view>

// The built-in function library: conversions, maths, strings, dates, formatting, arrays.

namespace orvane::script {

using BuiltinFn = Variant (*)(std::span<const Variant> args);

struct BuiltinInfo
{
    std::string_view name; // as written in the language's documentation, e.g. "InStrRev"
    int minArgs = 0;
    int maxArgs = 0;
    BuiltinFn fn = nullptr;
};

// Case-insensitive lookup; nullptr when there is no such function. The engine checks the
// argument count (error 450) before calling fn.
const BuiltinInfo* findBuiltin(std::string_view name);
std::span<const BuiltinInfo> allBuiltins();

// Named constants (vbCrLf, vbTextCompare, vbSunday, ...); nullptr when unknown.
const Variant* findBuiltinConstant(std::string_view name);

// An argument left out in a call ("Replace(a, b, c, , , 1)") is passed as this value.
inline constexpr std::int32_t kMissingArgument = -2147352572; // DISP_E_PARAMNOTFOUND
inline Variant missingArgument()
{
    return Variant::fromError(kMissingArgument);
}
inline bool isMissing(const Variant& v)
{
    return v.type() == VarType::Error && v.errorValue() == kMissingArgument;
}

// The clock Now, Date, Time and Timer read: returns local date and time as a Date value.
// Tests install a fixed clock; an empty function restores the system clock.
using Clock = std::function<double()>;
void setClock(Clock clock);
double currentDateTime();

} // namespace orvane::script
