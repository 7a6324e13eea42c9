#pragma once

#include "script/ast.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::script {

// A wage formula in executable form ("{JBGZ}*0.08+IIf({GL}>10,200,100)") compiled once by a
// ScriptEngine. Each "{NAME}" is a slot; bind a person's values, then evaluate. The result is the
// one the engine gives for the text with every placeholder replaced by the value's literal
// (texts and dates in double quotes, other values as their text).
class Formula
{
public:
    Formula() = default;
    Formula(Formula&&) noexcept = default;
    Formula& operator=(Formula&&) noexcept = default;

    const std::string& text() const { return m_text; }
    // Placeholder names in order of first appearance.
    const std::vector<std::string>& names() const { return m_names; }
    // Slot of a name (any case), or -1.
    int slot(std::string_view name) const;
    // Binds a value as the text substitution would write it. A Null (or Empty) value makes the
    // evaluation fail with "Invalid use of Null", as a value without text form stops it.
    void bind(int slot, const Variant& value);
    void bind(std::string_view name, const Variant& value);

    // The value as the substituted formula text reads it back: "5" is an Integer, 1.5 a Double,
    // a date becomes its text, a Boolean stays Boolean.
    static Variant literalOf(const Variant& value);
    // The literal text for a value: texts and dates in double quotes, others as CStr writes
    // them. False for Null and values without a text form.
    static bool literalText(const Variant& value, std::string& out);
    // Replaces every "{NAME}" of a formula (first '}', last '{' before it) by the literal text
    // of values[i] where names[i] matches NAME (any case). False when a name has no value or
    // its value has no text form.
    static bool substitute(std::string_view text, const std::vector<std::string>& names,
                           const std::vector<Variant>& values, std::string& out);

private:
    friend class ScriptEngine;
    std::string m_text;
    ExprPtr m_expr;
    std::vector<std::string> m_names;
    std::vector<Variant> m_values;
    uint64_t m_generation = 0;
    bool m_bySubstitution = false; // placeholders inside string literals: substitute the text
};

} // namespace orvane::script
