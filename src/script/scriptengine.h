#pragma once

#include "script/formula.h"
#include "script/hostobject.h"
#include "script/runlimits.h"
#include "script/variant.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace orvane::script {

class Interpreter;
struct ProgramState;

// A failure as the engine reports it to its holder.
struct EngineError
{
    int number = 0;
    std::string description;
    std::string source;
    int line = 0; // 1-based line of the failing statement in the code that was run
};

// The VBScript-compatible engine one holder uses: load a function library, evaluate
// expressions, compile formulas once and evaluate them many times. The host object's functions
// are global names. Every run is bounded by a step budget and a stack limit, so no input hangs
// or overflows the stack. Not thread-safe: one holder, one thread.
class ScriptEngine
{
public:
    static constexpr const char* kCompileErrorSource = "Microsoft VBScript compilation error";

    ScriptEngine();
    ~ScriptEngine();
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;

    // The object whose functions scripts call by bare name. Register functions before reset():
    // code loaded earlier does not see functions added later.
    HostObject& host() { return m_host; }

    // Called with every failure (the site's error report); lastError() keeps the latest.
    void setErrorHandler(std::function<void(const EngineError&)> handler);
    // Statements, loop turns and calls one run may take (a run: one addCode or evaluate).
    void setStepBudget(uint64_t steps) { m_stepBudget = steps; }
    uint64_t stepBudget() const { return m_stepBudget; }
    void setMaxCallDepth(int depth) { m_maxDepth = depth; }

    // Drops all loaded code and variables and loads the library (when not empty).
    bool reset(std::string_view library = {});
    // Compiles code without loading or running it: false with lastError() (number, line) on a
    // compile error. Used to refuse a library before it is stored.
    bool checkSyntax(std::string_view source);
    // Loads code: defines its procedures and globals and runs its top-level statements.
    bool addCode(std::string_view source);
    // Evaluates one expression.
    bool evaluate(std::string_view expression, Variant& result);

    // Compiles a formula with "{NAME}" placeholders; bind values on it, then evaluate.
    bool compile(std::string_view formulaText, Formula& formula);
    bool evaluate(Formula& formula, Variant& result);

    const EngineError& lastError() const { return m_lastError; }

    // Err as the last run left it (number 0 when clear).
    int errNumber() const;

private:
    bool fail(EngineError error);
    void beginRun();
    bool link(Formula& formula);

    HostObject m_host;
    std::unique_ptr<ProgramState> m_state;
    std::unique_ptr<Interpreter> m_interpreter;
    std::function<void(const EngineError&)> m_errorHandler;
    EngineError m_lastError;
    uint64_t m_stepBudget = 10'000'000;
    int m_maxDepth = 1000;
    size_t m_maxStack = 2u << 20;
    uint64_t m_generation = 1;
};

} // namespace orvane::script
