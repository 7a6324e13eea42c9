// What the engine's holders rely on: the host object's functions and their argument rules, DX,
// the expression expansion of templates, the report prelude and compiled formulas.

#include "engine_testutil.h"

#include "script/capitalamount.h"
#include "script/expressionexpander.h"
#include "script/scripterror.h"
#include "script/wagecontext.h"
#include "script/wagedatasource.h"
#include "script/wagefunctions.h"

#include <gtest/gtest.h>

#include <vector>

using namespace orvane::script;
using orvane::script::test::show;

namespace {

// Records what the wage functions ask the database for and answers from a script.
class FakeWageData : public WageDataSource
{
public:
    std::vector<std::string> calls;
    Variant answer = Variant::fromDouble(12.5);
    bool failing = false;

    Variant count(const WageContext& c) override
    {
        calls.push_back("COUNT " + c.fromWhere);
        return Variant::fromLong(42);
    }
    Variant aggregate(const WageContext& c, const std::string& fn,
                      const std::string& caption) override
    {
        calls.push_back(fn + " " + std::to_string(c.sortId) + " " + caption);
        if (failing)
            throw ScriptException(5, "数据库错误", "db");
        return answer;
    }
    Variant salary(const std::string& number, const std::string& sort, int fDate,
                   const std::string& caption) override
    {
        calls.push_back("GET " + number + " " + sort + " " + std::to_string(fDate) + " " + caption);
        return answer;
    }
    Variant previousSalary(const std::string& number, const std::string& sort, int fDate,
                           int periods, const std::string& caption) override
    {
        calls.push_back("PRE " + number + " " + sort + " " + std::to_string(fDate) + " "
                        + std::to_string(periods) + " " + caption);
        return answer;
    }
};

struct WageEngine : ::testing::Test
{
    WageContext context{"张三", 3, "工资", 202612, "FROM w WHERE 1=1"};
    FakeWageData data;
    ScriptEngine engine;

    void SetUp() override
    {
        registerWageFunctions(engine.host(), context);
        registerWageDataFunctions(engine.host(), context, data);
        ASSERT_TRUE(engine.reset());
    }
};

TEST_F(WageEngine, HostFunctionsFollowTheirArgumentRules)
{
    EXPECT_EQ(show(engine, "IIF(2 > 1, \"y\", \"n\")"), "y|String");
    EXPECT_EQ(show(engine, "iif(0, 1, 2.5)"), "2.5|Double");
    EXPECT_EQ(show(engine, "IIf(1, 2)"), "error 5");
    EXPECT_EQ(show(engine, "IIf(1, 2, 3, 4)"), "error 450");
    // Arguments are evaluated before the call, both branches included.
    EXPECT_EQ(show(engine, "IIf(True, 1, 1 / 0)"), "error 11");
    EXPECT_EQ(show(engine, "Ceil(-2.5) & \" \" & Floor(-2.5) & \" \" & TypeName(CEIL(2))"),
              "-2 -3 Double|String");
    EXPECT_EQ(show(engine, "Floor()"), "error 5");
    EXPECT_EQ(show(engine, "UserName() & SName & SDate"), "张三工资202612|String");
    EXPECT_EQ(show(engine, "TypeName(SDATE)"), "Long|String");
    // The functions read the context when called, not when registered.
    context.fDate = 202701;
    EXPECT_EQ(show(engine, "sdate()"), "202701|Long");
    EXPECT_EQ(show(engine, "Sum(\"基本工资\") + Avg(\"奖金\")"), "25|Double");
    EXPECT_EQ(show(engine, "COUNT"), "42|Long");
    EXPECT_EQ(show(engine, "GetSalary(\"001\", \"工资\", 202612, \"实发\")"), "12.5|Double");
    EXPECT_EQ(show(engine, "GETPRESALARY(\"001\", \"工资\", 202612, 2, \"实发\")"),
              "12.5|Double");
    EXPECT_EQ(show(engine, "GetSalary(\"001\", \"工资\", 202612)"), "error 5");
    const std::vector<std::string> expected{
        "SUM 3 基本工资", "AVG 3 奖金", "COUNT FROM w WHERE 1=1", "GET 001 工资 202612 实发",
        "PRE 001 工资 202612 2 实发"};
    EXPECT_EQ(data.calls, expected);

    data.answer = Variant::null();
    EXPECT_EQ(show(engine, "Max(\"实发\")"), "0|Double");
    data.failing = true;
    Variant v;
    EXPECT_FALSE(engine.evaluate("Min(\"实发\")", v));
    EXPECT_EQ(engine.lastError().description, "数据库错误");
}

TEST(CapitalAmount, WritesAmountsWithTheConventionalZeroRules)
{
    const std::pair<double, const char*> cases[] = {
        {0, "零元整"},
        {0.05, "零元伍分"},
        {0.5, "零元伍角"},
        {1, "壹元整"},
        {10, "壹拾元整"},
        {101, "壹佰零壹元整"},
        {1010, "壹仟零壹拾元整"},
        {10001, "壹万零壹元整"},
        {100100, "壹拾万零壹佰元整"},
        {120000, "壹拾贰万元整"},
        {100000001, "壹亿零壹元整"},
        {100010000, "壹亿零壹万元整"},
        {1e12, "壹万亿元整"},
        {1234.56, "壹仟贰佰叁拾肆元伍角陆分"},
        {1.05, "壹元零伍分"},
        {1.5, "壹元伍角"},
        {-8.2, "捌元贰角"},
        {9999999999999999.0, ""},
    };
    for (const auto& [amount, text] : cases)
        EXPECT_EQ(capitalAmount(amount), text) << amount;

    ScriptEngine e;
    WageContext context;
    registerWageFunctions(e.host(), context);
    e.reset();
    EXPECT_EQ(show(e, "DX(\"300\")"), "叁佰元整|String");
    EXPECT_EQ(show(e, "DX(\"abc\")"), "error 13");
}

TEST(ExpressionExpansion, InnermostFirstEveryOccurrenceAndStopOnFailure)
{
    ScriptEngine e;
    ASSERT_TRUE(e.reset("Dim name : name = \"李四\""));
    std::string text = "a{$ 1+2 $}b{$ {$ 2 $} * 3 $}c";
    EXPECT_TRUE(expandExpressions(text, e));
    EXPECT_EQ(text, "a3b6c");

    text = "{$&nbsp;name &amp;&nbsp;\"!\"&nbsp;$}";
    // "&amp;" is not removed: only "&nbsp;" is, so this expression is invalid.
    EXPECT_FALSE(expandExpressions(text, e));
    text = "{$&nbsp;name & \"!\"&nbsp;$}|{$ undefinedThing $}";
    EXPECT_TRUE(expandExpressions(text, e));
    EXPECT_EQ(text, "李四!|undefinedThing");

    text = "{$1+1$}-{$1+1$}";
    EXPECT_TRUE(expandExpressions(text, e));
    EXPECT_EQ(text, "2-2");

    text = "{$1$}{$1/0$}{$2$}";
    EXPECT_FALSE(expandExpressions(text, e));
    EXPECT_EQ(text, "1{$1/0$}{$2$}");
    EXPECT_EQ(e.lastError().number, 11);

    text = "no markers $} here {$ open only";
    EXPECT_TRUE(expandExpressions(text, e));
    EXPECT_EQ(text, "no markers $} here {$ open only");
}

TEST(ReportPrelude, DefinesTheContextFunctionsBeforeTheLibrary)
{
    WageContext context{"王\"五", 1, "月薪", 202612, ""};
    const std::string prelude = reportScriptPrelude(context, "Function Extra()\nExtra = 1\nEnd Function\n");
    EXPECT_EQ(prelude,
              "Function UserName()\n  UserName = \"王\"\"五\" \nEnd Function\n"
              "Function SDate()\n  SDate = 202612 \nEnd Function\n"
              "Function SName()\n  SName = \"月薪\" \nEnd Function\n"
              "Function Extra()\nExtra = 1\nEnd Function\n");
    ScriptEngine e;
    ASSERT_TRUE(e.reset(prelude));
    EXPECT_EQ(show(e, "UserName() & SDate() & SName() & Extra()"), "王\"五202612月薪1|String");
}

// The compiled formula must give what evaluating the text with the values written in gives.
TEST(CompiledFormula, EqualsTextSubstitution)
{
    const char* formulas[] = {
        "{JBGZ}*0.08+IIf({GL}>10,200,100)+Round({JX}/3,2)",
        "{A}^2",
        "{A}-{B}",
        "{A}&{B}",
        "{A}>{S}",
        "{S}=\"abc\"",
        "-{A}",
        "2^{A}",
        "{A}\\3 + {B} Mod 7",
        "TypeName({A}) & TypeName({B})",
        "Len(\"{S}\") + Len({S})",
        "{D} & \"\"",
        "{a} * {jbgz}",
        "-{A} = \"-3\"",
        "-{A} < {S}",
    };
    const std::vector<std::vector<Variant>> valueSets = {
        {Variant::fromDouble(1234.56), Variant::fromLong(12), Variant::fromDouble(1000)},
        {Variant::fromDouble(-3), Variant::fromInteger(5), Variant::fromUtf8("abc")},
        {Variant::fromDouble(0.1 + 0.2), Variant::fromLong(40000), Variant::fromUtf8("9")},
        {Variant::fromDouble(1e20), Variant::fromDouble(-2.5), Variant::fromBool(true)},
        {Variant::fromCurrencyRaw(15000), Variant::fromSingle(0.1f), Variant::fromDate(46000)},
        {Variant::fromInteger(-32768), Variant::fromDouble(1.0 / 3), Variant::fromLong(-7)},
    };
    ScriptEngine compiled;
    ScriptEngine substituted;
    WageContext context;
    registerWageFunctions(compiled.host(), context);
    registerWageFunctions(substituted.host(), context);
    compiled.reset();
    substituted.reset();
    for (const char* text : formulas) {
        Formula f;
        ASSERT_TRUE(compiled.compile(text, f)) << text;
        for (const auto& values : valueSets) {
            std::vector<Variant> bound;
            for (size_t i = 0; i < f.names().size(); ++i) {
                f.bind(static_cast<int>(i), values[i % values.size()]);
                bound.push_back(values[i % values.size()]);
            }
            Variant a;
            const bool okA = compiled.evaluate(f, a);
            std::string substitutedText;
            ASSERT_TRUE(Formula::substitute(text, f.names(), bound, substitutedText));
            Variant b;
            const bool okB = substituted.evaluate(substitutedText, b);
            ASSERT_EQ(okA, okB) << text << " as " << substitutedText;
            if (!okA) {
                EXPECT_EQ(compiled.lastError().number, substituted.lastError().number) << text;
                continue;
            }
            EXPECT_EQ(toUtf8(typeName(a)), toUtf8(typeName(b))) << substitutedText;
            EXPECT_EQ(toUtf8(toString(a)), toUtf8(toString(b))) << substitutedText;
            EXPECT_EQ(compare(a, b), CompareResult::Equal) << substitutedText;
        }
    }
}

TEST(CompiledFormula, NullValuesFailAndResetRelinks)
{
    ScriptEngine e;
    ASSERT_TRUE(e.reset("Function Bonus(x)\nBonus = x * 2\nEnd Function"));
    Formula f;
    ASSERT_TRUE(e.compile("Bonus({JX}) + {jx}", f));
    ASSERT_EQ(f.names().size(), 1u);
    Variant v;
    EXPECT_FALSE(e.evaluate(f, v)); // nothing bound yet
    EXPECT_EQ(e.lastError().number, 94);
    f.bind("JX", Variant::fromDouble(10));
    ASSERT_TRUE(e.evaluate(f, v));
    EXPECT_EQ(toUtf8(toString(v)), "30");
    f.bind("JX", Variant::null());
    EXPECT_FALSE(e.evaluate(f, v));
    // A new library: the formula is linked again against it.
    ASSERT_TRUE(e.reset("Function Bonus(x)\nBonus = x * 3\nEnd Function"));
    f.bind("JX", Variant::fromDouble(10));
    ASSERT_TRUE(e.evaluate(f, v));
    EXPECT_EQ(toUtf8(toString(v)), "40");
    EXPECT_FALSE(e.compile("{JX} +", f));
    EXPECT_EQ(e.lastError().number, 1023);
}

} // namespace
