// The language as scripts use it: statements, procedures, errors and the limits of a run.

#include "engine_testutil.h"

#include <gtest/gtest.h>

using namespace orvane::script;
using orvane::script::test::show;

namespace {

TEST(EngineLanguage, ExpressionsFollowOperatorPrecedenceAndLiteralTypes)
{
    ScriptEngine e;
    EXPECT_EQ(show(e, "-2^2"), "-4|Double");
    EXPECT_EQ(show(e, "2^-1"), "0.5|Double");
    EXPECT_EQ(show(e, "2+3*4"), "14|Integer");
    EXPECT_EQ(show(e, "7 \\ 2 * 3"), "1|Integer"); // * binds tighter than integer division
    EXPECT_EQ(show(e, "10 Mod 4 + 1"), "3|Integer"); // Mod binds tighter than +
    EXPECT_EQ(show(e, "12&3"), "123|String");
    EXPECT_EQ(show(e, "\"a\" & 1 + 2"), "a3|String");
    EXPECT_EQ(show(e, "Not 1 = 2"), "True|Boolean");
    EXPECT_EQ(show(e, "True Or False And False"), "True|Boolean");
    EXPECT_EQ(show(e, "1 < 2 = True"), "True|Boolean");
    EXPECT_EQ(show(e, "&HFFFF"), "-1|Integer");
    EXPECT_EQ(show(e, "&HFFFF&"), "65535|Long");
    EXPECT_EQ(show(e, "&O17"), "15|Integer");
    EXPECT_EQ(show(e, "40000"), "40000|Long");
    EXPECT_EQ(show(e, ".5 + 1e1"), "10.5|Double");
    EXPECT_EQ(show(e, "#2026-12-05#"), "2026/12/5|Date");
    EXPECT_EQ(show(e, "\"say \"\"hi\"\"\""), "say \"hi\"|String");
    EXPECT_EQ(show(e, "IsNull(Null) And IsEmpty(Empty)"), "True|Boolean");
    EXPECT_EQ(show(e, "1 + _\n 2"), "3|Integer");
    EXPECT_EQ(show(e, "lEn(\"ab\") ' a comment"), "2|Long");
}

TEST(EngineLanguage, StatementsAndControlFlow)
{
    ScriptEngine e;
    ASSERT_TRUE(e.addCode(R"(
Dim s, i, total, a(2), found
s = ""
For i = 10 To 1 Step -3 : s = s & i & "," : Next
For Each v In Array(1, 2, 3)
    total = total + v
Next
If total > 5 Then big = "yes" Else big = "no"
If total = 1 Then
    kind = "one"
ElseIf total = 6 Then
    kind = "six"
Else
    kind = "other"
End If
n = 0
Do While n < 3 : n = n + 1 : Loop
m = 0
Do
    m = m + 1
    If m = 7 Then Exit Do
Loop Until m > 100
w = 0
While w < 4
    w = w + 1
Wend
For i = 1 To 10
    If i = 4 Then Exit For
Next
outer = 0
Do
    outer = outer + 1
    For Each v In Array(1, 2)
        If outer = 2 Then Exit Do
    Next
Loop
a(0) = "x" : a(2) = "z"
ReDim Preserve a(4)
a(4) = "new"
Select Case "b"
    Case "a", "c"
        found = 1
    Case "b"
        found = 2
    Case Else
        found = 3
End Select
Const RATE = 0.08
)"));
    EXPECT_EQ(show(e, "s"), "10,7,4,1,|String");
    EXPECT_EQ(show(e, "total"), "6|Integer");
    EXPECT_EQ(show(e, "big & kind"), "yessix|String");
    EXPECT_EQ(show(e, "n & m & w & i & outer"), "37442|String");
    EXPECT_EQ(show(e, "a(0) & a(2) & a(4) & UBound(a)"), "xznew4|String");
    EXPECT_EQ(show(e, "found"), "2|Integer");
    EXPECT_EQ(show(e, "RATE * 100"), "8|Double");
    EXPECT_EQ(show(e, "a(5)"), "error 9");
    EXPECT_EQ(show(e, "TOTAL + Total"), "12|Integer"); // names ignore case
}

TEST(EngineLanguage, SelectCaseLibraryComputesIncomeTax)
{
    ScriptEngine e;
    ASSERT_TRUE(e.reset(R"(
Function Tax(ByVal income)
    Dim taxable
    taxable = income - 5000
    If taxable <= 0 Then
        Tax = 0
        Exit Function
    End If
    Select Case taxable
        Case Is <= 3000
            Tax = taxable * 0.03
        Case 3000 To 12000
            Tax = taxable * 0.1 - 210
        Case Is <= 25000
            Tax = taxable * 0.2 - 1410
        Case Else
            Tax = taxable * 0.25 - 2660
    End Select
    Tax = Round(Tax, 2)
End Function
)"));
    EXPECT_EQ(show(e, "Tax(4000)"), "0|Integer");
    EXPECT_EQ(show(e, "Tax(8000)"), "90|Double");
    EXPECT_EQ(show(e, "Tax(10000)"), "290|Double");
    EXPECT_EQ(show(e, "Tax(20000)"), "1590|Double");
    EXPECT_EQ(show(e, "tax(40000.5)"), "6090.12|Double");
    EXPECT_EQ(show(e, "taxable"), "|Empty"); // locals stay inside the function
    EXPECT_EQ(show(e, "Tax(1, 2)"), "error 450");
}

TEST(EngineLanguage, ArgumentsPassByReferenceUnlessByValOrParenthesised)
{
    ScriptEngine e;
    ASSERT_TRUE(e.addCode(R"(
Sub Bump(ByRef a, ByVal b)
    a = a + 1
    b = b + 1
End Sub
Function Twice(v)
    v = v * 2
    Twice = v
End Function
Function Fact(n)
    If n <= 1 Then Fact = 1 Else Fact = n * Fact(n - 1)
End Function
x = 1 : y = 1
Bump x, y
Bump (x), y
Call Bump(x, y)
z = 5
w = Twice(z)
q = Twice((z))
)"));
    EXPECT_EQ(show(e, "x & \",\" & y"), "3,1|String");
    EXPECT_EQ(show(e, "z & \",\" & w & \",\" & q"), "10,10,20|String");
    EXPECT_EQ(show(e, "Fact(10)"), "3628800|Long");
    EXPECT_FALSE(e.addCode("Bump(x, y)"));
    EXPECT_EQ(e.lastError().number, 1044);
}

TEST(EngineLanguage, CallResultsAndElementsCanBeIndexed)
{
    ScriptEngine e;
    ASSERT_TRUE(e.addCode("Function Parts()\n Parts = Array(\"x\", Array(1, 2))\nEnd Function\n"
                          "Dim nested : nested = Array(Array(5, 6), 7)"));
    EXPECT_EQ(show(e, "Split(\"a,b,c\", \",\")(1)"), "b|String");
    EXPECT_EQ(show(e, "Parts()(1)(0) + 1"), "2|Integer");
    EXPECT_EQ(show(e, "nested(0)(1)"), "6|Integer");
    EXPECT_EQ(show(e, "Split(\"a,b\", \",\")(5)"), "error 9"); // subscript out of range
    EXPECT_EQ(show(e, "Len(\"abc\")(0)"), "error 13");          // not an array
}

TEST(EngineLanguage, CompileErrorsCarryNumberTextAndLine)
{
    ScriptEngine e;
    struct Case
    {
        const char* code;
        int number;
        int line;
    } cases[] = {
        {"x = (1 + 2", 1006, 1},
        {"a = 1\nb = 2 3", 1025, 2},
        {"If x Then\n y = 1\n", 1014, 3},
        {"x = \"open", 1033, 1},
        {"For i = 1 To\nNext", 1023, 1},
        {"Loop", 1038, 1},
        {"Exit For", 1039, 1},
        {"x = 1 $ 2", 1032, 1},
        {"Function F(a, a)\nEnd Function", 1041, 1},
        {"Do\nx = 1\n", 1019, 3},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(e.addCode(c.code)) << c.code;
        EXPECT_EQ(e.lastError().number, c.number) << c.code;
        EXPECT_EQ(e.lastError().line, c.line) << c.code;
        EXPECT_EQ(e.lastError().source, ScriptEngine::kCompileErrorSource);
        // The syntax check finds the same error without loading anything.
        EXPECT_FALSE(e.checkSyntax(c.code)) << c.code;
        EXPECT_EQ(e.lastError().line, c.line) << c.code;
    }
    EXPECT_TRUE(e.checkSyntax("Function F(a)\n F = a * 2\nEnd Function"));
    EXPECT_EQ(show(e, "IsEmpty(F)"), "True|Boolean"); // checked, not defined
    e.addCode("x = 1 2");
    EXPECT_EQ(e.lastError().description, "Expected end of statement");
    // A failed compile changes nothing that was loaded before.
    ASSERT_TRUE(e.addCode("Dim keep : keep = 7"));
    EXPECT_FALSE(e.addCode("keep = 8\nkeep = ("));
    EXPECT_EQ(show(e, "keep"), "7|Integer");
}

TEST(EngineLanguage, OnErrorResumeNextAndTheErrObject)
{
    ScriptEngine e;
    ASSERT_TRUE(e.addCode(R"(
Function Bad()
    Bad = 1 / 0
    Bad = 5
End Function
On Error Resume Next
x = 1 / 0
n = Err.Number
d = Err.Description
Err.Clear
m = Err.Number
r = Bad()
fromCall = Err.Number
Err.Raise 1234, "payroll", "custom failure"
raised = Err.Number & "|" & Err.Source & "|" & Err.Description
If 1 / 0 Then reached = "then"
On Error GoTo 0
after = Err.Number
)"));
    EXPECT_EQ(show(e, "n"), "11|Long");
    EXPECT_EQ(show(e, "d"), "Division by zero|String");
    EXPECT_EQ(show(e, "m"), "0|Long");
    EXPECT_EQ(show(e, "IsEmpty(r) And fromCall = 11"), "True|Boolean");
    EXPECT_EQ(show(e, "raised"), "1234|payroll|custom failure|String");
    EXPECT_EQ(show(e, "reached"), "then|String");
    EXPECT_EQ(show(e, "after"), "0|Long");

    int reported = 0;
    e.setErrorHandler([&](const EngineError& err) {
        ++reported;
        EXPECT_EQ(err.number, 11);
        EXPECT_EQ(err.line, 3);
        EXPECT_EQ(err.description, "Division by zero");
    });
    EXPECT_FALSE(e.addCode("a = 1\nb = 2\nc = a / 0\nnotReached = 4"));
    EXPECT_EQ(reported, 1);
    e.setErrorHandler(nullptr);
    EXPECT_EQ(show(e, "IsEmpty(notReached)"), "True|Boolean");
}

TEST(EngineLanguage, OptionExplicitConstantsAndUndefinedNames)
{
    ScriptEngine e;
    EXPECT_FALSE(e.addCode("Option Explicit\nDim a\na = 1\nb = 2"));
    EXPECT_EQ(e.lastError().number, 500);
    EXPECT_EQ(e.lastError().description, "Variable is undefined: 'b'");
    EXPECT_EQ(e.lastError().line, 4);

    ScriptEngine f;
    EXPECT_FALSE(f.addCode("Const LIMIT = 10\nLIMIT = 11"));
    EXPECT_EQ(f.lastError().number, 501);
    EXPECT_EQ(show(f, "NoSuchFunction(1)"), "error 13");
    EXPECT_EQ(show(f, "undefinedVariable"), "|Empty");
    EXPECT_EQ(show(f, "vbCrLf = Chr(13) & Chr(10)"), "True|Boolean");
}

TEST(EngineLanguage, RunsAreBoundedAndTheEngineSurvivesThem)
{
    ScriptEngine e;
    e.setStepBudget(100000);
    EXPECT_FALSE(e.addCode("Do\nLoop"));
    EXPECT_EQ(e.lastError().number, kStepBudgetError);
    // Resume Next cannot swallow the budget.
    EXPECT_FALSE(e.addCode("On Error Resume Next\nWhile True\nx = 1 / 0\nWend"));
    EXPECT_EQ(e.lastError().number, kStepBudgetError);

    ASSERT_TRUE(e.addCode("Function Down(n)\nDown = Down(n + 1)\nEnd Function"));
    EXPECT_EQ(show(e, "Down(1)"), "error 28");
    EXPECT_FALSE(e.addCode("On Error Resume Next\nx = Down(1)"));
    EXPECT_EQ(e.lastError().number, 28);

    const std::string deep = std::string(5000, '(') + "1" + std::string(5000, ')');
    EXPECT_EQ(show(e, deep), "error 1001");
    EXPECT_EQ(show(e, "ReDim big(100000000)"), "error 1023");
    EXPECT_FALSE(e.addCode("ReDim big(100000000)"));
    EXPECT_EQ(e.lastError().number, 7);
    EXPECT_EQ(show(e, "1 + 1"), "2|Integer");
}

} // namespace
