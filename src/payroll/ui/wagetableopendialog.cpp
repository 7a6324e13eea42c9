#include "payroll/ui/wagetableopendialog.h"

#include "payroll/ui/gridhelpers.h"
#include "payroll/ui/wagetabledeletedialog.h"
#include "payroll/ui/wagetablenewdialog.h"

#include "payroll/cdlgwagetabledelete.h"

#include "core/apphelpers.h"
#include "payroll/cdlgwagetablenew.h"

#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

WageTableOpenDialog::WageTableOpenDialog(CDlgWageTableOpen& archive, QWidget* parent)
    : QDialog(parent), m_archive(archive)
{
    setObjectName(QStringLiteral("WageTableOpenDialog"));
    setWindowTitle(QStringLiteral("薪资档案"));
    resize(640, 460);
    m_sorts = new QComboBox(this);
    m_sorts->setObjectName(QStringLiteral("sorts"));
    for (const WageSortEntry& sort : archive.sorts())
        m_sorts->addItem(sort.title, sort.id);
    m_sorts->setCurrentIndex(archive.sortIndex());
    m_latest = new QCheckBox(QStringLiteral("只显示最近"), this);
    m_latest->setChecked(archive.latestOnly());
    m_count = new QSpinBox(this);
    m_count->setRange(1, 999);
    m_count->setValue(archive.latestCount());
    m_count->setSuffix(QStringLiteral(" 个月"));
    m_grid = createGrid(this, &m_model, "months");
    QPushButton* open = commandButton(this, QStringLiteral("打开(&O)"), "open");
    QPushButton* add = commandButton(this, QStringLiteral("新建(&N)"), "new");
    QPushButton* remove = commandButton(this, QStringLiteral("删除(&D)"), "delete");
    QPushButton* reopen = commandButton(this, QStringLiteral("反结账(&R)"), "reopen");
    QPushButton* close = commandButton(this, QStringLiteral("关闭"), "close");
    open->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("薪资类别："), this));
    top->addWidget(m_sorts, 1);
    top->addWidget(m_latest);
    top->addWidget(m_count);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(reopen);
    buttons->addStretch();
    buttons->addWidget(open);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);

    m_archive.runNew = [this](CDlgWageTableNew& table) {
        WageTableNewDialog dialog(table, this);
        return dialog.exec() == QDialog::Accepted;
    };
    m_archive.runDelete = [this](CDlgWageTableDelete& table) {
        WageTableDeleteDialog dialog(table, this);
        return dialog.exec() == QDialog::Accepted;
    };
    auto reload = [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_archive.setLatestOnly(m_latest->isChecked(), m_count->value());
        QApplication::restoreOverrideCursor();
        showMonths();
    };
    connect(m_sorts, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_archive.setSortIndex(index);
        showMonths();
    });
    connect(m_latest, &QCheckBox::toggled, this, reload);
    connect(m_count, &QSpinBox::valueChanged, this, reload);
    connect(m_grid, &widgets::CGridView::currentRowChanged, this,
            [this](int row) { m_archive.months().setCurrentRow(row); });
    auto openMonth = [this] {
        if (m_archive.open())
            QDialog::accept();
    };
    connect(open, &QPushButton::clicked, this, openMonth);
    connect(m_grid, &widgets::CGridView::rowActivated, this, openMonth);
    connect(add, &QPushButton::clicked, this, [this] {
        m_archive.newMonth();
        showMonths();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        m_archive.deleteMonths();
        showMonths();
    });
    connect(reopen, &QPushButton::clicked, this, [this] {
        m_archive.reopen();
        showMonths();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    showMonths();
}

void WageTableOpenDialog::showMonths()
{
    // The month as its text and the check-out state as a box.
    m_display = m_archive.months().rows();
    for (int r = 0; r < m_display.rowCount(); ++r) {
        m_display.at(r, 1) = core::monthText(m_display.at(r, 1).toInt());
        m_display.at(r, 2) = m_display.at(r, 2).toInt() ? QStringLiteral("☑") : QStringLiteral("☐");
    }
    QList<core::GridColumn> columns = widgets::GridModel::defaultColumns(m_display);
    const char* captions[] = {"ID", "薪资期间", "是否结账", "建表时间"};
    const int widths[] = {50, 120, 80, 170};
    for (int c = 0; c < columns.size() && c < 4; ++c) {
        columns[c].caption = QString::fromUtf8(captions[c]);
        columns[c].width = widths[c];
    }
    m_model->setSource(&m_display, columns);
    m_grid->applyColumns();
    m_grid->setFooterText(QStringLiteral("共 计：%1 个薪资表").arg(m_display.rowCount()));
    if (m_archive.months().currentRow() >= 0)
        m_grid->selectRow(m_archive.months().currentRow());
}

} // namespace orvane::payroll::ui
