#include "payroll/demopayroll.h"

#include "payroll/cdlgwageitemset.h"
#include "payroll/cdlgwagestdtable.h"
#include "payroll/wagecalc.h"
#include "payroll/wagescriptsession.h"
#include "payroll/wagesorts.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/purview.h"
#include "core/sqltext.h"
#include "core/unattendedprompter.h"

#include "db/cadodatabase.h"
#include "db/resultset.h"
#include "db/transaction.h"

#include <QStringList>

#include <memory>
#include <stdexcept>

namespace orvane::payroll {

namespace {

// Answers every question with Yes / OK and keeps the messages, which are failures here.
class DemoPrompter : public core::UnattendedPrompter
{
public:
    QStringList messages;

    void message(const QString& text, const QString&, Icon) override { messages << text; }
    Answer askYesNo(const QString&, const QString&, Icon, Answer) override { return Answer::Yes; }
    Answer askYesNoCancel(const QString&, const QString&, Icon, Answer) override
    {
        return Answer::Yes;
    }
    Answer retryCancel(const QString&, const QString&, Icon) override { return Answer::Cancel; }
    Answer okCancel(const QString&, const QString&, Icon) override { return Answer::Ok; }
};

struct Failure : std::runtime_error
{
    explicit Failure(const QString& text) : std::runtime_error(text.toStdString()) {}
};

enum Kind { Input, Reference, Standard, Formula };

struct DemoItem
{
    const char* caption;
    Kind kind;
    int decimals;
    bool retain;
    const char* detail; // dictionary key ("grade"/"step"), standard table key or formula
};

// "[@x]" stands for a reference to the demo sort's item x.
const DemoItem kItems[] = {
    {"岗位等级", Reference, 0, true, "grade"},
    {"薪级", Reference, 0, true, "step"},
    {"基本工资", Standard, 2, false, "base"},
    {"岗位津贴", Standard, 2, false, "post"},
    {"工龄", Input, 0, true, nullptr},
    {"工龄工资", Formula, 2, false, "MinOf([@工龄],30)*30"},
    {"绩效系数", Input, 2, true, nullptr},
    {"绩效工资", Formula, 2, false, "[@基本工资]*0.3*[@绩效系数]"},
    {"加班小时", Input, 1, false, nullptr},
    {"加班费", Formula, 2, false, "([@基本工资]+[@岗位津贴])/21.75/8*1.5*[@加班小时]"},
    {"交通补贴", Input, 2, true, nullptr},
    {"通讯补贴", Input, 2, true, nullptr},
    {"餐费补贴", Input, 2, true, nullptr},
    {"住房补贴", Input, 2, true, nullptr},
    {"高温补贴", Input, 2, false, nullptr},
    {"其他补贴", Input, 2, false, nullptr},
    {"补发工资", Input, 2, false, nullptr},
    {"应发合计", Formula, 2, false,
     "[@基本工资]+[@岗位津贴]+[@工龄工资]+[@绩效工资]+[@加班费]+[@交通补贴]+[@通讯补贴]+"
     "[@餐费补贴]+[@住房补贴]+[@高温补贴]+[@其他补贴]+[@补发工资]"},
    {"事假天数", Input, 1, false, nullptr},
    {"病假天数", Input, 1, false, nullptr},
    {"旷工天数", Input, 1, false, nullptr},
    {"迟到次数", Input, 0, false, nullptr},
    {"事假扣款", Formula, 2, false, "ProRata([@基本工资]+[@岗位津贴],[@事假天数],21.75)"},
    {"病假扣款", Formula, 2, false, "ProRata([@基本工资]+[@岗位津贴],[@病假天数],21.75)*0.4"},
    {"旷工扣款", Formula, 2, false, "ProRata([@基本工资]+[@岗位津贴],[@旷工天数],21.75)*2"},
    {"迟到扣款", Formula, 2, false, "IIf([@迟到次数]>2,([@迟到次数]-2)*50,0)"},
    {"考勤扣款", Formula, 2, false, "[@事假扣款]+[@病假扣款]+[@旷工扣款]+[@迟到扣款]"},
    {"缴费基数", Formula, 2, false, "MinOf(MaxOf([@应发合计],4000),30000)"},
    {"养老保险", Formula, 2, false, "[@缴费基数]*0.08"},
    {"医疗保险", Formula, 2, false, "[@缴费基数]*0.02"},
    {"失业保险", Formula, 2, false, "[@缴费基数]*0.005"},
    {"大额医疗", Formula, 2, false, "IIf([@缴费基数]>0,3,0)"},
    {"住房公积金", Formula, 0, false, "[@缴费基数]*0.12"},
    {"社保公积金合计", Formula, 2, false,
     "[@养老保险]+[@医疗保险]+[@失业保险]+[@大额医疗]+[@住房公积金]"},
    {"专项附加扣除", Input, 2, true, nullptr},
    {"应纳税所得额", Formula, 2, false,
     "MaxOf([@应发合计]-[@考勤扣款]-[@社保公积金合计]-[@专项附加扣除]-5000,0)"},
    {"个人所得税", Formula, 2, false, "IncomeTax([@应纳税所得额]+5000,5000)"},
    {"工会会费", Formula, 2, false, "[@基本工资]*0.005"},
    {"其他扣款", Input, 2, false, nullptr},
    {"扣款合计", Formula, 2, false,
     "[@考勤扣款]+[@社保公积金合计]+[@个人所得税]+[@工会会费]+[@其他扣款]"},
    {"实发工资", Formula, 2, false, "[@应发合计]-[@扣款合计]"},
};

class DemoPayroll
{
public:
    DemoPayroll(core::COrvaneApp& app, DemoPayrollCounts& counts)
        : m_app(app), m_db(app.database()), m_catalog(app.database()), m_counts(counts)
    {
    }

    void run(int lastMonth)
    {
        createSort();
        permitSort();
        createDictionaries();
        for (const DemoItem& entry : kItems)
            addItem(entry);
        addMembers();
        addMonths(lastMonth);
        addPayslipTemplate();
    }

private:
    void exec(const QString& sql)
    {
        if (!m_db.Execute(sql))
            throw Failure(m_db.GetErrorDescription() + QStringLiteral(" [") + sql.left(200) +
                          QLatin1Char(']'));
    }
    void check(bool ok, const QString& what)
    {
        if (!ok)
            throw Failure(what + QStringLiteral(": ") + m_prompter.messages.join(QLatin1Char(' ')));
    }
    QString item(const QString& caption) { return m_catalog.fieldName(demoSortTitle(), caption); }

    void createSort()
    {
        exec(QStringLiteral("EXEC qp_AddWageSort @Name=N'%1', @Descr=N'全体职工的月度工资'")
                 .arg(demoSortTitle()));
        m_sortId =
            m_catalog.integer(QStringLiteral("SELECT ID FROM qp_Table WHERE nType=6 AND Title='%1'")
                                  .arg(demoSortTitle()));
        check(m_sortId > 0, QStringLiteral("wage sort"));
        m_table = m_catalog.wageSortTable(m_sortId);
    }

    // Operators who are not super users see only the wage sorts of their rights: the demo
    // operators without a list of their own get the demo sort.
    void permitSort()
    {
        db::ResultSet users;
        db::BackendError error;
        if (!m_db.runQuery(QStringLiteral("SELECT UserID,Purview FROM qp_Users WHERE ISuper=0"),
                           users, false, error))
            throw Failure(error.description);
        for (int r = 0; r < users.rowCount(); ++r) {
            core::Purview purview = core::Purview::parse(users.at(r, 1).toString());
            if (!purview.wageSorts.isEmpty())
                continue;
            purview.wageSorts = QString::number(m_sortId);
            exec(QStringLiteral("UPDATE qp_Users SET Purview='%1' WHERE UserID=%2")
                     .arg(core::sqlEscape(purview.toString()))
                     .arg(users.at(r, 0).toInt()));
        }
    }

    QString addDictionary(const QString& title, const QStringList& codeTitles)
    {
        exec(QStringLiteral("EXEC qp_AddDictSort 0,1,N'%1'").arg(title));
        const QString dictId = m_catalog.text(
            QStringLiteral("SELECT DictId FROM qp_Dict WHERE Title='%1'").arg(title));
        check(!dictId.isEmpty(), title);
        for (int i = 0; i < codeTitles.size(); ++i)
            exec(QStringLiteral("EXEC qp_AddDictItem 0,1,'%1','%2',N'%3',''")
                     .arg(dictId, code(i + 1), codeTitles[i]));
        return dictId;
    }
    static QString code(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

    void createDictionaries()
    {
        QStringList grades;
        for (const char* g :
             {"一级岗", "二级岗", "三级岗", "四级岗", "五级岗", "六级岗", "七级岗", "八级岗"})
            grades << QString::fromUtf8(g);
        QStringList steps;
        for (int s = 1; s <= 10; ++s)
            steps << QStringLiteral("%1级薪").arg(s);
        m_gradeDict = addDictionary(QStringLiteral("岗位等级"), grades);
        m_stepDict = addDictionary(QStringLiteral("薪级"), steps);
    }

    int standardTable(const QString& key)
    {
        if (m_stdIds.contains(key))
            return m_stdIds.value(key);
        CDlgWageStdTable dlg(m_app, m_prompter, m_sortId);
        QStringList dicts{m_gradeDict};
        if (key == QLatin1String("base"))
            dicts << m_stepDict;
        for (int d = 0; d < dlg.dictionaries().size(); ++d) {
            if (!dicts.contains(dlg.dictionaries()[d].dictId))
                continue;
            for (int c = 0; c < dlg.dictionaries()[d].codes.size(); ++c)
                dlg.setTicked(d, c, true);
        }
        dlg.name = key == QLatin1String("base") ? QStringLiteral("基本工资标准表")
                                                : QStringLiteral("岗位津贴标准表");
        dlg.descr = key == QLatin1String("base") ? QStringLiteral("按岗位等级和薪级")
                                                 : QStringLiteral("按岗位等级");
        check(dlg.save(), dlg.name);
        const QString data = m_catalog.text(
            QStringLiteral("SELECT STDTable FROM qp_WageStdTable WHERE id=%1").arg(dlg.stdId()));
        if (key == QLatin1String("base")) {
            // Rows are the ten salary steps, columns the eight grades.
            for (int s = 1; s <= 10; ++s) {
                QStringList sets;
                for (int g = 1; g <= 8; ++g)
                    sets << QStringLiteral("c%1=%2").arg(code(g)).arg(2600 + g * 450 + s * 120);
                exec(QStringLiteral("UPDATE [%1] SET %2 WHERE DictValue='%3'")
                         .arg(data, sets.join(QLatin1Char(',')), code(s)));
            }
        } else {
            for (int g = 1; g <= 8; ++g)
                exec(QStringLiteral("UPDATE [%1] SET Jine=%2 WHERE DictValue='%3'")
                         .arg(data)
                         .arg(300 + g * 200)
                         .arg(code(g)));
        }
        ++m_counts.standardTables;
        m_stdIds.insert(key, dlg.stdId());
        return dlg.stdId();
    }

    void addItem(const DemoItem& entry)
    {
        CDlgWageItemSet editor(m_app, m_prompter, m_sortId);
        editor.caption = QString::fromUtf8(entry.caption);
        editor.decimals = entry.decimals;
        editor.retain = entry.retain;
        switch (entry.kind) {
        case Reference:
            editor.dataType = CDlgWageItemSet::Reference;
            editor.dictionary =
                QLatin1String(entry.detail) == QLatin1String("grade") ? m_gradeDict : m_stepDict;
            break;
        case Standard:
            // The lookup fields (the two reference items) exist by now.
            editor.property = CDlgWageItemSet::StandardTable;
            editor.standardTable = standardTable(QString::fromLatin1(entry.detail));
            break;
        case Formula:
            editor.property = CDlgWageItemSet::Formula;
            editor.formula =
                QString::fromUtf8(entry.detail)
                    .replace(QStringLiteral("[@"), QStringLiteral("[%1.").arg(demoSortTitle()));
            break;
        case Input:
            break;
        }
        check(editor.save(), editor.caption);
        ++m_counts.items;
    }

    void addMembers()
    {
        exec(QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) SELECT %1,PID,Ord FROM "
                            "qp_PsnBase")
                 .arg(m_sortId));
        exec(QStringLiteral("qp_RefreshWagePsnDefaultOrder %1,0").arg(m_sortId));
        m_counts.members = m_catalog.integer(
            QStringLiteral("SELECT COUNT(*) FROM qp_WagePsn WHERE SID=%1").arg(m_sortId));
    }

    // "CASE PID%n WHEN 0 THEN v0 ... END": a value that varies from person to person.
    static QString byPerson(const QStringList& values, int salt = 0)
    {
        QString sql = QStringLiteral("CASE (PID+") + QString::number(salt) + QStringLiteral(")%") +
                      QString::number(values.size());
        for (int i = 0; i < values.size(); ++i)
            sql += QStringLiteral(" WHEN %1 THEN %2").arg(i).arg(values[i]);
        return sql + QStringLiteral(" END");
    }

    void setValues(int fDate, const QList<std::pair<QString, QString>>& values)
    {
        QStringList sets;
        for (const auto& v : values)
            sets << QStringLiteral("[%1]=%2").arg(item(v.first), v.second);
        // Concatenated: the values hold '%' operators that arg() would take for markers.
        exec(QStringLiteral("UPDATE [") + m_table + QStringLiteral("] SET ") +
             sets.join(QLatin1Char(',')) + QStringLiteral(" WHERE fDate=") +
             QString::number(fDate));
    }

    void addMonths(int lastMonth)
    {
        QList<int> months;
        int year = lastMonth / 100;
        int month = lastMonth % 100;
        for (int i = 0; i < 3; ++i) {
            months.prepend(year * 100 + month);
            if (--month == 0) {
                month = 12;
                --year;
            }
        }
        QStringList grades;
        QStringList steps;
        for (int i = 1; i <= 8; ++i)
            grades << QStringLiteral("'%1'").arg(code(i));
        for (int i = 1; i <= 10; ++i)
            steps << QStringLiteral("'%1'").arg(code(i));
        for (int m = 0; m < months.size(); ++m) {
            const int fDate = months[m];
            exec(QStringLiteral("EXEC qp_CreateWageTable %1,%2,%3")
                     .arg(m_app.currentOperator().UserID)
                     .arg(m_sortId)
                     .arg(fDate));
            if (m == 0)
                setValues(
                    fDate,
                    {{QStringLiteral("岗位等级"), byPerson(grades)},
                     {QStringLiteral("薪级"), byPerson(steps, 3)},
                     {QStringLiteral("工龄"), QStringLiteral("(PID*7)%35")},
                     {QStringLiteral("绩效系数"),
                      byPerson({"0.8", "1.0", "1.0", "1.1", "1.2", "1.0", "0.9"})},
                     {QStringLiteral("交通补贴"), QStringLiteral("300")},
                     {QStringLiteral("通讯补贴"), byPerson({"100", "150", "200"})},
                     {QStringLiteral("餐费补贴"), QStringLiteral("440")},
                     {QStringLiteral("住房补贴"), byPerson({"0", "500", "800", "1000"})},
                     {QStringLiteral("专项附加扣除"), byPerson({"0", "1000", "2000", "3000"})}});
            setValues(
                fDate,
                {{QStringLiteral("加班小时"), byPerson({"0", "0", "4", "8", "12", "0"}, m)},
                 {QStringLiteral("事假天数"), byPerson({"0", "0", "0", "1", "0", "0.5", "0"}, m)},
                 {QStringLiteral("病假天数"),
                  byPerson({"0", "0", "0", "0", "2", "0", "0", "0"}, m)},
                 {QStringLiteral("迟到次数"), byPerson({"0", "1", "0", "3", "0"}, m)}});
            calculate(fDate);
            if (m + 1 < months.size())
                exec(QStringLiteral("EXEC qp_UpdateWageTableCheckOut %1,%2,1")
                         .arg(m_sortId)
                         .arg(fDate));
            ++m_counts.months;
        }
    }

    // Recalculates the month as the wage view does, so the demo shows real net pay.
    void calculate(int fDate)
    {
        if (!m_script) {
            script::WageContext context;
            context.operatorName = m_app.currentOperator().UserName.toStdString();
            m_script = std::make_unique<WageScriptSession>(m_db, context);
            if (!m_script->reset())
                throw Failure(QString::fromStdString(m_script->engine().lastError().description));
        }
        WageViewFilter filter;
        filter.sortId = m_sortId;
        filter.fDate = fDate;
        const WageCalcResult result = WageCalculator(m_db, *m_script).calculateMonth(filter);
        if (!result.ok)
            throw Failure(result.error);
        if (!result.failures.empty())
            throw Failure(result.failureMessages().join(QLatin1Char(' ')));
    }

    void addPayslipTemplate()
    {
        exec(QStringLiteral(
                 "INSERT INTO qp_WageAnnounce (SID,Name,Active,Subject,Content,Ord) VALUES "
                 "(%1,N'工资条',1,N'{$SName()$} {$SDate()$} 工资条',N'%2',1)")
                 .arg(m_sortId)
                 .arg(core::sqlEscape(QStringLiteral(
                     "<p>{$[姓名]$}，您好：</p><p>您本月应发 {$[应发合计]$} 元，扣款 "
                     "{$[扣款合计]$} 元，实发 {$[实发工资]$} "
                     "元（大写：{$DX([实发工资])$}）。</p>"))));
    }

    core::COrvaneApp& m_app;
    db::CADODatabase& m_db;
    core::Catalog m_catalog;
    DemoPayrollCounts& m_counts;
    DemoPrompter m_prompter;
    int m_sortId = 0;
    QString m_table;
    QString m_gradeDict;
    QString m_stepDict;
    QHash<QString, int> m_stdIds;
    std::unique_ptr<WageScriptSession> m_script;
};

} // namespace

QString demoSortTitle()
{
    return QStringLiteral("职工工资");
}

bool fillDemoPayroll(core::COrvaneApp& app, int lastMonth, DemoPayrollCounts* counts,
                     QString* error)
{
    DemoPayrollCounts local;
    db::Transaction transaction(app.database());
    try {
        if (!transaction.isActive())
            throw Failure(app.database().GetErrorDescription());
        DemoPayroll(app, counts ? *counts : local).run(lastMonth);
        if (!transaction.commit())
            throw Failure(app.database().GetErrorDescription());
    } catch (const Failure& f) {
        transaction.rollback();
        if (error)
            *error = QString::fromStdString(f.what());
        return false;
    }
    return true;
}

} // namespace orvane::payroll
