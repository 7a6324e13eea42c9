#pragma once

#include "script/ast.h"
#include "script/programstate.h"
#include "script/runlimits.h"
#include "script/scripterror.h"

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace orvane::script {

// Ends a run at once, past any On Error Resume Next: the step budget or the stack ran out.
class ScriptAbort
{
public:
    explicit ScriptAbort(ScriptError error) : m_error(std::move(error)) {}
    const ScriptError& error() const { return m_error; }

private:
    ScriptError m_error;
};

// Runs linked code: a tree-walking evaluator over resolved slots. One instance per engine; not
// thread-safe. Errors are thrown as ScriptException (which On Error can handle) or ScriptAbort.
class Interpreter
{
public:
    explicit Interpreter(ProgramState& state);

    // Starts a run: the step budget is renewed and the stack depth is measured from here.
    void beginRun(uint64_t stepBudget, size_t maxStackBytes, int maxCallDepth);

    void runTopLevel(const Block& block);
    Variant evaluate(const Expr& expr, std::span<const Variant> placeholders = {});

    const ScriptError& err() const { return m_err; }
    void clearErr() { m_err = ScriptError{}; }
    int line() const { return m_line; }

private:
    enum class Flow { Normal, ExitFor, ExitDo, ExitProc };

    struct Frame
    {
        const Procedure* proc = nullptr;
        size_t base = 0;
        Variant* returnValue = nullptr;
        bool resumeNext = false;
    };

    Flow execBlock(const Block& block);
    Flow execStmt(const Stmt& s);
    Flow execFor(const Stmt& s);
    Flow execForEach(const Stmt& s);
    Flow execDo(const Stmt& s);
    Flow execSelect(const Stmt& s);
    void execAssign(const Stmt& s);
    void execReDim(const Stmt& s);
    bool condition(const Expr& e);
    bool caseMatches(const Variant& subject, bool subjectConst, const CaseClause::Test& t);

    Variant eval(const Expr& e);
    Variant evalPowerChain(const Expr& e, const Variant& leaf);
    Variant evalErrMember(const Expr& e);
    Variant callProcedure(const Expr& call);
    Variant callBuiltin(const Expr& call);
    Variant callHost(const Expr& call);
    Variant& variableRef(const Expr& target);
    Variant* byRefTarget(const Expr& arg);
    void indexesOf(const Expr& e, std::vector<int32_t>& out);
    void tick();
    void charge(size_t units);
    const Variant& charged(const Variant& v);
    void checkStack();
    void handleError(const ScriptError& error);

    ProgramState& m_state;
    std::vector<Frame> m_frames;
    std::deque<Variant> m_store;  // local variables of every active call
    std::vector<Variant*> m_refs; // slot -> variable (own local or the caller's ByRef variable)
    std::vector<Variant> m_args;  // argument stack for built-in and host calls
    std::span<const Variant> m_placeholders;
    ScriptError m_err;
    int m_line = 0;
    uint64_t m_stepsLeft = 0;
    const char* m_stackTop = nullptr;
    size_t m_maxStack = 0;
    int m_maxDepth = 0;
};

} // namespace orvane::script
