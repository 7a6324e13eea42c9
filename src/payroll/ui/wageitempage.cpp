#include "payroll/ui/wageitempage.h"

#include "payroll/ui/gridhelpers.h"
#include "payroll/ui/wageitemdialog.h"

#include "payroll/cdlgtabwageitem.h"

#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"
#include "widgets/resetorderdialog.h"

#include "core/cdlgresetorder.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

WageItemPage::WageItemPage(CDlgTabWageItem& page, core::COrvaneApp& app, QWidget* parent)
    : QWidget(parent), m_page(page)
{
    m_grid = createGrid(this, &m_model, "items");
    auto* bar = new QHBoxLayout;
    struct Command
    {
        const char* text;
        const char* name;
        bool (CDlgTabWageItem::*run)();
    };
    const Command commands[] = {{"新建", "new", &CDlgTabWageItem::newItem},
                                {"修改", "change", &CDlgTabWageItem::changeItem},
                                {"删除", "delete", &CDlgTabWageItem::deleteItem},
                                {"调序", "calcOrder", &CDlgTabWageItem::resetCalcOrder},
                                {"向上", "up", nullptr},
                                {"向下", "down", nullptr},
                                {"刷新", "refresh", &CDlgTabWageItem::refresh}};
    for (const Command& c : commands) {
        QPushButton* b = commandButton(this, QString::fromUtf8(c.text), c.name);
        bar->addWidget(b);
        if (c.run) {
            const auto command = c.run;
            connect(b, &QPushButton::clicked, this, [this, command] { run(command); });
        } else {
            const bool up = QLatin1String(c.name) == QLatin1String("up");
            connect(b, &QPushButton::clicked, this, [this, up] {
                if (m_page.moveItem(up ? core::RowOrder::Direction::Up
                                       : core::RowOrder::Direction::Down))
                    showItems();
            });
        }
    }
    bar->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_grid, 1);

    m_page.runEditor = [this, &app](CDlgWageItemSet& editor) {
        WageItemDialog dialog(editor, app, m_page.sortId(), this);
        return dialog.exec() == QDialog::Accepted;
    };
    m_page.runResetOrder = [this](core::CDlgResetOrder& order, const QString& title) {
        widgets::ResetOrderDialog dialog(order, title, this);
        dialog.resize(640, 480);
        dialog.exec();
    };
    connect(m_grid, &widgets::CGridView::currentRowChanged, this,
            [this](int row) { m_page.items().setCurrentRow(row); });
    connect(m_grid, &widgets::CGridView::rowActivated, this,
            [this] { run(&CDlgTabWageItem::changeItem); });
}

void WageItemPage::run(bool (CDlgTabWageItem::*command)())
{
    m_page.items().setCurrentRow(m_grid->currentRow());
    (m_page.*command)();
    showItems();
}

void WageItemPage::showItems()
{
    showRows(m_grid, m_model, m_page.items().rows(), {0, 1, 2}, m_page.items().currentRow(),
             QStringLiteral("共 计：%1 个项目").arg(m_page.items().rowCount()),
             {130, 70, 80, 70, 80, 70, 70, 430});
}

} // namespace orvane::payroll::ui
