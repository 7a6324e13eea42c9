#include "shell_fixture.h"

#include "db/cadorecordset.h"
#include "server/demodata.h"
#include "shell/cpropertypagegeneral.h"
#include "shell/cpropertypagescript.h"

namespace orvane::shelltest {

class SystemSettings : public ShellTest
{
protected:
    QString option(int type)
    {
        return database().scalar(
            QStringLiteral("SELECT TOP 1 sContent FROM qp_SysOption WHERE nType=%1").arg(type));
    }
    int logCount() { return database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Log")); }
};

TEST_F(SystemSettings, GeneralPageRefusesLongNumbersAndStoresTheRule)
{
    shell::CPropertyPageGeneral page(app, prompter);
    ASSERT_TRUE(page.load());
    EXPECT_EQ(page.mode, 0);
    EXPECT_EQ(page.length, 6);

    page.length = 51;
    EXPECT_FALSE(page.apply());
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("人员编号长度不能超过50!")});
    EXPECT_EQ(option(0), QStringLiteral("0|6|"));

    // Unchanged: neither written nor logged.
    const int logs = logCount();
    page.length = 6;
    EXPECT_TRUE(page.apply());
    EXPECT_EQ(logCount(), logs);

    // The fixed-prefix rule needs a prefix; only that rule keeps one.
    page.mode = 1;
    page.prefix = QStringLiteral(" | ");
    EXPECT_FALSE(page.apply());
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("请输入人员编号的固定前缀!"));
    EXPECT_EQ(option(0), QStringLiteral("0|6|"));
    page.length = 50;
    page.prefix = QStringLiteral("H'R|");
    EXPECT_TRUE(page.apply());
    EXPECT_EQ(option(0), QStringLiteral("1|50|H'R"));
    EXPECT_EQ(logCount(), logs + 1);
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[系统设置->修改常规设置]"));
    page.mode = 3;
    EXPECT_TRUE(page.apply());
    EXPECT_EQ(option(0), QStringLiteral("3|50|"));
    EXPECT_EQ(shell::CPropertyPageGeneral::ruleNames().at(1),
              QStringLiteral("自动编号(固定前缀+顺序号)"));

    // A stored text of another shape, or an unknown mode, is read as the defaults say.
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_SysOption SET sContent='7|3|' WHERE "
                                            "nType=0")));
    shell::CPropertyPageGeneral other(app, prompter);
    ASSERT_TRUE(other.load());
    EXPECT_EQ(other.mode, 0);
    EXPECT_EQ(other.length, 3);
    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_SysOption SET sContent='1|4' WHERE "
                                            "nType=0")));
    shell::CPropertyPageGeneral broken(app, prompter);
    EXPECT_FALSE(broken.load());
    EXPECT_EQ(broken.length, 6);
}

TEST_F(SystemSettings, ScriptPageStoresTheTextAsTypedAndLogsOnlyChanges)
{
    shell::CPropertyPageScript page(app, prompter);
    ASSERT_TRUE(page.load());
    const int logs = logCount();
    EXPECT_TRUE(page.apply(page.text()));
    EXPECT_EQ(logCount(), logs);

    const QString text = QStringLiteral("Function Tax(x) ' 100%2 'quoted' %1\n  Tax = x * 0.1\n"
                                        "End Function\n");
    EXPECT_TRUE(page.apply(text));
    EXPECT_EQ(option(1), text);
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[系统设置->修改自定义脚本]"));
    EXPECT_EQ(prompter.last().icon, core::Prompter::Icon::Information); // the save is confirmed
    EXPECT_EQ(page.errorLine(), 0);

    // A syntax error names its line and stores nothing.
    prompter.clear();
    const int logsAfterSave = logCount();
    EXPECT_FALSE(page.apply(QStringLiteral("Function F(x)\n  F = (x + 1\nEnd Function\n")));
    EXPECT_EQ(page.errorLine(), 2);
    EXPECT_EQ(
        prompter.messageTexts(),
        QStringList{QStringLiteral("自定义脚本第2行有语法错误：Expected ')'\n\n脚本没有保存。")});
    EXPECT_EQ(option(1), text);
    EXPECT_EQ(logCount(), logsAfterSave);

    // A vanished database: the write fails with a message and reports it.
    prompter.clear();
    db().Close();
    EXPECT_FALSE(page.apply(QStringLiteral("x")));
    EXPECT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.last().icon, core::Prompter::Icon::Error);
}

class DemoData : public ShellTest
{
};

TEST_F(DemoData, BuildsATreeAndPlausiblePersonsTheSameEveryTime)
{
    const QList<server::DemoOperator> operators{
        {QStringLiteral("hr"), QString(), QStringLiteral("人事"), maskOf({0}), false}};
    server::DemoDataCounts counts;
    QString error;
    ASSERT_TRUE(server::fillDemoData(db(), 300, operators, &counts, &error)) << error.toStdString();
    EXPECT_EQ(counts.persons, 300);
    EXPECT_EQ(database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase")), 300);
    EXPECT_EQ(database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Dept")),
              counts.departments);
    EXPECT_GE(database().scalarInt(QStringLiteral("SELECT MAX(LEN(ParentArr)) FROM qp_Dept")),
              7); // at least three levels
    EXPECT_EQ(database().scalarInt(QStringLiteral("SELECT COUNT(DISTINCT Number) FROM "
                                                  "qp_PsnBase")),
              300);

    // Every path is the department's key followed by its parent's path.
    db::CADORecordset rs(&db());
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT d.DID, d.ParentID, d.ParentArr, "
                                       "p.ParentArr AS pp FROM qp_Dept d LEFT JOIN qp_Dept p ON "
                                       "p.DID=d.ParentID")));
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const QString own = QStringLiteral("|%1").arg(rs.GetFieldString(QStringLiteral("DID")));
        const QString expected = rs.GetFieldString(QStringLiteral("ParentID")) == "0"
                                     ? own + "|"
                                     : own + rs.GetFieldString(QStringLiteral("pp"));
        EXPECT_EQ(rs.GetFieldString(QStringLiteral("ParentArr")), expected);
    }

    // Identity numbers carry the birthday, the sex in the sequence and a valid check character.
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT TOP 50 Sex, Birthday, IDNumber FROM qp_PsnBase")));
    static const int weights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const QString id = rs.GetFieldString(QStringLiteral("IDNumber"));
        ASSERT_EQ(id.size(), 18);
        int sum = 0;
        for (int i = 0; i < 17; ++i)
            sum += id.at(i).digitValue() * weights[i];
        EXPECT_EQ(id.at(17), QLatin1Char("10X98765432"[sum % 11])) << id.toStdString();
        EXPECT_EQ(id.mid(6, 8), rs.GetFieldString(QStringLiteral("Birthday")).left(10).remove('-'));
        EXPECT_EQ(id.at(16).digitValue() % 2 == 1,
                  rs.GetFieldString(QStringLiteral("Sex")) == QStringLiteral("男"));
    }

    // The same count gives the same people in a second database.
    testutil::TestDatabase second;
    ASSERT_TRUE(server::fillDemoData(second.db(), 300, {}, nullptr, &error));
    for (int pid : {1, 150, 300}) {
        const QString query =
            QStringLiteral("SELECT Name+IDNumber+Number FROM qp_PsnBase WHERE PID=%1").arg(pid);
        EXPECT_EQ(second.scalar(query), database().scalar(query)) << pid;
    }
}

TEST_F(DemoData, RefusesAClosedDatabaseOrANegativeCount)
{
    QString error;
    EXPECT_FALSE(server::fillDemoData(db(), -1, {}, nullptr, &error));
    EXPECT_FALSE(error.isEmpty());
    db().Close();
    error.clear();
    EXPECT_FALSE(server::fillDemoData(db(), 10, {}, nullptr, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace orvane::shelltest
