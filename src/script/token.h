#pragma once

#include <cstdint>
#include <string>

namespace orvane::script {

enum class TokenKind {
    EndOfInput,
    EndOfStatement, // line break or ':'
    Identifier,
    Keyword,
    Integer,     // fits in 16 bits (Integer) or 32 bits (Long); see longLiteral
    Double,
    String,
    Date,        // text between '#' marks
    Placeholder, // {NAME} in a compiled formula
    Operator,
};

enum class Keyword {
    None,
    And, ByRef, ByVal, Call, Case, Const, Dim, Do, Each, Else, ElseIf, Empty, End, Eqv, Error,
    Exit, Explicit, False, For, Function, Goto, If, Imp, In, Is, Loop, Mod, Next, Not, Nothing,
    Null, On, Option, Or, Preserve, Private, Public, ReDim, Resume, Select, Set, Step, Sub, Then,
    To, True, Until, Wend, While, Xor,
};

struct Token
{
    TokenKind kind = TokenKind::EndOfInput;
    Keyword keyword = Keyword::None;
    std::string text; // identifier as written, string contents, operator, date text
    double number = 0;
    int64_t integer = 0;
    bool longLiteral = false; // integer literal that needs 32 bits (or has a '&' suffix)
    int line = 1;
    bool spaceBefore = false; // white space precedes the token (matters for "a.b" vs "a .b")
};

} // namespace orvane::script
