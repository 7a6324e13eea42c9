#include "runtime_support.h"

namespace orvane::script::test {
namespace {

// Counts live instances so that tests see when an object is released.
struct Tracked : Object
{
    explicit Tracked(int& live) : live(live) { ++live; }
    ~Tracked() override { --live; }
    int& live;
};

TEST(RuntimeValues, ObjectsAreReleasedWithTheirLastReference)
{
    int live = 0;
    {
        Variant a = Variant::fromObject(ObjectRef(new Tracked(live)));
        EXPECT_EQ(live, 1);
        Variant b = a;
        Variant c = std::move(a);
        EXPECT_TRUE(a.isEmpty());
        b = I(1);
        EXPECT_EQ(live, 1);
        std::vector<Variant> items{c, c};
        Variant array = Variant::makeArray(std::move(items));
        c = Variant();
        EXPECT_EQ(live, 1); // still held by the array
        array = S(u"x");
        EXPECT_EQ(live, 0);
        Variant self = Variant::fromObject(ObjectRef(new Tracked(live)));
        const Variant& alias = self;
        self = alias; // assigning a value to itself keeps it alive
        EXPECT_EQ(live, 1);
        EXPECT_EQ(self.varTypeCode(), 9);
        EXPECT_EQ(type(self), "Object");
    }
    EXPECT_EQ(live, 0);
}

TEST(RuntimeValues, TypeNamesAndVarTypesOfEverySubtype)
{
    struct Case
    {
        Variant value;
        const char* name;
        int code;
    };
    const Case cases[] = {
        {Variant(), "Empty", 0},
        {Variant::null(), "Null", 1},
        {I(1), "Integer", 2},
        {L(1), "Long", 3},
        {Variant::fromSingle(1), "Single", 4},
        {D(1), "Double", 5},
        {Variant::fromCurrencyRaw(1), "Currency", 6},
        {Variant::fromDate(1), "Date", 7},
        {S(u"a"), "String", 8},
        {Variant::nothing(), "Nothing", 9},
        {Variant::fromError(5), "Error", 10},
        {B(true), "Boolean", 11},
        {Variant::fromByte(1), "Byte", 17},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(show(call("TypeName", {c.value})), c.name);
        EXPECT_EQ(call("VarType", {c.value}).integerValue(), c.code) << c.name;
    }
    EXPECT_TRUE(call("IsEmpty", {Variant()}).boolValue());
    EXPECT_FALSE(call("IsEmpty", {S(u"")}).boolValue());
    EXPECT_TRUE(call("IsNull", {Variant::null()}).boolValue());
    EXPECT_TRUE(call("IsObject", {Variant::nothing()}).boolValue());
    EXPECT_FALSE(call("IsObject", {I(1)}).boolValue());

    // The conversion functions give their own subtype.
    EXPECT_EQ(type(call("CByte", {S(u"7")})), "Byte");
    EXPECT_EQ(type(call("CInt", {D(7)})), "Integer");
    EXPECT_EQ(type(call("CLng", {I(7)})), "Long");
    EXPECT_EQ(type(call("CSng", {I(7)})), "Single");
    EXPECT_EQ(type(call("CDbl", {S(u"1,234.5")})), "Double");
    EXPECT_EQ(show(call("CDbl", {S(u"1,234.5")})), "1234.5");
    EXPECT_EQ(type(call("CCur", {D(7)})), "Currency");
    EXPECT_EQ(type(call("CDate", {S(u"2026/1/1")})), "Date");
    EXPECT_EQ(type(call("CStr", {I(7)})), "String");
    EXPECT_EQ(type(call("CBool", {I(7)})), "Boolean");
    EXPECT_EQ(errorOf([] { call("CSng", {D(1e39)}); }), err::Overflow);
    EXPECT_EQ(errorOf([] { call("CSng", {Variant::null()}); }), err::InvalidUseOfNull);
}

TEST(RuntimeValues, ErrorsCarryNumberDescriptionAndSource)
{
    try {
        toInteger(S(u"工资"));
        FAIL() << "no error raised";
    } catch (const ScriptException& e) {
        EXPECT_EQ(e.error().number, 13);
        EXPECT_EQ(e.error().description, "Type mismatch");
        EXPECT_EQ(e.error().source, "Microsoft VBScript runtime error");
        EXPECT_STREQ(e.what(), "Type mismatch");
    }
    EXPECT_EQ(errorDescription(9), "Subscript out of range");
    EXPECT_EQ(errorDescription(424), "Object required");
    EXPECT_EQ(errorDescription(438), "Object doesn't support this property or method");
    EXPECT_EQ(errorDescription(450), "Wrong number of arguments or invalid property assignment");
    EXPECT_EQ(errorDescription(500), "Variable is undefined");
    EXPECT_EQ(errorDescription(12345), "Unknown runtime error");
    const ScriptException own(1001, "金额超出范围", "工资计算");
    EXPECT_EQ(own.error().description, "金额超出范围");
    EXPECT_EQ(own.error().source, "工资计算");
}

TEST(RuntimeValues, NullPassesThroughStringFunctionsOrIsRefused)
{
    const Variant null = Variant::null();
    for (const char* fn : {"Len", "LCase", "UCase", "Trim", "LTrim", "RTrim", "Hex", "Oct", "Abs",
                           "Int", "Fix", "Sgn", "Round", "Year", "DateValue"})
        EXPECT_TRUE(call(fn, {null}).isNull()) << fn;
    EXPECT_TRUE(call("Left", {null, I(1)}).isNull());
    EXPECT_TRUE(call("Right", {null, I(1)}).isNull());
    EXPECT_TRUE(call("String", {I(2), null}).isNull());
    EXPECT_TRUE(call("InStrRev", {S(u"a"), null}).isNull());
    for (const char* fn : {"StrReverse", "Split", "CStr", "CInt", "CDate", "Sqr", "Asc", "Chr"})
        EXPECT_EQ(errorOf([&] { call(fn, {null}); }), err::InvalidUseOfNull) << fn;
    EXPECT_EQ(errorOf([&] { call("Space", {null}); }), err::InvalidUseOfNull);
    EXPECT_EQ(errorOf([&] {
                  call("Filter", {call("Array", {S(u"a")}), null});
              }),
              err::InvalidUseOfNull);
}

TEST(RuntimeValues, TextComparisonFoldsCaseBeyondAscii)
{
    EXPECT_EQ(compareStrings(u"ＡＢＣ", u"ａｂｃ", CompareMode::Text), 0);
    EXPECT_EQ(compareStrings(u"ПРИВЕТ", u"привет", CompareMode::Text), 0);
    EXPECT_EQ(compareStrings(u"ÉCOLE", u"école", CompareMode::Text), 0);
    EXPECT_EQ(compareStrings(u"ŁÓDŹ", u"łódź", CompareMode::Text), 0);
    EXPECT_NE(compareStrings(u"ÉCOLE", u"école", CompareMode::Binary), 0);
    EXPECT_EQ(compareStrings(u"张三", u"张三", CompareMode::Text), 0);
    EXPECT_LT(compareStrings(u"a", u"ab", CompareMode::Text), 0);
    EXPECT_EQ(show(call("InStr", {I(1), S(u"Straße ÄÖÜ"), S(u"äöü"), I(1)})), "8");
    EXPECT_EQ(show(call("UCase", {S(u"ǆ")})), "ǆ"); // outside the folded ranges: unchanged
    EXPECT_EQ(show(call("LCase", {S(u"ΑΒΓ")})), "αβγ");
}

TEST(RuntimeValues, EmptyActsAsZeroOrEmptyText)
{
    const Variant empty;
    EXPECT_EQ(show(call("Len", {empty})), "0");
    EXPECT_EQ(show(call("Day", {empty})), "30"); // date 0 is 1899/12/30
    EXPECT_EQ(show(call("FormatNumber", {empty})), "0.00");
    EXPECT_EQ(show(opConcat(empty, I(1))), "1");
    EXPECT_EQ(show(opMul(empty, I(5))), "0");
    EXPECT_EQ(show(opNot(empty)), "-1");
    EXPECT_EQ(show(call("Hex", {empty})), "0");
    EXPECT_EQ(toDouble(empty), 0);
    EXPECT_EQ(show(opConcat(Variant::fromCurrencyRaw(12345), Variant::fromSingle(0.5f))),
              "1.23450.5");
}

} // namespace
} // namespace orvane::script::test
