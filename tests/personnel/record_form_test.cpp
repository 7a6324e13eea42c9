// The record form: values, required and numeric checks, the number rule, the person form with
// its photo and the identity-card reader, and the category manager.
#include "personnel_fixture.h"

#include "personnel/cdlgdynctlformforpsnbase.h"
#include "personnel/cdlgdynctlformforpsnsort.h"
#include "personnel/cdlgdynctlformforrelatarc.h"
#include "personnel/cdlgpsnsortmanager.h"
#include "platform/idcardreader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace orvane::personneltest {

using personnel::CDlgDynCtlFormForPsnbase;
using personnel::PsnNumberRule;

class RecordFormTest : public PersonnelTest
{
protected:
    void SetUp() override
    {
        PersonnelTest::SetUp();
        dept = addDept(QStringLiteral("财务部"));
    }
    void setNumberOption(const QString& text)
    {
        ASSERT_TRUE(
            db().Execute(QStringLiteral("UPDATE qp_SysOption SET sContent='%1' WHERE nType=0")
                             .arg(core::sqlEscape(text))));
    }
    // Fills the fields a person needs.
    void fillPerson(CDlgDynCtlFormForPsnbase& form, const QString& name)
    {
        form.setText(form.fieldIndex(QStringLiteral("Name")), name);
        form.setChoice(form.fieldIndex(QStringLiteral("DID")), dept, QStringLiteral("财务部"));
        form.setChoice(form.fieldIndex(QStringLiteral("AID")), 1, QString());
    }
    int dept = 0;
};

TEST(PsnNumberRuleTest, ModesAndMalformedOptions)
{
    struct Case
    {
        QString option;
        QString deptPrefix;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("0|5|"), QString(), QStringLiteral("00042")},
        {QStringLiteral("1|5|HR"), QString(), QStringLiteral("HR00042")},
        {QStringLiteral("2|5|HR"), QStringLiteral("CW"), QStringLiteral("CW00042")},
        {QStringLiteral("2|5|HR"), QString(), QStringLiteral("00042")},
        {QStringLiteral("3|5|HR"), QString(), QStringLiteral("typed")},
        {QStringLiteral("7|3|HR"), QString(), QStringLiteral("042")},
        {QStringLiteral("1|5"), QString(), QStringLiteral("42")},     // not three parts
        {QStringLiteral("1|5|a|b"), QString(), QStringLiteral("42")}, // not three parts
        {QStringLiteral("0|1|"), QString(), QStringLiteral("42")},    // longer than the length
    };
    for (const Case& c : cases) {
        PsnNumberRule rule;
        PsnNumberRule::parse(c.option, rule);
        EXPECT_EQ(rule.compose(41, c.deptPrefix, QStringLiteral("typed")), c.expected)
            << c.option.toStdString();
    }
}

TEST_F(RecordFormTest, NumberFollowsTheRuleAfterIdentity41)
{
    ASSERT_TRUE(db().Execute(QStringLiteral(
        "INSERT INTO qp_PsnBase (PID,Number,Name,DID,AID,Ord) VALUES (41,'X41','旧人',0,1,0)")));
    ASSERT_TRUE(
        db().Execute(QStringLiteral("UPDATE qp_Dept SET PNRule='CW' WHERE DID=%1").arg(dept)));
    setNumberOption(QStringLiteral("2|5|HR"));
    CDlgDynCtlFormForPsnbase form(app, prompter);
    form.setAddMode();
    ASSERT_TRUE(form.build());
    const int number = form.fieldIndex(QStringLiteral("Number"));
    EXPECT_EQ(form.editors()[number].text, QStringLiteral("<自动编号>"));
    EXPECT_FALSE(form.editors()[number].enabled);
    EXPECT_EQ(form.proposedNumber(dept), QStringLiteral("CW00042"));

    fillPerson(form, QStringLiteral("张三"));
    form.setChoice(form.fieldIndex(QStringLiteral("Education")), 0, QStringLiteral("大学本科"));
    ASSERT_TRUE(form.save()) << prompter.messageTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT Number FROM qp_PsnBase WHERE PID=42")),
              QStringLiteral("CW00042"));
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT Education FROM qp_PsnBase WHERE PID=42")),
              QStringLiteral("大学本科"));
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[新增：(CW00042)张三]"));
    // The form is ready for the next person.
    EXPECT_TRUE(form.isAddMode());
    EXPECT_EQ(form.editors()[number].text, QStringLiteral("<自动编号>"));
}

TEST_F(RecordFormTest, TypedNumbersAreCheckedForLengthAndDuplicates)
{
    setNumberOption(QStringLiteral("3|5|"));
    addPerson(QStringLiteral("abc01"), dept);
    CDlgDynCtlFormForPsnbase form(app, prompter);
    form.setAddMode();
    ASSERT_TRUE(form.build());
    const int number = form.fieldIndex(QStringLiteral("Number"));
    EXPECT_TRUE(form.editors()[number].enabled);
    fillPerson(form, QStringLiteral("李四"));
    for (const QString& typed : {QStringLiteral("ABC01"), QString(51, QLatin1Char('9'))}) {
        form.setText(number, typed);
        EXPECT_FALSE(form.save());
        EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("编号重复或长度异常!"));
        EXPECT_EQ(form.focusField(), number);
    }
    form.setText(number, QStringLiteral("N'--;[x]"));
    EXPECT_TRUE(form.save());
    const int pid =
        database().scalarInt(QStringLiteral("SELECT PID FROM qp_PsnBase WHERE Name='李四'"));
    EXPECT_EQ(
        database().scalar(QStringLiteral("SELECT Number FROM qp_PsnBase WHERE PID=%1").arg(pid)),
        QStringLiteral("N'--;[x]"));

    // Editing without changing the number skips the test; changing it to another's is refused.
    CDlgDynCtlFormForPsnbase edit(app, prompter);
    edit.setEditMode(pid);
    ASSERT_TRUE(edit.build());
    EXPECT_TRUE(edit.save());
    edit.setText(number, QStringLiteral("Abc01"));
    EXPECT_FALSE(edit.save());
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("编号重复或长度异常!"));
}

TEST_F(RecordFormTest, RequiredNumericAndLengthChecks)
{
    ASSERT_TRUE(db().Execute(QStringLiteral("ALTER TABLE qp_PsnBase ADD Bonus FLOAT")));
    ASSERT_TRUE(db().Execute(QStringLiteral(
        "INSERT INTO qp_Items (TblName,Name,Alias,iDataType,iLength,iDec,bNotNull,iFlag,IdRef,"
        "DefValue,bFixed,bShow,iWid,iSort,Ord) VALUES "
        "('qp_PsnBase','Bonus','奖金',0,8,2,1,0,'','',0,1,80,0,99)")));
    CDlgDynCtlFormForPsnbase form(app, prompter);
    form.setAddMode();
    ASSERT_TRUE(form.build());
    const int bonus = form.fieldIndex(QStringLiteral("Bonus"));
    const int name = form.fieldIndex(QStringLiteral("Name"));
    ASSERT_GE(bonus, 0);
    const int before = database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase"));

    EXPECT_FALSE(form.save());
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("'姓名'为必填项!"));
    EXPECT_EQ(form.focusField(), name);
    fillPerson(form, QString(2000, QChar(0x4e00)));
    EXPECT_FALSE(form.save());
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("'姓名'的长度不能超过50个字符!"));
    form.setText(name, QStringLiteral("王五"));
    form.setText(bonus, QStringLiteral("12abc"));
    EXPECT_FALSE(form.save());
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("'奖金'为数值类型!"));
    EXPECT_EQ(database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_PsnBase")), before);

    // A required numeric field left empty counts as 0.
    form.setText(bonus, QString());
    ASSERT_TRUE(form.save());
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT Bonus FROM qp_PsnBase WHERE Name='王五'")),
              QStringLiteral("0"));

    // Stored numbers come back with at most the field's decimals.
    const int pid =
        database().scalarInt(QStringLiteral("SELECT PID FROM qp_PsnBase WHERE Name='王五'"));
    for (const auto& [stored, shown] :
         {std::pair{"100", "100"}, {"12.5", "12.5"}, {"0.105", "0.1"}}) {
        ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_PsnBase SET Bonus=%1 WHERE PID=%2")
                                     .arg(QLatin1String(stored))
                                     .arg(pid)));
        CDlgDynCtlFormForPsnbase edit(app, prompter);
        edit.setEditMode(pid);
        ASSERT_TRUE(edit.build());
        EXPECT_EQ(edit.editors()[bonus].text, QLatin1String(shown)) << stored;
    }
}

TEST_F(RecordFormTest, EditLoadsDisablesAddOnlyFieldsAndAsksBeforeLeaving)
{
    ASSERT_TRUE(db().Execute(QStringLiteral(
        "UPDATE qp_Items SET iFlag=1 WHERE TblName='qp_PsnBase' AND Name='IDNumber'")));
    const int pid = addPerson(QStringLiteral("E1"), dept);
    ASSERT_TRUE(db().Execute(
        QStringLiteral("UPDATE qp_PsnBase SET Birthday='1980-05-06',Nation='回族' WHERE PID=%1")
            .arg(pid)));
    CDlgDynCtlFormForPsnbase form(app, prompter);
    form.setEditMode(pid);
    ASSERT_TRUE(form.build());
    const auto& editors = form.editors();
    EXPECT_FALSE(editors[form.fieldIndex(QStringLiteral("IDNumber"))].enabled);
    EXPECT_EQ(editors[form.fieldIndex(QStringLiteral("Birthday"))].date, QDate(1980, 5, 6));
    EXPECT_EQ(editors[form.fieldIndex(QStringLiteral("DID"))].text, QStringLiteral("财务部"));
    EXPECT_EQ(editors[form.fieldIndex(QStringLiteral("Nation"))].text, QStringLiteral("回族"));
    EXPECT_GT(editors[form.fieldIndex(QStringLiteral("Nation"))].id, 0);
    EXPECT_TRUE(form.leave());
    form.setText(form.fieldIndex(QStringLiteral("Phone")), QStringLiteral("123"));
    prompter.answer(Answer::No).answer(Answer::Yes);
    EXPECT_FALSE(form.leave());
    EXPECT_TRUE(form.leave());
    EXPECT_EQ(prompter.last().text, QStringLiteral("确定退出吗?"));

    // Another operator deletes the person meanwhile.
    ASSERT_TRUE(db().Execute(QStringLiteral("DELETE FROM qp_PsnBase WHERE PID=%1").arg(pid)));
    EXPECT_FALSE(form.save());
    EXPECT_EQ(prompter.messageTexts().last(),
              QStringLiteral("该记录已被其他操作员删除,请刷新数据列表!"));
    EXPECT_TRUE(form.closeRequested());
}

TEST_F(RecordFormTest, PhotoFilesAreCheckedAndStored)
{
    QTemporaryDir dir;
    const QString notImage = dir.filePath(QStringLiteral("a.jpg"));
    const QString huge = dir.filePath(QStringLiteral("big.bmp"));
    const QString bmp = dir.filePath(QStringLiteral("ok.bmp"));
    {
        QFile f(notImage);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a picture at all");
        QFile g(huge);
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        ASSERT_TRUE(g.resize(50LL * 1024 * 1024));
        QFile h(bmp);
        ASSERT_TRUE(h.open(QIODevice::WriteOnly));
        h.write(QByteArray::fromBase64("Qk1GAAAAAAAAADYAAAAoAAAAAgAAAAIAAAABABgAAAAAABAAAAAAAAAAAAA"
                                       "AAAAAAAAAAAAAAAD/AAAA/wAAAAAA/////wAAAAAA"));
    }
    CDlgDynCtlFormForPsnbase form(app, prompter);
    form.setAddMode();
    ASSERT_TRUE(form.build());
    for (const QString& path : {notImage, huge, dir.filePath(QStringLiteral("missing.png"))}) {
        EXPECT_FALSE(form.loadPhotoFile(path));
        EXPECT_EQ(prompter.last().text,
                  QStringLiteral("设置照片时出错。\r\n请选择正确的图片格式和大小。"));
        EXPECT_EQ(prompter.last().icon, Icon::Error);
    }
    ASSERT_TRUE(form.loadPhotoFile(bmp));
    fillPerson(form, QStringLiteral("赵六"));
    ASSERT_TRUE(form.save());
    const int pid =
        database().scalarInt(QStringLiteral("SELECT PID FROM qp_PsnBase WHERE Name='赵六'"));
    EXPECT_EQ(database().scalarInt(
                  QStringLiteral("SELECT COUNT(*) FROM qp_PsnAdj WHERE PID=%1").arg(pid)),
              1);

    CDlgDynCtlFormForPsnbase edit(app, prompter);
    edit.setEditMode(pid);
    ASSERT_TRUE(edit.build());
    EXPECT_FALSE(edit.photo().isEmpty());
    prompter.answer(Answer::Yes);
    EXPECT_TRUE(edit.clearPhoto());
    EXPECT_EQ(prompter.last().defaultButton, Answer::No);
    ASSERT_TRUE(edit.save());
    EXPECT_EQ(database().scalarInt(
                  QStringLiteral("SELECT COUNT(*) FROM qp_PsnAdj WHERE PID=%1").arg(pid)),
              0);
}

class CardReaderTest : public RecordFormTest
{
protected:
    void SetUp() override
    {
        RecordFormTest::SetUp();
        ASSERT_TRUE(QFile::copy(QStringLiteral(FAKE_TERMB_PATH),
                                folder.filePath(QStringLiteral("libtermb.so"))));
        cardApp = std::make_unique<core::COrvaneApp>(
            folder.path(),
            std::make_unique<core::AppSettings>(folder.filePath(QStringLiteral("s.ini"))));
        cardApp->setDatabase(std::shared_ptr<db::CADODatabase>(&db(), [](db::CADODatabase*) {}));
        cardApp->setCurrentOperator(app.currentOperator());
    }
    void TearDown() override { qunsetenv("ORVANE_TERMB_MODE"); }

    QTemporaryDir folder;
    std::unique_ptr<core::COrvaneApp> cardApp;
};

TEST_F(CardReaderTest, ReadsTheFixedPositionsAndThePhoto)
{
    struct Case
    {
        const char* mode;
        bool filled;
        QString message;
        QString nation;
    };
    const Case cases[] = {
        {"ok", true, QString(), QStringLiteral("回族")},
        {"serial", true, QString(), QStringLiteral("回族")},
        {"nation99", true, QString(), QString()},
        {"garbage", true, QString(), QString()},
        {"noport", false, QStringLiteral("端口打开失败！\n\r \n\r请确认身份证读卡器连接正确。"),
         QString()},
        {"readfail", false, QStringLiteral("读卡失败！"), QString()},
        {"short", false, QStringLiteral("读卡失败！"), QString()},
        {"noauth", false, QString(), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        qputenv("ORVANE_TERMB_MODE", c.mode);
        prompter.clear();
        CDlgDynCtlFormForPsnbase form(*cardApp, prompter);
        form.setAddMode();
        ASSERT_TRUE(form.build());
        EXPECT_EQ(form.readCard(), c.filled);
        EXPECT_EQ(prompter.messageTexts(),
                  c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("wz.txt"))));
        EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("zp.bmp"))));
        if (!c.filled)
            continue;
        const auto& e = form.editors();
        EXPECT_EQ(e[form.fieldIndex(QStringLiteral("Name"))].text, QStringLiteral("张三丰"));
        EXPECT_EQ(e[form.fieldIndex(QStringLiteral("Sex"))].text, QStringLiteral("男"));
        EXPECT_EQ(e[form.fieldIndex(QStringLiteral("Nation"))].text, c.nation);
        EXPECT_EQ(e[form.fieldIndex(QStringLiteral("IDNumber"))].text,
                  QStringLiteral("11010819900215123X"));
        EXPECT_EQ(e[form.fieldIndex(QStringLiteral("Address"))].text,
                  QStringLiteral("北京市海淀区中关村大街1号"));
        EXPECT_EQ(e[form.fieldIndex(QStringLiteral("Birthday"))].date,
                  QString::fromLatin1(c.mode) == QLatin1String("garbage") ? QDate()
                                                                          : QDate(1990, 2, 15));
        EXPECT_FALSE(form.photo().isEmpty());
        EXPECT_TRUE(form.isModified());
    }
}

TEST_F(CardReaderTest, AMissingLibraryDoesNothing)
{
    QFile::remove(folder.filePath(QStringLiteral("libtermb.so")));
    CDlgDynCtlFormForPsnbase form(*cardApp, prompter);
    form.setAddMode();
    ASSERT_TRUE(form.build());
    EXPECT_FALSE(form.readCard());
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(platform::IdCardReader::nationName(98), QStringLiteral("外国血统中国籍人士"));
    EXPECT_EQ(platform::IdCardReader::nationName(57), QString());
}

TEST_F(RecordFormTest, RelatedRecordsGetThePersonAndSortLast)
{
    const int pid = addPerson(QStringLiteral("R1"), dept);
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_AddDBTable 5,'学习经历','',0,1")));
    const QString table =
        database().scalar(QStringLiteral("SELECT TblName FROM qp_Table WHERE Title='学习经历'"));
    ASSERT_TRUE(db().Execute(
        QStringLiteral("EXEC qp_AddDBTableItem 5,'%1','学校',1,'','',50,1,1").arg(table)));
    personnel::CDlgDynCtlFormForRelatArc form(app, prompter);
    form.setTable(table, QStringLiteral("ID"));
    form.setPerson(pid, QStringLiteral("R1"), QStringLiteral("R1"));
    form.setTableTitle(QStringLiteral("学习经历"));
    form.setAddMode();
    ASSERT_TRUE(form.build());
    ASSERT_EQ(form.fields().size(), 1);
    form.setText(0, QStringLiteral("北京大学"));
    ASSERT_TRUE(form.save()) << prompter.messageTexts().join(QLatin1Char('|')).toStdString();
    const int id = database().scalarInt(QStringLiteral("SELECT MAX(ID) FROM %1").arg(table));
    EXPECT_EQ(
        database().scalarInt(QStringLiteral("SELECT PID FROM %1 WHERE ID=%2").arg(table).arg(id)),
        pid);
    EXPECT_EQ(
        database().scalarInt(QStringLiteral("SELECT Ord FROM %1 WHERE ID=%2").arg(table).arg(id)),
        id);
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[\"R1(R1)\"->相关资料'学习经历'新增]"));
    EXPECT_TRUE(form.editors()[0].text.isEmpty());
}

TEST_F(RecordFormTest, CategoryManagerRules)
{
    personnel::CDlgPsnSortManager manager(app, prompter);
    ASSERT_TRUE(manager.reload());
    const int rows = manager.rows().rowCount();
    ASSERT_GE(rows, 2);
    addPerson(QStringLiteral("C1"), dept, manager.rows().cellInt(0, manager.aidColumn()));

    manager.rows().setCurrentRow(0);
    EXPECT_FALSE(manager.deleteCategory());
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("该类别下还有 1 个人员!"));

    // New: a duplicate name is refused, a new one saved and the form cleared.
    manager.runForm = [this](personnel::CDlgDynCtlFormForPsnSort& form) {
        const int name = form.fieldIndex(QStringLiteral("Name"));
        form.setText(name, form.title() == QStringLiteral("添加类别") ? QStringLiteral("临时工")
                                                                      : QStringLiteral("临时工二"));
        EXPECT_TRUE(form.save());
        if (form.isAddMode()) {
            EXPECT_TRUE(form.editors()[name].text.isEmpty());
            form.setText(name, QStringLiteral("临时工"));
            EXPECT_FALSE(form.save());
            EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("错误：该类别已存在!"));
        }
    };
    EXPECT_TRUE(manager.newCategory());
    EXPECT_EQ(manager.rows().rowCount(), rows + 1);
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[人员类别新增'临时工']"));
    const int added = manager.rows().rowCount() - 1;
    EXPECT_EQ(manager.rows().row(added).value(0).toString(), QStringLiteral("临时工"));
    manager.rows().setCurrentRow(added);
    EXPECT_TRUE(manager.editCategory());
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[人员类别修改'临时工二']"));

    // Down at the last row does nothing; up swaps and logs; delete asks with warning icon.
    manager.rows().setCurrentRow(added);
    EXPECT_FALSE(manager.moveDown());
    EXPECT_TRUE(manager.moveUp());
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[人员类别调序]"));
    prompter.answer(Answer::Yes);
    EXPECT_TRUE(manager.deleteCategory());
    EXPECT_EQ(prompter.last().text, QStringLiteral("确定要删除'临时工二'吗?"));
    EXPECT_EQ(prompter.last().icon, Icon::Warning);
    EXPECT_EQ(lastLogLine(), QStringLiteral("系统管理[人员类别删除'临时工二']"));

    ASSERT_TRUE(db().Execute(QStringLiteral("UPDATE qp_PsnSort SET Ord=Ord*10+7")));
    ASSERT_TRUE(manager.refresh());
    for (int i = 0; i < manager.rows().rowCount(); ++i)
        EXPECT_EQ(manager.rows().cellInt(i, manager.ordColumn()), i + 1);
}

TEST_F(RecordFormTest, SteppingThroughTheOwnersRows)
{
    personnel::CDlgPsnSortManager manager(app, prompter);
    ASSERT_TRUE(manager.reload());
    manager.rows().setCurrentRow(0);
    personnel::CDlgDynCtlFormForPsnSort form(app, prompter);
    form.setEditMode(manager.rows().cellInt(0, manager.aidColumn()));
    form.setOwnerGrid(&manager.rows(), manager.aidColumn());
    ASSERT_TRUE(form.build());
    EXPECT_FALSE(form.stepPrevious());
    ASSERT_TRUE(form.stepNext());
    EXPECT_EQ(form.recordId(), manager.rows().cellInt(1, manager.aidColumn()));
    form.setText(form.fieldIndex(QStringLiteral("Name")), QStringLiteral("改名"));
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(form.stepLast());
    EXPECT_EQ(
        database().scalarInt(QStringLiteral("SELECT COUNT(*) FROM qp_PsnSort WHERE Name='改名'")),
        1);
    EXPECT_EQ(manager.rows().currentRow(), manager.rows().rowCount() - 1);
    EXPECT_FALSE(form.isModified());
}

} // namespace orvane::personneltest
