// Source forms scripts are written in, and the corners of arrays, loops and Err that libraries
// rely on.

#include "engine_testutil.h"

#include "script/hostobject.h"

#include <gtest/gtest.h>

using namespace orvane::script;
using orvane::script::test::show;

namespace {

TEST(EngineSyntax, SeparatorsCommentsContinuationsAndOneLineIf)
{
    ScriptEngine e;
    ASSERT_TRUE(e.addCode(
        "a = 1 : b = 2 ' trailing comment\r\n"
        "Rem a whole-line comment\r\n"
        "c = a + _\r\n"
        "    b\r\n"
        "[my var] = c * 10\n"
        "If c = 3 Then d = \"x\" : e2 = \"y\" Else d = \"z\" : e2 = \"w\"\n"
        "If c = 4 Then f = 1 Else f = 2\n"
        "If c > 0 Then\n"
        "  If c > 1 Then g = \"nested\"\n"
        "End If\n"
        "Public pub : Private priv\n"
        "pub = \"p\""));
    EXPECT_EQ(show(e, "c"), "3|Integer");
    EXPECT_EQ(show(e, "[my var]"), "30|Integer");
    EXPECT_EQ(show(e, "d & e2 & f & g & pub"), "xy2nestedp|String");

    // Statements that belong on their own, and procedures inside procedures, are refused.
    EXPECT_FALSE(e.addCode("Sub A()\nSub B()\nEnd Sub\nEnd Sub"));
    EXPECT_EQ(e.lastError().number, 1024);
    EXPECT_FALSE(e.addCode("x = 1 Option Explicit"));
    EXPECT_EQ(e.lastError().number, 1025);
    EXPECT_FALSE(e.addCode("Function F()\nExit Sub\nEnd Function"));
    EXPECT_EQ(e.lastError().number, 1039);
    EXPECT_FALSE(e.addCode("Select Case 1\nCase 1\nx = 1\n"));
    EXPECT_EQ(e.lastError().number, 1014);
    EXPECT_FALSE(e.addCode("Dim arr(n)"));
    EXPECT_EQ(e.lastError().number, 1026);
}

TEST(EngineSyntax, ArraysAndLoopsBehaveAsLibrariesExpect)
{
    ScriptEngine e;
    ASSERT_TRUE(e.addCode(R"(
Dim grid(1, 2), list()
grid(1, 2) = "corner"
ReDim list(2)
list(0) = "a"
ReDim list(3)
cleared = IsEmpty(list(0)) & UBound(list)
copy = grid
copy(1, 2) = "changed"
s = ""
For x = 0.5 To 2 Step 0.5 : s = s & x & ";" : Next
For k = 1 To 10
    k = k + 2
    t = t & k
Next
For Each item In Array()
    neverRun = True
Next
total = 0
For Each item In Split("3,4,5", ",")
    total = total + CInt(item)
Next
Sub Fill(ByRef arr)
    ReDim arr(1)
    arr(1) = "filled"
End Sub
Fill target
)"));
    EXPECT_EQ(show(e, "grid(1, 2) & UBound(grid, 2)"), "corner2|String");
    EXPECT_EQ(show(e, "cleared"), "True3|String");
    EXPECT_EQ(show(e, "copy(1, 2) & grid(1, 2)"), "changedcorner|String"); // arrays copy
    EXPECT_EQ(show(e, "s"), "0.5;1;1.5;2;|String");
    EXPECT_EQ(show(e, "t & k"), "3691213|String"); // the body may move the counter
    EXPECT_EQ(show(e, "IsEmpty(neverRun) & total"), "True12|String");
    EXPECT_EQ(show(e, "target(1)"), "filled|String");
    EXPECT_EQ(show(e, "grid(2, 0)"), "error 9");
    EXPECT_EQ(show(e, "s(0)"), "error 13");

    e.setStepBudget(10000);
    EXPECT_FALSE(e.addCode("For i = 1 To 2 Step 0\nNext"));
    EXPECT_EQ(e.lastError().number, kStepBudgetError);
}

TEST(EngineSyntax, ErrRaiseDefaultsAndMembers)
{
    ScriptEngine e;
    ASSERT_TRUE(e.addCode(R"(
On Error Resume Next
Err.Raise 9
a = Err.Number & "|" & Err.Description & "|" & Err.Source
Err.Clear
Err.Raise 0
b = Err.Number
Err.Clear
Err.Number = 77
Err.Description = "set by hand"
c = Err & "|" & Err.Description
Err.Raise 1000, , "only a text"
d = Err.Description
)"));
    EXPECT_EQ(show(e, "a"),
              "9|Subscript out of range|Microsoft VBScript runtime error|String");
    EXPECT_EQ(show(e, "b"), "5|Long");
    EXPECT_EQ(show(e, "c"), "77|set by hand|String");
    EXPECT_EQ(show(e, "d"), "only a text|String");
    EXPECT_FALSE(e.addCode("Err.Raise 6"));
    EXPECT_EQ(e.lastError().number, 6);
    EXPECT_EQ(e.lastError().description, "Overflow");
    EXPECT_EQ(show(e, "Err.Nope"), "error 438");
    EXPECT_EQ(show(e, "nothingHere.Value"), "error 424");
}

TEST(EngineSyntax, HostFunctionsAreGlobalNamesSeenAfterReset)
{
    ScriptEngine e;
    int calls = 0;
    e.host().addFunction("Twice", 1, 1, [&](std::span<const Variant> a) {
        ++calls;
        return Variant::fromDouble(toDouble(a[0]) * 2);
    });
    ASSERT_TRUE(e.reset("Function UseIt(v)\nUseIt = twice(v)\nEnd Function"));
    EXPECT_EQ(show(e, "UseIt(4) & \",\" & TWICE(1.5)"), "8,3|String");
    EXPECT_EQ(calls, 2);
    // Replacing a function keeps its place; the linked library calls the new one.
    e.host().addFunction("TWICE", 1, 1, [](std::span<const Variant>) {
        return Variant::fromUtf8("replaced");
    });
    EXPECT_EQ(show(e, "UseIt(1)"), "replaced|String");
    EXPECT_EQ(show(e, "Twice()"), "error 5");
    // A user function of the same name is found first.
    ASSERT_TRUE(e.addCode("Function Twice(v)\nTwice = \"own\"\nEnd Function"));
    EXPECT_EQ(show(e, "Twice(1)"), "own|String");
}

} // namespace
