#include "payroll/ui/wagememberpage.h"

#include "payroll/ui/gridhelpers.h"
#include "payroll/ui/wagepsnselectdialog.h"

#include "payroll/cdlgtabwagepsn.h"

#include "widgets/cdeptpane.h"
#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

WageMemberPage::WageMemberPage(CDlgTabWagePSN& page, core::COrvaneApp& app, QWidget* parent)
    : QWidget(parent), m_page(page)
{
    m_departments = new widgets::CDeptPane(app, this);
    m_departments->categoryList()->hide();
    m_grid = createGrid(this, &m_model, "members");
    auto* bar = new QHBoxLayout;
    QPushButton* add = commandButton(this, QStringLiteral("添加"), "add");
    QPushButton* remove = commandButton(this, QStringLiteral("删除"), "delete");
    m_up = commandButton(this, QStringLiteral("向上"), "up");
    m_down = commandButton(this, QStringLiteral("向下"), "down");
    QPushButton* refresh = commandButton(this, QStringLiteral("刷新"), "refresh");
    for (QPushButton* b : {add, remove, m_up, m_down, refresh})
        bar->addWidget(b);
    bar->addStretch();
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addLayout(bar);
    rightLayout->addWidget(m_grid, 1);
    auto* split = new QSplitter(this);
    split->addWidget(m_departments);
    split->addWidget(right);
    split->setStretchFactor(1, 3);
    split->setSizes({220, 760});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split);

    m_page.runSelect = [this, &app](CDlgWagePsnSelect& select) {
        WagePsnSelectDialog dialog(select, app, this);
        dialog.exec();
    };
    connect(m_departments, &widgets::CDeptPane::selectionChanged, this,
            [this](const personnel::DeptSelection& selection) {
                m_page.setDepartment(selection.departmentId);
                showMembers();
            });
    m_departments->reload();
    connect(add, &QPushButton::clicked, this, [this] {
        m_page.addMembers();
        showMembers();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        m_page.members().setCurrentRow(m_grid->currentRow());
        if (m_page.deleteMembers(m_grid->selectedRows()))
            showMembers();
    });
    connect(m_up, &QPushButton::clicked, this, [this] { move(true); });
    connect(m_down, &QPushButton::clicked, this, [this] { move(false); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up), this), &QShortcut::activated, this,
            [this] { move(true); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down), this), &QShortcut::activated, this,
            [this] { move(false); });
    connect(refresh, &QPushButton::clicked, this, [this] {
        m_page.refresh();
        showMembers();
    });
}

void WageMemberPage::move(bool up)
{
    m_page.members().setCurrentRow(m_grid->currentRow());
    if (m_page.moveMember(up))
        showMembers();
}

void WageMemberPage::showMembers()
{
    const bool canMove = m_page.canMove();
    m_up->setEnabled(canMove);
    m_down->setEnabled(canMove);
    showRows(m_grid, m_model, m_page.members().rows(), {0, 1, 2}, m_page.members().currentRow(),
             m_page.footerText());
}

} // namespace orvane::payroll::ui
