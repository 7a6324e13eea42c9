#include "runtime_support.h"

namespace orvane::script::test {
namespace {

std::string item(const Variant& array, std::int32_t i)
{
    const std::int32_t at[] = {i};
    return show(array.arrayAt(at));
}

TEST(RuntimeBuiltins, RegistryLooksUpNamesInAnyCase)
{
    const BuiltinInfo* f = findBuiltin("instrrev");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->name, "InStrRev");
    EXPECT_EQ(f->minArgs, 2);
    EXPECT_EQ(f->maxArgs, 4);
    EXPECT_NE(findBuiltin("FORMATCURRENCY"), nullptr);
    EXPECT_EQ(findBuiltin("Eval"), nullptr);
    EXPECT_EQ(findBuiltin(""), nullptr);
    ASSERT_NE(findBuiltinConstant("VBCRLF"), nullptr);
    EXPECT_EQ(show(*findBuiltinConstant("vbCrLf")), "\r\n");
    EXPECT_EQ(show(*findBuiltinConstant("vbTextCompare")), "1");
    EXPECT_EQ(findBuiltinConstant("vbNothing"), nullptr);
    EXPECT_EQ(errorOf([] { call("Left", {S(u"a")}); }), err::WrongNumberOfArguments);
}

TEST(RuntimeBuiltins, StringSlicesCountUtf16UnitsAndWorkWithChinese)
{
    const Variant s = S(u"中华人民共和国");
    EXPECT_EQ(show(call("Len", {s})), "7");
    EXPECT_EQ(show(call("Len", {D(12.5)})), "4");
    EXPECT_TRUE(call("Len", {Variant::null()}).isNull());
    EXPECT_EQ(show(call("Left", {s, I(2)})), "中华");
    EXPECT_EQ(show(call("Right", {s, I(3)})), "共和国");
    EXPECT_EQ(show(call("Right", {s, I(30)})), "中华人民共和国");
    EXPECT_EQ(show(call("Mid", {s, I(3), I(2)})), "人民");
    EXPECT_EQ(show(call("Mid", {s, I(6)})), "和国");
    EXPECT_EQ(show(call("Mid", {s, I(9)})), "");
    EXPECT_TRUE(call("Mid", {Variant::null(), I(1)}).isNull());
    EXPECT_EQ(errorOf([&] { call("Mid", {s, I(0)}); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorOf([&] { call("Left", {s, I(-1)}); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorOf([&] { call("Left", {s, Variant::null()}); }), err::InvalidUseOfNull);
    EXPECT_EQ(show(call("StrReverse", {S(u"工资")})), "资工");
    EXPECT_EQ(show(call("UCase", {S(u"abcä中")})), "ABCÄ中");
    EXPECT_EQ(show(call("LCase", {S(u"ÀBC")})), "àbc");
    EXPECT_EQ(show(call("Trim", {S(u"  a b  ")})), "a b");
    EXPECT_EQ(show(call("LTrim", {S(u"  a ")})), "a ");
    EXPECT_EQ(show(call("Space", {I(3)})), "   ");
    EXPECT_EQ(show(call("String", {I(3), S(u"元角")})), "元元元");
    EXPECT_EQ(show(call("String", {I(2), I(321)})), "AA"); // 321 Mod 256
}

TEST(RuntimeBuiltins, SearchFunctionsAndTheirArgumentForms)
{
    EXPECT_EQ(show(call("InStr", {S(u"abcabc"), S(u"c")})), "3");
    EXPECT_EQ(show(call("InStr", {I(4), S(u"abcabc"), S(u"c")})), "6");
    EXPECT_EQ(show(call("InStr", {I(1), S(u"ABC"), S(u"b")})), "0");
    EXPECT_EQ(show(call("InStr", {I(1), S(u"ABC"), S(u"b"), I(1)})), "2");
    EXPECT_EQ(show(call("InStr", {S(u"工资表"), S(u"资")})), "2");
    EXPECT_EQ(show(call("InStr", {S(u"abc"), S(u"")})), "1");
    EXPECT_EQ(show(call("InStr", {I(5), S(u"abc"), S(u"a")})), "0");
    EXPECT_TRUE(call("InStr", {Variant::null(), S(u"a")}).isNull());
    EXPECT_EQ(errorOf([] { call("InStr", {I(0), S(u"a"), S(u"a")}); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorOf([] {
                  call("InStr", {I(1), S(u"a"), S(u"a"), I(2)});
              }),
              err::InvalidProcedureCall);

    EXPECT_EQ(show(call("InStrRev", {S(u"abcabc"), S(u"c")})), "6");
    EXPECT_EQ(show(call("InStrRev", {S(u"abcabc"), S(u"c"), I(5)})), "3");
    EXPECT_EQ(show(call("InStrRev", {S(u"abcabc"), S(u"bc"), I(2)})), "0");
    EXPECT_EQ(show(call("InStrRev", {S(u"ABCabc"), S(u"C"), I(-1), I(1)})), "6");
    EXPECT_EQ(errorOf([] {
                  call("InStrRev", {S(u"a"), S(u"a"), I(0)});
              }),
              err::InvalidProcedureCall);

    EXPECT_EQ(show(call("StrComp", {S(u"a"), S(u"B")})), "1");
    EXPECT_EQ(show(call("StrComp", {S(u"a"), S(u"B"), I(1)})), "-1");
    EXPECT_TRUE(call("StrComp", {S(u"a"), Variant::null()}).isNull());
}

TEST(RuntimeBuiltins, ReplaceWithAllArguments)
{
    EXPECT_EQ(show(call("Replace", {S(u"aXbxc"), S(u"x"), S(u"-")})), "aXb-c");
    EXPECT_EQ(show(call("Replace", {S(u"aXbxc"), S(u"x"), S(u"-"), I(1), I(-1), I(1)})), "a-b-c");
    // The result starts at `start`; `count` limits the replacements.
    EXPECT_EQ(show(call("Replace", {S(u"aaaa"), S(u"a"), S(u"b"), I(2), I(2)})), "bba");
    EXPECT_EQ(show(call("Replace", {S(u"abc"), S(u""), S(u"x")})), "abc");
    EXPECT_EQ(show(call("Replace", {S(u"abc"), S(u"b"), S(u"")})), "ac");
    EXPECT_EQ(show(call("Replace", {S(u"abc"), S(u"b"), S(u"x"), I(9)})), "");
    EXPECT_EQ(show(call("Replace", {S(u"[基本工资]+[奖金]"), S(u"["), S(u"{")})),
              "{基本工资]+{奖金]");
    EXPECT_EQ(show(call("Replace", {S(u"abab"), S(u"b"), S(u"c"), missingArgument(),
                                    missingArgument(), I(0)})),
              "acac");
    EXPECT_EQ(errorOf([] {
                  call("Replace", {Variant::null(), S(u"a"), S(u"b")});
              }),
              err::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] {
                  call("Replace", {S(u"a"), S(u"a"), S(u"b"), I(1), I(-2)});
              }),
              err::InvalidProcedureCall);
}

TEST(RuntimeBuiltins, SplitJoinFilterAndArrayBounds)
{
    const Variant parts = call("Split", {S(u"张三,李四,,王五"), S(u",")});
    EXPECT_EQ(show(call("UBound", {parts})), "3");
    EXPECT_EQ(show(call("LBound", {parts})), "0");
    EXPECT_EQ(item(parts, 1), "李四");
    EXPECT_EQ(item(parts, 2), "");
    EXPECT_EQ(show(call("UBound", {call("Split", {S(u"")})})), "-1");
    const Variant two = call("Split", {S(u"a b c"), S(u" "), I(2)});
    EXPECT_EQ(item(two, 1), "b c");
    const Variant text = call("Split", {S(u"aXbxc"), S(u"x"), I(-1), I(1)});
    EXPECT_EQ(show(call("UBound", {text})), "2");
    EXPECT_EQ(show(call("Join", {parts, S(u"|")})), "张三|李四||王五");
    EXPECT_EQ(show(call("Join", {call("Array", {I(1), S(u"x"), Variant::null()})})), "1 x ");
    EXPECT_EQ(errorOf([] { call("Join", {S(u"abc")}); }), err::TypeMismatch);

    const Variant names = call("Array", {S(u"张三"), S(u"李四"), S(u"张五")});
    const Variant zhang = call("Filter", {names, S(u"张")});
    EXPECT_EQ(show(call("UBound", {zhang})), "1");
    EXPECT_EQ(item(zhang, 1), "张五");
    const Variant others = call("Filter", {names, S(u"张"), B(false)});
    EXPECT_EQ(show(call("Join", {others})), "李四");
    EXPECT_EQ(show(call("UBound", {call("Filter", {names, S(u"赵")})})), "-1");

    const ArrayBound dims[] = {{0, 3}, {0, 5}};
    const Variant grid = Variant::makeArray(dims);
    EXPECT_EQ(show(call("UBound", {grid, I(2)})), "4");
    EXPECT_EQ(errorOf([&] { call("UBound", {grid, I(3)}); }), err::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([] { call("UBound", {I(1)}); }), err::TypeMismatch);
    EXPECT_TRUE(call("IsArray", {grid}).boolValue());
    EXPECT_EQ(show(call("VarType", {grid})), "8204");
    EXPECT_EQ(show(call("TypeName", {Variant::fromCurrencyRaw(1)})), "Currency");
}

TEST(RuntimeBuiltins, CharacterCodesUseTheChineseCodePage)
{
    EXPECT_EQ(show(call("Asc", {S(u"A")})), "65");
    EXPECT_EQ(show(call("Asc", {S(u"中")})), "-10544"); // 0xD6D0 in code page 936
    EXPECT_EQ(show(call("AscW", {S(u"中")})), "20013");
    EXPECT_EQ(show(call("Chr", {I(65)})), "A");
    EXPECT_EQ(show(call("Chr", {I(-10544)})), "中");
    EXPECT_EQ(show(call("ChrW", {L(20013)})), "中");
    EXPECT_EQ(errorOf([] { call("Asc", {S(u"")}); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorOf([] { call("ChrW", {L(70000)}); }), err::InvalidProcedureCall);
    EXPECT_EQ(show(call("Hex", {I(255)})), "FF");
    EXPECT_EQ(show(call("Hex", {I(-1)})), "FFFF");
    EXPECT_EQ(show(call("Hex", {L(-1)})), "FFFFFFFF");
    EXPECT_EQ(show(call("Oct", {I(8)})), "10");
    EXPECT_TRUE(call("Hex", {Variant::null()}).isNull());
}

TEST(RuntimeBuiltins, RoundingAndMathFunctions)
{
    EXPECT_EQ(show(call("Round", {D(2.5)})), "2");
    EXPECT_EQ(show(call("Round", {D(3.5)})), "4");
    EXPECT_EQ(show(call("Round", {D(-2.5)})), "-2");
    EXPECT_EQ(show(call("Round", {D(2.675), I(2)})), "2.68");
    EXPECT_EQ(show(call("Round", {D(2.665), I(2)})), "2.66");
    EXPECT_EQ(show(call("Round", {D(0.004), I(2)})), "0");
    EXPECT_EQ(show(call("Round", {D(99.995), I(2)})), "100");
    EXPECT_EQ(show(call("Round", {Variant::fromCurrencyRaw(12250), I(1)})), "1.2");
    EXPECT_EQ(type(call("Round", {I(7)})), "Integer");
    EXPECT_EQ(type(call("Round", {S(u"2.5")})), "Double");
    EXPECT_EQ(errorOf([] { call("Round", {D(1), I(-1)}); }), err::InvalidProcedureCall);

    EXPECT_EQ(show(call("Int", {D(-2.5)})), "-3");
    EXPECT_EQ(show(call("Fix", {D(-2.5)})), "-2");
    EXPECT_EQ(type(call("Int", {I(-3)})), "Integer");
    const Variant abs = call("Abs", {I(-32768)});
    EXPECT_EQ(type(abs), "Long");
    EXPECT_EQ(show(abs), "32768");
    EXPECT_EQ(show(call("Sgn", {D(-0.1)})), "-1");
    EXPECT_TRUE(call("Abs", {Variant::null()}).isNull());
    EXPECT_EQ(show(call("Sqr", {I(16)})), "4");
    EXPECT_EQ(errorOf([] { call("Sqr", {I(-1)}); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorOf([] { call("Log", {I(0)}); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorOf([] { call("Exp", {I(1000)}); }), err::Overflow);
    EXPECT_EQ(show(call("Atn", {I(1)})), "0.785398163397448");
}

TEST(RuntimeBuiltins, RandomNumbersRepeatForTheSameSeed)
{
    const Variant first = call("Rnd", {I(-1)});
    EXPECT_EQ(show(first), "0.224007");
    EXPECT_EQ(show(call("Rnd", {I(0)})), "0.224007");
    call("Rnd", {I(-1)});
    call("Randomize", {I(5)});
    const Variant a = call("Rnd");
    const Variant b = call("Rnd");
    call("Rnd", {I(-1)});
    call("Randomize", {I(5)});
    EXPECT_EQ(show(call("Rnd")), show(a));
    EXPECT_EQ(show(call("Rnd")), show(b));
    for (int i = 0; i < 100; ++i) {
        const float r = call("Rnd").singleValue();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
}

} // namespace
} // namespace orvane::script::test
