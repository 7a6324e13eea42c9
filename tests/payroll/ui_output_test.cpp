// The bank file and payslip windows driven headless: the shared manager's check column, the
// bank file generated on its worker thread into the preview and saved, the send report filled.
#include "payroll_fixture.h"

#include "payroll/cdlgmailreport.h"
#include "payroll/cdlgwagebankoutput.h"
#include "payroll/templatemanager.h"
#include "payroll/ui/bankoutputdialog.h"
#include "payroll/ui/mailreportdialog.h"
#include "payroll/wageexportquery.h"
#include "payroll/wagescriptsession.h"
#include "widgets/templatemanagerdialog.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace orvane::payrolltest {
namespace {

class OutputWindows : public PayrollTest
{
protected:
    void SetUp() override
    {
        PayrollTest::SetUp();
        sort = addSort(QStringLiteral("工资"));
        addItem(sort, QStringLiteral("实发工资"));
        for (int i = 1; i <= 3; ++i) {
            const int pid =
                addPerson(QStringLiteral("P%1").arg(i), QStringLiteral("员工%1").arg(i), 1);
            db().Execute(QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES (%1,%2,%3)")
                             .arg(sort)
                             .arg(pid)
                             .arg(i));
        }
        ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202501").arg(sort)));
        ASSERT_TRUE(db().Execute(
            QStringLiteral(
                "EXEC qp_AddBankExportTemplet 0,%1,N'工行',1,N'{$COUNT()$}',N'',N',',N'txt',0")
                .arg(sort)));
        ASSERT_TRUE(db().Execute(
            QStringLiteral("EXEC qp_AddBankExportDetail 0,%1,1,0,N'户名',N'姓名',0,0,0,0,0,1")
                .arg(sort)));
        ASSERT_TRUE(db().Execute(
            QStringLiteral("EXEC qp_AddAnnounceTemplet 0,%1,N'工资条',1,N'[编号]',N'<b>[姓名]</b>'")
                .arg(sort)));
    }
    int sort = 0;
    const payroll::WageSelection selection{0, 202501, 0, 0};
};

TEST_F(OutputWindows, ManagerBankFileAndSendReport)
{
    payroll::TemplateManager manager(app, prompter, payroll::TemplateKind::bank(), sort);
    widgets::TemplateManagerDialog managerWindow(manager, [](int) { return 0; });
    auto* table = managerWindow.findChild<QTableWidget*>(QStringLiteral("templates"));
    ASSERT_EQ(table->rowCount(), 1);
    table->item(0, 0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_WageExport WHERE Active=0")), 1);

    payroll::WageSelection month = selection;
    month.sortId = sort;
    payroll::WageExportQuery query(db());
    payroll::WageScriptSession session(db(), query.context(month, QString()));
    payroll::CDlgWageBankOutput output(db(), payroll::CDlgWageBankOutput::loadTemplate(db(), 1),
                                       query.selectSql(month), session);
    payroll::ui::BankOutputDialog bankWindow(output, prompter);
    EXPECT_EQ(bankWindow.windowTitle(), QStringLiteral("银行代发数据 - 工行"));
    bankWindow.startLater();
    auto* preview = bankWindow.findChild<QPlainTextEdit*>(QStringLiteral("preview"));
    QTRY_COMPARE_WITH_TIMEOUT(preview->toPlainText(), QStringLiteral("3\n员工1,\n员工2,\n员工3,\n"),
                              10000);
    QTemporaryDir dir;
    prompter.chooseFile(dir.filePath(QStringLiteral("bank.txt")));
    bankWindow.findChild<QToolBar*>()->actions().first()->trigger();
    EXPECT_TRUE(output.saved());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("bank.txt"))));

    payroll::CDlgMailReport report(db(), payroll::CDlgMailReport::loadTemplate(db(), 1),
                                   query.selectSql(month), session, {});
    payroll::ui::MailReportDialog reportWindow(report, prompter);
    auto* mails = reportWindow.findChild<QTableWidget*>(QStringLiteral("mails"));
    QTRY_COMPARE_WITH_TIMEOUT(mails->rowCount(), 3, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!report.running(), 10000);
    QApplication::processEvents();
    EXPECT_EQ(mails->item(1, 4)->text(), QStringLiteral("\"P2\""));
    EXPECT_EQ(mails->currentRow(), 0);
}

} // namespace
} // namespace orvane::payrolltest

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
