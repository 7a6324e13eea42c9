#include "script/parser.h"

#include "script/builtins.h"
#include "script/compileerror.h"
#include "script/conversions.h"
#include "script/lexer.h"

namespace orvane::script {

struct DepthGuard
{
    explicit DepthGuard(Parser& p) : parser(p)
    {
        if (++parser.m_depth > Parser::kMaxNesting)
            parser.fail(1001);
    }
    ~DepthGuard() { --parser.m_depth; }
    Parser& parser;
};

namespace {

ExprPtr makeLiteral(Variant v, int line)
{
    auto e = std::make_unique<Expr>();
    e->kind = ExprKind::Literal;
    e->value = std::move(v);
    e->isConst = true;
    e->line = line;
    return e;
}

} // namespace

Parser::Parser(std::vector<Token> tokens) : m_tokens(std::move(tokens))
{
    if (m_tokens.empty() || m_tokens.back().kind != TokenKind::EndOfInput)
        m_tokens.emplace_back();
}

const Token& Parser::ahead(size_t n) const
{
    const size_t p = m_pos + n;
    return p < m_tokens.size() ? m_tokens[p] : m_tokens.back();
}

bool Parser::atEos() const
{
    return cur().kind == TokenKind::EndOfStatement || atEnd();
}

bool Parser::isKeyword(Keyword k) const
{
    return cur().kind == TokenKind::Keyword && cur().keyword == k;
}

bool Parser::isWord(Keyword k) const
{
    return (cur().kind == TokenKind::Keyword || cur().kind == TokenKind::Identifier)
        && cur().keyword == k;
}

bool Parser::isOp(std::string_view op) const
{
    return cur().kind == TokenKind::Operator && cur().text == op;
}

void Parser::fail(int number) const
{
    throw CompileError{number, cur().line};
}

void Parser::expectOp(std::string_view op, int error)
{
    if (!isOp(op))
        fail(error);
    next();
}

void Parser::expectKeyword(Keyword k, int error)
{
    if (!isWord(k))
        fail(error);
    next();
}

void Parser::expectEos()
{
    if (!atEos())
        fail(1025);
    skipEos();
}

void Parser::skipEos()
{
    while (cur().kind == TokenKind::EndOfStatement)
        next();
}

std::string Parser::expectIdentifier()
{
    if (cur().kind != TokenKind::Identifier)
        fail(1010);
    std::string name = cur().text;
    next();
    return name;
}

// ---------------------------------------------------------------------------------------------
// Program structure

ParsedUnit Parser::parseProgram()
{
    ParsedUnit unit;
    skipEos();
    while (!atEnd()) {
        parseTopLevel(unit);
        skipEos();
    }
    return unit;
}

void Parser::parseTopLevel(ParsedUnit& unit)
{
    if (isWord(Keyword::Option)) {
        next();
        expectKeyword(Keyword::Explicit, 1002);
        unit.optionExplicit = true;
        expectEos();
        return;
    }
    if (isKeyword(Keyword::Public) || isKeyword(Keyword::Private)) {
        const Token& after = ahead(1);
        if (after.kind == TokenKind::Keyword
            && (after.keyword == Keyword::Function || after.keyword == Keyword::Sub))
            next();
    }
    if (isKeyword(Keyword::Function) || isKeyword(Keyword::Sub)) {
        const bool isFunction = isKeyword(Keyword::Function);
        next();
        unit.procedures.push_back(parseProcedure(isFunction));
        return;
    }
    unit.statements.push_back(parseStatement());
}

std::unique_ptr<Procedure> Parser::parseProcedure(bool isFunction)
{
    auto proc = std::make_unique<Procedure>();
    proc->line = cur().line;
    proc->isFunction = isFunction;
    proc->name = expectIdentifier();
    if (isOp("(")) {
        next();
        while (!isOp(")")) {
            Param p;
            if (isKeyword(Keyword::ByVal)) {
                p.byRef = false;
                next();
            } else if (isKeyword(Keyword::ByRef)) {
                next();
            }
            p.name = expectIdentifier();
            if (isOp("(")) {
                next();
                expectOp(")", 1006);
                p.isArray = true;
            }
            for (const Param& other : proc->params) {
                if (namesEqual(other.name, p.name))
                    fail(1041);
            }
            proc->params.push_back(std::move(p));
            if (isOp(","))
                next();
            else if (!isOp(")"))
                fail(1006);
        }
        next();
    }
    expectEos();
    m_inProcedure = true;
    m_inFunction = isFunction;
    proc->body = parseBlock();
    m_inProcedure = false;
    m_inFunction = false;
    if (!isKeyword(Keyword::End))
        fail(isFunction ? 1014 : 1014);
    next();
    expectKeyword(isFunction ? Keyword::Function : Keyword::Sub, isFunction ? 1015 : 1016);
    if (!atEos())
        fail(1025);
    return proc;
}

bool Parser::atBlockEnd() const
{
    if (atEnd())
        return true;
    if (cur().kind != TokenKind::Keyword)
        return false;
    switch (cur().keyword) {
    case Keyword::End:
    case Keyword::Else:
    case Keyword::ElseIf:
    case Keyword::Case:
    case Keyword::Loop:
    case Keyword::Next:
    case Keyword::Wend:
        return true;
    default:
        return false;
    }
}

Block Parser::parseBlock()
{
    DepthGuard guard(*this);
    Block block;
    skipEos();
    while (!atBlockEnd()) {
        block.push_back(parseStatement());
        skipEos();
    }
    return block;
}

StmtPtr Parser::parseStatement()
{
    DepthGuard guard(*this);
    const int line = cur().line;
    StmtPtr s;
    if (cur().kind == TokenKind::Keyword) {
        switch (cur().keyword) {
        case Keyword::Dim:
            next();
            s = parseDim();
            break;
        case Keyword::Public:
        case Keyword::Private:
            next();
            if (isKeyword(Keyword::Const)) {
                next();
                s = parseConst();
            } else {
                if (m_inProcedure)
                    fail(1024);
                s = parseDim();
            }
            break;
        case Keyword::ReDim:
            next();
            s = parseReDim();
            break;
        case Keyword::Const:
            next();
            s = parseConst();
            break;
        case Keyword::Set:
            next();
            s = parseAssignOrCall(true);
            break;
        case Keyword::If:
            next();
            s = parseIf();
            break;
        case Keyword::Select:
            next();
            s = parseSelect();
            break;
        case Keyword::For:
            next();
            s = parseFor();
            break;
        case Keyword::Do:
            next();
            s = parseDo();
            break;
        case Keyword::While:
            next();
            s = parseWhile();
            break;
        case Keyword::Exit:
            next();
            s = parseExit();
            break;
        case Keyword::On:
            next();
            s = parseOnError();
            break;
        case Keyword::Call:
            next();
            s = parseCallKeyword();
            break;
        case Keyword::Function:
        case Keyword::Sub:
            fail(1024);
        case Keyword::Loop:
            fail(1038);
        case Keyword::Next:
            fail(1055);
        default:
            fail(1024);
        }
    } else if (cur().kind == TokenKind::Identifier) {
        if (isWord(Keyword::Option))
            fail(1042);
        s = parseAssignOrCall(false);
    } else {
        fail(1024);
    }
    if (!atEos() && !isKeyword(Keyword::Else))
        fail(1025);
    s->line = line;
    return s;
}

StmtPtr Parser::parseDim()
{
    auto s = std::make_unique<Stmt>();
    s->kind = StmtKind::Dim;
    for (;;) {
        auto target = std::make_unique<Expr>();
        target->kind = ExprKind::Name;
        target->line = cur().line;
        target->name = expectIdentifier();
        if (isOp("(")) {
            next();
            target->hasParens = true;
            while (!isOp(")")) {
                if (cur().kind != TokenKind::Integer)
                    fail(1026);
                target->args.push_back(
                    makeLiteral(Variant::fromLong(static_cast<int32_t>(cur().integer)),
                                cur().line));
                next();
                if (isOp(","))
                    next();
                else if (!isOp(")"))
                    fail(1006);
            }
            next();
        }
        s->targets.push_back(std::move(target));
        if (!isOp(","))
            break;
        next();
    }
    if (!atEos())
        fail(1025);
    return s;
}

StmtPtr Parser::parseReDim()
{
    auto s = std::make_unique<Stmt>();
    s->kind = StmtKind::ReDim;
    if (isWord(Keyword::Preserve)) {
        s->preserve = true;
        next();
    }
    for (;;) {
        auto target = std::make_unique<Expr>();
        target->kind = ExprKind::Name;
        target->line = cur().line;
        target->name = expectIdentifier();
        if (!isOp("("))
            fail(1005);
        next();
        target->hasParens = true;
        target->args = parseArgList();
        if (target->args.empty())
            fail(1023);
        s->targets.push_back(std::move(target));
        if (!isOp(","))
            break;
        next();
    }
    if (!atEos())
        fail(1025);
    return s;
}

StmtPtr Parser::parseConst()
{
    // Const NAME = literal: kept as a Dim target whose single argument is the value; the linker
    // turns every use of the name into that literal.
    auto s = std::make_unique<Stmt>();
    s->kind = StmtKind::Dim;
    for (;;) {
        auto target = std::make_unique<Expr>();
        target->kind = ExprKind::Name;
        target->line = cur().line;
        target->name = expectIdentifier();
        expectOp("=", 1011);
        ExprPtr value = parseExpr();
        // Only literals (and negated numbers) are constants.
        const Expr* v = value.get();
        if (v->kind == ExprKind::Unary && v->unOp == UnaryOp::Neg && v->left)
            v = v->left.get();
        if (v->kind != ExprKind::Literal)
            fail(1045);
        target->isConst = true;
        target->right = std::move(value);
        s->targets.push_back(std::move(target));
        if (!isOp(","))
            break;
        next();
    }
    if (!atEos())
        fail(1025);
    return s;
}

void Parser::parseSingleLineStatements(Block& block, bool stopAtElse)
{
    for (;;) {
        if (stopAtElse && isKeyword(Keyword::Else))
            return;
        if (cur().kind == TokenKind::EndOfStatement && cur().text == "\n")
            return;
        if (atEnd())
            return;
        if (cur().kind == TokenKind::EndOfStatement) {
            next();
            continue;
        }
        block.push_back(parseStatement());
        if (isKeyword(Keyword::Else) && stopAtElse)
            return;
        if (!atEos())
            fail(1025);
    }
}

StmtPtr Parser::parseIf()
{
    auto s = std::make_unique<Stmt>();
    s->kind = StmtKind::If;
    s->conditions.push_back(parseExpr());
    expectKeyword(Keyword::Then, 1017);
    if (!atEos()) {
        // One-line form: If c Then a : b Else d : e
        Block thenBlock;
        parseSingleLineStatements(thenBlock, true);
        s->blocks.push_back(std::move(thenBlock));
        if (isKeyword(Keyword::Else)) {
            next();
            Block elseBlock;
            parseSingleLineStatements(elseBlock, false);
            s->blocks.push_back(std::move(elseBlock));
        }
        return s;
    }
    s->blocks.push_back(parseBlock());
    for (;;) {
        if (isKeyword(Keyword::ElseIf)) {
            next();
            s->conditions.push_back(parseExpr());
            expectKeyword(Keyword::Then, 1017);
            s->blocks.push_back(parseBlock());
            continue;
        }
        if (isKeyword(Keyword::Else)) {
            next();
            s->blocks.push_back(parseBlock());
            if (!isKeyword(Keyword::End))
                fail(1014);
        }
        break;
    }
    if (!isKeyword(Keyword::End))
        fail(1014);
    next();
    expectKeyword(Keyword::If, 1012);
    if (!atEos())
        fail(1025);
    return s;
}

StmtPtr Parser::parseSelect()
{
    auto s = std::make_unique<Stmt>();
    s->kind = StmtKind::Select;
    expectKeyword(Keyword::Case, 1021);
    s->value = parseExpr();
    expectEos();
    while (isKeyword(Keyword::Case)) {
        next();
        CaseClause clause;
        if (isKeyword(Keyword::Else)) {
            next();
        } else {
            for (;;) {
                CaseClause::Test test;
                if (isWord(Keyword::Is)) {
                    next();
                    static const std::pair<const char*, BinaryOp> ops[] = {
                        {"=", BinaryOp::Eq}, {"<>", BinaryOp::Ne}, {"<", BinaryOp::Lt},
                        {">", BinaryOp::Gt}, {"<=", BinaryOp::Le}, {">=", BinaryOp::Ge}};
                    bool found = false;
                    for (const auto& [text, op] : ops) {
                        if (isOp(text)) {
                            test.op = op;
                            found = true;
                        }
                    }
                    if (!found)
                        fail(1002);
                    next();
                    test.isComparison = true;
                    test.value = parseConcat();
                } else {
                    test.value = parseExpr();
                    if (isKeyword(Keyword::To)) {
                        next();
                        test.upper = parseExpr();
                    }
                }
                clause.tests.push_back(std::move(test));
                if (!isOp(","))
                    break;
                next();
            }
        }
        if (!atEos())
            fail(1025);
        clause.body = parseBlock();
        const bool isElse = clause.tests.empty();
        s->cases.push_back(std::move(clause));
        if (isElse)
            break;
    }
    if (!isKeyword(Keyword::End))
        fail(1014);
    next();
    expectKeyword(Keyword::Select, 1022);
    if (!atEos())
        fail(1025);
    return s;
}

StmtPtr Parser::parseFor()
{
    auto s = std::make_unique<Stmt>();
    const bool isEach = isKeyword(Keyword::Each);
    if (isEach)
        next();
    auto var = std::make_unique<Expr>();
    var->kind = ExprKind::Name;
    var->line = cur().line;
    if (cur().kind != TokenKind::Identifier)
        fail(isEach ? 1010 : 1040);
    var->name = cur().text;
    next();
    s->target = std::move(var);
    if (isEach) {
        s->kind = StmtKind::ForEach;
        expectKeyword(Keyword::In, 1046);
        s->value = parseExpr();
    } else {
        s->kind = StmtKind::For;
        expectOp("=", 1011);
        s->value = parseExpr();
        expectKeyword(Keyword::To, 1013);
        s->limit = parseExpr();
        if (isWord(Keyword::Step)) {
            next();
            s->step = parseExpr();
        }
    }
    expectEos();
    ++m_loopFor;
    s->blocks.push_back(parseBlock());
    --m_loopFor;
    expectKeyword(Keyword::Next, 1020);
    if (cur().kind == TokenKind::Identifier)
        next();
    if (!atEos())
        fail(1025);
    return s;
}

StmtPtr Parser::parseDo()
{
    auto s = std::make_unique<Stmt>();
    s->kind = StmtKind::Do;
    if (isKeyword(Keyword::While) || isKeyword(Keyword::Until)) {
        s->until = isKeyword(Keyword::Until);
        s->conditionFirst = true;
        next();
        s->value = parseExpr();
    }
    if (!atEos())
        fail(1028);
    ++m_loopDo;
    s->blocks.push_back(parseBlock());
    --m_loopDo;
    expectKeyword(Keyword::Loop, 1019);
    if (isKeyword(Keyword::While) || isKeyword(Keyword::Until)) {
        if (s->conditionFirst)
            fail(1025);
        s->until = isKeyword(Keyword::Until);
        next();
        s->value = parseExpr();
    }
    if (!atEos())
        fail(1025);
    return s;
}

StmtPtr Parser::parseWhile()
{
    auto s = std::make_unique<Stmt>();
    s->kind = StmtKind::Do;
    s->conditionFirst = true;
    s->value = parseExpr();
    expectEos();
    s->blocks.push_back(parseBlock());
    expectKeyword(Keyword::Wend, 1018);
    if (!atEos())
        fail(1025);
    return s;
}

StmtPtr Parser::parseExit()
{
    auto s = std::make_unique<Stmt>();
    s->kind = StmtKind::Exit;
    if (isKeyword(Keyword::For) && m_loopFor > 0)
        s->exitKind = ExitKind::For;
    else if (isKeyword(Keyword::Do) && m_loopDo > 0)
        s->exitKind = ExitKind::Do;
    else if (isKeyword(Keyword::Function) && m_inFunction)
        s->exitKind = ExitKind::Function;
    else if (isKeyword(Keyword::Sub) && m_inProcedure && !m_inFunction)
        s->exitKind = ExitKind::Sub;
    else
        fail(1039);
    next();
    if (!atEos())
        fail(1025);
    return s;
}

StmtPtr Parser::parseOnError()
{
    auto s = std::make_unique<Stmt>();
    expectKeyword(Keyword::Error, 1002);
    if (isWord(Keyword::Resume)) {
        next();
        expectKeyword(Keyword::Next, 1002);
        s->kind = StmtKind::OnErrorResumeNext;
    } else if (isWord(Keyword::Goto)) {
        next();
        if (cur().kind != TokenKind::Integer || cur().integer != 0)
            fail(1002);
        next();
        s->kind = StmtKind::OnErrorGoto0;
    } else {
        fail(1002);
    }
    if (!atEos())
        fail(1025);
    return s;
}

StmtPtr Parser::parseCallKeyword()
{
    auto s = std::make_unique<Stmt>();
    s->kind = StmtKind::Call;
    ExprPtr target = parseNameExpr();
    if (!atEos())
        fail(1025);
    s->value = std::move(target);
    return s;
}

size_t Parser::matchingParen(size_t open) const
{
    int depth = 0;
    for (size_t p = open; p < m_tokens.size(); ++p) {
        const Token& t = m_tokens[p];
        if (t.kind == TokenKind::EndOfStatement || t.kind == TokenKind::EndOfInput)
            return std::string::npos;
        if (t.kind == TokenKind::Operator && t.text == "(")
            ++depth;
        else if (t.kind == TokenKind::Operator && t.text == ")" && --depth == 0)
            return p;
    }
    return std::string::npos;
}

StmtPtr Parser::parseAssignOrCall(bool isSet)
{
    auto s = std::make_unique<Stmt>();
    const int line = cur().line;
    auto target = std::make_unique<Expr>();
    target->kind = ExprKind::Name;
    target->line = line;
    target->name = expectIdentifier();
    if (isOp(".")) {
        // Member of an object: only the Err object has members here.
        next();
        auto member = std::make_unique<Expr>();
        member->kind = ExprKind::Name;
        member->line = line;
        member->name = expectIdentifier();
        member->left = std::move(target);
        target = std::move(member);
    }
    bool parenArgs = false;
    if (isOp("(")) {
        const size_t close = matchingParen(m_pos);
        if (close == std::string::npos)
            fail(1006);
        const Token& after = m_tokens[close + 1];
        const bool afterIsEos =
            after.kind == TokenKind::EndOfStatement || after.kind == TokenKind::EndOfInput
            || (after.kind == TokenKind::Keyword && after.keyword == Keyword::Else);
        const bool afterIsAssign = after.kind == TokenKind::Operator && after.text == "=";
        if (afterIsAssign || afterIsEos) {
            next();
            target->hasParens = true;
            target->args = parseArgList();
            parenArgs = true;
        }
    }
    if (isOp("=")) {
        next();
        s->kind = StmtKind::Assign;
        s->isSet = isSet;
        s->target = std::move(target);
        s->value = parseExpr();
        return s;
    }
    if (isSet)
        fail(1011);
    s->kind = StmtKind::Call;
    if (parenArgs) {
        // "Foo(a)" as a statement passes (a) by value; "Foo(a, b)" is refused.
        if (target->args.size() > 1)
            throw CompileError{1044, line};
        if (target->args.size() == 1 && target->args[0]->kind == ExprKind::Name
            && target->args[0]->args.empty() && !target->args[0]->left) {
            auto paren = std::make_unique<Expr>();
            paren->kind = ExprKind::Unary;
            paren->unOp = UnaryOp::Plus;
            paren->line = line;
            paren->left = std::move(target->args[0]);
            target->args[0] = std::move(paren);
        }
    } else if (!atEos() && !isKeyword(Keyword::Else)) {
        target->hasParens = true;
        for (;;) {
            // An argument may be left out: "Err.Raise 5, , text".
            if (isOp(","))
                target->args.push_back(makeLiteral(missingArgument(), cur().line));
            else
                target->args.push_back(parseExpr());
            if (!isOp(","))
                break;
            next();
            if (atEos())
                target->args.push_back(makeLiteral(missingArgument(), cur().line));
        }
    }
    s->value = std::move(target);
    return s;
}

// ---------------------------------------------------------------------------------------------
// Expressions

ExprPtr Parser::parseExpressionOnly()
{
    skipEos();
    if (atEnd())
        fail(1023);
    ExprPtr e = parseExpr();
    skipEos();
    if (!atEnd())
        fail(1025);
    return e;
}

ExprPtr Parser::makeBinary(BinaryOp op, ExprPtr l, ExprPtr r, int line)
{
    auto e = std::make_unique<Expr>();
    e->kind = ExprKind::Binary;
    e->binOp = op;
    e->line = line;
    e->left = std::move(l);
    e->right = std::move(r);
    return e;
}

ExprPtr Parser::parseExpr()
{
    DepthGuard guard(*this);
    return parseImp();
}

ExprPtr Parser::parseImp()
{
    ExprPtr l = parseEqv();
    while (isKeyword(Keyword::Imp)) {
        const int line = cur().line;
        next();
        DepthGuard guard(*this);
        l = makeBinary(BinaryOp::Imp, std::move(l), parseEqv(), line);
    }
    return l;
}

ExprPtr Parser::parseEqv()
{
    ExprPtr l = parseXor();
    while (isKeyword(Keyword::Eqv)) {
        const int line = cur().line;
        next();
        DepthGuard guard(*this);
        l = makeBinary(BinaryOp::Eqv, std::move(l), parseXor(), line);
    }
    return l;
}

ExprPtr Parser::parseXor()
{
    ExprPtr l = parseOr();
    while (isKeyword(Keyword::Xor)) {
        const int line = cur().line;
        next();
        DepthGuard guard(*this);
        l = makeBinary(BinaryOp::Xor, std::move(l), parseOr(), line);
    }
    return l;
}

ExprPtr Parser::parseOr()
{
    ExprPtr l = parseAnd();
    while (isKeyword(Keyword::Or)) {
        const int line = cur().line;
        next();
        DepthGuard guard(*this);
        l = makeBinary(BinaryOp::Or, std::move(l), parseAnd(), line);
    }
    return l;
}

ExprPtr Parser::parseAnd()
{
    ExprPtr l = parseNot();
    while (isKeyword(Keyword::And)) {
        const int line = cur().line;
        next();
        DepthGuard guard(*this);
        l = makeBinary(BinaryOp::And, std::move(l), parseNot(), line);
    }
    return l;
}

ExprPtr Parser::parseNot()
{
    if (isKeyword(Keyword::Not)) {
        DepthGuard guard(*this);
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::Unary;
        e->unOp = UnaryOp::Not;
        e->line = cur().line;
        next();
        e->left = parseNot();
        return e;
    }
    return parseCompare();
}

ExprPtr Parser::parseCompare()
{
    ExprPtr l = parseConcat();
    for (;;) {
        BinaryOp op;
        if (isOp("="))
            op = BinaryOp::Eq;
        else if (isOp("<>"))
            op = BinaryOp::Ne;
        else if (isOp("<"))
            op = BinaryOp::Lt;
        else if (isOp(">"))
            op = BinaryOp::Gt;
        else if (isOp("<="))
            op = BinaryOp::Le;
        else if (isOp(">="))
            op = BinaryOp::Ge;
        else if (isWord(Keyword::Is))
            op = BinaryOp::Is;
        else
            return l;
        const int line = cur().line;
        next();
        DepthGuard guard(*this);
        l = makeBinary(op, std::move(l), parseConcat(), line);
    }
}

ExprPtr Parser::parseConcat()
{
    ExprPtr l = parseAdditive();
    while (isOp("&")) {
        const int line = cur().line;
        next();
        DepthGuard guard(*this);
        l = makeBinary(BinaryOp::Concat, std::move(l), parseAdditive(), line);
    }
    return l;
}

ExprPtr Parser::parseAdditive()
{
    ExprPtr l = parseMod();
    while (isOp("+") || isOp("-")) {
        const BinaryOp op = isOp("+") ? BinaryOp::Add : BinaryOp::Sub;
        const int line = cur().line;
        next();
        DepthGuard guard(*this);
        l = makeBinary(op, std::move(l), parseMod(), line);
    }
    return l;
}

ExprPtr Parser::parseMod()
{
    ExprPtr l = parseIntDiv();
    while (isKeyword(Keyword::Mod)) {
        const int line = cur().line;
        next();
        DepthGuard guard(*this);
        l = makeBinary(BinaryOp::Mod, std::move(l), parseIntDiv(), line);
    }
    return l;
}

ExprPtr Parser::parseIntDiv()
{
    ExprPtr l = parseMultiplicative();
    while (isOp("\\")) {
        const int line = cur().line;
        next();
        DepthGuard guard(*this);
        l = makeBinary(BinaryOp::IntDiv, std::move(l), parseMultiplicative(), line);
    }
    return l;
}

ExprPtr Parser::parseMultiplicative()
{
    ExprPtr l = parseUnary();
    while (isOp("*") || isOp("/")) {
        const BinaryOp op = isOp("*") ? BinaryOp::Mul : BinaryOp::Div;
        const int line = cur().line;
        next();
        DepthGuard guard(*this);
        l = makeBinary(op, std::move(l), parseUnary(), line);
    }
    return l;
}

ExprPtr Parser::parseUnary()
{
    if (isOp("-") || isOp("+")) {
        DepthGuard guard(*this);
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::Unary;
        e->unOp = isOp("-") ? UnaryOp::Neg : UnaryOp::Plus;
        e->line = cur().line;
        next();
        e->left = parseUnary();
        return e;
    }
    return parsePower();
}

ExprPtr Parser::parsePower()
{
    ExprPtr l = parsePrimary();
    const bool placeholderFirst = l->kind == ExprKind::Placeholder;
    bool any = false;
    while (isOp("^")) {
        const int line = cur().line;
        next();
        DepthGuard guard(*this);
        l = makeBinary(BinaryOp::Pow, std::move(l), parsePowerOperand(), line);
        any = true;
    }
    if (any && placeholderFirst)
        l->placeholderSign = true;
    return l;
}

ExprPtr Parser::parsePowerOperand()
{
    // The right operand of '^' may carry its own sign: 2 ^ -1.
    if (isOp("-") || isOp("+")) {
        DepthGuard guard(*this);
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::Unary;
        e->unOp = isOp("-") ? UnaryOp::Neg : UnaryOp::Plus;
        e->line = cur().line;
        next();
        e->left = parsePowerOperand();
        return e;
    }
    return parsePrimary();
}

ExprPtr Parser::parsePrimary()
{
    DepthGuard guard(*this);
    const Token& t = cur();
    const int line = t.line;
    switch (t.kind) {
    case TokenKind::Integer: {
        Variant v = t.longLiteral ? Variant::fromLong(static_cast<int32_t>(t.integer))
                                  : Variant::fromInteger(static_cast<int16_t>(t.integer));
        next();
        return makeLiteral(std::move(v), line);
    }
    case TokenKind::Double: {
        Variant v = Variant::fromDouble(t.number);
        next();
        return makeLiteral(std::move(v), line);
    }
    case TokenKind::String: {
        Variant v = Variant::fromUtf8(t.text);
        next();
        return makeLiteral(std::move(v), line);
    }
    case TokenKind::Date: {
        const auto serial = parseDate(fromUtf8(t.text));
        if (!serial)
            fail(1032);
        next();
        return makeLiteral(Variant::fromDate(*serial), line);
    }
    case TokenKind::Placeholder: {
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::Placeholder;
        e->name = t.text;
        e->line = line;
        e->isConst = true; // substituted text is a literal
        next();
        return e;
    }
    case TokenKind::Keyword:
        switch (t.keyword) {
        case Keyword::True:
            next();
            return makeLiteral(Variant::fromBool(true), line);
        case Keyword::False:
            next();
            return makeLiteral(Variant::fromBool(false), line);
        case Keyword::Empty:
            next();
            return makeLiteral(Variant::empty(), line);
        case Keyword::Null:
            next();
            return makeLiteral(Variant::null(), line);
        case Keyword::Nothing: {
            next();
            auto e = std::make_unique<Expr>();
            e->kind = ExprKind::Nothing;
            e->line = line;
            return e;
        }
        default:
            fail(1023);
        }
    case TokenKind::Operator:
        if (t.text == "(") {
            next();
            ExprPtr inner = parseExpr();
            expectOp(")", 1006);
            if (inner->kind == ExprKind::Name) {
                // A parenthesised variable is a value, not a reference.
                auto paren = std::make_unique<Expr>();
                paren->kind = ExprKind::Unary;
                paren->unOp = UnaryOp::Plus;
                paren->line = line;
                paren->left = std::move(inner);
                return paren;
            }
            return inner;
        }
        fail(1023);
    case TokenKind::Identifier:
        return parseNameExpr();
    default:
        fail(1023);
    }
}

ExprPtr Parser::parseNameExpr()
{
    auto e = std::make_unique<Expr>();
    e->kind = ExprKind::Name;
    e->line = cur().line;
    e->name = expectIdentifier();
    if (isOp("(")) {
        next();
        e->hasParens = true;
        e->args = parseArgList();
    }
    while (isOp(".")) {
        next();
        auto member = std::make_unique<Expr>();
        member->kind = ExprKind::Name;
        member->line = cur().line;
        member->name = expectIdentifier();
        member->left = std::move(e);
        if (isOp("(")) {
            next();
            member->hasParens = true;
            member->args = parseArgList();
        }
        e = std::move(member);
    }
    // Further argument lists index the value the call or element gave: F(x)(1), a(0)(2).
    while (e->hasParens && isOp("(")) {
        auto index = std::make_unique<Expr>();
        index->kind = ExprKind::Index;
        index->line = cur().line;
        index->hasParens = true;
        next();
        index->args = parseArgList();
        index->left = std::move(e);
        e = std::move(index);
    }
    return e;
}

std::vector<ExprPtr> Parser::parseArgList()
{
    std::vector<ExprPtr> args;
    if (isOp(")")) {
        next();
        return args;
    }
    for (;;) {
        if (isOp(",") || isOp(")"))
            args.push_back(makeLiteral(missingArgument(), cur().line)); // left out
        else
            args.push_back(parseExpr());
        if (isOp(",")) {
            next();
            continue;
        }
        expectOp(")", 1006);
        return args;
    }
}

} // namespace orvane::script
