#include "runtime_support.h"

namespace orvane::script::test {
namespace {

struct Valued : Object
{
    explicit Valued(Variant v, bool hasDefault = true) : value(std::move(v)), has(hasDefault) {}
    std::u16string typeName() const override { return u"Valued"; }
    bool defaultValue(Variant& out) const override
    {
        out = value;
        return has;
    }
    Variant value;
    bool has;
};

TEST(RuntimeOperators, ArithmeticPromotesTypesOnOverflow)
{
    EXPECT_EQ(type(opAdd(I(1), I(2))), "Integer");
    const Variant big = opAdd(I(32767), I(1));
    EXPECT_EQ(type(big), "Long");
    EXPECT_EQ(big.longValue(), 32768);
    EXPECT_EQ(type(opMul(L(65536), L(65536))), "Double");
    EXPECT_EQ(type(opAdd(Variant::fromByte(200), Variant::fromByte(100))), "Integer");
    EXPECT_EQ(type(opAdd(Variant::fromByte(2), Variant::fromByte(3))), "Byte");
    EXPECT_EQ(type(opAdd(Variant::fromSingle(1), I(1))), "Single");
    EXPECT_EQ(type(opAdd(Variant::fromSingle(1), L(1))), "Double");
    EXPECT_EQ(type(opAdd(Variant::fromCurrencyRaw(10000), D(0.5))), "Currency");
    EXPECT_EQ(show(opMul(Variant::fromCurrencyRaw(12345), I(3))), "3.7035");
    EXPECT_EQ(type(opAdd(B(true), B(true))), "Integer");
    EXPECT_EQ(show(opAdd(B(true), B(true))), "-2");
    EXPECT_EQ(type(opNeg(I(-32768))), "Long");
    EXPECT_EQ(type(opNeg(Variant::fromByte(5))), "Integer");
    EXPECT_EQ(errorOf([] { opMul(D(1e300), D(1e300)); }), err::Overflow);
    EXPECT_EQ(errorOf([] { opAdd(Variant::fromCurrencyRaw(INT64_MAX), I(1)); }), err::Overflow);
}

TEST(RuntimeOperators, PlusOnStringsEmptyAndDates)
{
    EXPECT_EQ(show(opAdd(S(u"工资"), S(u"表"))), "工资表");
    const Variant mixed = opAdd(S(u"1"), I(1));
    EXPECT_EQ(type(mixed), "Double");
    EXPECT_EQ(show(mixed), "2");
    EXPECT_EQ(errorOf([] { opAdd(S(u"a"), I(1)); }), err::TypeMismatch);
    EXPECT_EQ(type(opAdd(Variant(), Variant())), "Integer");
    EXPECT_EQ(show(opAdd(Variant(), S(u"x"))), "x");
    EXPECT_TRUE(opAdd(Variant::null(), I(1)).isNull());
    EXPECT_TRUE(opSub(S(u"abc"), Variant::null()).isNull());

    const Variant day = Variant::fromDate(46361);
    EXPECT_EQ(type(opAdd(day, I(1))), "Date");
    EXPECT_EQ(show(opAdd(day, I(1))), "2026/12/6");
    EXPECT_EQ(type(opSub(day, Variant::fromDate(46360))), "Double");
    EXPECT_EQ(type(opSub(day, D(0.5))), "Date");
    EXPECT_EQ(type(opMul(day, I(1))), "Double");
}

TEST(RuntimeOperators, DivisionIntegerDivisionModAndPower)
{
    EXPECT_EQ(type(opDiv(I(1), I(2))), "Double");
    EXPECT_EQ(show(opDiv(I(1), I(2))), "0.5");
    EXPECT_EQ(errorOf([] { opDiv(I(1), I(0)); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([] { opDiv(I(0), I(0)); }), err::Overflow);
    EXPECT_EQ(show(opIntDiv(I(7), I(2))), "3");
    EXPECT_EQ(type(opIntDiv(I(7), I(2))), "Integer");
    EXPECT_EQ(show(opIntDiv(I(-7), I(2))), "-3");
    EXPECT_EQ(show(opIntDiv(D(7.5), I(2))), "4"); // 7.5 rounds to 8 first
    EXPECT_EQ(type(opIntDiv(D(9), I(2))), "Long");
    EXPECT_EQ(show(opMod(I(-7), I(3))), "-1");
    EXPECT_EQ(show(opMod(D(5.5), I(3))), "0"); // 6 Mod 3
    EXPECT_EQ(errorOf([] { opMod(I(7), D(0.4)); }), err::DivisionByZero);
    EXPECT_EQ(type(opIntDiv(I(-32768), I(-1))), "Long");
    EXPECT_EQ(show(opPow(I(2), I(10))), "1024");
    EXPECT_EQ(type(opPow(I(2), I(10))), "Double");
    EXPECT_EQ(errorOf([] { opPow(I(-8), D(1.0 / 3)); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorOf([] { opPow(I(0), I(-1)); }), err::DivisionByZero);
}

TEST(RuntimeOperators, ConcatenationTreatsNullAsEmpty)
{
    EXPECT_EQ(show(opConcat(Variant::null(), S(u"x"))), "x");
    EXPECT_TRUE(opConcat(Variant::null(), Variant::null()).isNull());
    EXPECT_EQ(show(opConcat(I(1), I(2))), "12");
    EXPECT_EQ(show(opConcat(D(1.5), B(true))), "1.5True");
    EXPECT_EQ(show(opConcat(S(u"日期"), Variant::fromDate(46361))), "日期2026/12/5");
    EXPECT_EQ(errorOf([] { opConcat(Variant::makeArray(std::vector<Variant>{}), S(u"")); }),
              err::TypeMismatch);
}

TEST(RuntimeOperators, ComparisonRules)
{
    // Held in variables, a number is less than any string; as a literal the string is read
    // as a number of the other side's type.
    EXPECT_EQ(compare(I(1), S(u"1")), CompareResult::Less);
    EXPECT_EQ(compare(S(u"1"), I(1)), CompareResult::Greater);
    EXPECT_EQ(compare(I(1), S(u"1"), CompareMode::Binary, false, true), CompareResult::Equal);
    EXPECT_EQ(compare(S(u"2"), I(10), CompareMode::Binary, false, true), CompareResult::Less);
    EXPECT_EQ(compare(I(5), S(u"abc"), CompareMode::Binary, false, true), CompareResult::Less);
    EXPECT_EQ(compare(B(true), S(u"True"), CompareMode::Binary, false, true), CompareResult::Equal);
    EXPECT_EQ(compare(Variant::fromDate(46361), S(u"2026/12/5"), CompareMode::Binary, false, true),
              CompareResult::Equal);

    EXPECT_EQ(compare(S(u"10"), S(u"9")), CompareResult::Less);
    EXPECT_EQ(compare(I(10), D(9.5)), CompareResult::Greater);
    EXPECT_EQ(compare(S(u"abc"), S(u"ABC")), CompareResult::Greater);
    EXPECT_EQ(compare(S(u"abc"), S(u"ABC"), CompareMode::Text), CompareResult::Equal);
    EXPECT_EQ(compare(S(u"张三"), S(u"张三 ")), CompareResult::Less);
    EXPECT_EQ(compare(Variant(), I(0)), CompareResult::Equal);
    EXPECT_EQ(compare(Variant(), S(u"")), CompareResult::Equal);
    EXPECT_EQ(compare(Variant(), I(-1)), CompareResult::Greater);
    EXPECT_EQ(compare(Variant::fromDate(1), D(1)), CompareResult::Equal);
    EXPECT_EQ(compare(Variant::fromCurrencyRaw(10001), Variant::fromCurrencyRaw(10000)),
              CompareResult::Greater);
    EXPECT_EQ(compare(Variant::null(), Variant::null()), CompareResult::Null);
    EXPECT_TRUE(opCompare(BinaryOp::Eq, Variant::null(), I(1)).isNull());
    EXPECT_TRUE(opCompare(BinaryOp::Le, I(1), I(1)).boolValue());
    EXPECT_FALSE(binaryOp(BinaryOp::Ne, S(u"a"), S(u"a")).boolValue());
}

TEST(RuntimeOperators, LogicalOperatorsAreBitwiseAndThreeValued)
{
    EXPECT_TRUE(opAnd(B(true), Variant::null()).isNull());
    EXPECT_EQ(show(opAnd(B(false), Variant::null())), "False");
    EXPECT_EQ(show(opOr(Variant::null(), B(true))), "True");
    EXPECT_TRUE(opOr(Variant::null(), B(false)).isNull());
    EXPECT_EQ(show(opImp(B(false), Variant::null())), "True");
    EXPECT_EQ(show(opImp(Variant::null(), B(true))), "True");
    EXPECT_TRUE(opImp(Variant::null(), B(false)).isNull());
    EXPECT_TRUE(opXor(Variant::null(), B(true)).isNull());
    EXPECT_TRUE(opNot(Variant::null()).isNull());
    EXPECT_EQ(show(opAnd(I(0), Variant::null())), "0");

    EXPECT_EQ(show(opAnd(I(12), I(10))), "8");
    EXPECT_EQ(type(opAnd(I(12), I(10))), "Integer");
    EXPECT_EQ(show(opXor(I(5), I(3))), "6");
    EXPECT_EQ(show(opNot(I(0))), "-1");
    EXPECT_EQ(show(opNot(B(true))), "False");
    EXPECT_EQ(show(opNot(Variant::fromByte(0))), "255");
    EXPECT_EQ(show(opEqv(B(true), B(false))), "False");
    EXPECT_EQ(show(opAnd(D(2.5), I(3))), "2"); // 2.5 rounds to 2
    EXPECT_EQ(type(opAnd(D(2.5), I(3))), "Long");
    EXPECT_EQ(type(opAnd(B(true), I(3))), "Integer");
    EXPECT_EQ(show(opAnd(S(u"True"), B(true))), "True");
    EXPECT_EQ(errorOf([] { opAnd(S(u"x"), B(true)); }), err::TypeMismatch);
}

TEST(RuntimeOperators, ObjectsUseDefaultValueAndIsComparesIdentity)
{
    const Variant five = Variant::fromObject(ObjectRef(new Valued(I(5))));
    const Variant none = Variant::fromObject(ObjectRef(new Valued(Variant(), false)));
    EXPECT_EQ(show(opAdd(five, I(1))), "6");
    EXPECT_EQ(compare(five, I(5)), CompareResult::Equal);
    EXPECT_EQ(type(five), "Valued");
    EXPECT_EQ(errorOf([&] { opAdd(none, I(1)); }), err::ObjectDoesntSupportMember);
    EXPECT_EQ(errorOf([] { opAdd(Variant::nothing(), I(1)); }), err::ObjectVariableNotSet);

    EXPECT_TRUE(opIs(five, Variant(five)).boolValue());
    EXPECT_FALSE(opIs(five, none).boolValue());
    EXPECT_TRUE(opIs(Variant::nothing(), Variant::nothing()).boolValue());
    EXPECT_EQ(type(Variant::nothing()), "Nothing");
    EXPECT_EQ(errorOf([] { opIs(I(1), Variant::nothing()); }), err::ObjectRequired);
}

TEST(RuntimeOperators, ArraysCopyOnAssignmentAndCheckBounds)
{
    const ArrayBound dims[] = {{0, 3}, {0, 2}};
    Variant grid = Variant::makeArray(dims);
    const std::int32_t at[] = {2, 1};
    grid.arrayAtMut(at) = S(u"x");
    Variant copy = grid;
    copy.arrayAtMut(at) = S(u"y");
    EXPECT_EQ(show(grid.arrayAt(at)), "x");
    EXPECT_EQ(show(copy.arrayAt(at)), "y");
    EXPECT_EQ(grid.varTypeCode(), 8204);
    EXPECT_EQ(type(grid), "Variant()");

    const std::int32_t outside[] = {3, 0};
    EXPECT_EQ(errorOf([&] { grid.arrayAt(outside); }), err::SubscriptOutOfRange);
    const std::int32_t tooFew[] = {1};
    EXPECT_EQ(errorOf([&] { grid.arrayAt(tooFew); }), err::SubscriptOutOfRange);

    // ReDim Preserve may change only the last dimension and keeps the elements.
    const ArrayBound longer[] = {{0, 3}, {0, 4}};
    grid.redim(longer, true);
    EXPECT_EQ(show(grid.arrayAt(at)), "x");
    EXPECT_EQ(grid.arrayBound(2).count, 4);
    const ArrayBound wider[] = {{0, 5}, {0, 4}};
    EXPECT_EQ(errorOf([&] { grid.redim(wider, true); }), err::SubscriptOutOfRange);
    grid.redim(wider, false);
    EXPECT_TRUE(grid.arrayAt(at).isEmpty());
    EXPECT_EQ(errorOf([] { I(1).arrayDims(); }), err::TypeMismatch);
}

} // namespace
} // namespace orvane::script::test
