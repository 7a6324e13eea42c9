#pragma once

#include "script/variant.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::script {

// The object a host exposes to its scripts: its functions are global names, matched without
// regard to case. Each function declares how many arguments it takes; a call with too few
// raises "Invalid procedure call or argument" (5), with too many "Wrong number of arguments"
// (450). Functions raise script errors by throwing ScriptException.
class HostObject
{
public:
    using Function = std::function<Variant(std::span<const Variant> args)>;

    // Adds or replaces a function.
    void addFunction(std::string_view name, int minArgs, int maxArgs, Function fn);
    // Index of a function (name in any case), or -1.
    int find(std::string_view name) const;
    const std::string& name(int index) const { return m_functions[index].name; }
    Variant call(int index, std::span<const Variant> args) const;
    size_t size() const { return m_functions.size(); }

private:
    struct Entry
    {
        std::string name; // upper case
        int minArgs = 0;
        int maxArgs = 0;
        Function fn;
    };
    std::vector<Entry> m_functions;
};

} // namespace orvane::script
