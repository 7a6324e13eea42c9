#include "payroll/ui/wagestdtablepage.h"

#include "payroll/ui/gridhelpers.h"
#include "payroll/ui/wagestdtabledialog.h"

#include "payroll/cdlgtabwagestdtable.h"

#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

WageStdTablePage::WageStdTablePage(CDlgTabWageStdTable& page, QWidget* parent)
    : QWidget(parent), m_page(page)
{
    m_tables = createGrid(this, &m_tableModel, "standardTables");
    m_amounts = createGrid(this, &m_amountModel, "amounts");
    m_amounts->setWholeRowSelection(false);
    auto* bar = new QHBoxLayout;
    struct Command
    {
        const char* text;
        const char* name;
        std::function<bool()> run;
    };
    const Command commands[] = {
        {"新建", "new", [this] { return m_page.newTable(); }},
        {"修改", "change", [this] { return m_page.changeTable(); }},
        {"删除", "delete", [this] { return m_page.deleteTable(); }},
        {"向上", "up", [this] { return m_page.moveTable(core::RowOrder::Direction::Up); }},
        {"向下", "down", [this] { return m_page.moveTable(core::RowOrder::Direction::Down); }},
        {"刷新", "refresh", [this] { return m_page.refresh(); }}};
    for (const Command& c : commands) {
        QPushButton* b = commandButton(this, QString::fromUtf8(c.text), c.name);
        bar->addWidget(b);
        const auto run = c.run;
        connect(b, &QPushButton::clicked, this, [this, run] {
            m_page.tables().setCurrentRow(m_tables->currentRow());
            run();
            showTables();
        });
    }
    bar->addStretch();
    auto* split = new QSplitter(this);
    split->addWidget(m_tables);
    split->addWidget(m_amounts);
    split->setStretchFactor(1, 2);
    split->setSizes({260, 740});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split, 1);

    m_page.runEditor = [this](CDlgWageStdTable& editor) {
        WageStdTableDialog dialog(editor, this);
        return dialog.exec() == QDialog::Accepted;
    };
    m_amountModel->commitEdit = [this](int row, int column, const QVariant& value) {
        return m_page.setAmount(row, column, value.toString());
    };
    connect(m_tables, &widgets::CGridView::currentRowChanged, this, [this](int row) {
        if (m_showing || row == m_page.tables().currentRow())
            return;
        m_page.tables().setCurrentRow(row);
        m_page.loadAmounts();
        showAmounts();
    });
}

void WageStdTablePage::showTables()
{
    m_showing = true;
    showRows(m_tables, m_tableModel, m_page.tables().rows(), {0, 1}, m_page.tables().currentRow(),
             QStringLiteral("共 计：%1 个标准表").arg(m_page.tables().rowCount()), {130, 50, 160});
    m_showing = false;
    showAmounts();
}

void WageStdTablePage::showAmounts()
{
    const db::ResultSet& rows = m_page.amounts();
    QList<core::GridColumn> columns = widgets::GridModel::defaultColumns(rows);
    for (int c = 0; c < columns.size(); ++c) {
        columns[c].visible = c != 0;
        columns[c].width = c == 1 ? 120 : 90;
        if (m_page.isAmountColumn(c)) {
            columns[c].dataType = core::GridColumn::Number;
            columns[c].decimals = 2;
            columns[c].editable = true;
        }
    }
    m_amountModel->setSource(&rows, columns);
    m_amounts->applyColumns();
    m_amounts->setFrozenColumns(1);
    m_amounts->setFooterText(rows.rowCount() ? QStringLiteral("双击金额单元格修改") : QString());
}

} // namespace orvane::payroll::ui
