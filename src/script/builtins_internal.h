#pragma once

// Shared helpers of the built-in function files; not part of the module's interface.

#include "script/builtins.h"
#include "script/conversions.h"
#include "script/scripterror.h"

#include <span>
#include <string>

namespace orvane::script::detail {

using Args = std::span<const Variant>;

// True when argument i was passed and not left out.
inline bool has(Args args, std::size_t i)
{
    return i < args.size() && !isMissing(args[i]);
}

// Optional whole-number argument with its default.
inline std::int32_t longArg(Args args, std::size_t i, std::int32_t fallback)
{
    if (!has(args, i))
        return fallback;
    if (args[i].isNull())
        throwError(err::InvalidUseOfNull);
    return toLong(args[i]);
}

// Compare-mode argument: 0 binary, 1 text; anything else is an invalid argument.
inline CompareMode compareArg(Args args, std::size_t i)
{
    const std::int32_t mode = longArg(args, i, 0);
    if (mode != 0 && mode != 1)
        throwError(err::InvalidProcedureCall);
    return static_cast<CompareMode>(mode);
}

// Text of a value; Null raises Invalid use of Null.
inline std::u16string text(const Variant& v)
{
    return v.isString() ? v.stringValue() : toString(v);
}

// Finds needle in hay from index `from` (0-based); npos when not found.
std::size_t findText(std::u16string_view hay, std::u16string_view needle, std::size_t from,
                     CompareMode mode);

// |x| with exactly `decimals` places ("1234.50"), rounded on its 15 significant digits half to
// even or half away from zero; `negative` tells the sign of the rounded value.
std::string toFixed(double x, int decimals, bool halfEven, bool& negative);

// The tables of each area, merged by the registry.
std::span<const BuiltinInfo> mathBuiltins();
std::span<const BuiltinInfo> stringBuiltins();
std::span<const BuiltinInfo> dateBuiltins();
std::span<const BuiltinInfo> formatBuiltins();

// Day of week of a Date value, 1 = Sunday .. 7 = Saturday.
int weekdayOf(double date);
// First day of the week argument: 1..7, 0 meaning the regional setting (Monday).
int firstDayArg(Args args, std::size_t i);

} // namespace orvane::script::detail
