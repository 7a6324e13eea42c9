// Formula validation, conversion and the database-backed formula functions.
#include "payroll_fixture.h"

#include "payroll/cdlgwageformu.h"
#include "payroll/formulavalidator.h"
#include "payroll/wagescriptsession.h"

#include "script/conversions.h"

#include <gtest/gtest.h>

namespace orvane::payrolltest {
namespace {

using payroll::FormulaValidator;

class Formulas : public PayrollTest
{
protected:
    void SetUp() override
    {
        PayrollTest::SetUp();
        sort = addSort(QStringLiteral("工资"));
        base = addItem(sort, QStringLiteral("基本工资"));
        const int other = addSort(QStringLiteral("奖金"));
        addItem(other, QStringLiteral("年终奖"));
    }
    int sort = 0;
    QString base;
};

TEST_F(Formulas, RefusalsComeInOrderWithTheirMessages)
{
    struct Case
    {
        QString formula;
        QString message;
    };
    const QList<Case> cases = {
        {QStringLiteral("[工资.基本工资*2"), QStringLiteral("中括号不配对!")},
        {QStringLiteral("([工资.基本工资]*2"), QStringLiteral("小括号不配对!")},
        {QStringLiteral("[工资.基本工资] ' 注释 \""), QStringLiteral("双引号不配对!")},
        {QStringLiteral("[工资.基本工资]*2 'x"), QStringLiteral("单引号不配对!")},
        {QStringLiteral("[工资.不存在]+1"), QStringLiteral("项目名称'工资.不存在'不匹配!")},
        {QStringLiteral("[奖金.年终奖]+1"), QStringLiteral("项目名称'奖金.年终奖'不匹配!")},
        {QStringLiteral("NoSuchFunction([工资.基本工资])"),
         QStringLiteral("错误公式表达式,请检查函数名和参数是否正确!")},
        {QStringLiteral("GETSALARY(\"A01\",\"工资\",202501)"),
         QStringLiteral("错误公式表达式,请检查函数名和参数是否正确!")},
        {QStringLiteral("1+") + QString(5000, QLatin1Char('1')),
         QStringLiteral("公式内容过长，不能超过4000个字符!")},
    };
    for (const Case& c : cases) {
        prompter.clear();
        QString formula = c.formula;
        FormulaValidator validator(app, prompter);
        EXPECT_FALSE(validator.validate(sort, QStringLiteral("奖金"), formula))
            << c.formula.left(40).toStdString();
        ASSERT_FALSE(prompter.messageTexts().isEmpty());
        EXPECT_EQ(prompter.messageTexts().last(), c.message) << c.formula.left(40).toStdString();
    }
    // The engine's own report names the item before the check's message.
    QString formula = QStringLiteral("NoSuchFunction(1)");
    prompter.clear();
    FormulaValidator(app, prompter).validate(sort, QStringLiteral("奖金"), formula);
    ASSERT_EQ(prompter.messageTexts().size(), 2);
    EXPECT_TRUE(prompter.messageTexts().first().startsWith(QStringLiteral("项目“奖金”：")));
}

TEST_F(Formulas, AcceptsAndConverts)
{
    const QStringList good = {
        QStringLiteral("[工资.基本工资]*0.08"),
        QStringLiteral("iif([工资.基本工资]>5000, Dx([工资.基本工资]), \"无\")"),
        QStringLiteral("IIF([人员档案.姓名]=\"[张三]\",1,0)+SUM(\"基本工资\")+Count()"),
        QStringLiteral(
            "CEIL([工资.基本工资]/[工资.基本工资])+GETPRESALARY(\"A01\",\"工资\",202501,1,"
            "\"基本工资\")"),
    };
    for (const QString& text : good) {
        QString formula = text;
        QString executable;
        FormulaValidator validator(app, prompter);
        EXPECT_TRUE(validator.validate(sort, QStringLiteral("奖金"), formula))
            << text.toStdString();
        EXPECT_TRUE(validator.convert(formula, executable));
        EXPECT_FALSE(executable.contains(QLatin1Char('['))) << executable.toStdString();
    }
    EXPECT_TRUE(prompter.messageTexts().isEmpty())
        << prompter.messageTexts().join('\n').toStdString();
    // Brackets inside quotes are taken out of the stored text.
    QString formula = QStringLiteral("IIf([工资.基本工资]>0,\"[高]\",\"低\")");
    QString executable;
    FormulaValidator validator(app, prompter);
    ASSERT_TRUE(validator.validate(sort, QStringLiteral("奖金"), formula));
    ASSERT_TRUE(validator.convert(formula, executable));
    EXPECT_EQ(formula, QStringLiteral("IIf([工资.基本工资]>0,\"高\",\"低\")"));
    EXPECT_EQ(executable, QStringLiteral("IIf({%1}>0,\"高\",\"低\")").arg(base));
}

TEST_F(Formulas, ALibraryFunctionThatNeverEndsIsStopped)
{
    ASSERT_TRUE(db().Execute(QStringLiteral(
        "UPDATE qp_SysOption SET sContent='Function Spin(x)\r\n  Do\r\n  Loop\r\nEnd Function' "
        "WHERE nType=1")));
    QString formula = QStringLiteral("Spin([工资.基本工资])");
    EXPECT_FALSE(FormulaValidator(app, prompter).validate(sort, QStringLiteral("奖金"), formula));
    EXPECT_EQ(prompter.messageTexts().last(),
              QStringLiteral("错误公式表达式,请检查函数名和参数是否正确!"));
}

TEST_F(Formulas, DatabaseFunctionsReadTheWageContext)
{
    const int person = addPerson(QStringLiteral("A01"), QStringLiteral("张三"), 1);
    ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES (%1,%2,1)")
                                 .arg(sort)
                                 .arg(person)));
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202501").arg(sort)));
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE %1 SET %2=6000").arg(wageTable(sort), base)));

    script::WageContext context;
    context.sortId = sort;
    context.fDate = 202501;
    context.fromWhere =
        QStringLiteral("FROM %1 WHERE fDate=202501").arg(wageTable(sort)).toStdString();
    payroll::WageScriptSession session(db(), context);
    ASSERT_TRUE(session.reset());
    struct Case
    {
        const char* expression;
        double value;
    };
    const Case cases[] = {{"COUNT()", 1},
                          {"sum(\"基本工资\")+Max(\"基本工资\")", 12000},
                          {"GETSALARY(\"A01\",\"工资\",202501,\"基本工资\")", 6000},
                          {"GETPRESALARY(\"A01\",\"工资\",202502,1,\"基本工资\")", 6000},
                          {"GETSALARY(\"无此人\",\"工资\",202501,\"基本工资\")", 0}};
    for (const Case& c : cases) {
        script::Variant result;
        ASSERT_TRUE(session.engine().evaluate(c.expression, result)) << c.expression;
        EXPECT_DOUBLE_EQ(script::toDouble(result), c.value) << c.expression;
    }
    // A selection that no longer parses is an engine error, not a crash.
    session.context().fromWhere = "FROM nowhere WHERE";
    script::Variant result;
    EXPECT_FALSE(session.engine().evaluate("SUM(\"基本工资\")+COUNT()", result));
}

} // namespace
} // namespace orvane::payrolltest

namespace orvane::payrolltest {
namespace {

TEST_F(Formulas, EditorTreesAndTheShippedFunctionCatalogue)
{
    payroll::CDlgWageFormu formu(app, sort, QStringLiteral("奖金"), QStringLiteral("1"));
    EXPECT_EQ(formu.windowTitle(), QStringLiteral("[奖金] - 公式设置"));
    ASSERT_EQ(formu.fields().size(), 2);
    EXPECT_EQ(formu.fields()[0].title, QStringLiteral("工资"));
    EXPECT_EQ(formu.fields()[0].captions, QStringList{QStringLiteral("基本工资")});
    EXPECT_TRUE(formu.fields()[1].captions.contains(QStringLiteral("姓名")));
    EXPECT_EQ(
        payroll::CDlgWageFormu::fieldReference(QStringLiteral("工资"), QStringLiteral("基本工资")),
        QStringLiteral("[工资.基本工资]"));

    // A missing catalogue leaves the groups empty.
    formu.loadCatalogue(QStringLiteral("/nonexistent/funcdescr.xml"));
    for (const auto& group : formu.functions())
        EXPECT_TRUE(group.functions.isEmpty());
    formu.loadCatalogue(QStringLiteral(ORVANE_SOURCE_DIR "/app/funcdescr.xml"));
    ASSERT_EQ(formu.functions().size(), 3);
    EXPECT_GE(formu.functions()[1].functions.size(), 14);
    EXPECT_GE(formu.functions()[2].functions.size(), 20);
    EXPECT_TRUE(formu.description(QStringLiteral("DX()")).contains(QStringLiteral("大写")));
    // Every function of the catalogue that the engine knows is spelled as it accepts it.
    payroll::WageScriptSession session(db(), {});
    ASSERT_TRUE(session.reset());
    for (const QString name : {QStringLiteral("IIF(1>0,1,2)"), QStringLiteral("CEIL(1.2)"),
                               QStringLiteral("MaxOf(1,2)"), QStringLiteral("Round(1.25,1)")}) {
        script::Variant v;
        EXPECT_TRUE(session.engine().evaluate(name.toStdString(), v)) << name.toStdString();
    }
    EXPECT_EQ(payroll::CDlgWageFormu::buttons().size(), 24);
    EXPECT_EQ(payroll::CDlgWageFormu::buttons()[10].text, QStringLiteral(" And "));
}

} // namespace
} // namespace orvane::payrolltest
