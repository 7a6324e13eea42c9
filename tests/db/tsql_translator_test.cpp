// Translation failures, procedure-call recognition and robustness against hostile text.
#include "db/tsqltranslator.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using orvane::db::parseProcedureCall;
using orvane::db::TsqlTranslator;

namespace {

TEST(TsqlProcedureCall, RecognisesTheThreeTextForms)
{
    auto call = parseProcedureCall("EXEC qp_UpdateDeptParentByID 3,1,'|3|1|'");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->name, "qp_UpdateDeptParentByID");
    ASSERT_EQ(call->arguments.size(), 3);
    EXPECT_EQ(call->arguments[0].value, QVariant(qlonglong(3)));
    EXPECT_EQ(call->arguments[2].value, QVariant(QString("|3|1|")));
    EXPECT_TRUE(call->arguments[0].name.isEmpty());

    call = parseProcedureCall("  execute [dbo].[qp_SelectWagePsn] N'tmp''Sel'  ;");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->name, "qp_SelectWagePsn");
    EXPECT_EQ(call->arguments.value(0).value, QVariant(QString("tmp'Sel")));

    call = parseProcedureCall("qp_AddSystemLog @UserName=N'管理员', @Content='a,b', "
                              "@Cleanup=1, @RecentDays=-30, @Extra=NULL, @Rate=2.5");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->name, "qp_AddSystemLog");
    ASSERT_EQ(call->arguments.size(), 6);
    EXPECT_EQ(call->arguments[0].name, "UserName");
    EXPECT_EQ(call->arguments[0].value, QVariant(QString("管理员")));
    EXPECT_EQ(call->arguments[1].value, QVariant(QString("a,b")));
    EXPECT_EQ(call->arguments[3].value, QVariant(qlonglong(-30)));
    EXPECT_TRUE(call->arguments[4].value.isNull());
    EXPECT_EQ(call->arguments[5].value, QVariant(2.5));

    // Named form with an output variable and a positional start, as T-SQL allows.
    call = parseProcedureCall("EXEC qp_AddDictItem 0, @Title=N'技术部', @NewID=@id OUTPUT, "
                              "@DictId=3 OUT");
    ASSERT_TRUE(call);
    ASSERT_EQ(call->arguments.size(), 4);
    EXPECT_TRUE(call->arguments[0].name.isEmpty());
    EXPECT_EQ(call->arguments[1].value, QVariant(QString("技术部")));
    EXPECT_EQ(call->arguments[2].name, "NewID");
    EXPECT_TRUE(call->arguments[2].output);
    EXPECT_TRUE(call->arguments[2].value.isNull());
    EXPECT_TRUE(call->arguments[3].output);
    EXPECT_EQ(call->arguments[3].value, QVariant(qlonglong(3)));

    call = parseProcedureCall("qp_RefreshBankExportDetailOrder");
    ASSERT_TRUE(call);
    EXPECT_TRUE(call->arguments.isEmpty());

    // A filter text travelling as an argument keeps its doubled quotes undone exactly once.
    call = parseProcedureCall("EXEC qp_SelectPsnWizard ' WHERE (CHARINDEX(''|2|'',ParentArr)>0)'");
    ASSERT_TRUE(call);
    EXPECT_EQ(call->arguments.value(0).value.toString(), " WHERE (CHARINDEX('|2|',ParentArr)>0)");
}

TEST(TsqlProcedureCall, RejectsWhatIsNoCall)
{
    for (const char* text :
         {"SELECT * FROM qp_Users", "UPDATE qp_Users SET Pwd='' WHERE UserID=1", "EXEC",
          "EXEC qp_X 1 2", "EXEC qp_X 1,", "EXEC qp_X @a=", "qp_X 1; SELECT 1", "EXEC qp_X 'abc",
          "EXEC qp_X @v", "EXEC qp_X @a=@v", "EXEC qp_X (1)", "", "   ", "EXEC @r = qp_X 1",
          "DELETE qp_X"}) {
        EXPECT_FALSE(parseProcedureCall(QString::fromUtf8(text))) << text;
    }
}

TEST(TsqlTranslator, RefusesMalformedOrUnsupportedTextClearly)
{
    const char* const cases[][2] = {
        {"SELECT * FROM qp_Users WHERE Name='abc", "unterminated string"},
        {"SELECT [Name FROM qp_Users", "unterminated quoted name"},
        {"SELECT 1 /* open", "unterminated comment"},
        {"SELECT * FROM", "table name expected"},
        {"SELECT 1 +", "expression expected"},
        {"SELECT COUNT(* FROM t", "')' expected"},
        {"SELECT * FROM t WHERE a=@id", "variables are not supported"},
        {"SELECT XP_CMDSHELL('dir')", "unsupported function XP_CMDSHELL"},
        {"SELECT TOP 10 PERCENT * FROM t", "PERCENT"},
        {"SELECT a FROM t WHERE a NOT 5", "LIKE, IN or BETWEEN expected"},
        {"INSERT INTO t (a) SELECT a FROM OPENROWSET('x','y',[s])", "OPENROWSET"},
        {"SELECT 1; EXEC qp_X 1", "stored procedure"},
        {"SELECT a INTO b FROM (SELECT x INTO y FROM z) AS q", "INTO"},
        {"CREATE TABLE t (a int IDENTITY(1,1), b int IDENTITY(1,1))", "only one IDENTITY"},
        {"CREATE TABLE t (a blob_type)", "unknown data type"},
        {"SELECT 1 2", "unexpected text"},
        {"GRANT SELECT ON t TO u", "unsupported statement"},
        {"SELECT 12abc", "malformed number"},
        {";;", "no statement"},
        {"", "no statement"},
    };
    for (const auto& c : cases) {
        const auto t = TsqlTranslator::toSqlite(QString::fromUtf8(c[0]));
        EXPECT_FALSE(t.ok) << c[0];
        EXPECT_TRUE(t.statements.isEmpty()) << c[0];
        EXPECT_TRUE(t.error.contains(QString::fromUtf8(c[1])))
            << c[0] << " -> " << qPrintable(t.error);
    }
    // The error names the place.
    const auto t = TsqlTranslator::toSqlite("SELECT a FROM t WHERE b = = 1");
    EXPECT_TRUE(t.error.contains("position 27")) << qPrintable(t.error);
}

TEST(TsqlTranslator, KeepsOperatorTextInsideLiterals)
{
    // A typed text with quotes, brackets and keywords stays one literal.
    const auto t = TsqlTranslator::toSqlite(
        "SELECT * FROM qp_Users WHERE UserName='x'' OR 1=1; DROP TABLE qp_Users; --[\"'");
    ASSERT_TRUE(t.ok) << qPrintable(t.error);
    ASSERT_EQ(t.statements.size(), 1);
    EXPECT_TRUE(t.statements[0].endsWith("'x'' OR 1=1; DROP TABLE qp_Users; --[\"'"))
        << qPrintable(t.statements[0]);
}

TEST(TsqlTranslator, SplitsBatchesAndPlacesLimitAfterOrder)
{
    const auto t = TsqlTranslator::toSqlite(
        "DELETE FROM a WHERE x=1 SELECT TOP 5 b FROM a ORDER BY b DESC; DROP TABLE a, #t");
    ASSERT_TRUE(t.ok) << qPrintable(t.error);
    ASSERT_EQ(t.statements.size(), 4);
    EXPECT_TRUE(t.statements[1].endsWith("ORDER BY b DESC LIMIT 5")) << qPrintable(t.statements[1]);
    EXPECT_EQ(t.statements[3], "DROP TABLE \"#t\"");
}

TEST(TsqlTranslator, SurvivesHostileAndDeeplyNestedText)
{
    // Deep nesting is refused, not a stack overflow.
    const QString deep = "SELECT " + QString(100000, u'(') + "1" + QString(100000, u')');
    auto t = TsqlTranslator::toSqlite(deep);
    EXPECT_FALSE(t.ok);
    EXPECT_TRUE(t.error.contains("nested too deeply")) << qPrintable(t.error.left(200));
    t = TsqlTranslator::toSqlite("SELECT " + QString(50000, u'-') + "1");
    EXPECT_FALSE(t.ok);
    t = TsqlTranslator::toSqlite("SELECT a FROM t WHERE " + QString(20000, u'N') + "OT a = 1");
    EXPECT_FALSE(t.ok);

    // Random soups of tokens the grammar knows: every one ends, with a result or an error.
    const QStringList pieces = {
        "SELECT",   "FROM",    "WHERE",   "TOP",        "1",          "INTO",   "#t",
        "[a b]",    "'x''y'",  "N'中'",   "(",          ")",          ",",      ".",
        "*",        "+",       "-",       "=",          "<>",         "AND",    "OR",
        "NOT",      "IN",      "LIKE",    "IS",         "NULL",       "CASE",   "WHEN",
        "THEN",     "ELSE",    "END",     "CONVERT",    "varchar",    "CAST",   "AS",
        "int",      "UPDATE",  "SET",     "DELETE",     "INSERT",     "VALUES", "JOIN",
        "ON",       "LEFT",    "ORDER",   "BY",         "GROUP",      "CREATE", "TABLE",
        "IDENTITY", "DEFAULT", "EXEC",    "@p",         "@@IDENTITY", ";",      "CHARINDEX",
        "DATEADD",  "day",     "qp_Dept", "sysobjects", "BETWEEN",    "EXISTS", "UNION"};
    QRandomGenerator random(20240501);
    int accepted = 0;
    for (int i = 0; i < 3000; ++i) {
        QStringList soup;
        const int length = 1 + int(random.bounded(30));
        for (int k = 0; k < length; ++k)
            soup << pieces.at(int(random.bounded(int(pieces.size()))));
        const QString text = soup.join(u' ');
        const auto r = TsqlTranslator::toSqlite(text);
        EXPECT_EQ(r.ok, r.error.isEmpty()) << qPrintable(text);
        EXPECT_EQ(r.ok, !r.statements.isEmpty()) << qPrintable(text);
        accepted += r.ok ? 1 : 0;
        parseProcedureCall(text);
    }
    EXPECT_GT(accepted, 0);
}

} // namespace
