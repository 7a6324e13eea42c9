// The personnel view's rules: which persons are listed, search, delete, reorder, in-place
// editing with its checks and log lines, column widths and formats, frozen columns, export.
#include "psn_fixture.h"

#include "personnel/cdlgdynctlformforpsnbase.h"
#include "personnel/cviewpsn.h"
#include "platform/workbookreader.h"

#include <QTemporaryDir>

namespace orvane::personneltest {

using personnel::CViewPsn;

class PsnViewTest : public PsnTest
{
protected:
    void SetUp() override
    {
        PsnTest::SetUp();
        view = std::make_unique<CViewPsn>(app, prompter);
    }

    int listed(int did, int aid)
    {
        view->setNavigation(did, aid);
        EXPECT_TRUE(view->refresh()) << view->query().toStdString();
        return view->rowCount();
    }

    int column(const QString& field)
    {
        for (int c = CViewPsn::kKeyColumns; c < view->columns().size(); ++c) {
            if (view->columns().at(c).field.compare(field, Qt::CaseInsensitive) == 0)
                return c;
        }
        return -1;
    }

    std::unique_ptr<CViewPsn> view;
};

TEST_F(PsnViewTest, ListsTheNavigationSelection)
{
    addPerson(10, QStringLiteral("C2"), QStringLiteral("类别二"), 2);
    const int all = count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase"));
    const int tech =
        count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase INNER JOIN qp_Dept ON "
                             "qp_PsnBase.DID=qp_Dept.DID WHERE ParentArr LIKE '%|8|'"));
    const int techCat1 =
        count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase INNER JOIN qp_Dept ON "
                             "qp_PsnBase.DID=qp_Dept.DID WHERE ParentArr LIKE '%|8|' AND AID=1"));
    const int cat2 = count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase WHERE AID=2"));
    ASSERT_GT(tech, techCat1);
    struct Case
    {
        int did, aid, expected;
    } cases[] = {{0, 0, all}, {8, 0, tech}, {8, 1, techCat1}, {0, 2, cat2}, {8, -1, 0}, {0, -5, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(listed(c.did, c.aid), c.expected) << c.did << "/" << c.aid;
    EXPECT_EQ(listed(0, 0), all);
    EXPECT_EQ(view->footerText(), QStringLiteral("共 计：%1 人").arg(all));
    // Keys first and hidden; link columns show names and cannot be edited.
    EXPECT_FALSE(view->columns().at(0).visible);
    EXPECT_EQ(view->columns().at(2).field, QStringLiteral("AID"));
    const int dept = column(QStringLiteral("DID"));
    ASSERT_GT(dept, 2);
    EXPECT_FALSE(view->columns().at(dept).editable);
    EXPECT_FALSE(view->rows().value(0, dept).toString().isEmpty());
    EXPECT_TRUE(view->query().contains(QStringLiteral("QP_DEPT.Name AS [部门]")));
    EXPECT_TRUE(view->query().endsWith(QStringLiteral(" ORDER BY qp_Dept.Ord,qp_PsnBase.Ord")));
}

TEST_F(PsnViewTest, ALimitedOperatorSeesOnlyHisDepartments)
{
    addOperator(QStringLiteral("limited"), QStringLiteral("FFFFFFFFFFFFFFFF|1,2|10,11|"));
    loginAs(QStringLiteral("limited"));
    EXPECT_EQ(listed(0, 0),
              count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase WHERE DID IN (10,11)")));
    EXPECT_TRUE(view->whereClause().contains(
        QStringLiteral("(CHARINDEX(','+CONVERT(VARCHAR,qp_PsnBase.DID)+',',',10,11,')>0)")));
}

TEST_F(PsnViewTest, SearchPrefersTheNumberAndKeepsAHistory)
{
    addPerson(10, QStringLiteral("Zhang"), QStringLiteral("甲"));
    addPerson(11, QStringLiteral("Z2"), QStringLiteral("zhang"));
    listed(0, 0);
    const int row = view->search(QStringLiteral("ZHANG"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(view->personAt(row).name, QStringLiteral("甲"));
    const int byName = view->search(QStringLiteral("甲"));
    EXPECT_EQ(byName, row);
    EXPECT_EQ(view->search(QStringLiteral("nobody")), -1);
    EXPECT_EQ(view->searchHistory(), (QStringList{QStringLiteral("ZHANG"), QStringLiteral("甲")}));
}

TEST_F(PsnViewTest, DeletingThreePersonsCallsTheProcedureThreeTimesAndLogsOnce)
{
    const int a = addPerson(10, QStringLiteral("D1"), QStringLiteral("删一"));
    const int b = addPerson(10, QStringLiteral("D2"), QStringLiteral("删二"));
    const int c = addPerson(10, QStringLiteral("D3"), QStringLiteral("删三"));
    ASSERT_TRUE(
        db().Execute(QStringLiteral("INSERT INTO qp_PsnFiles (PID,Name) VALUES (%1,'x')").arg(b)));
    listed(10, 0);
    const int logs = logCount();
    prompter.answer(Answer::No);
    EXPECT_FALSE(view->deletePersons({view->rowOfPerson(a)}));
    EXPECT_EQ(prompter.last().text, QStringLiteral("确定要彻底删除该人员档案吗?"));
    EXPECT_EQ(prompter.last().defaultButton, Answer::No);

    prompter.answer(Answer::Yes);
    EXPECT_TRUE(
        view->deletePersons({view->rowOfPerson(a), view->rowOfPerson(b), view->rowOfPerson(c)}));
    EXPECT_EQ(prompter.last().text, QStringLiteral("确定要彻底删除选择的 3 个人员档案吗?"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase WHERE PID IN (%1,%2,%3)")
                        .arg(a)
                        .arg(b)
                        .arg(c)),
              0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnFiles")), 0);
    EXPECT_EQ(logCount(), logs + 1);
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[人员删除3个]"));
    EXPECT_EQ(view->rowOfPerson(a), -1);

    EXPECT_FALSE(view->deletePersons({}));
    EXPECT_EQ(prompter.last().text, QStringLiteral("请选择人员！"));
}

TEST_F(PsnViewTest, AddAndEditGoThroughThePersonForm)
{
    listed(10, 1);
    const int before = view->rowCount();
    QString title;
    view->runPersonForm = [&](personnel::CDlgDynCtlFormForPsnbase& form) {
        title = form.title();
        form.setText(form.fieldIndex(QStringLiteral("Name")), QStringLiteral("新人"));
        form.setText(form.fieldIndex(QStringLiteral("Number")), QStringLiteral("NEW-1"));
        form.setChoice(form.fieldIndex(QStringLiteral("DID")), 10, QStringLiteral("平台组"));
        form.setChoice(form.fieldIndex(QStringLiteral("AID")), 1, QStringLiteral("在职人员"));
        EXPECT_TRUE(form.save()) << prompter.messageTexts().join(QLatin1Char('|')).toStdString();
    };
    const int pid = view->addPerson();
    EXPECT_EQ(title, QStringLiteral("人员添加"));
    ASSERT_GT(pid, 0);
    EXPECT_EQ(view->rowCount(), before + 1);
    EXPECT_GE(view->rowOfPerson(pid), 0);

    view->runPersonForm = [&](personnel::CDlgDynCtlFormForPsnbase& form) { title = form.title(); };
    EXPECT_TRUE(view->editPerson(view->rowOfPerson(pid), nullptr));
    EXPECT_EQ(title, QStringLiteral("人员信息更改"));
    ASSERT_TRUE(db().Execute(QStringLiteral("qp_DeletePsnBaseByID %1").arg(pid)));
    EXPECT_FALSE(view->editPerson(view->rowOfPerson(pid), nullptr));
    EXPECT_EQ(prompter.last().text, QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!"));
}

TEST_F(PsnViewTest, ReorderNeedsALeafDepartmentAndLogsAChange)
{
    view->setNavigation(8, 0); // has sub-departments
    EXPECT_FALSE(view->reorder());
    EXPECT_EQ(prompter.last().text, QStringLiteral("请选择末级部门！"));
    view->setNavigation(0, 0);
    EXPECT_FALSE(view->reorder());

    bool opened = false;
    view->runOrderDialog = [&](core::CDlgResetOrder& order) {
        opened = true;
        ASSERT_TRUE(order.load());
        order.setCurrentRow(0);
        order.moveBottom();
    };
    listed(10, 0);
    const int first = view->personAt(0).pid;
    EXPECT_TRUE(view->reorder());
    EXPECT_TRUE(opened);
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[人员调序'平台组']"));
    EXPECT_EQ(view->personAt(view->rowCount() - 1).pid, first);
}

TEST_F(PsnViewTest, InPlaceEditsAreCheckedWrittenAndLogged)
{
    const int pid = addPerson(10, QStringLiteral("N-1"), QStringLiteral("原名"));
    addPerson(10, QStringLiteral("abc"), QStringLiteral("别人"));
    listed(10, 0);
    const int row = view->rowOfPerson(pid);
    const int number = view->numberColumn();
    const int name = view->nameColumn();
    const int birthday = column(QStringLiteral("Birthday"));
    struct Case
    {
        int column;
        QVariant value;
        const char* message; // nullptr: accepted
    } cases[] = {
        {number, QStringLiteral("ABC"), "编号重复或长度异常!"},
        {number, QString(51, QLatin1Char('9')), "编号重复或长度异常!"},
        {number, QString(), "编号重复或长度异常!"},
        {name, QStringLiteral("   "), "姓名不能为空!"},
        {number, QStringLiteral("N'2;--"), nullptr},
        {birthday, QDate(1988, 8, 8), nullptr},
        {birthday, QDate(), nullptr},
    };
    for (const Case& c : cases) {
        prompter.clear();
        ASSERT_TRUE(view->canEditCell(row, c.column));
        const bool accepted = view->commitCell(row, c.column, c.value);
        EXPECT_EQ(accepted, c.message == nullptr) << c.value.toString().toStdString();
        if (c.message)
            EXPECT_EQ(prompter.last().text, QString::fromUtf8(c.message));
    }
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT Number FROM qp_PsnBase WHERE PID=%1").arg(pid)),
        QStringLiteral("N'2;--"));
    EXPECT_EQ(
        database().scalar(
            QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase WHERE PID=%1 AND Birthday IS NULL")
                .arg(pid)),
        QStringLiteral("1"));
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[修改个人基本信息'<原名>|出生日期()']"));
    EXPECT_TRUE(view->commitCell(row, name, QStringLiteral("新名")));
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[修改个人基本信息'<新名>|姓名(新名)']"));
    EXPECT_EQ(view->personAt(row).name, QStringLiteral("新名"));
    EXPECT_FALSE(view->canEditCell(row, column(QStringLiteral("DID"))));
    EXPECT_FALSE(view->canEditCell(row, 0));
}

TEST_F(PsnViewTest, AnEditOvertakenByAnotherOperatorsDeleteIsRefused)
{
    const int pid = addPerson(10, QStringLiteral("GONE"), QStringLiteral("将删"));
    listed(10, 0);
    const int row = view->rowOfPerson(pid);
    ASSERT_TRUE(view->canEditCell(row, view->nameColumn()));
    ASSERT_TRUE(db().Execute(QStringLiteral("qp_DeletePsnBaseByID %1").arg(pid)));
    const int logs = logCount();
    EXPECT_FALSE(view->commitCell(row, view->nameColumn(), QStringLiteral("改")));
    EXPECT_EQ(prompter.last().text, QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!"));
    EXPECT_FALSE(view->canEditCell(row, view->nameColumn()));
    EXPECT_FALSE(view->canEdit(row));
    EXPECT_EQ(logCount(), logs);
}

TEST_F(PsnViewTest, WidthsFormatsAndFrozenColumnsAreStored)
{
    listed(0, 0);
    const int name = view->nameColumn();
    view->storeColumnWidth(name, 133);
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT iWid FROM qp_Items WHERE UPPER(TblName)="
                                               "'QP_PSNBASE' AND Name='Name'")),
              QStringLiteral("133"));
    EXPECT_FALSE(view->canFormatColumn(0));
    core::ColFmt format;
    format.bold = true;
    format.textColor = 0xFF0000;
    EXPECT_TRUE(view->storeColumnFormat(name, format));
    listed(0, 0);
    EXPECT_TRUE(view->columns().at(name).format.bold);
    EXPECT_EQ(view->columns().at(name).width, 133);

    view->setFrozenColumns(4);
    EXPECT_EQ(view->frozenColumns(), 4);
    EXPECT_EQ(app.settings().intValue("FreezeColsP", 0), 4);
}

TEST_F(PsnViewTest, ExportWritesTheListedRowsAndLogs)
{
    QTemporaryDir dir;
    listed(10, 0);
    prompter.chooseFile(dir.filePath(QStringLiteral("人员'名单")));
    ASSERT_TRUE(view->exportList());
    const QString path = dir.filePath(QStringLiteral("人员'名单.xlsx"));
    platform::WorkbookReader reader;
    ASSERT_TRUE(reader.open(path)) << reader.errorString().toStdString();
    QList<QVariantList> sheet;
    ASSERT_TRUE(reader.readSheet(0, &sheet));
    ASSERT_EQ(sheet.size(), view->rowCount() + 1);
    EXPECT_EQ(sheet.at(0).at(0).toString(), QStringLiteral("编号"));
    EXPECT_EQ(sheet.at(1).at(0).toString(), view->personAt(0).number);
    EXPECT_EQ(lastLogLine(),
              QStringLiteral("人员档案[数据导出'人员'名单.xlsx|(条件： (CHARINDEX('|10|',"
                             "qp_Dept.ParentArr)>0))']"));
    prompter.chooseFile(QStringLiteral("/no/such/folder/x.xls"));
    EXPECT_FALSE(view->exportList());
    EXPECT_EQ(prompter.last().text, QStringLiteral("导出时出错!"));
}

} // namespace orvane::personneltest
