// The shared grid: its model checked by QAbstractItemModelTester, cell texts and formats, edits
// through the owner's check, copying as tab-separated text, frozen columns and written widths.
#include "core/colfmt.h"
#include "db/resultset.h"
#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QBrush>
#include <QDateTime>
#include <QFont>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace orvane::widgets {
namespace {

using core::ColFmt;
using core::GridColumn;

db::ResultSet sampleRows(int count)
{
    db::ResultSet rows;
    rows.addColumn(QStringLiteral("PID"), db::adInteger);
    rows.addColumn(QStringLiteral("Number"));
    rows.addColumn(QStringLiteral("Salary"), db::adDouble);
    rows.addColumn(QStringLiteral("Birthday"), db::adDBTimeStamp);
    rows.addColumn(QStringLiteral("Sex"));
    for (int i = 0; i < count; ++i) {
        rows.appendRow({qlonglong(i + 1), QStringLiteral("A%1").arg(i), 1234.5 + i,
                        i % 2 ? QVariant() : QVariant(QDateTime(QDate(1990, 1, 2), QTime(0, 0))),
                        QStringLiteral("男")});
    }
    return rows;
}

QList<GridColumn> sampleColumns()
{
    QList<GridColumn> columns(5);
    columns[0] = {QStringLiteral("PID"), QStringLiteral("PID"), GridColumn::Number};
    columns[0].visible = false;
    columns[0].decimals = 0;
    columns[1] = {QStringLiteral("Number"), QStringLiteral("编号"), GridColumn::Text};
    columns[1].editable = true;
    columns[2] = {QStringLiteral("Salary"), QStringLiteral("工资"), GridColumn::Number};
    columns[3] = {QStringLiteral("Birthday"), QStringLiteral("出生日期"), GridColumn::Date};
    columns[4] = {QStringLiteral("Sex"), QStringLiteral("性别"), GridColumn::Dictionary};
    return columns;
}

TEST(GridModel, PassesTheModelTesterThroughResetsAndEdits)
{
    db::ResultSet rows = sampleRows(50);
    GridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setSource(&rows, sampleColumns());
    model.commitEdit = [&rows](int row, int column, const QVariant& value) {
        rows.at(row, column) = value;
        return true;
    };
    EXPECT_TRUE(model.setData(model.index(3, 1), QStringLiteral("B3")));
    rows.appendRow({qlonglong(99), QStringLiteral("new")});
    model.rowsChanged();
    EXPECT_EQ(model.rowCount(), 51);
    model.setSource(static_cast<const db::ResultSet*>(nullptr), {});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
}

TEST(GridModel, PassesTheModelTesterOverRowsReadCellByCell)
{
    db::ResultSet held = sampleRows(20);
    core::ResultSetRows rows(&held);
    GridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setSource(&rows, sampleColumns());
    EXPECT_EQ(model.rowCount(), 20);
    EXPECT_EQ(model.index(19, 1).data().toString(), QStringLiteral("A19"));
    model.setSource(static_cast<const core::GridRowSource*>(nullptr), sampleColumns());
    EXPECT_EQ(model.columnCount(), 0);
}

TEST(GridModel, CellTextsFollowTheColumnType)
{
    db::ResultSet rows = sampleRows(2);
    GridModel model;
    model.setSource(&rows, sampleColumns());
    struct Case
    {
        int row, column;
        const char* text;
    } cases[] = {
        {0, 1, "A0"},         {0, 2, "1234.50"}, {1, 2, "1500.00"}, {1, 0, "2"},
        {0, 3, "1990-01-02"}, {1, 3, ""},        {0, 4, "男"},
    };
    rows.at(1, 2) = qlonglong(1500); // a whole amount as an embedded file returns it
    for (const Case& c : cases) {
        EXPECT_EQ(model.index(c.row, c.column).data().toString(), QString::fromUtf8(c.text))
            << c.row << "," << c.column;
    }
    EXPECT_EQ(model.index(1, 3).data(Qt::EditRole).toDate(), QDate()); // empty date
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("编号"));
    EXPECT_TRUE(model.index(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
}

TEST(GridModel, ColumnFormatGivesBoldAndColours)
{
    db::ResultSet rows = sampleRows(1);
    GridModel model;
    model.setSource(&rows, sampleColumns());
    EXPECT_FALSE(model.index(0, 1).data(Qt::FontRole).isValid());
    model.setColumnFormat(1, ColFmt::parse(QStringLiteral("1;16711680;65280")));
    EXPECT_TRUE(model.index(0, 1).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(model.index(0, 1).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    EXPECT_EQ(model.index(0, 1).data(Qt::BackgroundRole).value<QBrush>().color(),
              QColor(Qt::green));
    EXPECT_FALSE(model.index(0, 2).data(Qt::FontRole).isValid());
}

TEST(ColFmt, ParsesThreePartsOrFallsBackToDefaults)
{
    struct Case
    {
        const char* text;
        bool set, bold;
        quint32 fore, back;
    } cases[] = {
        {"1;255;16777215", true, true, 255, 0xFFFFFF},
        {"0;0;65535", true, false, 0, 0xFFFF},
        {"", false, false, 0, 0xFFFFFF},
        {"1;2", false, false, 0, 0xFFFFFF},
        {"1;x;3", false, false, 0, 0xFFFFFF},
        {"1;2;3;4", false, false, 0, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        const ColFmt format = ColFmt::parse(QString::fromUtf8(c.text));
        EXPECT_EQ(format.isSet(), c.set) << c.text;
        EXPECT_EQ(format.bold, c.bold) << c.text;
        EXPECT_EQ(format.textColor, c.fore) << c.text;
        EXPECT_EQ(format.backColor, c.back) << c.text;
        if (c.set)
            EXPECT_EQ(ColFmt::parse(format.text()).text(), format.text());
    }
}

TEST(GridModel, EditsGoThroughTheOwnersCheck)
{
    db::ResultSet rows = sampleRows(3);
    GridModel model;
    model.setSource(&rows, sampleColumns());
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable); // no owner yet
    QStringList seen;
    model.commitEdit = [&](int row, int column, const QVariant& value) {
        seen << value.toString();
        if (value.toString().isEmpty())
            return false;
        rows.at(row, column) = value;
        return true;
    };
    EXPECT_TRUE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.flags(model.index(0, 2)) & Qt::ItemIsEditable); // column not editable
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_FALSE(model.setData(model.index(0, 1), QString()));
    EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("A0"));
    EXPECT_TRUE(model.setData(model.index(0, 1), QStringLiteral("Z9")));
    EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("Z9"));
    EXPECT_FALSE(model.setData(model.index(0, 2), 5.0));
    EXPECT_EQ(seen, (QStringList{QString(), QStringLiteral("Z9")}));
    EXPECT_EQ(changed.count(), 1);
}

TEST(GridModel, TsvKeepsOneLinePerRowWhateverTheCellsHold)
{
    db::ResultSet rows;
    rows.addColumn(QStringLiteral("a"));
    rows.addColumn(QStringLiteral("b"));
    rows.appendRow({QStringLiteral("x\ty"), QStringLiteral("line1\r\nline2")});
    rows.appendRow({QStringLiteral("'; DROP --"), QVariant()});
    GridModel model;
    model.setSource(&rows, {});
    EXPECT_EQ(model.toTsv({0, 1}, {0, 1}), QStringLiteral("x y\tline1 line2\n'; DROP --\t\n"));
    EXPECT_EQ(model.toTsv({1, 7}, {1, 0}), QStringLiteral("\t'; DROP --\n"));
}

TEST(CGridView, FreezesShownColumnsAndSkipsHiddenOnes)
{
    db::ResultSet rows = sampleRows(30);
    GridModel model;
    model.setSource(&rows, sampleColumns());
    CGridView grid;
    grid.resize(600, 300);
    grid.setModel(&model);
    grid.show();
    EXPECT_TRUE(grid.table()->isColumnHidden(0));
    EXPECT_EQ(grid.visibleColumnsThrough(2), 2); // column 0 is hidden
    EXPECT_EQ(grid.visibleColumnsThrough(0), 0);
    grid.setFrozenColumns(2);
    EXPECT_TRUE(grid.frozenTable()->isVisible());
    EXPECT_FALSE(grid.frozenTable()->isColumnHidden(1));
    EXPECT_FALSE(grid.frozenTable()->isColumnHidden(2));
    EXPECT_TRUE(grid.frozenTable()->isColumnHidden(3));
    EXPECT_TRUE(grid.frozenTable()->isColumnHidden(0));
    grid.setFrozenColumns(0);
    EXPECT_FALSE(grid.frozenTable()->isVisible());
}

QStringList g_warnings;

TEST(CGridView, EditsCommitWithoutWarningsWhileColumnsAreFrozen)
{
    db::ResultSet rows = sampleRows(5);
    GridModel model;
    model.setSource(&rows, sampleColumns());
    model.commitEdit = [&rows](int row, int column, const QVariant& value) {
        rows.at(row, column) = value;
        return true;
    };
    CGridView grid;
    grid.resize(600, 300);
    grid.setModel(&model);
    grid.show();
    grid.setFrozenColumns(2);
    g_warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg)
                g_warnings << text;
        });
    grid.table()->setCurrentIndex(model.index(2, 1));
    grid.table()->edit(model.index(2, 1));
    auto* editor = grid.table()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("B7"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits through a queued call
    qInstallMessageHandler(previous);
    EXPECT_EQ(model.index(2, 1).data().toString(), QStringLiteral("B7"));
    EXPECT_TRUE(g_warnings.isEmpty()) << g_warnings.join(u'\n').toStdString();
}

TEST(CGridView, ReportsWidthsChangedByTheOperatorOnly)
{
    db::ResultSet rows = sampleRows(3);
    GridModel model;
    QList<GridColumn> columns = sampleColumns();
    columns[1].width = 111;
    model.setSource(&rows, columns);
    CGridView grid;
    QSignalSpy resized(&grid, &CGridView::columnResized);
    grid.setModel(&model);
    EXPECT_EQ(grid.table()->columnWidth(1), 111);
    EXPECT_EQ(resized.count(), 0);
    grid.table()->horizontalHeader()->resizeSection(2, 140); // as a drag does
    ASSERT_EQ(resized.count(), 1);
    EXPECT_EQ(resized.at(0).at(0).toInt(), 2);
    EXPECT_EQ(resized.at(0).at(1).toInt(), 140);
    EXPECT_EQ(model.column(2).width, 140);
}

TEST(CGridView, SelectsSeveralRowsAndCopiesThemAsTsv)
{
    db::ResultSet rows = sampleRows(1000);
    GridModel model;
    model.setSource(&rows, sampleColumns());
    CGridView grid;
    grid.setModel(&model);
    grid.selectRow(500);
    EXPECT_EQ(grid.currentRow(), 500);
    EXPECT_EQ(grid.selectedRows(), QList<int>{500});
    EXPECT_EQ(grid.selectionTsv(), QStringLiteral("A500\t1734.50\t1990-01-02\t男\n"));
    grid.selectAllRows();
    EXPECT_EQ(grid.selectedRows().size(), 1000);

    grid.setWholeRowSelection(false);
    grid.table()->clearSelection();
    auto* selection = grid.table()->selectionModel();
    selection->select(model.index(2, 2), QItemSelectionModel::Select);
    selection->select(model.index(3, 1), QItemSelectionModel::Select);
    EXPECT_EQ(grid.selectionTsv(), QStringLiteral("A2\t1236.50\nA3\t1237.50\n"));
    EXPECT_EQ(grid.selectedRows(), (QList<int>{2, 3}));
}

} // namespace
} // namespace orvane::widgets

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
