#pragma once

#include "script/parser.h"
#include "script/programstate.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace orvane::script {

// Resolves the names of parsed code once, before it runs: variables become slots, calls point
// at their procedure, built-in or host function, constants become literals, and operators on
// literals are folded. Throws CompileError for declarations that clash.
class Linker
{
public:
    explicit Linker(ProgramState& state);

    // Registers the unit's procedures and globals and resolves every name in it.
    void linkUnit(ParsedUnit& unit);
    // Resolves a top-level expression. Placeholder names are given slots in order of first
    // appearance (compared without regard to case) and appended to placeholders.
    void linkExpression(ExprPtr& expr, std::vector<std::string>* placeholders = nullptr);

private:
    struct Scope
    {
        Procedure* proc = nullptr;
        std::unordered_map<std::string, int> locals;
        std::unordered_map<std::string, Variant> constants;
    };

    void declareBlock(Block& block, Scope* scope);
    void declareName(Expr& target, Scope* scope);
    void linkBlock(Block& block, Scope* scope);
    void linkStmt(Stmt& stmt, Scope* scope);
    void linkExpr(ExprPtr& expr, Scope* scope, bool isTarget = false);
    void resolveName(Expr& e, Scope* scope, bool isTarget);
    void linkProcedure(Procedure& proc);
    static void fold(ExprPtr& expr);

    ProgramState& m_state;
    std::vector<std::string>* m_placeholders = nullptr;
};

} // namespace orvane::script
