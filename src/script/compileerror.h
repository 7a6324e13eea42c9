#pragma once

#include <string>

namespace orvane::script {

// A compilation failure: VBScript's compile error number and the source line (1-based).
struct CompileError
{
    int number = 1002;
    int line = 1;
    std::string description() const;
};

// The standard text of a compile error number ("Syntax error" for 1002, ...).
std::string compileErrorText(int number);

} // namespace orvane::script
