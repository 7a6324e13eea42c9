#include "operator_fixture.h"

#include "core/cdlgsyslogmanage.h"
#include "core/cdlgsyslogoption.h"
#include "core/resultsetmodel.h"
#include "core/systemlog.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace orvane::coretest {

using core::AddSystemLog;
using core::CDlgSysLogManage;

class SystemLog : public AdminTest
{
protected:
    void addLine(const QString& when, const QString& user, const QString& action)
    {
        ASSERT_TRUE(db().Execute(
            QStringLiteral("INSERT INTO qp_Log (lDate,lUser,lAction) VALUES ('%1','%2','%3')")
                .arg(when, core::sqlEscape(user), core::sqlEscape(action))));
    }
    QStringList listedActions(const CDlgSysLogManage& viewer)
    {
        QStringList actions;
        for (int row = 0; row < viewer.rowCount(); ++row)
            actions << viewer.rows().value(row, QStringLiteral("操作")).toString();
        return actions;
    }
};

TEST_F(SystemLog, WritesOneLineOnlyWhileRetentionIsPositive)
{
    app.setRecentDays(0);
    AddSystemLog(app, QStringLiteral("登录系统[计算机名：pc]"));
    app.setRecentDays(-5);
    AddSystemLog(app, QStringLiteral("x"));
    EXPECT_EQ(logCount(), 0);

    app.setRecentDays(60);
    const QString hostile = QStringLiteral("系统管理[删除数据表'a'); DROP TABLE qp_Log; --']");
    AddSystemLog(app, hostile);
    EXPECT_EQ(logCount(), 1);
    EXPECT_EQ(lastLogLine(), hostile);
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT lUser FROM qp_Log")),
              QStringLiteral("admin"));
    EXPECT_NE(database().scalar(QStringLiteral("SELECT lDate FROM qp_Log"), QString()), QString());

    db().Close(); // errors are swallowed
    AddSystemLog(app, QStringLiteral("x"));
}

TEST_F(SystemLog, OnlyTheCleanupCallRemovesOldLines)
{
    addLine(QStringLiteral("2001-01-01 08:00:00"), QStringLiteral("admin"), QStringLiteral("old"));
    AddSystemLog(app, QStringLiteral("a"));
    EXPECT_EQ(logCount(), 2);
    AddSystemLog(app, QStringLiteral("登出系统"), true);
    EXPECT_EQ(logCount(), 2);
    EXPECT_EQ(
        database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_Log WHERE lAction='old'")), 0);
}

TEST_F(SystemLog, FilterClauseForms)
{
    // Day ranges and single days themselves are checked on the database below.
    CDlgSysLogManage::Filter f;
    EXPECT_EQ(CDlgSysLogManage::filterClause(f), QString());
    f.user = QStringLiteral("O'Neil");
    f.start = QDate(2024, 3, 9);
    f.end = QDate(2024, 3, 11);
    EXPECT_EQ(CDlgSysLogManage::filterClause(f),
              QStringLiteral(" WHERE lUser='O''Neil' AND (lDate>='2024-03-09' AND "
                             "lDate<='2024-03-11 23:59:59')"));
    f.start.reset();
    EXPECT_EQ(CDlgSysLogManage::filterClause(f),
              QStringLiteral(" WHERE lUser='O''Neil' AND (YEAR(lDate)=2024 AND MONTH(lDate)=3 AND "
                             "DAY(lDate)=11)"));
    f.user.clear();
    f.action = QStringLiteral("删'除");
    EXPECT_EQ(CDlgSysLogManage::filterClause(f),
              QStringLiteral(" WHERE (YEAR(lDate)=2024 AND MONTH(lDate)=3 AND DAY(lDate)=11) AND "
                             "(lAction LIKE '%删''除%')"));
    f.end.reset();
    EXPECT_EQ(CDlgSysLogManage::filterClause(f),
              QStringLiteral(" WHERE (lAction LIKE '%删''除%')"));
}

TEST_F(SystemLog, ViewerFiltersOnTheDatabaseNewestFirst)
{
    addLine(QStringLiteral("2024-03-08 23:59:59"), QStringLiteral("admin"),
            QStringLiteral("before"));
    addLine(QStringLiteral("2024-03-09 00:00:00"), QStringLiteral("admin"),
            QStringLiteral("start"));
    addLine(QStringLiteral("2024-03-10 12:00:00"), QStringLiteral("出纳"),
            QStringLiteral("a -- b; [c] 'd'"));
    addLine(QStringLiteral("2024-03-11 23:59:59"), QStringLiteral("admin"), QStringLiteral("end"));
    addLine(QStringLiteral("2024-03-12 00:00:00"), QStringLiteral("admin"),
            QStringLiteral("after"));

    CDlgSysLogManage viewer(app, prompter);
    viewer.open();
    EXPECT_EQ(viewer.operatorChoices(), (QStringList{QString(), QStringLiteral("admin")}));
    EXPECT_EQ(listedActions(viewer),
              (QStringList{QStringLiteral("after"), QStringLiteral("end"),
                           QStringLiteral("a -- b; [c] 'd'"), QStringLiteral("start"),
                           QStringLiteral("before")}));
    EXPECT_EQ(viewer.footerText(), QStringLiteral(" 共: 5 项记录"));

    viewer.filter().start = QDate(2024, 3, 9);
    ASSERT_TRUE(viewer.refresh());
    EXPECT_EQ(listedActions(viewer), QStringList{QStringLiteral("start")});

    viewer.filter().end = QDate(2024, 3, 11);
    ASSERT_TRUE(viewer.refresh());
    EXPECT_EQ(listedActions(viewer),
              (QStringList{QStringLiteral("end"), QStringLiteral("a -- b; [c] 'd'"),
                           QStringLiteral("start")}));

    viewer.filter().user = QStringLiteral("admin");
    ASSERT_TRUE(viewer.refresh());
    EXPECT_EQ(viewer.rowCount(), 2);

    viewer.filter() = CDlgSysLogManage::Filter{};
    for (const QString& text :
         {QStringLiteral("--"), QStringLiteral("; ["), QStringLiteral("'d'")}) {
        viewer.filter().action = text;
        ASSERT_TRUE(viewer.refresh()) << text.toStdString();
        EXPECT_EQ(listedActions(viewer), QStringList{QStringLiteral("a -- b; [c] 'd'")})
            << text.toStdString();
    }
    EXPECT_TRUE(prompter.shown().empty());

    core::ResultSetModel model;
    QAbstractItemModelTester tester(&model);
    model.reset(&viewer.rows());
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("操作"));

    db().Close();
    EXPECT_FALSE(viewer.refresh());
    model.reset(&viewer.rows());
    EXPECT_EQ(viewer.rowCount(), 0);
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("打开数据库出错!")});
    EXPECT_EQ(prompter.last().icon, Icon::Error);
}

TEST_F(SystemLog, ExportWritesTheListedLines)
{
    addLine(QStringLiteral("2024-03-10 12:00:00"), QStringLiteral("admin"), QStringLiteral("one"));
    CDlgSysLogManage viewer(app, prompter);
    viewer.open();
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("日志"));
    prompter.chooseFile(chosen);
    EXPECT_TRUE(viewer.exportList());
    EXPECT_TRUE(QFileInfo(chosen + QStringLiteral(".xlsx")).size() > 0) << ".xlsx unless chosen";
    prompter.chooseFile(chosen + QStringLiteral(".xls"));
    EXPECT_TRUE(viewer.exportList());
    QFile xls(chosen + QStringLiteral(".xls"));
    ASSERT_TRUE(xls.open(QIODevice::ReadOnly));
    EXPECT_EQ(xls.read(4), QByteArray("\xD0\xCF\x11\xE0", 4)) << "a real Excel 97-2003 file";

    prompter.chooseFile(QString()); // cancelled
    EXPECT_FALSE(viewer.exportList());

    prompter.chooseFile(dir.filePath(QStringLiteral("no/such/folder/x.xls")));
    EXPECT_FALSE(viewer.exportList());
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("导出数据失败!")});
}

TEST_F(SystemLog, RetentionOptionReadsAndStoresTheRow)
{
    core::CDlgSysLogOption option(db());
    option.load();
    EXPECT_TRUE(option.hasRow());
    EXPECT_EQ(option.days(), 60);
    option.setDays(5000);
    EXPECT_EQ(option.days(), 1000);
    option.setDays(7);
    EXPECT_TRUE(option.save());
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT sContent FROM qp_SysOption WHERE nType=2")),
              QStringLiteral("7"));
    EXPECT_EQ(logCount(), 0); // the change is not logged

    ASSERT_TRUE(
        db().Execute(QStringLiteral("UPDATE qp_SysOption SET sContent='abc' WHERE nType=2")));
    option.load();
    EXPECT_EQ(option.days(), 0);

    ASSERT_TRUE(db().Execute(QStringLiteral("DELETE FROM qp_SysOption WHERE nType=2")));
    option.load();
    EXPECT_FALSE(option.hasRow());
    option.setDays(9);
    EXPECT_FALSE(option.save());
    EXPECT_EQ(
        database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_SysOption WHERE nType=2")), 0);
}

} // namespace orvane::coretest
