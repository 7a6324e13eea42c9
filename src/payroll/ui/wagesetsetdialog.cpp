#include "payroll/ui/wagesetsetdialog.h"

#include "payroll/ui/gridhelpers.h"

#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

WageSetSetDialog::WageSetSetDialog(core::COrvaneApp& app, core::Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_flow(app, prompter)
{
    setObjectName(QStringLiteral("WageSetSetDialog"));
    setWindowTitle(QStringLiteral("薪资类别设置"));
    resize(640, 420);
    m_grid = createGrid(this, &m_model, "sorts");
    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setMaxLength(50);
    m_descr = new QLineEdit(this);
    m_descr->setObjectName(QStringLiteral("descr"));
    m_descr->setMaxLength(100);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("类别名称："), m_title);
    form->addRow(QStringLiteral("说明："), m_descr);

    auto* buttons = new QVBoxLayout;
    QPushButton* add = commandButton(this, QStringLiteral("新增(&A)"), "add");
    QPushButton* change = commandButton(this, QStringLiteral("修改(&E)"), "change");
    QPushButton* remove = commandButton(this, QStringLiteral("删除(&D)"), "delete");
    QPushButton* up = commandButton(this, QStringLiteral("向上(&U)"), "up");
    QPushButton* down = commandButton(this, QStringLiteral("向下(&W)"), "down");
    QPushButton* close = commandButton(this, QStringLiteral("退出(&X)"), "close");
    for (QPushButton* b : {add, change, remove, up, down})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* left = new QVBoxLayout;
    left->addWidget(m_grid, 1);
    left->addLayout(form);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(m_grid, &widgets::CGridView::currentRowChanged, this, &WageSetSetDialog::rowChanged);
    connect(add, &QPushButton::clicked, this, [this] {
        if (m_flow.addSort(m_title->text(), m_descr->text()))
            showSorts();
    });
    connect(change, &QPushButton::clicked, this, [this] {
        if (m_flow.changeSort(m_title->text(), m_descr->text()))
            showSorts();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (m_flow.deleteSort())
            showSorts();
    });
    connect(up, &QPushButton::clicked, this, [this] {
        if (m_flow.moveSort(core::RowOrder::Direction::Up))
            showSorts();
    });
    connect(down, &QPushButton::clicked, this, [this] {
        if (m_flow.moveSort(core::RowOrder::Direction::Down))
            showSorts();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    m_flow.refresh();
    showSorts();
}

void WageSetSetDialog::showSorts()
{
    QList<core::GridColumn> columns = widgets::GridModel::defaultColumns(m_flow.sorts().rows());
    const char* captions[] = {"ID", "标题", "说明", "序号"};
    const int widths[] = {50, 160, 220, 60};
    for (int c = 0; c < columns.size() && c < 4; ++c) {
        columns[c].caption = QString::fromUtf8(captions[c]);
        columns[c].width = widths[c];
    }
    m_model->setSource(&m_flow.sorts().rows(), columns);
    m_grid->applyColumns();
    m_grid->setFooterText(QStringLiteral("共 计：%1 个类别").arg(m_flow.sorts().rowCount()));
    if (m_flow.sorts().currentRow() >= 0)
        m_grid->selectRow(m_flow.sorts().currentRow());
}

void WageSetSetDialog::rowChanged(int row)
{
    m_flow.sorts().setCurrentRow(row);
    if (row < 0)
        return;
    m_title->setText(m_flow.sorts().rows().at(row, 1).toString());
    m_descr->setText(m_flow.sorts().rows().at(row, 2).toString());
}

} // namespace orvane::payroll::ui
