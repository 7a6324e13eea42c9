#pragma once

#include "script/conversions.h"
#include "script/scriptengine.h"

#include <string>

namespace orvane::script::test {

// "value|TypeName" of an evaluation, or "error <number>" when it fails.
inline std::string show(ScriptEngine& engine, const std::string& expression)
{
    Variant v;
    if (!engine.evaluate(expression, v))
        return "error " + std::to_string(engine.lastError().number);
    std::string text;
    try {
        text = toUtf8(toString(v));
    } catch (...) {
        text = "?";
    }
    return text + "|" + toUtf8(typeName(v));
}

} // namespace orvane::script::test
