#pragma once

#include "script/token.h"

#include <string_view>
#include <vector>

namespace orvane::script {

// Splits VBScript source into tokens. Names and keywords are case-insensitive; comments (' and
// Rem) are dropped; " _" at the end of a line joins it with the next. When placeholders are
// enabled, "{NAME}" becomes one Placeholder token (the formula form of a wage item reference).
class Lexer
{
public:
    explicit Lexer(std::string_view source, bool placeholders = false);

    // Throws CompileError on an invalid character, number or unterminated string.
    std::vector<Token> tokenize();

private:
    void skipBlanksAndContinuations(bool& sawSpace);
    Token lexNumber();
    Token lexHexOrOctal();
    Token lexString();
    Token lexDate();
    void skipToLineEnd();
    char peek(size_t ahead = 0) const;

    std::string_view m_src;
    size_t m_pos = 0;
    int m_line = 1;
    bool m_placeholders;
};

// Case-insensitive ASCII comparison of names.
bool namesEqual(std::string_view a, std::string_view b);
// Upper-cases ASCII letters.
std::string upperName(std::string_view name);

} // namespace orvane::script
