// The template managers and editors of bank files and payslip mail, and the mail settings.
#include "payroll_fixture.h"

#include "payroll/cdlgmailserverset.h"
#include "payroll/cdlgwageanntemplet.h"
#include "payroll/cdlgwagebanktemplet.h"
#include "payroll/templatemanager.h"

#include <gtest/gtest.h>

namespace orvane::payrolltest {
namespace {

using payroll::BankField;

class OutputTemplates : public PayrollTest
{
protected:
    void SetUp() override
    {
        PayrollTest::SetUp();
        sort = addSort(QStringLiteral("工资"));
        addItem(sort, QStringLiteral("实发工资"));
    }
    int newBankTemplate(const QString& name)
    {
        payroll::CDlgWageBankTemplet editor(app, prompter, sort, 0);
        editor.values().name = name;
        EXPECT_TRUE(editor.save());
        return editor.eid();
    }
    int sort = 0;
};

TEST_F(OutputTemplates, BankEditorChecksStoresAndKeepsItsFields)
{
    payroll::CDlgWageBankTemplet fresh(app, prompter, sort, 0);
    EXPECT_EQ(fresh.title(), QStringLiteral("新建银行代发模板"));
    EXPECT_FALSE(fresh.canEditFields());
    fresh.values().name = QStringLiteral("  ");
    EXPECT_FALSE(fresh.save());
    const int eid = newBankTemplate(QStringLiteral("工行"));
    ASSERT_GT(eid, 0);
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[薪资类别'工资'新建银行代发模板'工行']"));
    payroll::CDlgWageBankTemplet same(app, prompter, sort, 0);
    same.values().name = QStringLiteral("工行");
    EXPECT_FALSE(same.save());
    EXPECT_EQ(prompter.messageTexts(),
              QStringList({QStringLiteral("请保存模板后设置明细数据域！"),
                           QStringLiteral("错误：名称不能为空!"),
                           QStringLiteral("错误：该银行模板名称已存在!")}));

    payroll::CDlgWageBankTemplet editor(app, prompter, sort, eid);
    ASSERT_TRUE(editor.load());
    EXPECT_TRUE(editor.sourceCaptions().contains(QStringLiteral("实发工资")));
    EXPECT_TRUE(editor.sourceCaptions().contains(QStringLiteral("姓名")));
    for (const char* name : {"户名", "金额"}) {
        BankField f;
        f.name = QString::fromUtf8(name);
        f.content = QStringLiteral("姓名");
        ASSERT_TRUE(editor.storeField(f));
    }
    ASSERT_EQ(editor.fields().rowCount(), 2);
    EXPECT_EQ(editor.fieldAt(1).name, QStringLiteral("金额"));
    EXPECT_EQ(lastLogLine(),
              QStringLiteral("薪资管理[薪资类别'工资'新建银行代发模板'工行'明细项'金额']"));
    editor.fields().setCurrentRow(1);
    ASSERT_TRUE(editor.moveField(core::RowOrder::Direction::Up));
    editor.refreshFields();
    EXPECT_EQ(editor.fieldAt(0).name, QStringLiteral("金额"));
    editor.fields().setCurrentRow(0);
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(editor.deleteField());
    EXPECT_EQ(prompter.last().text, QStringLiteral("删除选定的明细数据域.\r\n\r\n确定吗?"));
    EXPECT_EQ(editor.fields().rowCount(), 1);

    // The field editor's checks, in order.
    payroll::CDlgWageBankDetail detail(app, prompter, sort, eid);
    struct Case
    {
        QString name;
        int source;
        QString content;
        QString message;
    };
    const Case cases[] = {
        {QStringLiteral(" "), 0, QString(), QStringLiteral("错误：名称不能为空!")},
        {QStringLiteral("a"), 1, QStringLiteral("[姓名"),
         QStringLiteral("错误：域内容中括号不配对!")},
        {QStringLiteral("a"), 1, QStringLiteral("{$Len(1$}"),
         QStringLiteral("错误：域内容小括号不配对!")},
        {QStringLiteral("a"), 1, QStringLiteral("{$1$"),
         QStringLiteral("错误：域内容大括号不配对!")},
        {QStringLiteral("a"), 0, QStringLiteral("[姓名"), QString()},
    };
    for (const Case& c : cases) {
        prompter.clear();
        BankField f;
        f.name = c.name;
        f.source = c.source;
        f.content = c.content;
        EXPECT_EQ(detail.check(f), c.message.isEmpty());
        EXPECT_EQ(prompter.messageTexts().value(0), c.message);
    }
    db().Execute(QStringLiteral("DELETE FROM qp_WageExport WHERE EID=%1").arg(eid));
    BankField f;
    f.name = QStringLiteral("x");
    EXPECT_FALSE(detail.check(f));
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("选择的代发银行被删除！"));
}

TEST_F(OutputTemplates, OneManagerServesBothKindsOfTemplate)
{
    const int first = newBankTemplate(QStringLiteral("工行"));
    newBankTemplate(QStringLiteral("建行"));
    payroll::CDlgWageAnnTemplet mail(app, prompter, sort, 0);
    mail.name = QStringLiteral("工资条");
    mail.subject = QStringLiteral("[姓名]的工资条");
    ASSERT_TRUE(mail.save());
    EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[薪资类别'工资'新建邮件模板'工资条']"));
    EXPECT_EQ(mail.referenceItems().front().second, QStringList({QStringLiteral("实发工资")}));
    EXPECT_EQ(payroll::CDlgWageAnnTemplet::restoreExpressions(QStringLiteral(
                  "<p>&quot;a&quot; {$SUM(&quot;实发工资&quot;) &amp; &quot;元&quot;$} "
                  "&lt;{$1&lt;2$}</p>")),
              QStringLiteral("<p>&quot;a&quot; {$SUM(\"实发工资\") & \"元\"$} &lt;{$1<2$}</p>"));

    struct Case
    {
        payroll::TemplateKind kind;
        QString noun;
        int rows;
    };
    for (const Case& c : {Case{payroll::TemplateKind::bank(), QStringLiteral("银行代发模板"), 2},
                          Case{payroll::TemplateKind::mail(), QStringLiteral("邮件模板"), 1}}) {
        prompter.clear();
        payroll::TemplateManager manager(app, prompter, c.kind, sort);
        ASSERT_TRUE(manager.refresh());
        ASSERT_EQ(manager.templates().rowCount(), c.rows);
        manager.templates().setCurrentRow(-1);
        EXPECT_EQ(manager.selectedForChange(), 0);
        EXPECT_EQ(prompter.messageTexts().value(0), QStringLiteral("请选择项！"));
        ASSERT_TRUE(manager.setActive(0, false));
        EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[薪资类别'工资'%1'%2'停用]")
                                     .arg(c.noun, manager.templates().rows().at(0, 1).toString()));
        EXPECT_EQ(manager.templates().rows().value(0, QStringLiteral("Active")).toInt(), 0);
        manager.templates().setCurrentRow(0);
        ASSERT_TRUE(manager.copySelected());
        EXPECT_EQ(manager.templates().rowCount(), c.rows + 1);
        EXPECT_TRUE(manager.currentName().endsWith(QStringLiteral("_副本")));
        ASSERT_TRUE(manager.move(core::RowOrder::Direction::Up));
        EXPECT_EQ(lastLogLine(), QStringLiteral("薪资管理[薪资类别'工资'%1调序]").arg(c.noun));
        prompter.answer(Answer::No);
        EXPECT_FALSE(manager.deleteSelected());
        prompter.answer(Answer::Yes);
        ASSERT_TRUE(manager.deleteSelected());
        EXPECT_EQ(manager.templates().rowCount(), c.rows);
    }
    // A template deleted by someone else meanwhile.
    payroll::TemplateManager manager(app, prompter, payroll::TemplateKind::bank(), sort);
    manager.refresh();
    manager.templates().selectKey(first);
    db().Execute(QStringLiteral("DELETE FROM qp_WageExport WHERE EID=%1").arg(first));
    EXPECT_FALSE(manager.copySelected());
    EXPECT_EQ(prompter.messageTexts().last(),
              QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!"));
}

TEST_F(OutputTemplates, MailboxesAndTheAddressField)
{
    payroll::CDlgMailServerSet editor(app, prompter, 0);
    EXPECT_FALSE(editor.save());
    editor.server.host = QStringLiteral("smtp.example.com");
    EXPECT_FALSE(editor.save());
    editor.server.address = QStringLiteral("hr@example.com");
    editor.server.password = QStringLiteral("secret");
    ASSERT_TRUE(editor.save());
    EXPECT_EQ(lastLogLine(),
              QStringLiteral("系统管理[系统设置->邮件设置->新增群发邮箱'hr@example.com']"));
    payroll::CDlgMailServerSet twice(app, prompter, 0);
    twice.server = editor.server;
    EXPECT_FALSE(twice.save());
    EXPECT_EQ(prompter.messageTexts(), QStringList({QStringLiteral("邮件服务器不能为空!"),
                                                    QStringLiteral("邮箱地址不能为空!"),
                                                    QStringLiteral("错误：该邮箱已存在!")}));
    EXPECT_EQ(database()
                  .scalar(QStringLiteral("SELECT password FROM qp_BatchMailSet WHERE dt=3"))
                  .contains(QStringLiteral("secret")),
              false);

    payroll::CPropertyPageAnnounce page(app, prompter);
    ASSERT_EQ(page.mailboxes().size(), 1u);
    const int id = page.mailboxes().front().first;
    payroll::CDlgMailServerSet change(app, prompter, id);
    EXPECT_EQ(change.server.password, QStringLiteral("secret"));
    EXPECT_TRUE(page.fieldChoices().contains(QStringLiteral("电子邮箱")));
    page.field = QStringLiteral("联系电话");
    ASSERT_TRUE(page.apply());
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT dbfield FROM qp_BatchMailSet WHERE dt=0")),
              QStringLiteral("联系电话"));
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[系统设置->修改邮件设置]"));
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(page.deleteMailbox(id));
    EXPECT_EQ(prompter.last().text, QStringLiteral("确定删除 hr@example.com 吗?"));
    EXPECT_TRUE(page.mailboxes().empty());
}

} // namespace
} // namespace orvane::payrolltest
