#include "script/interpreter.h"

#include "script/builtins.h"
#include "script/conversions.h"
#include "script/hostobject.h"
#include "script/lexer.h"

#include <new>
#include <stdexcept>

namespace orvane::script {

namespace {

constexpr size_t kMaxArrayElements = 10'000'000;
// Longest string a script may build (in UTF-16 units); longer results are "Out of string space".
constexpr size_t kMaxStringLength = size_t(1) << 26;
// Building large strings and arrays costs one step per this many units, so that the step budget
// also bounds the time a run spends copying.
constexpr size_t kUnitsPerStep = 64;

[[noreturn]] void raiseNamed(int number, const std::string& name)
{
    throw ScriptException(number,
                          std::string(errorDescription(number)) + ": '" + name + "'");
}

bool isComparison(BinaryOp op)
{
    return op == BinaryOp::Eq || op == BinaryOp::Ne || op == BinaryOp::Lt || op == BinaryOp::Gt
        || op == BinaryOp::Le || op == BinaryOp::Ge;
}

bool isNegativeNumber(const Variant& v)
{
    switch (v.type()) {
    case VarType::Integer:
        return v.integerValue() < 0;
    case VarType::Long:
        return v.longValue() < 0;
    case VarType::Double:
        return v.doubleValue() < 0;
    default:
        return false;
    }
}

} // namespace

Interpreter::Interpreter(ProgramState& state) : m_state(state)
{
    m_args.reserve(64);
}

void Interpreter::beginRun(uint64_t stepBudget, size_t maxStackBytes, int maxCallDepth)
{
    m_stepsLeft = stepBudget;
    m_maxStack = maxStackBytes;
    m_maxDepth = maxCallDepth;
    char here = 0;
    m_stackTop = &here;
    m_frames.clear();
    m_store.clear();
    m_refs.clear();
    m_args.clear();
    m_frames.push_back(Frame{});
}

void Interpreter::tick()
{
    if (m_stepsLeft == 0 || --m_stepsLeft == 0)
        throw ScriptAbort(ScriptError{kStepBudgetError, kStepBudgetText,
                                      std::string(kRuntimeErrorSource)});
}

void Interpreter::charge(size_t units)
{
    const uint64_t steps = units / kUnitsPerStep;
    if (steps == 0)
        return;
    if (steps >= m_stepsLeft) {
        m_stepsLeft = 1;
        tick();
    }
    m_stepsLeft -= steps;
}

const Variant& Interpreter::charged(const Variant& v)
{
    if (v.isString()) {
        const size_t length = v.stringValue().size();
        if (length > kMaxStringLength)
            throw ScriptException(err::OutOfStringSpace);
        charge(length);
    } else if (v.isArray()) {
        charge(v.arraySize());
    }
    return v;
}

void Interpreter::checkStack()
{
    char here = 0;
    const auto used = static_cast<size_t>(m_stackTop > &here ? m_stackTop - &here
                                                             : &here - m_stackTop);
    if (used > m_maxStack || static_cast<int>(m_frames.size()) > m_maxDepth)
        throw ScriptAbort(ScriptError{err::OutOfStackSpace,
                                      std::string(errorDescription(err::OutOfStackSpace)),
                                      std::string(kRuntimeErrorSource)});
}

void Interpreter::runTopLevel(const Block& block)
{
    execBlock(block);
}

Variant Interpreter::evaluate(const Expr& expr, std::span<const Variant> placeholders)
{
    m_placeholders = placeholders;
    m_line = expr.line;
    return eval(expr);
}

void Interpreter::handleError(const ScriptError& error)
{
    m_err = error;
}

// ---------------------------------------------------------------------------------------------
// Statements

Interpreter::Flow Interpreter::execBlock(const Block& block)
{
    checkStack();
    for (const StmtPtr& s : block) {
        tick();
        m_line = s->line;
        try {
            const Flow f = execStmt(*s);
            if (f != Flow::Normal)
                return f;
        } catch (const ScriptException& e) {
            if (!m_frames.back().resumeNext)
                throw;
            handleError(e.error());
        } catch (const std::bad_alloc&) {
            if (!m_frames.back().resumeNext)
                throw ScriptException(err::OutOfMemory);
            handleError(ScriptException(err::OutOfMemory).error());
        } catch (const std::length_error&) {
            if (!m_frames.back().resumeNext)
                throw ScriptException(err::OutOfMemory);
            handleError(ScriptException(err::OutOfMemory).error());
        }
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::execStmt(const Stmt& s)
{
    switch (s.kind) {
    case StmtKind::Assign:
        execAssign(s);
        return Flow::Normal;
    case StmtKind::Call:
        eval(*s.value);
        return Flow::Normal;
    case StmtKind::Dim:
    case StmtKind::Nop:
        return Flow::Normal;
    case StmtKind::ReDim:
        execReDim(s);
        return Flow::Normal;
    case StmtKind::If:
        for (size_t i = 0; i < s.conditions.size(); ++i) {
            bool truth = false;
            try {
                truth = condition(*s.conditions[i]);
            } catch (const ScriptException& e) {
                // With Resume Next a failing condition continues into its branch.
                if (!m_frames.back().resumeNext)
                    throw;
                handleError(e.error());
                truth = true;
            }
            if (truth)
                return execBlock(s.blocks[i]);
        }
        if (s.blocks.size() > s.conditions.size())
            return execBlock(s.blocks.back());
        return Flow::Normal;
    case StmtKind::Select:
        return execSelect(s);
    case StmtKind::For:
        return execFor(s);
    case StmtKind::ForEach:
        return execForEach(s);
    case StmtKind::Do:
        return execDo(s);
    case StmtKind::Exit:
        switch (s.exitKind) {
        case ExitKind::For:
            return Flow::ExitFor;
        case ExitKind::Do:
            return Flow::ExitDo;
        default:
            return Flow::ExitProc;
        }
    case StmtKind::OnErrorResumeNext:
        m_frames.back().resumeNext = true;
        clearErr();
        return Flow::Normal;
    case StmtKind::OnErrorGoto0:
        m_frames.back().resumeNext = false;
        clearErr();
        return Flow::Normal;
    }
    return Flow::Normal;
}

bool Interpreter::condition(const Expr& e)
{
    const Variant v = eval(e);
    if (v.isNull())
        return false;
    return toBool(v);
}

void Interpreter::execAssign(const Stmt& s)
{
    Variant value = eval(*s.value);
    if (s.isSet) {
        if (!value.isObject())
            throw ScriptException(err::ObjectRequired);
    } else if (value.isObject()) {
        if (value.isNothing())
            throw ScriptException(err::ObjectVariableNotSet);
        value = dereference(value);
    }
    const Expr& t = *s.target;
    switch (t.kind) {
    case ExprKind::ErrMember:
        if (t.name == "NUMBER")
            m_err.number = toLong(value);
        else if (t.name == "DESCRIPTION")
            m_err.description = toUtf8(toString(value));
        else if (t.name == "SOURCE")
            m_err.source = toUtf8(toString(value));
        else
            raiseNamed(err::IllegalAssignment, t.name);
        return;
    case ExprKind::Local:
    case ExprKind::Global:
    case ExprKind::ReturnValue:
        break;
    case ExprKind::Name:
        if (t.left)
            raiseNamed(err::ObjectRequired, t.left->name);
        raiseNamed(err::VariableUndefined, t.name);
    default:
        raiseNamed(err::IllegalAssignment, t.name);
    }
    if (!t.args.empty()) {
        std::vector<int32_t> indexes;
        indexesOf(t, indexes);
        Variant& array = variableRef(t);
        if (!array.isArray())
            raiseNamed(err::TypeMismatch, t.name);
        array.arrayAtMut(indexes) = std::move(value);
        return;
    }
    variableRef(t) = std::move(value);
}

void Interpreter::execReDim(const Stmt& s)
{
    for (const ExprPtr& t : s.targets) {
        std::vector<ArrayBound> bounds;
        size_t elements = 1;
        for (const ExprPtr& a : t->args) {
            const int32_t upper = toLong(eval(*a));
            if (upper < -1)
                throw ScriptException(err::SubscriptOutOfRange);
            bounds.push_back(ArrayBound{0, upper + 1});
            elements *= static_cast<size_t>(upper + 1 > 0 ? upper + 1 : 1);
            if (elements > kMaxArrayElements)
                throw ScriptException(err::OutOfMemory);
        }
        if (t->kind == ExprKind::Name)
            raiseNamed(err::VariableUndefined, t->name);
        if (t->kind != ExprKind::Local && t->kind != ExprKind::Global)
            raiseNamed(err::IllegalAssignment, t->name);
        charge(elements);
        Variant& var = variableRef(*t);
        if (s.preserve && var.isArray())
            var.redim(bounds, true);
        else
            var = Variant::makeArray(bounds);
    }
}

Interpreter::Flow Interpreter::execFor(const Stmt& s)
{
    const Variant start = toNumeric(eval(*s.value));
    const Variant limit = toNumeric(eval(*s.limit));
    const Variant step = s.step ? toNumeric(eval(*s.step)) : Variant::fromInteger(1);
    if (start.isNull() || limit.isNull() || step.isNull())
        throw ScriptException(err::InvalidUseOfNull);
    const bool up = compare(step, Variant::fromInteger(0)) != CompareResult::Less;
    const Expr& var = *s.target;
    if (var.kind != ExprKind::Local && var.kind != ExprKind::Global)
        raiseNamed(var.kind == ExprKind::Name ? err::VariableUndefined : err::IllegalAssignment,
                   var.name);
    variableRef(var) = start;
    for (;;) {
        const Variant current = variableRef(var);
        const CompareResult c = compare(current, limit);
        if (up ? c == CompareResult::Greater : c == CompareResult::Less)
            break;
        tick();
        const Flow f = execBlock(s.blocks[0]);
        if (f == Flow::ExitFor)
            break;
        if (f != Flow::Normal)
            return f; // Exit Do or Exit Function/Sub leaves the enclosing loop or procedure
        Variant& counter = variableRef(var);
        counter = opAdd(counter, step);
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::execForEach(const Stmt& s)
{
    const Variant collection = eval(*s.value);
    if (!collection.isArray())
        throw ScriptException(collection.isObject() ? err::ObjectDoesntSupportMember
                                                    : err::ObjectNotACollection);
    const Expr& var = *s.target;
    if (var.kind != ExprKind::Local && var.kind != ExprKind::Global)
        raiseNamed(var.kind == ExprKind::Name ? err::VariableUndefined : err::IllegalAssignment,
                   var.name);
    for (const Variant& element : collection.arrayElements()) {
        tick();
        variableRef(var) = element;
        const Flow f = execBlock(s.blocks[0]);
        if (f == Flow::ExitFor)
            break;
        if (f != Flow::Normal)
            return f; // Exit Do or Exit Function/Sub leaves the enclosing loop or procedure
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::execDo(const Stmt& s)
{
    for (;;) {
        tick();
        if (s.conditionFirst && s.value && condition(*s.value) == s.until)
            break;
        const Flow f = execBlock(s.blocks[0]);
        if (f == Flow::ExitDo)
            break;
        if (f == Flow::ExitProc || f == Flow::ExitFor)
            return f;
        if (!s.conditionFirst && s.value && condition(*s.value) == s.until)
            break;
    }
    return Flow::Normal;
}

bool Interpreter::caseMatches(const Variant& subject, bool subjectConst,
                              const CaseClause::Test& t)
{
    const Variant value = eval(*t.value);
    if (t.upper) {
        const Variant upper = eval(*t.upper);
        const CompareResult lo =
            compare(subject, value, CompareMode::Binary, subjectConst, t.value->isConst);
        const CompareResult hi =
            compare(subject, upper, CompareMode::Binary, subjectConst, t.upper->isConst);
        return (lo == CompareResult::Greater || lo == CompareResult::Equal)
            && (hi == CompareResult::Less || hi == CompareResult::Equal);
    }
    const BinaryOp op = t.isComparison ? t.op : BinaryOp::Eq;
    const Variant r =
        opCompare(op, subject, value, CompareMode::Binary, subjectConst, t.value->isConst);
    return !r.isNull() && toBool(r);
}

Interpreter::Flow Interpreter::execSelect(const Stmt& s)
{
    const Variant subject = eval(*s.value);
    for (const CaseClause& c : s.cases) {
        bool match = c.tests.empty();
        for (const auto& t : c.tests) {
            if (caseMatches(subject, s.value->isConst, t)) {
                match = true;
                break;
            }
        }
        if (match)
            return execBlock(c.body);
    }
    return Flow::Normal;
}

// ---------------------------------------------------------------------------------------------
// Expressions

Variant& Interpreter::variableRef(const Expr& target)
{
    switch (target.kind) {
    case ExprKind::Local:
        return *m_refs[m_frames.back().base + static_cast<size_t>(target.slot)];
    case ExprKind::Global:
        return m_state.globals[static_cast<size_t>(target.slot)];
    case ExprKind::ReturnValue:
        return *m_frames.back().returnValue;
    default:
        raiseNamed(err::IllegalAssignment, target.name);
    }
}

void Interpreter::indexesOf(const Expr& e, std::vector<int32_t>& out)
{
    out.clear();
    for (const ExprPtr& a : e.args)
        out.push_back(toLong(eval(*a)));
}

Variant Interpreter::eval(const Expr& e)
{
    switch (e.kind) {
    case ExprKind::Literal:
        return e.value;
    case ExprKind::Placeholder: {
        if (static_cast<size_t>(e.slot) >= m_placeholders.size())
            raiseNamed(err::VariableUndefined, e.name);
        const Variant& v = m_placeholders[static_cast<size_t>(e.slot)];
        if (v.isNull() || v.isEmpty())
            raiseNamed(err::InvalidUseOfNull, e.name);
        return v;
    }
    case ExprKind::Local:
    case ExprKind::Global:
    case ExprKind::ReturnValue: {
        if (e.args.empty())
            return variableRef(e);
        int32_t small[4];
        std::vector<int32_t> big;
        std::span<const int32_t> indexes;
        if (e.args.size() <= 4) {
            for (size_t i = 0; i < e.args.size(); ++i)
                small[i] = toLong(eval(*e.args[i]));
            indexes = std::span<const int32_t>(small, e.args.size());
        } else {
            indexesOf(e, big);
            indexes = big;
        }
        const Variant& array = variableRef(e);
        if (!array.isArray())
            raiseNamed(err::TypeMismatch, e.name);
        return array.arrayAt(indexes);
    }
    case ExprKind::CallProc:
        return callProcedure(e);
    case ExprKind::CallBuiltin:
        return callBuiltin(e);
    case ExprKind::CallHost:
        return callHost(e);
    case ExprKind::ErrObject:
        return Variant::fromLong(m_err.number);
    case ExprKind::ErrMember:
        return evalErrMember(e);
    case ExprKind::Unary: {
        switch (e.unOp) {
        case UnaryOp::Neg:
            return opNeg(eval(*e.left));
        case UnaryOp::Not:
            return opNot(eval(*e.left));
        case UnaryOp::Plus:
            return eval(*e.left);
        }
        return {};
    }
    case ExprKind::Binary: {
        if (e.placeholderSign) {
            const Expr* leaf = e.left.get();
            while (leaf->kind == ExprKind::Binary)
                leaf = leaf->left.get();
            const Variant v = eval(*leaf);
            if (isNegativeNumber(v))
                return opNeg(evalPowerChain(e, opNeg(v)));
            return evalPowerChain(e, v);
        }
        const Variant a = eval(*e.left);
        const Variant b = eval(*e.right);
        if (isComparison(e.binOp))
            return opCompare(e.binOp, a, b, CompareMode::Binary, e.left->isConst,
                             e.right->isConst);
        switch (e.binOp) {
        case BinaryOp::Add: {
            Variant r = opAdd(a, b); // adds two texts by joining them
            charged(r);
            return r;
        }
        case BinaryOp::Concat: {
            if (a.isString() && b.isString()
                && a.stringValue().size() + b.stringValue().size() > kMaxStringLength)
                throw ScriptException(err::OutOfStringSpace);
            Variant r = opConcat(a, b);
            charged(r);
            return r;
        }
        case BinaryOp::Sub:
            return opSub(a, b);
        case BinaryOp::Mul:
            return opMul(a, b);
        case BinaryOp::Div:
            return opDiv(a, b);
        default:
            return binaryOp(e.binOp, a, b);
        }
    }
    case ExprKind::Nothing:
        return Variant::nothing();
    case ExprKind::Index: {
        const Variant array = eval(*e.left);
        if (!array.isArray())
            raiseNamed(err::TypeMismatch, e.left->name);
        std::vector<int32_t> indexes;
        indexesOf(e, indexes);
        return array.arrayAt(indexes);
    }
    case ExprKind::Name:
        if (e.left) {
            if (e.left->kind == ExprKind::ErrObject)
                raiseNamed(err::ObjectDoesntSupportMember, e.name);
            const Variant object = eval(*e.left);
            if (!object.isObject())
                raiseNamed(err::ObjectRequired, e.left->name);
            raiseNamed(err::ObjectDoesntSupportMember, e.name);
        }
        raiseNamed(err::VariableUndefined, e.name);
    }
    return {};
}

Variant Interpreter::evalPowerChain(const Expr& e, const Variant& leaf)
{
    if (e.kind != ExprKind::Binary)
        return leaf;
    Variant base = evalPowerChain(*e.left, leaf);
    return opPow(base, eval(*e.right));
}

Variant Interpreter::evalErrMember(const Expr& e)
{
    const std::string& m = e.name;
    if (m == "NUMBER" || m == "HELPCONTEXT") {
        if (!e.args.empty())
            raiseNamed(err::WrongNumberOfArguments, m);
        return Variant::fromLong(m == "NUMBER" ? m_err.number : 0);
    }
    if (m == "DESCRIPTION" || m == "SOURCE" || m == "HELPFILE") {
        if (!e.args.empty())
            raiseNamed(err::WrongNumberOfArguments, m);
        if (m == "HELPFILE")
            return Variant::fromUtf8("");
        return Variant::fromUtf8(m == "SOURCE" ? m_err.source : m_err.description);
    }
    if (m == "CLEAR") {
        if (!e.args.empty())
            raiseNamed(err::WrongNumberOfArguments, m);
        clearErr();
        return {};
    }
    // Raise number[, source[, description]]
    if (e.args.empty() || e.args.size() > 5)
        raiseNamed(err::WrongNumberOfArguments, "Raise");
    const int32_t number = toLong(eval(*e.args[0]));
    std::string source;
    std::string description;
    if (e.args.size() > 1) {
        const Variant v = eval(*e.args[1]);
        if (!isMissing(v))
            source = toUtf8(toString(v));
    }
    if (e.args.size() > 2) {
        const Variant v = eval(*e.args[2]);
        if (!isMissing(v))
            description = toUtf8(toString(v));
    }
    if (number == 0)
        throw ScriptException(err::InvalidProcedureCall);
    if (description.empty())
        description = std::string(errorDescription(number));
    if (source.empty())
        source = std::string(kRuntimeErrorSource);
    throw ScriptException(ScriptError{number, description, source});
}

Variant* Interpreter::byRefTarget(const Expr& arg)
{
    if (!arg.args.empty())
        return nullptr;
    switch (arg.kind) {
    case ExprKind::Local:
    case ExprKind::Global:
    case ExprKind::ReturnValue:
        return &variableRef(arg);
    default:
        return nullptr;
    }
}

Variant Interpreter::callProcedure(const Expr& call)
{
    const Procedure* proc = call.proc;
    if (!proc) {
        const auto it = m_state.procedures.find(upperName(call.name));
        if (it == m_state.procedures.end())
            raiseNamed(err::TypeMismatch, call.name);
        proc = it->second;
    }
    if (call.args.size() != proc->params.size())
        raiseNamed(err::WrongNumberOfArguments, proc->name);
    tick();
    checkStack();

    // Arguments are evaluated in the caller's frame before the new frame exists.
    struct Arg
    {
        Variant value;
        Variant* ref = nullptr;
    };
    std::vector<Arg> args(call.args.size());
    for (size_t i = 0; i < call.args.size(); ++i) {
        if (proc->params[i].byRef)
            args[i].ref = byRefTarget(*call.args[i]);
        if (!args[i].ref)
            args[i].value = eval(*call.args[i]);
    }

    Variant returnValue;
    const size_t storeBase = m_store.size();
    const size_t refBase = m_refs.size();
    struct Unwind
    {
        Interpreter& self;
        size_t storeBase;
        size_t refBase;
        ~Unwind()
        {
            while (self.m_store.size() > storeBase)
                self.m_store.pop_back();
            self.m_refs.resize(refBase);
            self.m_frames.pop_back();
        }
    };
    m_frames.push_back(Frame{proc, refBase, &returnValue, false});
    Unwind unwind{*this, storeBase, refBase};
    for (size_t i = 0; i < proc->locals.size(); ++i) {
        if (i < args.size() && args[i].ref) {
            m_refs.push_back(args[i].ref);
            continue;
        }
        m_store.emplace_back(i < args.size() ? std::move(args[i].value) : Variant());
        m_refs.push_back(&m_store.back());
    }
    for (const auto& [slot, bounds] : proc->arrayLocals)
        *m_refs[refBase + static_cast<size_t>(slot)] = Variant::makeArray(bounds);
    const int callerLine = m_line;
    execBlock(proc->body);
    m_line = callerLine;
    return returnValue;
}

Variant Interpreter::callBuiltin(const Expr& call)
{
    const BuiltinInfo& b = *call.builtin;
    const int n = static_cast<int>(call.args.size());
    if (n < b.minArgs || n > b.maxArgs)
        raiseNamed(err::WrongNumberOfArguments, std::string(b.name));
    const size_t base = m_args.size();
    struct Pop
    {
        std::vector<Variant>& args;
        size_t base;
        ~Pop() { args.resize(base); }
    } pop{m_args, base};
    for (const ExprPtr& a : call.args)
        m_args.push_back(eval(*a));
    Variant r = b.fn(std::span<const Variant>(m_args.data() + base, call.args.size()));
    charged(r);
    return r;
}

Variant Interpreter::callHost(const Expr& call)
{
    const size_t base = m_args.size();
    struct Pop
    {
        std::vector<Variant>& args;
        size_t base;
        ~Pop() { args.resize(base); }
    } pop{m_args, base};
    for (const ExprPtr& a : call.args)
        m_args.push_back(eval(*a));
    Variant r = m_state.host->call(
        call.slot, std::span<const Variant>(m_args.data() + base, call.args.size()));
    charged(r);
    return r;
}

} // namespace orvane::script
