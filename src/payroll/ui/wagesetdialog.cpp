#include "payroll/ui/wagesetdialog.h"

#include "payroll/ui/gridhelpers.h"
#include "payroll/ui/wageitempage.h"
#include "payroll/ui/wagememberpage.h"
#include "payroll/ui/wagesetsetdialog.h"
#include "payroll/ui/wagestdtablepage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

WageSetDialog::WageSetDialog(core::COrvaneApp& app, core::Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_app(app), m_prompter(prompter), m_flow(app, prompter)
{
    setObjectName(QStringLiteral("WageSetDialog"));
    setWindowTitle(QStringLiteral("帐套设置"));
    resize(1060, 680);
    m_sorts = new QComboBox(this);
    m_sorts->setObjectName(QStringLiteral("sorts"));
    m_sorts->setMinimumWidth(220);
    QPushButton* manage = commandButton(this, QStringLiteral("类别设置..."), "manageSorts");
    QPushButton* close = commandButton(this, QStringLiteral("退出"), "close");
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pages"));
    m_memberPage = new WageMemberPage(m_flow.members(), app, m_tabs);
    m_stdPage = new WageStdTablePage(m_flow.standardTables(), m_tabs);
    m_itemPage = new WageItemPage(m_flow.items(), app, m_tabs);
    m_tabs->addTab(m_memberPage, QStringLiteral("所属人员"));
    m_tabs->addTab(m_stdPage, QStringLiteral("薪资标准表"));
    m_tabs->addTab(m_itemPage, QStringLiteral("薪资项目"));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("薪资类别："), this));
    top->addWidget(m_sorts);
    top->addWidget(manage);
    top->addStretch();
    top->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_tabs, 1);

    connect(m_sorts, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_filling)
            return;
        m_flow.setSortIndex(index);
        showPage();
    });
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        m_flow.setPage(CDlgWageSet::Page(index));
        showPage();
    });
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(next, &QShortcut::activated, this, [this] {
        m_flow.nextPage();
        m_tabs->setCurrentIndex(m_flow.page());
    });
    connect(manage, &QPushButton::clicked, this, [this] {
        WageSetSetDialog dialog(m_app, m_prompter, this);
        dialog.exec();
        if (dialog.workflow().changed()) {
            m_flow.reloadSorts();
            fillSorts();
            showPage();
        }
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    fillSorts();
    showPage();
}

void WageSetDialog::fillSorts()
{
    m_filling = true;
    m_sorts->clear();
    for (const WageSortEntry& sort : m_flow.sorts())
        m_sorts->addItem(sort.title, sort.id);
    m_sorts->setCurrentIndex(m_flow.sortIndex());
    m_filling = false;
}

void WageSetDialog::showPage()
{
    switch (m_flow.page()) {
    case CDlgWageSet::Members:
        m_memberPage->showMembers();
        break;
    case CDlgWageSet::StandardTables:
        m_stdPage->showTables();
        break;
    default:
        m_itemPage->showItems();
        break;
    }
}

} // namespace orvane::payroll::ui
