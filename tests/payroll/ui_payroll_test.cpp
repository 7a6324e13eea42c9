// The payroll set-up windows driven as a new user would: a sort, a formula item written in the
// formula editor, a two-dimensional standard table with amounts, members and a month. With
// ORVANE_SCREENSHOT_DIR set, each window is saved there as a PNG while it is shown.
#include "payroll_fixture.h"

#include "payroll/cdlgwagetableopen.h"
#include "payroll/ui/wageformudialog.h"
#include "payroll/ui/wageitemdialog.h"
#include "payroll/ui/wageitempage.h"
#include "payroll/ui/wagememberpage.h"
#include "payroll/ui/wagepsnselectdialog.h"
#include "payroll/ui/wagesetdialog.h"
#include "payroll/ui/wagesetsetdialog.h"
#include "payroll/ui/wagestdtabledialog.h"
#include "payroll/ui/wagestdtablepage.h"
#include "payroll/ui/wagetablenewdialog.h"
#include "payroll/ui/wagetableopendialog.h"

#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>

#include <functional>

namespace orvane::payrolltest {
namespace {

using namespace payroll::ui;

// Saves a window when screenshots are wanted.
void shoot(QWidget* window, const char* name)
{
    const QString dir = qEnvironmentVariable("ORVANE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QApplication::processEvents();
    window->grab().save(QStringLiteral("%1/%2.png").arg(dir, QString::fromLatin1(name)));
}

// Runs `step` on the modal window of type T as soon as it is shown.
template <typename T> void whenShown(std::function<void(T*)> step)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            window->activateWindow();
            step(window);
        }
    });
    timer->start();
}

template <typename T> T* child(QWidget* parent, const char* name)
{
    T* found = parent->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void click(QWidget* parent, const char* name)
{
    if (auto* button = child<QPushButton>(parent, name))
        QTest::mouseClick(button, Qt::LeftButton);
}

void doubleClickItem(QTreeWidget* tree, const QString& text)
{
    const QList<QTreeWidgetItem*> items =
        tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_FALSE(items.isEmpty()) << text.toStdString();
    tree->scrollToItem(items.first());
    const QPoint at = tree->visualItemRect(items.first()).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

void pressButtonWithText(QWidget* parent, const QString& text)
{
    for (QPushButton* b : parent->findChildren<QPushButton*>()) {
        if (b->text() == text) {
            QTest::mouseClick(b, Qt::LeftButton);
            return;
        }
    }
    ADD_FAILURE() << "no button " << text.toStdString();
}

class PayrollWindows : public PayrollTest
{
protected:
    void SetUp() override
    {
        PayrollTest::SetUp();
        addPerson(QStringLiteral("A01"), QStringLiteral("张三"), 1, QStringLiteral("2"));
        addPerson(QStringLiteral("A02"), QStringLiteral("李四"), 2, QStringLiteral("3"));
        addPerson(QStringLiteral("A03"), QStringLiteral("王五"), 2, QStringLiteral("3"));
    }
};

TEST_F(PayrollWindows, ANewUserSetsUpASortAndCreatesAMonth)
{
    WageSetDialog settings(app, prompter);
    settings.resize(1060, 680);
    settings.show();

    // The sort manager: a new sort.
    whenShown<WageSetSetDialog>([](WageSetSetDialog* dlg) {
        dlg->titleEdit()->setText(QStringLiteral("测试工资"));
        dlg->descrEdit()->setText(QStringLiteral("新用户试用"));
        click(dlg, "add");
        shoot(dlg, "wage-sort-manager");
        click(dlg, "close");
    });
    click(&settings, "manageSorts");
    ASSERT_EQ(settings.sortBox()->count(), 1);
    EXPECT_EQ(settings.sortBox()->currentText(), QStringLiteral("测试工资"));
    const int sort = settings.workflow().sortId();

    // Items: a free-input item, then a formula written in the editor.
    settings.tabs()->setCurrentIndex(2);
    whenShown<WageItemDialog>([](WageItemDialog* dlg) {
        dlg->captionEdit()->setText(QStringLiteral("基本工资"));
        dlg->accept();
    });
    click(settings.itemPage(), "new");
    whenShown<WageItemDialog>([](WageItemDialog* dlg) {
        dlg->captionEdit()->setText(QStringLiteral("奖金"));
        dlg->propertyBox()->setCurrentIndex(1);
        whenShown<WageFormuDialog>([](WageFormuDialog* formu) {
            doubleClickItem(formu->fieldTree(), QStringLiteral("基本工资"));
            for (const char* key : {"*", "0", ".", "1", "+"})
                pressButtonWithText(formu, QString::fromLatin1(key));
            doubleClickItem(formu->functionTree(), QStringLiteral("CEIL()"));
            doubleClickItem(formu->fieldTree(), QStringLiteral("基本工资"));
            for (const char* key : {"/", "1", "0", "0", "0"})
                pressButtonWithText(formu, QString::fromLatin1(key));
            shoot(formu, "wage-formula-editor");
            formu->accept();
        });
        QTest::mouseClick(dlg->formulaButton(), Qt::LeftButton);
        shoot(dlg, "wage-item-editor");
        dlg->accept();
    });
    click(settings.itemPage(), "new");
    const QString base =
        database().scalar(QStringLiteral("SELECT Name FROM qp_Items WHERE Alias='基本工资'"));
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT FExp2 FROM qp_Items WHERE Alias='奖金'")),
              QStringLiteral("[测试工资.基本工资]*0.1+CEIL([测试工资.基本工资]/1000)"));
    EXPECT_EQ(database().scalar(QStringLiteral("SELECT FExp FROM qp_Items WHERE Alias='奖金'")),
              QStringLiteral("{%1}*0.1+CEIL({%1}/1000)").arg(base));
    shoot(&settings, "wage-settings-items");

    // A two-dimensional standard table on title and education, with amounts.
    settings.tabs()->setCurrentIndex(1);
    whenShown<WageStdTableDialog>([this](WageStdTableDialog* dlg) {
        dlg->nameEdit()->setText(QStringLiteral("学历职称工资表"));
        QTreeWidget* tree = dlg->tree();
        int ticked = 0;
        for (int d = 0; d < tree->topLevelItemCount(); ++d) {
            QTreeWidgetItem* dict = tree->topLevelItem(d);
            const int wanted = dict->text(0) == QStringLiteral("职称")   ? 3
                               : dict->text(0) == QStringLiteral("学历") ? 4
                                                                         : 0;
            for (int c = 0; c < wanted && c < dict->childCount(); ++c, ++ticked)
                dict->child(c)->setCheckState(0, Qt::Checked);
            dict->setExpanded(wanted > 0);
        }
        EXPECT_EQ(ticked, 7);
        shoot(dlg, "wage-standard-table-definition");
        prompter.answer(Answer::Yes);
        dlg->accept();
    });
    click(settings.standardTablePage(), "new");
    widgets::GridModel* amounts = settings.standardTablePage()->amountGrid()->model();
    ASSERT_EQ(amounts->rowCount(), 4);
    ASSERT_EQ(amounts->columnCount(), 5);
    for (int r = 0; r < 4; ++r)
        for (int c = 2; c < 5; ++c)
            EXPECT_TRUE(
                amounts->setData(amounts->index(r, c), QString::number(3000 + r * 500 + c * 200)));
    EXPECT_FALSE(amounts->setData(amounts->index(0, 2), QStringLiteral("三千")));
    EXPECT_EQ(amounts->data(amounts->index(3, 4)).toString(), QStringLiteral("5300.00"));
    shoot(&settings, "wage-settings-standard-tables");

    // Members: tick all candidates and add them.
    settings.tabs()->setCurrentIndex(0);
    whenShown<WagePsnSelectDialog>([this](WagePsnSelectDialog* dlg) {
        click(dlg, "tickAll");
        shoot(dlg, "wage-member-select");
        prompter.answer(Answer::Ok);
        click(dlg, "add");
        dlg->reject();
    });
    click(settings.memberPage(), "add");
    EXPECT_EQ(settings.memberPage()->grid()->footerText(), QStringLiteral("共 计：3 人"));
    shoot(&settings, "wage-settings-members");
    settings.accept();

    // The wage archive creates the month.
    payroll::CDlgWageTableOpen archive(app, prompter, sort);
    WageTableOpenDialog open(archive);
    open.show();
    whenShown<WageTableNewDialog>([this](WageTableNewDialog* dlg) {
        dlg->monthEdit()->setDate(QDate(2026, 1, 1));
        shoot(dlg, "wage-month-new");
        prompter.answer(Answer::Yes);
        dlg->accept();
    });
    click(&open, "new");
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE fDate=202601").arg(wageTable(sort))),
        3);
    EXPECT_EQ(open.grid()->model()->data(open.grid()->model()->index(0, 1)).toString(),
              QStringLiteral("2026年01月"));
    shoot(&open, "wage-archive");
    EXPECT_EQ(prompter.messageTexts().size(), 1); // the amount typed as text
}

} // namespace
} // namespace orvane::payrolltest

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Screenshots look as the client does: its font and Qt's own texts in Chinese.
    QTranslator qtbase;
    if (!qEnvironmentVariable("ORVANE_SCREENSHOT_DIR").isEmpty()) {
        QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 10));
        if (qtbase.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QApplication::installTranslator(&qtbase);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
