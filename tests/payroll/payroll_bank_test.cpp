// Bank disbursement files: the line format, the expressions, the splitting into files, the GBK
// check and the template procedures.
#include "payroll_fixture.h"

#include "payroll/cdlgwagebankoutput.h"
#include "payroll/wageexportquery.h"
#include "payroll/wagescriptsession.h"

#include "db/cadorecordset.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace orvane::payrolltest {
namespace {

using payroll::BankField;
using payroll::BankTemplate;
using payroll::CDlgWageBankOutput;

struct RecordingSink : payroll::BankOutputSink
{
    void appendText(const QString& text) override
    {
        text_ += text;
        if (onLine)
            onLine();
    }
    void setStatus(int pane, const QString& text) override { status[pane] = text; }
    void setProgress(int value, int maximum) override
    {
        lastValue = value;
        lastMaximum = maximum;
    }
    QString text_;
    QString status[2];
    int lastValue = -1;
    int lastMaximum = -1;
    std::function<void()> onLine;
};

BankField field(int source, const QString& content, bool fixed = false, int length = 0,
                int fill = 0, int before = 0, int quote = 0)
{
    BankField f;
    f.name = QStringLiteral("域%1").arg(content.left(6));
    f.source = source;
    f.content = content;
    f.fixedLength = fixed;
    f.length = length;
    f.fillChar = fill;
    f.fillBefore = before;
    f.quote = quote;
    return f;
}

class BankExport : public PayrollTest
{
protected:
    void SetUp() override
    {
        PayrollTest::SetUp();
        sort = addSort(QStringLiteral("工资"));
        pay = addItem(sort, QStringLiteral("实发工资"));
    }

    // Persons of the month 202501 in department order, with their net pay.
    void month(const QList<std::pair<QString, int>>& persons)
    {
        int ord = 1;
        for (const auto& [name, amount] : persons) {
            const int pid =
                addPerson(QStringLiteral("%1").arg(ord, 3, 10, QLatin1Char('0')), name, 1);
            ASSERT_TRUE(db().Execute(
                QStringLiteral("INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES (%1,%2,%3)")
                    .arg(sort)
                    .arg(pid)
                    .arg(ord)));
            amounts << amount;
            ++ord;
        }
        ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202501").arg(sort)));
        for (int i = 0; i < amounts.size(); ++i)
            ASSERT_TRUE(db().Execute(
                QStringLiteral("UPDATE %1 SET %2=%3 WHERE PID=(SELECT PID FROM qp_PsnBase WHERE "
                               "Number='%4')")
                    .arg(wageTable(sort), pay)
                    .arg(amounts[i])
                    .arg(i + 1, 3, 10, QLatin1Char('0'))));
    }

    // Generates the month through the template; the text as the preview shows it.
    QString generate(BankTemplate templ, RecordingSink* sinkOut = nullptr)
    {
        payroll::WageExportQuery query(db());
        const payroll::WageSelection selection{sort, fDate, 0, 0};
        payroll::WageScriptSession session(db(), query.context(selection, QStringLiteral("admin")));
        output = std::make_unique<CDlgWageBankOutput>(db(), std::move(templ),
                                                      query.selectSql(selection), session);
        RecordingSink sink;
        output->generate(sink);
        EXPECT_EQ(sink.text_, output->previewText());
        if (sinkOut)
            *sinkOut = sink;
        return output->previewText();
    }

    BankTemplate templ(std::vector<BankField> fields, const QString& sep = QStringLiteral("|"))
    {
        BankTemplate t;
        t.name = QStringLiteral("测试");
        t.separator = sep;
        t.fields = std::move(fields);
        return t;
    }

    int sort = 0;
    int fDate = 202501;
    QString pay;
    QList<int> amounts;
    std::unique_ptr<CDlgWageBankOutput> output;
};

TEST_F(BankExport, FieldValuesFillQuoteAndSeparate)
{
    month({{QStringLiteral("Li"), 12}});
    struct Case
    {
        const char* what;
        std::vector<BankField> fields;
        QString line;
    };
    const Case cases[] = {
        {"zero fill before, quoted name; the separator follows the last field too",
         {field(0, QStringLiteral("实发工资"), true, 5, 1, 0),
          field(0, QStringLiteral("姓名"), false, 0, 0, 0, 1)},
         QStringLiteral("00012|\"Li\"|\n")},
        {"fill goes inside the quotes",
         {field(1, QStringLiteral("7"), true, 3, 0, 1, 2)},
         QStringLiteral("'7  '|\n")},
        {"a longer value is written whole; an unknown fill adds nothing",
         {field(1, QStringLiteral("123456"), true, 3, 1, 0),
          field(1, QStringLiteral("8"), true, 4, 5, 0)},
         QStringLiteral("123456|8|\n")},
        {"sequence number, unknown source, a caption that is no column",
         {field(2, QString()), field(9, QStringLiteral("x")), field(0, QStringLiteral("无此列"))},
         QStringLiteral("1||无此列|\n")},
        {"placeholders: quoted outside an expression, bare inside, empty when unknown",
         {field(1, QStringLiteral("[姓名]{$[姓名]$}[无此列]{$[实发工资]*2$}"))},
         QStringLiteral("\"Li\"Li24|\n")},
        {"nested markers evaluate the inner one first; an empty value keeps the expression",
         {field(1, QStringLiteral("{$Len(\"{$10*10$}\")$}")),
          field(1, QStringLiteral("{$NoSuchName$}"))},
         QStringLiteral("3|NoSuchName|\n")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(generate(templ(c.fields)), c.line) << c.what;
}

TEST_F(BankExport, HeaderAndFooterSeeTheSelectionAndFailuresStopAsTheRulesSay)
{
    month({{QStringLiteral("甲"), 100}, {QStringLiteral("乙"), 250}, {QStringLiteral("丙"), 50}});
    BankTemplate t =
        templ({field(2, QString(), true, 4, 1, 0), field(0, QStringLiteral("实发工资"))},
              QStringLiteral(","));
    t.header = QStringLiteral("H,{$COUNT()$},{$SUM(\"实发工资\")$}");
    t.footer = QStringLiteral("T,{$COUNT()*2$}");
    RecordingSink sink;
    EXPECT_EQ(generate(t, &sink), QStringLiteral("H,3,400\n0001,100,\n0002,250,\n0003,50,\nT,6\n"));
    EXPECT_EQ(sink.status[0], QStringLiteral("记录数：3"));
    EXPECT_EQ(sink.lastMaximum, 0); // progress bar hidden at the end
    EXPECT_EQ(output->recordCount(), 3);

    // A failing custom field: the lines so far, no footer.
    BankTemplate failing = t;
    failing.fields.push_back(field(1, QStringLiteral("{$CInt(1000/([实发工资]-250))$}")));
    EXPECT_EQ(generate(failing), QStringLiteral("H,3,400\n0001,100,-7,\n"));
    // A failing header: nothing at all. A failing footer: as far as expanded.
    BankTemplate badHeader = t;
    badHeader.header = QStringLiteral("{$1/0$}");
    EXPECT_EQ(generate(badHeader), QString());
    BankTemplate badFooter = t;
    badFooter.footer = QStringLiteral("{$COUNT()$}-{$1/0$}");
    EXPECT_TRUE(generate(badFooter).endsWith(QStringLiteral("0003,50,\n3-{$1/0$}\n")));
}

TEST_F(BankExport, AnEmptyMonthGivesNothingAndTheWorkerCanBeCancelled)
{
    BankTemplate t = templ({field(2, QString())});
    t.header = QStringLiteral("HEAD");
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_CreateWageTable 1,%1,202412").arg(sort)));
    fDate = 202412;
    EXPECT_EQ(generate(t), QString());
    fDate = 202501;

    month({{QStringLiteral("甲"), 1}, {QStringLiteral("乙"), 2}, {QStringLiteral("丙"), 3}});
    payroll::WageExportQuery query(db());
    const payroll::WageSelection selection{sort, 202501, 0, 0};
    payroll::WageScriptSession session(db(), query.context(selection, QString()));
    CDlgWageBankOutput worker(db(), t, query.selectSql(selection), session);
    RecordingSink sink;
    int lines = 0;
    sink.onLine = [&] {
        if (++lines == 2) // header and the first person
            worker.cancel();
    };
    worker.start(sink);
    worker.wait();
    EXPECT_EQ(worker.previewText(), QStringLiteral("HEAD\n1|\n"));
    EXPECT_FALSE(worker.running());
}

QStringList fileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<missing>")};
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.last(), QString()) << "every line ends in CR LF";
    lines.removeLast();
    return lines;
}

TEST_F(BankExport, SplittingWritesCrLfFilesWithoutTheEmptyLastLine)
{
    month({{QStringLiteral("A"), 1},
           {QStringLiteral("B"), 2},
           {QStringLiteral("C"), 3},
           {QStringLiteral("D"), 4},
           {QStringLiteral("E"), 5}});
    BankTemplate t = templ({field(0, QStringLiteral("实发工资"))}, QString());
    t.header = QStringLiteral("H");
    t.footer = QStringLiteral("F");
    t.linesPerFile = 3;
    generate(t); // 7 lines and the empty one after the last break
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("pay.dat"));
    ASSERT_TRUE(output->saveTo(chosen, prompter));
    EXPECT_TRUE(output->saved());
    EXPECT_FALSE(QFile::exists(chosen));
    EXPECT_EQ(output->writtenFiles(), QStringList({dir.filePath(QStringLiteral("pay_0.dat")),
                                                   dir.filePath(QStringLiteral("pay_1.dat")),
                                                   dir.filePath(QStringLiteral("pay_2.dat"))}));
    EXPECT_EQ(fileLines(dir.filePath(QStringLiteral("pay_0.dat"))), QStringList({"H", "1", "2"}));
    EXPECT_EQ(fileLines(dir.filePath(QStringLiteral("pay_1.dat"))), QStringList({"3", "4", "5"}));
    EXPECT_EQ(fileLines(dir.filePath(QStringLiteral("pay_2.dat"))), QStringList({"F"}));

    // SFRows 0: the chosen file receives everything, replacing what was there.
    t.linesPerFile = 0;
    generate(t);
    QFile old(chosen);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(500, 'x'));
    old.close();
    ASSERT_TRUE(output->saveTo(chosen, prompter));
    EXPECT_EQ(fileLines(chosen), QStringList({"H", "1", "2", "3", "4", "5", "F"}));
    EXPECT_TRUE(prompter.messageTexts().isEmpty());
}

TEST_F(BankExport, FilesAreGbkAndAnUnwritableCharacterNamesThePersonAndField)
{
    month({{QStringLiteral("张三"), 10}, {QStringLiteral("李\U0001F600"), 20}});
    BankTemplate t = templ({field(0, QStringLiteral("编号")), field(0, QStringLiteral("姓名"))});
    t.fields[1].name = QStringLiteral("户名");
    generate(t);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bank.txt"));
    EXPECT_FALSE(output->saveTo(path, prompter));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(output->saved());
    ASSERT_EQ(prompter.messageTexts().size(), 1);
    EXPECT_EQ(prompter.messageTexts().first(),
              QStringLiteral("第2行人员“002 李\U0001F600”的数据域“户名”中的字符“\U0001F600”"
                             "不能写入银行文件(GBK编码)，文件未保存！"));

    db().Execute(QStringLiteral("UPDATE qp_PsnBase SET Name='李四' WHERE Number='002'"));
    generate(t);
    ASSERT_TRUE(output->saveTo(path, prompter));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("001|\xD5\xC5\xC8\xFD|\r\n002|\xC0\xEE\xCB\xC4|\r\n"));
}

TEST_F(BankExport, TemplateProceduresStoreCopyAndRenumber)
{
    ASSERT_TRUE(db().Execute(
        QStringLiteral(
            "EXEC qp_AddBankExportTemplet 0,%1,N'工行',1,N'{$COUNT()$}',N'',N'|',N'dat',3")
            .arg(sort)));
    const int eid = count(QStringLiteral("SELECT MAX(EID) FROM qp_WageExport"));
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(db().Execute(
            QStringLiteral("EXEC qp_AddBankExportDetail 0,%1,%2,0,N'域%3',N'姓名',1,8,0,1,1,%3")
                .arg(sort)
                .arg(eid)
                .arg(i)));
    const BankTemplate loaded = CDlgWageBankOutput::loadTemplate(db(), eid);
    EXPECT_EQ(loaded.name, QStringLiteral("工行"));
    EXPECT_EQ(loaded.extension, QStringLiteral("dat"));
    EXPECT_EQ(loaded.linesPerFile, 3);
    ASSERT_EQ(loaded.fields.size(), 2u);
    EXPECT_TRUE(loaded.fields[0].fixedLength);
    EXPECT_EQ(loaded.fields[1].quote, 1);

    db::CADORecordset copy(&db());
    ASSERT_TRUE(copy.Open(QStringLiteral("EXEC qp_CopyBankTemplet %1").arg(eid)));
    const int copied = copy.GetFieldInt(QStringLiteral("NewID"));
    EXPECT_GT(copied, eid);
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM qp_WageExportDetail WHERE EID=%1").arg(copied)),
        2);
    EXPECT_EQ(database().scalar(
                  QStringLiteral("SELECT Name FROM qp_WageExport WHERE EID=%1").arg(copied)),
              QStringLiteral("工行_副本"));
    ASSERT_TRUE(
        db().Execute(QStringLiteral("UPDATE qp_WageExport SET Ord=9 WHERE EID=%1").arg(eid)));
    ASSERT_TRUE(db().Execute(QStringLiteral("qp_RefreshBankExportTempletOrder %1").arg(sort)));
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT Ord FROM qp_WageExport WHERE EID=%1").arg(eid)),
        QStringLiteral("2"));
    // A hostile name is stored as typed.
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_AddBankExportTemplet %1,%2,N'a''; DROP "
                                            "TABLE qp_WageExport --',1,N'',N'',N'',N'',0")
                                 .arg(eid)
                                 .arg(sort)));
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT Name FROM qp_WageExport WHERE EID=%1").arg(eid)),
        QStringLiteral("a'; DROP TABLE qp_WageExport --"));
}

} // namespace
} // namespace orvane::payrolltest
