#include "script/expressionexpander.h"

#include "script/conversions.h"
#include "script/scriptengine.h"

namespace orvane::script {

namespace {

void replaceAll(std::string& text, const std::string& what, const std::string& with)
{
    if (what.empty())
        return;
    size_t pos = 0;
    while ((pos = text.find(what, pos)) != std::string::npos) {
        text.replace(pos, what.size(), with);
        pos += with.size();
    }
}

std::string trimmed(const std::string& s)
{
    const char* blanks = " \t\r\n\v\f";
    const size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    const size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

} // namespace

bool expandExpressions(std::string& text, ScriptEngine& engine)
{
    // A value may itself contain markers; a text that keeps producing new ones is refused.
    constexpr int kMaxExpansions = 100000;
    for (int round = 0;; ++round) {
        if (round == kMaxExpansions)
            return false;
        const size_t close = text.find("$}");
        if (close == std::string::npos)
            return true;
        // The opening marker must begin before the closing one ("{$}" does not count).
        if (close == 0)
            return true;
        const size_t open = text.rfind("{$", close - 1);
        if (open == std::string::npos || open + 2 > close)
            return true;
        const std::string token = text.substr(open, close + 2 - open);
        std::string expression = text.substr(open + 2, close - open - 2);
        replaceAll(expression, "&nbsp;", "");
        expression = trimmed(expression);

        Variant value;
        if (!engine.evaluate(expression, value))
            return false;
        std::string replacement;
        if (value.isEmpty() || value.isNull()) {
            replacement = expression;
        } else {
            try {
                replacement = toUtf8(toString(value));
            } catch (const std::exception&) {
                replacement.clear(); // no text form (an array, an object without a value)
            }
        }
        replaceAll(text, token, replacement);
    }
}

} // namespace orvane::script
