// orvane-admin calc: recalculates a wage month as the wage view's "重新计算" does.
#include "admincommand.h"
#include "adminsession.h"

#include "core/apphelpers.h"
#include "core/catalog.h"
#include "core/operatorrights.h"
#include "core/purview.h"
#include "core/rightstable.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadorecordset.h"
#include "payroll/wagecalc.h"
#include "payroll/wagescriptsession.h"

#include <QElapsedTimer>

namespace orvane::admin {

namespace {

constexpr int kRightChangeWageData = 19;

// Logs in `name` in place of the super operator; false with `error` when it cannot.
bool switchOperator(AdminSession& session, const QString& name, QString& error)
{
    db::CADORecordset rs(&session.db());
    if (!rs.Open(QStringLiteral("SELECT UserID,UserName,ISuper,Purview FROM qp_Users WHERE "
                                "UserName='%1'")
                     .arg(core::sqlEscape(name))) ||
        rs.IsEOF()) {
        error = QStringLiteral("没有操作员'%1'").arg(name);
        return false;
    }
    core::OperatorRecord record;
    record.UserID = rs.GetFieldInt(QStringLiteral("UserID"));
    record.UserName = rs.GetFieldString(QStringLiteral("UserName"));
    record.ISuper = rs.GetFieldInt(QStringLiteral("ISuper")) != 0;
    core::OperatorRights::applyPurview(session.db(), record,
                                       rs.GetFieldString(QStringLiteral("Purview")));
    session.app().setCurrentOperator(record);
    return true;
}

int runCalc(const QStringList& args)
{
    const QString usage = QStringLiteral("usage: orvane-admin calc FILE --sort ID --month YYYYMM "
                                         "[--dept D] [--category A] [--user NAME]\n");
    AdminSession session(args);
    payroll::WageViewFilter filter;
    filter.sortId = session.number(QStringLiteral("sort"));
    filter.fDate = session.number(QStringLiteral("month"));
    filter.deptId = session.number(QStringLiteral("dept"), 0);
    filter.categoryId = session.number(QStringLiteral("category"), 0);
    if (!session.ok()) {
        printErr(QStringLiteral("orvane-admin calc: %1\n%2").arg(session.error(), usage));
        return 2;
    }
    QString error;
    if (session.has(QStringLiteral("user")) &&
        !switchOperator(session, session.option(QStringLiteral("user")), error)) {
        printErr(QStringLiteral("orvane-admin calc: %1\n").arg(error));
        return 2;
    }
    const core::OperatorRecord& user = session.app().currentOperator();
    if (!user.ISuper &&
        (!core::RightsTable::granted(user.purview.rightsMask, kRightChangeWageData) ||
         !core::keyInList(user.purview.wageSorts, filter.sortId))) {
        printErr(
            QStringLiteral("orvane-admin calc: %1\n").arg(core::OperatorRights::noRightMessage()));
        return 1;
    }
    filter.superOperator = user.ISuper;
    filter.permittedDepartments = user.purview.departments;

    core::Catalog catalog(session.db());
    const QString title = payroll::WageViewFilter::sortTitle(session.db(), filter.sortId);
    const QString stat =
        catalog.text(QStringLiteral("SELECT Stat FROM qp_WageTable WHERE SID=%1 AND fDate=%2")
                         .arg(filter.sortId)
                         .arg(filter.fDate));
    if (title.isEmpty() || stat.isEmpty()) {
        printErr(QStringLiteral("orvane-admin calc: 薪资类别%1没有%2的薪资表\n")
                     .arg(filter.sortId)
                     .arg(core::monthText(filter.fDate)));
        return 1;
    }
    if (stat.toInt() == 1) {
        printErr(QStringLiteral("orvane-admin calc: 该薪资表已结账,数据不再修改!\n"));
        return 1;
    }

    script::WageContext context;
    context.operatorName = user.UserName.toStdString();
    payroll::WageScriptSession script(session.db(), context);
    if (!script.reset()) {
        printErr(QStringLiteral("orvane-admin calc: 自定义脚本加载失败: %1\n")
                     .arg(QString::fromStdString(script.engine().lastError().description)));
        return 1;
    }
    payroll::WageCalculator calculator(session.db(), script);
    QElapsedTimer clock;
    clock.start();
    const payroll::WageCalcResult result = calculator.calculateMonth(filter);
    const qint64 total = clock.elapsed();
    if (!result.ok) {
        printErr(QStringLiteral("orvane-admin calc: 核算失败，数据未修改: %1\n").arg(result.error));
        return 1;
    }
    const QString where =
        filter.whereText(payroll::WageViewFilter::dataTable(session.db(), filter.sortId));
    core::AddSystemLog(session.app(),
                       payroll::WageViewFilter::recalculationLogLine(title, filter.fDate, where));
    printOut(QStringLiteral("%1 %2\npersons: %3\nitems: %4\ncells written: %5\n"
                            "time: %6 ms (read %7 ms, evaluate %8 ms, write %9 ms)\n")
                 .arg(title, core::monthText(filter.fDate))
                 .arg(result.persons)
                 .arg(result.items)
                 .arg(result.cellsWritten)
                 .arg(total)
                 .arg(result.readMs)
                 .arg(result.evaluateMs)
                 .arg(result.writeMs));
    for (const QString& failure : result.failureMessages())
        printOut(failure + QLatin1Char('\n'));
    return result.failures.empty() ? 0 : 1;
}

const AdminCommandRegistration registration({
    QStringLiteral("calc"),
    QStringLiteral("calc FILE --sort ID --month YYYYMM [--dept D] [--category A] [--user NAME]"),
    QStringLiteral("recalculate the formula and standard-table items of a wage month (exit 1 when "
                   "a formula fails)"),
    runCalc,
});

} // namespace

} // namespace orvane::admin
