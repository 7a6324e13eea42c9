#include "script/linker.h"

#include "script/builtins.h"
#include "script/compileerror.h"
#include "script/hostobject.h"
#include "script/lexer.h"
#include "script/scripterror.h"

namespace orvane::script {

namespace {

bool isLiteral(const ExprPtr& e)
{
    return e && e->kind == ExprKind::Literal;
}

Variant constantValue(const Expr& valueExpr)
{
    if (valueExpr.kind == ExprKind::Literal)
        return valueExpr.value;
    // Negated literal (the parser allows nothing else).
    return opNeg(valueExpr.left->value);
}

} // namespace

Linker::Linker(ProgramState& state) : m_state(state) {}

void Linker::linkUnit(ParsedUnit& unit)
{
    if (unit.optionExplicit)
        m_state.optionExplicit = true;
    for (auto& proc : unit.procedures) {
        const std::string upper = upperName(proc->name);
        // A later definition replaces an earlier one, as when a library is loaded twice.
        m_state.procedures[upper] = proc.get();
    }
    declareBlock(unit.statements, nullptr);
    linkBlock(unit.statements, nullptr);
    for (auto& proc : unit.procedures) {
        linkProcedure(*proc);
        m_state.ownedProcedures.push_back(std::move(proc));
    }
    unit.procedures.clear();
}

void Linker::linkExpression(ExprPtr& expr, std::vector<std::string>* placeholders)
{
    m_placeholders = placeholders;
    linkExpr(expr, nullptr);
    m_placeholders = nullptr;
}

void Linker::linkProcedure(Procedure& proc)
{
    Scope scope;
    scope.proc = &proc;
    proc.locals.clear();
    proc.arrayLocals.clear();
    for (const Param& p : proc.params) {
        scope.locals.emplace(upperName(p.name), static_cast<int>(proc.locals.size()));
        proc.locals.push_back(p.name);
    }
    declareBlock(proc.body, &scope);
    linkBlock(proc.body, &scope);
}

void Linker::declareName(Expr& target, Scope* scope)
{
    const std::string upper = upperName(target.name);
    if (target.isConst) {
        Variant value = constantValue(*target.right);
        auto& constants = scope ? scope->constants : m_state.constants;
        if (!constants.emplace(upper, std::move(value)).second && scope)
            throw CompileError{1041, target.line};
        if (!scope)
            constants[upper] = constantValue(*target.right);
        return;
    }
    std::vector<ArrayBound> bounds;
    for (const auto& a : target.args) {
        const int32_t upperBound = a->value.type() == VarType::Long ? a->value.longValue() : 0;
        bounds.push_back(ArrayBound{0, upperBound + 1});
    }
    size_t elements = 1;
    for (const ArrayBound& b : bounds)
        elements *= static_cast<size_t>(b.count > 0 ? b.count : 1);
    if (elements > 10'000'000)
        throw CompileError{1001, target.line};
    if (scope) {
        if (scope->locals.count(upper) != 0)
            throw CompileError{1041, target.line};
        const int slot = static_cast<int>(scope->proc->locals.size());
        scope->locals.emplace(upper, slot);
        scope->proc->locals.push_back(target.name);
        if (!bounds.empty())
            scope->proc->arrayLocals.emplace_back(slot, std::move(bounds));
    } else {
        const int slot = m_state.addGlobal(upper);
        if (!bounds.empty())
            m_state.globals[static_cast<size_t>(slot)] = Variant::makeArray(bounds);
    }
}

void Linker::declareBlock(Block& block, Scope* scope)
{
    for (auto& s : block) {
        if (s->kind == StmtKind::Dim) {
            for (auto& t : s->targets)
                declareName(*t, scope);
        }
        for (auto& b : s->blocks)
            declareBlock(b, scope);
        for (auto& c : s->cases)
            declareBlock(c.body, scope);
    }
}

void Linker::linkBlock(Block& block, Scope* scope)
{
    for (auto& s : block)
        linkStmt(*s, scope);
}

void Linker::linkStmt(Stmt& s, Scope* scope)
{
    switch (s.kind) {
    case StmtKind::Dim:
        break; // declared already
    case StmtKind::ReDim:
        for (auto& t : s.targets) {
            for (auto& a : t->args)
                linkExpr(a, scope);
            auto saved = std::move(t->args);
            resolveName(*t, scope, true);
            t->args = std::move(saved);
        }
        break;
    default:
        break;
    }
    if (s.target)
        linkExpr(s.target, scope, true);
    if (s.value)
        linkExpr(s.value, scope);
    if (s.limit)
        linkExpr(s.limit, scope);
    if (s.step)
        linkExpr(s.step, scope);
    for (auto& c : s.conditions)
        linkExpr(c, scope);
    for (auto& b : s.blocks)
        linkBlock(b, scope);
    for (auto& c : s.cases) {
        for (auto& t : c.tests) {
            linkExpr(t.value, scope);
            if (t.upper)
                linkExpr(t.upper, scope);
        }
        linkBlock(c.body, scope);
    }
}

void Linker::linkExpr(ExprPtr& expr, Scope* scope, bool isTarget)
{
    Expr& e = *expr;
    if (e.left)
        linkExpr(e.left, scope);
    if (e.right)
        linkExpr(e.right, scope);
    for (auto& a : e.args)
        linkExpr(a, scope);
    if (e.kind == ExprKind::Unary && e.unOp != UnaryOp::Not && e.left->isConst)
        e.isConst = true; // "-{A}" reads as a negative literal once the value is written in
    if (e.kind == ExprKind::Name)
        resolveName(e, scope, isTarget);
    else if (e.kind == ExprKind::Placeholder && m_placeholders) {
        int slot = -1;
        for (size_t i = 0; i < m_placeholders->size(); ++i) {
            if (namesEqual((*m_placeholders)[i], e.name))
                slot = static_cast<int>(i);
        }
        if (slot < 0) {
            slot = static_cast<int>(m_placeholders->size());
            m_placeholders->push_back(e.name);
        }
        e.slot = slot;
    }
    fold(expr);
}

void Linker::resolveName(Expr& e, Scope* scope, bool isTarget)
{
    const std::string upper = upperName(e.name);
    if (e.left) {
        if (e.left->kind == ExprKind::ErrObject) {
            static const char* const members[] = {"NUMBER", "DESCRIPTION", "SOURCE", "CLEAR",
                                                  "RAISE", "HELPFILE", "HELPCONTEXT"};
            for (const char* m : members) {
                if (upper == m) {
                    e.kind = ExprKind::ErrMember;
                    e.name = upper;
                    return;
                }
            }
        }
        return; // stays a Name with an object: "Object required" or unsupported member
    }
    if (scope) {
        if (const auto c = scope->constants.find(upper); c != scope->constants.end()) {
            e.kind = ExprKind::Literal;
            e.value = c->second;
            e.isConst = true;
            return;
        }
        if (const auto l = scope->locals.find(upper); l != scope->locals.end()) {
            e.kind = ExprKind::Local;
            e.slot = l->second;
            return;
        }
        if (scope->proc->isFunction && namesEqual(scope->proc->name, e.name)
            && (isTarget || !e.hasParens)) {
            e.kind = ExprKind::ReturnValue;
            return;
        }
    }
    if (const auto c = m_state.constants.find(upper); c != m_state.constants.end()) {
        e.kind = ExprKind::Literal;
        e.value = c->second;
        e.isConst = true;
        return;
    }
    if (const auto g = m_state.globalIndex.find(upper); g != m_state.globalIndex.end()) {
        e.kind = ExprKind::Global;
        e.slot = g->second;
        return;
    }
    if (const auto p = m_state.procedures.find(upper); p != m_state.procedures.end()) {
        e.kind = ExprKind::CallProc;
        e.proc = p->second;
        return;
    }
    if (upper == "ERR") {
        e.kind = ExprKind::ErrObject;
        return;
    }
    if (const Variant* c = findBuiltinConstant(e.name)) {
        e.kind = ExprKind::Literal;
        e.value = *c;
        e.isConst = true;
        return;
    }
    if (const BuiltinInfo* b = findBuiltin(e.name)) {
        e.kind = ExprKind::CallBuiltin;
        e.builtin = b;
        return;
    }
    if (m_state.host) {
        const int index = m_state.host->find(e.name);
        if (index >= 0) {
            e.kind = ExprKind::CallHost;
            e.slot = index;
            return;
        }
    }
    if (e.hasParens && !isTarget) {
        // Unknown function: looked up again when called (a later chunk may define it).
        e.kind = ExprKind::CallProc;
        e.proc = nullptr;
        return;
    }
    if (m_state.optionExplicit)
        return; // stays a Name: "Variable is undefined" when it runs
    if (scope) {
        const int slot = static_cast<int>(scope->proc->locals.size());
        scope->locals.emplace(upper, slot);
        scope->proc->locals.push_back(e.name);
        e.kind = ExprKind::Local;
        e.slot = slot;
    } else {
        e.kind = ExprKind::Global;
        e.slot = m_state.addGlobal(upper);
    }
}

void Linker::fold(ExprPtr& expr)
{
    Expr& e = *expr;
    try {
        if (e.kind == ExprKind::Unary && isLiteral(e.left)) {
            Variant v;
            switch (e.unOp) {
            case UnaryOp::Neg:
                v = opNeg(e.left->value);
                break;
            case UnaryOp::Not:
                v = opNot(e.left->value);
                break;
            case UnaryOp::Plus:
                v = e.left->value;
                break;
            }
            const bool wasConst = e.left->isConst && e.unOp != UnaryOp::Not;
            e.kind = ExprKind::Literal;
            e.value = std::move(v);
            e.isConst = wasConst;
            e.left.reset();
            return;
        }
        if (e.kind == ExprKind::Binary && e.binOp != BinaryOp::Is && isLiteral(e.left)
            && isLiteral(e.right) && !e.placeholderSign) {
            Variant v;
            switch (e.binOp) {
            case BinaryOp::Eq:
            case BinaryOp::Ne:
            case BinaryOp::Lt:
            case BinaryOp::Gt:
            case BinaryOp::Le:
            case BinaryOp::Ge:
                v = opCompare(e.binOp, e.left->value, e.right->value, CompareMode::Binary,
                              e.left->isConst, e.right->isConst);
                break;
            default:
                v = binaryOp(e.binOp, e.left->value, e.right->value);
                break;
            }
            e.kind = ExprKind::Literal;
            e.value = std::move(v);
            e.isConst = false;
            e.left.reset();
            e.right.reset();
        }
    } catch (const ScriptException&) {
        // Leave it: the error belongs to the run, where On Error can handle it.
    }
}

} // namespace orvane::script
