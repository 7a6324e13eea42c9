#pragma once

#include "script/ast.h"
#include "script/token.h"

#include <memory>
#include <string_view>
#include <vector>

namespace orvane::script {

// What one piece of source declares and does: its procedures and its top-level statements.
struct ParsedUnit
{
    std::vector<std::unique_ptr<Procedure>> procedures;
    Block statements;
    bool optionExplicit = false;
};

// Recursive-descent parser for VBScript statements and expressions with VBScript's operator
// precedence. Throws CompileError with the compile error number and line.
class Parser
{
public:
    // Nesting deeper than this (parentheses, operators, blocks) is refused: it protects the
    // evaluator's stack from hostile input.
    static constexpr int kMaxNesting = 200;

    explicit Parser(std::vector<Token> tokens);

    ParsedUnit parseProgram();
    // A single expression (the whole text); placeholders allowed if the lexer produced them.
    ExprPtr parseExpressionOnly();

private:
    const Token& cur() const { return m_tokens[m_pos]; }
    const Token& ahead(size_t n) const;
    bool atEnd() const { return cur().kind == TokenKind::EndOfInput; }
    bool atEos() const;
    bool isKeyword(Keyword k) const;
    bool isWord(Keyword k) const; // keyword or contextual keyword
    bool isOp(std::string_view op) const;
    void next() { if (!atEnd()) ++m_pos; }
    void expectOp(std::string_view op, int error);
    void expectKeyword(Keyword k, int error);
    void expectEos();
    void skipEos();
    std::string expectIdentifier();
    [[noreturn]] void fail(int number) const;

    // Statements
    void parseTopLevel(ParsedUnit& unit);
    std::unique_ptr<Procedure> parseProcedure(bool isFunction);
    Block parseBlock();
    bool atBlockEnd() const;
    StmtPtr parseStatement();
    StmtPtr parseDim();
    StmtPtr parseReDim();
    StmtPtr parseConst();
    StmtPtr parseIf();
    StmtPtr parseSelect();
    StmtPtr parseFor();
    StmtPtr parseDo();
    StmtPtr parseWhile();
    StmtPtr parseExit();
    StmtPtr parseOnError();
    StmtPtr parseCallKeyword();
    StmtPtr parseAssignOrCall(bool isSet);
    void parseSingleLineStatements(Block& block, bool stopAtElse);
    size_t matchingParen(size_t open) const;

    // Expressions, loosest first
    ExprPtr parseExpr();
    ExprPtr parseImp();
    ExprPtr parseEqv();
    ExprPtr parseXor();
    ExprPtr parseOr();
    ExprPtr parseAnd();
    ExprPtr parseNot();
    ExprPtr parseCompare();
    ExprPtr parseConcat();
    ExprPtr parseAdditive();
    ExprPtr parseMod();
    ExprPtr parseIntDiv();
    ExprPtr parseMultiplicative();
    ExprPtr parseUnary();
    ExprPtr parsePower();
    ExprPtr parsePowerOperand();
    ExprPtr parsePrimary();
    ExprPtr parseNameExpr();
    std::vector<ExprPtr> parseArgList(); // after '(' up to and including ')'
    ExprPtr makeBinary(BinaryOp op, ExprPtr l, ExprPtr r, int line);

    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    int m_depth = 0;
    bool m_inProcedure = false;
    bool m_inFunction = false;
    int m_loopFor = 0;
    int m_loopDo = 0;
    friend struct DepthGuard;
};

} // namespace orvane::script
