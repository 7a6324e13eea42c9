// Bound formula values and literals as the formula text would spell them.

#include "engine_testutil.h"

#include "script/formula.h"
#include "script/wagecontext.h"
#include "script/wagefunctions.h"

#include <gtest/gtest.h>

using namespace orvane::script;
using orvane::script::test::show;

namespace {

std::string literal(const Variant& v)
{
    const Variant l = Formula::literalOf(v);
    if (l.isNull())
        return "null";
    return toUtf8(toString(l)) + "|" + toUtf8(typeName(l));
}

TEST(FormulaValues, ReadBackAsTheirLiteralText)
{
    EXPECT_EQ(literal(Variant::fromDouble(5)), "5|Integer");
    EXPECT_EQ(literal(Variant::fromDouble(-40000)), "-40000|Long");
    EXPECT_EQ(literal(Variant::fromDouble(3e9)), "3000000000|Double");
    EXPECT_EQ(literal(Variant::fromDouble(1234.56)), "1234.56|Double");
    EXPECT_EQ(literal(Variant::fromDouble(-0.0)), "0|Integer");
    EXPECT_EQ(literal(Variant::fromLong(32767)), "32767|Integer");
    EXPECT_EQ(literal(Variant::fromByte(7)), "7|Integer");
    EXPECT_EQ(literal(Variant::fromCurrencyRaw(15000)), "1.5|Double");
    EXPECT_EQ(literal(Variant::fromCurrencyRaw(20000)), "2|Integer");
    EXPECT_EQ(literal(Variant::fromSingle(0.1f)), "0.1|Double");
    EXPECT_EQ(literal(Variant::fromBool(false)), "False|Boolean");
    EXPECT_EQ(literal(Variant::fromDate(46000)), "2025/12/9|String");
    EXPECT_EQ(literal(Variant::null()), "null");
    EXPECT_EQ(literal(Variant::empty()), "null");
    // CStr keeps 15 digits: the binary noise of 0.1 + 0.2 is gone, as in the text.
    const Variant sum = Formula::literalOf(Variant::fromDouble(0.1 + 0.2));
    EXPECT_EQ(sum.doubleValue(), 0.3);
    const Variant third = Formula::literalOf(Variant::fromDouble(1.0 / 3));
    EXPECT_EQ(third.doubleValue(), 0.333333333333333);

    std::string text;
    EXPECT_TRUE(Formula::literalText(Variant::fromUtf8("张三"), text));
    EXPECT_EQ(text, "\"张三\"");
    EXPECT_TRUE(Formula::literalText(Variant::fromDouble(-2.5), text));
    EXPECT_EQ(text, "-2.5");
    EXPECT_FALSE(Formula::literalText(Variant::null(), text));
}

TEST(FormulaValues, SubstitutionTakesTheInnermostBracesAndKeepsTheRest)
{
    const std::vector<std::string> names{"A", "b"};
    const std::vector<Variant> values{Variant::fromInteger(3), Variant::fromUtf8("x}y")};
    std::string out;
    ASSERT_TRUE(Formula::substitute("{a}+{{A}}&{B}&{B}", names, values, out));
    EXPECT_EQ(out, "3+{3}&\"x}y\"&\"x}y\"");
    EXPECT_FALSE(Formula::substitute("{C}", names, values, out));
    ASSERT_TRUE(Formula::substitute("no braces } {", names, values, out));
    EXPECT_EQ(out, "no braces } {");
}

TEST(FormulaValues, CompiledFormulasWithLibraryAndHostFunctions)
{
    WageContext context{"op", 1, "工资", 202612, ""};
    ScriptEngine e;
    registerWageFunctions(e.host(), context);
    ASSERT_TRUE(e.reset("Function Tax(x)\nIf x > 5000 Then Tax = (x - 5000) * 0.03 Else Tax = 0\n"
                        "End Function"));
    Formula f;
    ASSERT_TRUE(e.compile("Tax({YFHJ}) + Ceil({KK}) & \"|\" & DX({YFHJ}) & SName", f));
    EXPECT_EQ(f.names(), (std::vector<std::string>{"YFHJ", "KK"}));
    EXPECT_EQ(f.slot("yfhj"), 0);
    EXPECT_EQ(f.slot("none"), -1);
    f.bind("none", Variant::fromInteger(1)); // ignored
    f.bind("YFHJ", Variant::fromDouble(8000));
    f.bind("kk", Variant::fromDouble(0.2));
    Variant v;
    ASSERT_TRUE(e.evaluate(f, v));
    EXPECT_EQ(toUtf8(toString(v)), "91|捌仟元整工资");

    // A value inside a string literal is written into the text, as it was before evaluation.
    ASSERT_TRUE(e.compile("\"{N}:\" & {N}", f));
    f.bind("N", Variant::fromDouble(5));
    ASSERT_TRUE(e.evaluate(f, v));
    EXPECT_EQ(toUtf8(toString(v)), "5:5");
    // A text there makes the quotes meet, so the substituted text does not parse.
    f.bind("N", Variant::fromUtf8("李"));
    EXPECT_FALSE(e.evaluate(f, v));

    for (const char* bad : {"{A", "{A}}", "{A} {B}", ""}) {
        EXPECT_FALSE(e.compile(bad, f)) << bad;
        EXPECT_GT(e.lastError().number, 1000) << bad;
    }
}

TEST(FormulaValues, WageFunctionsRefuseBadArguments)
{
    WageContext context;
    ScriptEngine e;
    registerWageFunctions(e.host(), context);
    e.reset();
    EXPECT_EQ(show(e, "IIf(Null, 1, 2)"), "error 94");
    EXPECT_EQ(show(e, "IIf(\"abc\", 1, 2)"), "error 13");
    EXPECT_EQ(show(e, "IIf(\"True\", 1, 2)"), "1|Integer");
    EXPECT_EQ(show(e, "DX(1E+20)"), "|String");
    EXPECT_EQ(show(e, "Ceil(\"x\")"), "error 13");
    EXPECT_EQ(show(e, "UserName(1)"), "error 450");
    EXPECT_EQ(show(e, "SDate + 0"), "190001|Long");
}

TEST(FormulaValues, LiteralsAtTheEdgesOfTheirTypes)
{
    ScriptEngine e;
    EXPECT_EQ(show(e, "32767"), "32767|Integer");
    EXPECT_EQ(show(e, "32768"), "32768|Long");
    EXPECT_EQ(show(e, "2147483648"), "2147483648|Double");
    EXPECT_EQ(show(e, "&H10000"), "65536|Long");
    EXPECT_EQ(show(e, "&HFFFFFFFF"), "-1|Long");
    EXPECT_EQ(show(e, "&O777"), "511|Integer");
    EXPECT_EQ(show(e, "5."), "5|Double");
    EXPECT_EQ(show(e, "1e"), "error 1031");
    EXPECT_EQ(show(e, "&H100000000"), "error 1031");
    EXPECT_EQ(show(e, "1e999"), "error 1031");
    EXPECT_EQ(show(e, "12abc"), "error 1025");
    EXPECT_EQ(show(e, std::string(300, 'a')), "error 1030");
    EXPECT_EQ(show(e, "\"中文\" & \"€\""), "中文€|String");
    EXPECT_EQ(show(e, "x € 1"), "error 1032");
    EXPECT_EQ(show(e, "#not a date#"), "error 1032");
}

} // namespace
