#include "script/lexer.h"

#include "script/compileerror.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace orvane::script {

namespace {

struct KeywordName
{
    const char* name;
    Keyword keyword;
};

constexpr KeywordName kKeywords[] = {
    {"AND", Keyword::And},         {"BYREF", Keyword::ByRef},     {"BYVAL", Keyword::ByVal},
    {"CALL", Keyword::Call},       {"CASE", Keyword::Case},       {"CONST", Keyword::Const},
    {"DIM", Keyword::Dim},         {"DO", Keyword::Do},           {"EACH", Keyword::Each},
    {"ELSE", Keyword::Else},       {"ELSEIF", Keyword::ElseIf},   {"EMPTY", Keyword::Empty},
    {"END", Keyword::End},         {"EQV", Keyword::Eqv},         {"ERROR", Keyword::Error},
    {"EXIT", Keyword::Exit},       {"EXPLICIT", Keyword::Explicit}, {"FALSE", Keyword::False},
    {"FOR", Keyword::For},         {"FUNCTION", Keyword::Function}, {"GOTO", Keyword::Goto},
    {"IF", Keyword::If},           {"IMP", Keyword::Imp},         {"IN", Keyword::In},
    {"IS", Keyword::Is},           {"LOOP", Keyword::Loop},       {"MOD", Keyword::Mod},
    {"NEXT", Keyword::Next},       {"NOT", Keyword::Not},         {"NOTHING", Keyword::Nothing},
    {"NULL", Keyword::Null},       {"ON", Keyword::On},           {"OPTION", Keyword::Option},
    {"OR", Keyword::Or},           {"PRESERVE", Keyword::Preserve}, {"PRIVATE", Keyword::Private},
    {"PUBLIC", Keyword::Public},   {"REDIM", Keyword::ReDim},     {"RESUME", Keyword::Resume},
    {"SELECT", Keyword::Select},   {"SET", Keyword::Set},         {"STEP", Keyword::Step},
    {"SUB", Keyword::Sub},         {"THEN", Keyword::Then},       {"TO", Keyword::To},
    {"TRUE", Keyword::True},       {"UNTIL", Keyword::Until},     {"WEND", Keyword::Wend},
    {"WHILE", Keyword::While},     {"XOR", Keyword::Xor},
};

// Words that are keywords only in some places and otherwise ordinary names.
bool isContextualKeyword(Keyword k)
{
    return k == Keyword::Explicit || k == Keyword::Error || k == Keyword::Resume
        || k == Keyword::Preserve || k == Keyword::Step || k == Keyword::Goto;
}

Keyword keywordOf(std::string_view word)
{
    if (word.size() > 8)
        return Keyword::None;
    const std::string up = upperName(word);
    for (const auto& k : kKeywords) {
        if (up == k.name)
            return k.keyword;
    }
    return Keyword::None;
}

bool isNameStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool isNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

} // namespace

bool namesEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i]))
            != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string upperName(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

Lexer::Lexer(std::string_view source, bool placeholders)
    : m_src(source), m_placeholders(placeholders)
{
}

char Lexer::peek(size_t ahead) const
{
    return m_pos + ahead < m_src.size() ? m_src[m_pos + ahead] : '\0';
}

void Lexer::skipToLineEnd()
{
    while (m_pos < m_src.size() && m_src[m_pos] != '\n' && m_src[m_pos] != '\r')
        ++m_pos;
}

void Lexer::skipBlanksAndContinuations(bool& sawSpace)
{
    for (;;) {
        const char c = peek();
        if (c == ' ' || c == '\t' || c == '\v' || c == '\f') {
            ++m_pos;
            sawSpace = true;
            continue;
        }
        if (c == '_' && sawSpace) {
            // "_" at the end of a line (trailing blanks allowed) continues the statement.
            size_t p = m_pos + 1;
            while (p < m_src.size() && (m_src[p] == ' ' || m_src[p] == '\t'))
                ++p;
            if (p >= m_src.size() || m_src[p] == '\r' || m_src[p] == '\n') {
                m_pos = p;
                if (peek() == '\r')
                    ++m_pos;
                if (peek() == '\n')
                    ++m_pos;
                ++m_line;
                continue;
            }
        }
        return;
    }
}

std::vector<Token> Lexer::tokenize()
{
    std::vector<Token> out;
    auto push = [&](Token t) {
        // Collapse runs of statement ends; the parser only needs one.
        if (t.kind == TokenKind::EndOfStatement && !out.empty()
            && out.back().kind == TokenKind::EndOfStatement && t.text == out.back().text)
            return;
        out.push_back(std::move(t));
    };
    for (;;) {
        bool sawSpace = false;
        skipBlanksAndContinuations(sawSpace);
        Token tok;
        tok.line = m_line;
        tok.spaceBefore = sawSpace;
        if (m_pos >= m_src.size()) {
            tok.kind = TokenKind::EndOfStatement;
            tok.text = "\n";
            push(tok);
            Token end;
            end.line = m_line;
            out.push_back(end);
            return out;
        }
        const char c = m_src[m_pos];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && peek(1) == '\n')
                ++m_pos;
            ++m_pos;
            tok.kind = TokenKind::EndOfStatement;
            tok.text = "\n";
            push(tok);
            ++m_line;
            continue;
        }
        if (c == ':') {
            ++m_pos;
            tok.kind = TokenKind::EndOfStatement;
            tok.text = ":";
            out.push_back(tok);
            continue;
        }
        if (c == '\'') {
            skipToLineEnd();
            continue;
        }
        if (isNameStart(c)) {
            const size_t start = m_pos;
            while (m_pos < m_src.size() && isNameChar(m_src[m_pos]))
                ++m_pos;
            const std::string_view word = m_src.substr(start, m_pos - start);
            if (word.size() > 255)
                throw CompileError{1030, m_line};
            if (namesEqual(word, "REM")) {
                skipToLineEnd();
                continue;
            }
            tok.text = std::string(word);
            tok.keyword = keywordOf(word);
            tok.kind = tok.keyword == Keyword::None || isContextualKeyword(tok.keyword)
                ? TokenKind::Identifier
                : TokenKind::Keyword;
            out.push_back(std::move(tok));
            continue;
        }
        if (c == '[') {
            // Bracketed identifier: any characters except ']' and line ends.
            size_t p = m_pos + 1;
            while (p < m_src.size() && m_src[p] != ']' && m_src[p] != '\n' && m_src[p] != '\r')
                ++p;
            if (p >= m_src.size() || m_src[p] != ']')
                throw CompileError{1032, m_line};
            tok.kind = TokenKind::Identifier;
            tok.text = std::string(m_src.substr(m_pos + 1, p - m_pos - 1));
            m_pos = p + 1;
            out.push_back(std::move(tok));
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) != 0
            || (c == '.' && std::isdigit(static_cast<unsigned char>(peek(1))) != 0)) {
            Token n = lexNumber();
            n.line = tok.line;
            n.spaceBefore = sawSpace;
            out.push_back(std::move(n));
            continue;
        }
        if (c == '&' && (peek(1) == 'h' || peek(1) == 'H' || peek(1) == 'o' || peek(1) == 'O')
            && std::isxdigit(static_cast<unsigned char>(peek(2))) != 0) {
            Token n = lexHexOrOctal();
            n.line = tok.line;
            n.spaceBefore = sawSpace;
            out.push_back(std::move(n));
            continue;
        }
        if (c == '"') {
            Token s = lexString();
            s.line = tok.line;
            s.spaceBefore = sawSpace;
            out.push_back(std::move(s));
            continue;
        }
        if (c == '#') {
            Token d = lexDate();
            d.line = tok.line;
            d.spaceBefore = sawSpace;
            out.push_back(std::move(d));
            continue;
        }
        if (c == '{' && m_placeholders) {
            const size_t close = m_src.find('}', m_pos + 1);
            if (close == std::string_view::npos)
                throw CompileError{1032, m_line};
            tok.kind = TokenKind::Placeholder;
            tok.text = std::string(m_src.substr(m_pos + 1, close - m_pos - 1));
            m_pos = close + 1;
            out.push_back(std::move(tok));
            continue;
        }
        tok.kind = TokenKind::Operator;
        const char n = peek(1);
        if ((c == '<' && (n == '>' || n == '=')) || (c == '>' && n == '=')) {
            tok.text = std::string{c, n};
            m_pos += 2;
        } else if (std::string_view("+-*/\\^&=<>(),.").find(c) != std::string_view::npos) {
            tok.text = std::string(1, c);
            ++m_pos;
        } else {
            throw CompileError{1032, m_line};
        }
        out.push_back(std::move(tok));
    }
}

Token Lexer::lexNumber()
{
    Token t;
    const size_t start = m_pos;
    bool isFloat = false;
    while (std::isdigit(static_cast<unsigned char>(peek())) != 0)
        ++m_pos;
    if (peek() == '.' && std::isdigit(static_cast<unsigned char>(peek(1))) != 0) {
        isFloat = true;
        ++m_pos;
        while (std::isdigit(static_cast<unsigned char>(peek())) != 0)
            ++m_pos;
    } else if (peek() == '.' && !isNameStart(peek(1))) {
        // "5." is a valid Double literal.
        isFloat = true;
        ++m_pos;
    }
    if (peek() == 'e' || peek() == 'E') {
        size_t p = m_pos + 1;
        if (p < m_src.size() && (m_src[p] == '+' || m_src[p] == '-'))
            ++p;
        if (p < m_src.size() && std::isdigit(static_cast<unsigned char>(m_src[p])) != 0) {
            isFloat = true;
            m_pos = p;
            while (std::isdigit(static_cast<unsigned char>(peek())) != 0)
                ++m_pos;
        } else {
            throw CompileError{1031, m_line};
        }
    }
    const std::string text(m_src.substr(start, m_pos - start));
    const double value = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(value))
        throw CompileError{1031, m_line};
    // A decimal literal takes no type suffix: "12&3" is a concatenation.
    const bool forceLong = false;
    if (isNameChar(peek()))
        throw CompileError{1025, m_line};
    if (!isFloat && value <= 2147483647.0) {
        t.kind = TokenKind::Integer;
        t.integer = static_cast<int64_t>(value);
        t.longLiteral = forceLong || t.integer > 32767;
    } else {
        t.kind = TokenKind::Double;
    }
    t.number = value;
    t.text = text;
    return t;
}

Token Lexer::lexHexOrOctal()
{
    Token t;
    ++m_pos; // '&'
    int base = 8;
    if (peek() == 'h' || peek() == 'H')
        base = 16;
    ++m_pos;
    uint64_t value = 0;
    int digits = 0;
    for (;;) {
        const char c = peek();
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        if (d < 0 || d >= base)
            break;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (value > 0xFFFFFFFFull)
            throw CompileError{1031, m_line};
        ++digits;
        ++m_pos;
    }
    if (digits == 0)
        throw CompileError{1031, m_line};
    bool forceLong = false;
    if (peek() == '&') {
        forceLong = true;
        ++m_pos;
    }
    if (isNameChar(peek()))
        throw CompileError{1025, m_line};
    t.kind = TokenKind::Integer;
    // Hexadecimal and octal literals wrap into the signed range of their size.
    if (!forceLong && value <= 0xFFFF) {
        t.integer = static_cast<int16_t>(static_cast<uint16_t>(value));
        t.longLiteral = false;
    } else {
        t.integer = static_cast<int32_t>(static_cast<uint32_t>(value));
        t.longLiteral = true;
    }
    t.number = static_cast<double>(t.integer);
    return t;
}

Token Lexer::lexString()
{
    Token t;
    t.kind = TokenKind::String;
    ++m_pos;
    for (;;) {
        if (m_pos >= m_src.size() || m_src[m_pos] == '\n' || m_src[m_pos] == '\r')
            throw CompileError{1033, m_line};
        const char c = m_src[m_pos++];
        if (c == '"') {
            if (peek() == '"') {
                t.text += '"';
                ++m_pos;
                continue;
            }
            return t;
        }
        t.text += c;
    }
}

Token Lexer::lexDate()
{
    Token t;
    t.kind = TokenKind::Date;
    ++m_pos;
    const size_t start = m_pos;
    while (m_pos < m_src.size() && m_src[m_pos] != '#' && m_src[m_pos] != '\n'
           && m_src[m_pos] != '\r')
        ++m_pos;
    if (peek() != '#')
        throw CompileError{1032, m_line};
    t.text = std::string(m_src.substr(start, m_pos - start));
    ++m_pos;
    return t;
}

} // namespace orvane::script
