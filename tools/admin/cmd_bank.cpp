// orvane-admin bank: the bank disbursement file of a wage month, as "保存" writes it.
#include "admincommand.h"
#include "adminsession.h"
#include "consoleprompter.h"

#include "core/systemlog.h"
#include "payroll/cdlgwagebankoutput.h"
#include "payroll/wageexportquery.h"
#include "payroll/wagescriptsession.h"

namespace orvane::admin {

namespace {

struct NullSink : payroll::BankOutputSink
{
    void appendText(const QString&) override {}
    void setStatus(int, const QString&) override {}
    void setProgress(int, int) override {}
};

int runBank(const QStringList& args)
{
    const QString usage = QStringLiteral(
        "usage: orvane-admin bank FILE --sort ID --month YYYYMM --template EID --out PATH "
        "[--dept D]\n");
    AdminSession session(args);
    const payroll::WageSelection selection{session.number(QStringLiteral("sort")),
                                           session.number(QStringLiteral("month")),
                                           session.number(QStringLiteral("dept"), 0), 0};
    const int eid = session.number(QStringLiteral("template"));
    const QString out = session.option(QStringLiteral("out"));
    if (!session.ok() || out.isEmpty()) {
        printErr(
            QStringLiteral("orvane-admin bank: %1\n%2")
                .arg(session.ok() ? QStringLiteral("option --out is required") : session.error(),
                     usage));
        return 2;
    }
    payroll::BankTemplate templ = payroll::CDlgWageBankOutput::loadTemplate(session.db(), eid);
    if (templ.eid == 0 || templ.sortId != selection.sortId) {
        printErr(QStringLiteral("orvane-admin bank: 薪资类别%1没有报盘模板%2\n")
                     .arg(selection.sortId)
                     .arg(eid));
        return 1;
    }
    payroll::WageExportQuery query(session.db());
    const QString sql = query.selectSql(selection);
    if (sql.isEmpty()) {
        printErr(QStringLiteral("orvane-admin bank: %1\n")
                     .arg(QStringLiteral("选择的薪资帐套被删除！")));
        return 1;
    }
    payroll::WageScriptSession script(
        session.db(), query.context(selection, session.app().currentOperator().UserName));
    const QString templateName = templ.name;
    payroll::CDlgWageBankOutput output(session.db(), std::move(templ), sql, script);
    NullSink sink;
    output.generate(sink);
    if (output.recordCount() == 0) {
        printErr(QStringLiteral("orvane-admin bank: 所选薪资表没有人员，未生成文件\n"));
        return 1;
    }
    ConsolePrompter prompter;
    if (!output.saveTo(out, prompter))
        return 1;
    core::AddSystemLog(
        session.app(),
        query.logLine(selection, QStringLiteral("生成银行代发报盘数据"), templateName));
    for (const QString& file : output.writtenFiles())
        printOut(file + QLatin1Char('\n'));
    printErr(QStringLiteral("%1 records\n").arg(output.recordCount()));
    return 0;
}

const AdminCommandRegistration registration({
    QStringLiteral("bank"),
    QStringLiteral("bank FILE --sort ID --month YYYYMM --template EID --out PATH [--dept D]"),
    QStringLiteral("write the bank disbursement file(s) of a wage month through a bank template"),
    runBank,
});

} // namespace

} // namespace orvane::admin
