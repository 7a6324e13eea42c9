#include "script/scriptengine.h"

#include "script/compileerror.h"
#include "script/interpreter.h"
#include "script/lexer.h"
#include "script/linker.h"
#include "script/parser.h"
#include "script/programstate.h"

#include <new>
#include <stdexcept>

namespace orvane::script {

namespace {

// Runs one piece of engine work and turns every kind of failure into an EngineError.
template <typename Work>
bool guarded(Work&& work, const Interpreter& interpreter, EngineError& error)
{
    try {
        work();
        return true;
    } catch (const CompileError& e) {
        error = EngineError{e.number, e.description(), ScriptEngine::kCompileErrorSource, e.line};
    } catch (const ScriptException& e) {
        error = EngineError{e.error().number, e.error().description, e.error().source,
                            interpreter.line()};
    } catch (const ScriptAbort& e) {
        error = EngineError{e.error().number, e.error().description, e.error().source,
                            interpreter.line()};
    } catch (const std::bad_alloc&) {
        const ScriptException e(err::OutOfMemory);
        error = EngineError{e.number(), e.error().description, e.error().source,
                            interpreter.line()};
    } catch (const std::exception& e) {
        const ScriptException se(err::InternalError);
        error = EngineError{se.number(), se.error().description + " (" + e.what() + ")",
                            se.error().source, interpreter.line()};
    }
    return false;
}

} // namespace

ScriptEngine::ScriptEngine()
    : m_state(std::make_unique<ProgramState>()),
      m_interpreter(std::make_unique<Interpreter>(*m_state))
{
    m_state->host = &m_host;
}

ScriptEngine::~ScriptEngine() = default;

void ScriptEngine::setErrorHandler(std::function<void(const EngineError&)> handler)
{
    m_errorHandler = std::move(handler);
}

bool ScriptEngine::fail(EngineError error)
{
    m_lastError = std::move(error);
    if (m_errorHandler)
        m_errorHandler(m_lastError);
    return false;
}

void ScriptEngine::beginRun()
{
    m_interpreter->beginRun(m_stepBudget, m_maxStack, m_maxDepth);
}

int ScriptEngine::errNumber() const
{
    return m_interpreter->err().number;
}

bool ScriptEngine::reset(std::string_view library)
{
    m_interpreter.reset();
    m_state = std::make_unique<ProgramState>();
    m_state->host = &m_host;
    m_interpreter = std::make_unique<Interpreter>(*m_state);
    ++m_generation;
    m_lastError = EngineError{};
    if (library.empty())
        return true;
    return addCode(library);
}

bool ScriptEngine::checkSyntax(std::string_view source)
{
    EngineError error;
    ProgramState scratch;
    scratch.host = &m_host;
    const bool ok = guarded(
        [&] {
            Parser parser(Lexer(source).tokenize());
            ParsedUnit unit = parser.parseProgram();
            Linker(scratch).linkUnit(unit);
        },
        *m_interpreter, error);
    return ok || fail(std::move(error));
}

bool ScriptEngine::addCode(std::string_view source)
{
    EngineError error;
    const bool ok = guarded(
        [&] {
            Parser parser(Lexer(source).tokenize());
            ParsedUnit unit = parser.parseProgram();
            Linker(*m_state).linkUnit(unit);
            beginRun();
            m_interpreter->runTopLevel(unit.statements);
        },
        *m_interpreter, error);
    return ok || fail(std::move(error));
}

bool ScriptEngine::evaluate(std::string_view expression, Variant& result)
{
    EngineError error;
    const bool ok = guarded(
        [&] {
            Parser parser(Lexer(expression).tokenize());
            ExprPtr expr = parser.parseExpressionOnly();
            Linker(*m_state).linkExpression(expr);
            beginRun();
            result = m_interpreter->evaluate(*expr);
        },
        *m_interpreter, error);
    return ok || fail(std::move(error));
}

bool ScriptEngine::link(Formula& formula)
{
    std::vector<Token> tokens = Lexer(formula.m_text, true).tokenize();
    formula.m_bySubstitution = false;
    for (const Token& t : tokens) {
        if (t.kind == TokenKind::String && t.text.find('{') != std::string::npos
            && t.text.find('}') != std::string::npos)
            formula.m_bySubstitution = true;
    }
    Parser parser(std::move(tokens));
    ExprPtr expr = parser.parseExpressionOnly();
    std::vector<std::string> names;
    Linker(*m_state).linkExpression(expr, &names);
    if (formula.m_bySubstitution) {
        // Names inside string literals count too: collect them the way substitution finds them.
        const std::string& text = formula.m_text;
        size_t from = 0;
        for (;;) {
            const size_t close = text.find('}', from);
            if (close == std::string::npos)
                break;
            const size_t open = text.rfind('{', close);
            if (open != std::string::npos && open >= from) {
                const std::string name = text.substr(open + 1, close - open - 1);
                bool known = false;
                for (const auto& n : names)
                    known = known || namesEqual(n, name);
                if (!known)
                    names.push_back(name);
            }
            from = close + 1;
        }
    }
    if (names != formula.m_names) {
        formula.m_names = std::move(names);
        formula.m_values.assign(formula.m_names.size(), Variant::null());
    }
    formula.m_expr = std::move(expr);
    formula.m_generation = m_generation;
    return true;
}

bool ScriptEngine::compile(std::string_view formulaText, Formula& formula)
{
    formula = Formula();
    formula.m_text.assign(formulaText);
    EngineError error;
    const bool ok = guarded([&] { link(formula); }, *m_interpreter, error);
    return ok || fail(std::move(error));
}

bool ScriptEngine::evaluate(Formula& formula, Variant& result)
{
    EngineError error;
    const bool ok = guarded(
        [&] {
            // A reset dropped what the formula was linked against: link it again.
            if (formula.m_generation != m_generation || !formula.m_expr)
                link(formula);
            if (formula.m_bySubstitution) {
                std::string text;
                if (!Formula::substitute(formula.m_text, formula.m_names, formula.m_values,
                                         text))
                    throw ScriptException(err::InvalidUseOfNull);
                Parser parser(Lexer(text).tokenize());
                ExprPtr expr = parser.parseExpressionOnly();
                Linker(*m_state).linkExpression(expr);
                beginRun();
                result = m_interpreter->evaluate(*expr);
                return;
            }
            beginRun();
            result = m_interpreter->evaluate(*formula.m_expr, formula.m_values);
        },
        *m_interpreter, error);
    return ok || fail(std::move(error));
}

} // namespace orvane::script
