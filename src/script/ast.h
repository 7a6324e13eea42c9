#pragma once

#include "script/variant.h"

#include <memory>
#include <utility>
#include <string>
#include <vector>

// The internal form of a parsed script: expression and statement trees whose names are resolved
// to storage slots, procedures and functions once, before the first run.

namespace orvane::script {

struct Procedure;
struct BuiltinInfo;

enum class ExprKind {
    Literal,     // constant value (also the result of constant folding)
    Placeholder, // bound formula value, slot = placeholder index
    Name,        // unresolved name with optional arguments (resolved by the linker)
    Local,       // procedure local or parameter, slot = index in the frame
    Global,      // global variable, slot = index in the engine's globals
    ReturnValue, // the running function's own name
    CallProc,    // user Function/Sub
    CallBuiltin, // built-in function
    CallHost,    // function of the host object
    ErrObject,   // the Err object itself
    ErrMember,   // Err.Number, Err.Description, Err.Source, Err.Clear, Err.Raise
    Unary,       // Neg, Not
    Binary,
    Nothing,
    Index,       // an element of the array that left returns: Split(s, ",")(1)
};

enum class UnaryOp { Neg, Not, Plus };

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr
{
    ExprKind kind = ExprKind::Literal;
    int line = 1;
    Variant value;              // Literal
    std::string name;           // Name, member name
    bool hasParens = false;     // Name was followed by an argument list
    std::vector<ExprPtr> args;  // call or index arguments
    ExprPtr left, right;        // operands; left is also the object of a member access
    BinaryOp binOp = BinaryOp::Add;
    UnaryOp unOp = UnaryOp::Neg;
    int slot = -1;              // Local/Global/Placeholder/host function id
    Procedure* proc = nullptr;  // CallProc
    const BuiltinInfo* builtin = nullptr;
    bool isConst = false;       // a literal or a Const: compares as a literal
    // A power chain whose leftmost operand is a placeholder: a negative bound value is written
    // "-5" in the formula text, where '-' binds looser than '^'.
    bool placeholderSign = false;
};

enum class StmtKind {
    Assign,    // target = value (Set too)
    Call,      // a call used as a statement
    Dim,       // declarations with optional array bounds
    ReDim,
    If,
    Select,
    For,
    ForEach,
    Do,        // also While ... Wend
    Exit,
    OnErrorResumeNext,
    OnErrorGoto0,
    Nop,
};

enum class ExitKind { For, Do, Function, Sub };

struct Stmt;
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

struct CaseClause
{
    // Each test is either a value (equality), a range (value To upper) or "Is op value".
    struct Test
    {
        ExprPtr value;
        ExprPtr upper;          // range
        bool isComparison = false;
        BinaryOp op = BinaryOp::Eq;
    };
    std::vector<Test> tests; // empty: Case Else
    Block body;
};

struct Stmt
{
    StmtKind kind = StmtKind::Nop;
    int line = 1;
    ExprPtr target;                // Assign/ReDim/For/ForEach variable
    ExprPtr value;                 // Assign value, For start, ForEach collection, Do condition
    ExprPtr limit, step;           // For
    bool isSet = false;            // Set assignment
    bool preserve = false;         // ReDim Preserve
    bool conditionFirst = false;   // Do While/Until ... Loop
    bool until = false;            // Do ... Until
    ExitKind exitKind = ExitKind::For;
    std::vector<ExprPtr> targets;  // Dim: one Name per variable (args are the bounds)
    std::vector<ExprPtr> conditions; // If / ElseIf conditions
    std::vector<Block> blocks;     // If branches (else last), loop body in blocks[0]
    std::vector<CaseClause> cases; // Select Case
};

struct Param
{
    std::string name;
    bool byRef = true;
    bool isArray = false; // "a()"
};

struct Procedure
{
    std::string name;
    bool isFunction = false;
    int line = 1;
    std::vector<Param> params;
    std::vector<std::string> locals; // params first, then Dim'd and implicit names
    // Locals declared with fixed bounds (Dim a(3)): created anew on every call.
    std::vector<std::pair<int, std::vector<ArrayBound>>> arrayLocals;
    Block body;
};

} // namespace orvane::script
