// The side panes of the personnel view: photo, attachments and related records, with the bad
// input an operator can give them.
#include "psn_fixture.h"

#include "personnel/cadjunctpane.h"
#include "personnel/cdlgdynctlformforrelatarc.h"
#include "personnel/cphotopane.h"
#include "personnel/crelatinfopane.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace orvane::personneltest {

using personnel::SelectedPerson;

class PaneTest : public PsnTest
{
protected:
    void SetUp() override
    {
        PsnTest::SetUp();
        person = {addPerson(10, QStringLiteral("P-1"), QStringLiteral("张三")),
                  QStringLiteral("张三"), QStringLiteral("P-1")};
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QByteArray pngBytes()
    {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    SelectedPerson person;
    QTemporaryDir dir;
};

TEST_F(PaneTest, PhotoIsStoredClearedAndSavedUnchanged)
{
    personnel::CPhotoPane pane(app, prompter);
    pane.setPerson(person);
    EXPECT_FALSE(pane.hasPhoto());

    // Clearing a photo that is not there still logs the clearing.
    prompter.answer(Answer::Yes);
    EXPECT_TRUE(pane.clearPhoto());
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[\"张三(P-1)\"->照片清除]"));

    prompter.chooseFile(writeFile(QStringLiteral("not-a-picture.jpg"), "plain text"));
    EXPECT_FALSE(pane.openPhoto());
    EXPECT_EQ(prompter.last().text,
              QStringLiteral("设置照片时出错。\r\n请选择正确的图片格式和大小。"));
    EXPECT_EQ(prompter.last().icon, Icon::Error);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnAdj")), 0);

    const QByteArray png = pngBytes();
    prompter.chooseFile(writeFile(QStringLiteral("相片 \"甲\".png"), png));
    EXPECT_TRUE(pane.openPhoto());
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[\"张三(P-1)\"->照片更新]"));
    personnel::CPhotoPane again(app, prompter);
    again.setPerson(person);
    EXPECT_EQ(again.photo(), png);
    EXPECT_TRUE(again.setCapturedPhoto(png)); // replaces the row, never adds a second
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnAdj")), 1);

    const QString target = writeFile(QStringLiteral("exists.jpg"), "old");
    prompter.chooseFile(target).answer(Answer::Yes);
    EXPECT_TRUE(again.savePhotoAs());
    EXPECT_EQ(prompter.last().caption, QStringLiteral("文件覆盖"));
    // The pane asks itself, so the file dialog must not ask a second time.
    EXPECT_EQ(prompter.shown().at(prompter.shown().size() - 2).overwrite,
              core::Prompter::Overwrite::CallerAsks);
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), png);

    prompter.answer(Answer::Yes);
    EXPECT_TRUE(again.clearPhoto());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnAdj")), 0);
}

TEST_F(PaneTest, ChangesForAPersonDeletedMeanwhileAreRefused)
{
    personnel::CPhotoPane photo(app, prompter);
    personnel::CAdjunctPane files(app, prompter);
    photo.setPerson(person);
    files.setPerson(person);
    ASSERT_TRUE(db().Execute(QStringLiteral("qp_DeletePsnBaseByID %1").arg(person.pid)));
    const int logs = logCount();
    EXPECT_FALSE(photo.setCapturedPhoto(pngBytes()));
    EXPECT_EQ(prompter.last().text, QStringLiteral("选择的人员被删除！"));
    EXPECT_EQ(files.addFiles({writeFile(QStringLiteral("a.txt"), "abc")}), 0);
    EXPECT_EQ(prompter.last().text, QStringLiteral("选择的人员被删除！"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnAdj")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_PsnFiles")), 0);
    EXPECT_EQ(logCount(), logs);
}

TEST_F(PaneTest, AttachmentsSkipEmptyAndOversizedFilesAndKeepHostileNames)
{
    personnel::CAdjunctPane pane(app, prompter);
    pane.setPerson(person);
    const QString empty = writeFile(QStringLiteral("空.txt"), QByteArray());
    const QString huge = writeFile(QStringLiteral("huge.bin"), QByteArray());
    QFile(huge).resize(200LL * 1024 * 1024); // sparse: nothing is really written
    const QString odd = QStringLiteral("合同 '乙'; -- [1].pdf");
    const QString good = writeFile(odd, "%PDF-1.4 bytes");
    const QString second = writeFile(QStringLiteral("b.txt"), "second");

    EXPECT_EQ(pane.addFiles({empty, huge, good, second}), 2);
    EXPECT_EQ(prompter.last().icon, Icon::Warning);
    EXPECT_TRUE(prompter.last().text.contains(QStringLiteral("空.txt")));
    EXPECT_TRUE(prompter.last().text.contains(QStringLiteral("huge.bin")));
    ASSERT_EQ(pane.files().size(), 2);
    EXPECT_EQ(pane.files().at(0).name, odd);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM qp_Log WHERE lAction LIKE '%附件添加%'")),
              2);

    const QDateTime added = pane.files().at(0).added;
    EXPECT_TRUE(pane.rename(0, QStringLiteral("新 '名'.pdf")));
    EXPECT_EQ(lastLogLine(),
              QStringLiteral("人员档案[\"张三(P-1)\"->附件更名'%1'->'新 '名'.pdf']").arg(odd));
    EXPECT_EQ(pane.files().at(0).name, QStringLiteral("新 '名'.pdf"));
    EXPECT_EQ(pane.files().at(0).added, added);
    EXPECT_FALSE(pane.rename(0, QStringLiteral("  ")));
    EXPECT_FALSE(pane.rename(0, QStringLiteral("a/b")));

    const QString out = dir.filePath(QStringLiteral("saved.pdf"));
    prompter.chooseFile(out);
    EXPECT_TRUE(pane.saveAs(0));
    QFile saved(out);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("%PDF-1.4 bytes"));

    QTemporaryDir drag;
    const QStringList copies = pane.writeCopies({0, 1}, drag.path());
    EXPECT_EQ(copies.size(), 2);

    prompter.answer(Answer::Yes);
    EXPECT_TRUE(pane.deleteFiles({0, 1}));
    EXPECT_EQ(prompter.shown().at(prompter.shown().size() - 1).text,
              QStringLiteral("确定要清除选择的 2 个附件吗？"));
    EXPECT_TRUE(pane.files().isEmpty());
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[\"张三(P-1)\"->附件删除'b.txt']"));
}

TEST_F(PaneTest, RelatedRecordsListDeleteReorderAndStoreWidths)
{
    // A related table "学习经历" with one text field, as the catalogue administration makes it.
    ASSERT_TRUE(db().Execute(QStringLiteral("EXEC qp_AddDBTable 5,'学习经历','',0,1")));
    const QString table =
        database().scalar(QStringLiteral("SELECT TblName FROM qp_Table WHERE Title='学习经历'"));
    ASSERT_TRUE(db().Execute(
        QStringLiteral("EXEC qp_AddDBTableItem 5,'%1','学校',1,'','',50,0,1").arg(table)));
    const QString field =
        database().scalar(QStringLiteral("SELECT Name FROM qp_Items WHERE Alias='学校'"));
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(db().Execute(QStringLiteral("INSERT INTO %1 (PID,Ord,%2) VALUES (%3,%4,'S%4')")
                                     .arg(table, field)
                                     .arg(person.pid)
                                     .arg(i)));
    }
    ASSERT_TRUE(db().Execute(
        QStringLiteral("INSERT INTO %1 (PID,Ord,%2) VALUES (999,1,'other')").arg(table, field)));

    personnel::CRelatInfoPane pane(app, prompter);
    pane.loadTabs();
    ASSERT_EQ(pane.tabs().size(), 2);
    EXPECT_EQ(pane.tabs().at(0).title, QStringLiteral("学习经历"));
    EXPECT_EQ(pane.tabs().at(1).title, QStringLiteral("薪资情况"));
    pane.setPerson(person);
    ASSERT_EQ(pane.rowCount(), 3);
    EXPECT_EQ(pane.columns().at(1).caption, QStringLiteral("学校"));
    EXPECT_EQ(pane.rows().at(0, 1).toString(), QStringLiteral("S1"));

    pane.runOrderDialog = [](core::CDlgResetOrder& order) {
        ASSERT_TRUE(order.load());
        order.setCurrentRow(0);
        order.moveBottom();
    };
    EXPECT_TRUE(pane.reorder());
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[\"张三(P-1)\"->相关资料'学习经历'调整顺序]"));
    EXPECT_EQ(pane.rows().at(2, 1).toString(), QStringLiteral("S1"));

    prompter.answer(Answer::Yes);
    EXPECT_TRUE(pane.deleteRow(0));
    EXPECT_EQ(pane.rowCount(), 2);
    EXPECT_EQ(lastLogLine(), QStringLiteral("人员档案[\"张三(P-1)\"->相关资料'学习经历'删除记录]"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE PID=999").arg(table)), 1);

    QString formTitle;
    pane.runRecordForm = [&](personnel::CDlgDynCtlFormForRelatArc& form) {
        formTitle = form.title();
        form.setText(0, QStringLiteral("新学校"));
        EXPECT_TRUE(form.save());
    };
    const int added = pane.addRow();
    EXPECT_EQ(formTitle, QStringLiteral("学习经历 - 添加"));
    ASSERT_GT(added, 0);
    EXPECT_EQ(pane.rows().at(pane.rowOfKey(added), 1).toString(), QStringLiteral("新学校"));
    pane.runRecordForm = [&](personnel::CDlgDynCtlFormForRelatArc& form) {
        formTitle = form.title();
    };
    pane.editRow(0);
    EXPECT_EQ(formTitle, QStringLiteral("学习经历设置"));

    pane.storeColumnWidth(1, 177);
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT iWid FROM qp_Items WHERE Alias='学校'")),
              QStringLiteral("177"));

    // The wage tab without any wage sort is empty and read-only.
    EXPECT_TRUE(pane.setCurrentTab(1));
    EXPECT_TRUE(pane.isReadOnly());
    EXPECT_EQ(pane.rowCount(), 0);
    EXPECT_FALSE(pane.deleteRow(0));
}

} // namespace orvane::personneltest
