#pragma once

#include <string>

namespace orvane::script {

class ScriptEngine;

// Replaces every "{$" expression "$}" part of a text by the expression's value, innermost
// first: take the first "$}", the last "{$" before it; evaluate the text between (with "&nbsp;"
// removed and blanks trimmed); replace every occurrence of that whole part by the value's text
// (by the expression itself when the value is Empty or Null) and start again. A failing
// evaluation stops with false; replacements made so far stay in the text.
bool expandExpressions(std::string& text, ScriptEngine& engine);

} // namespace orvane::script
