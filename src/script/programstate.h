#pragma once

#include "script/ast.h"

#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace orvane::script {

class HostObject;

// Everything an engine has loaded: global variables and constants, procedures, and the host
// object whose functions are global names. Names are keyed upper-cased.
struct ProgramState
{
    std::deque<Variant> globals; // a deque: ByRef arguments keep pointers into it
    std::vector<std::string> globalNames;
    std::unordered_map<std::string, int> globalIndex;
    std::unordered_map<std::string, Variant> constants;
    std::unordered_map<std::string, Procedure*> procedures;
    std::vector<std::unique_ptr<Procedure>> ownedProcedures;
    bool optionExplicit = false;
    HostObject* host = nullptr;

    int addGlobal(const std::string& upper)
    {
        const auto it = globalIndex.find(upper);
        if (it != globalIndex.end())
            return it->second;
        const int index = static_cast<int>(globals.size());
        globals.emplace_back();
        globalNames.push_back(upper);
        globalIndex.emplace(upper, index);
        return index;
    }
};

} // namespace orvane::script
