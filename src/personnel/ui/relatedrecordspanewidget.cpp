#include "personnel/ui/relatedrecordspanewidget.h"

#include "core/prompter.h"
#include "personnel/cdlgdynctlformforrelatarc.h"
#include "personnel/ui/dynctlformdialog.h"
#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"
#include "widgets/resetorderdialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

namespace orvane::personnel::ui {

RelatedRecordsPaneWidget::RelatedRecordsPaneWidget(core::COrvaneApp& app, core::Prompter& prompter,
                                                   QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_pane(app, prompter), m_tabs(new QTabBar(this)),
      m_sorts(new QComboBox(this)), m_model(new widgets::GridModel(this)),
      m_grid(new widgets::CGridView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs);
    layout->addWidget(m_sorts);
    layout->addWidget(m_grid, 1);
    m_tabs->setDrawBase(false);
    m_tabs->setExpanding(false);
    m_grid->setModel(m_model);
    m_grid->table()->setEditTriggers(QAbstractItemView::NoEditTriggers);

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) {
        if (m_filling)
            return;
        m_pane.setCurrentTab(tab);
        m_sorts->setVisible(m_pane.isReadOnly() && !m_pane.wageSorts().isEmpty());
        showRows();
    });
    connect(m_sorts, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_filling || index < 0)
            return;
        m_pane.setWageSort(m_sorts->itemData(index).toInt());
        showRows();
    });
    connect(m_grid, &widgets::CGridView::columnResized, this,
            [this](int column, int width) { m_pane.storeColumnWidth(column, width); });
    connect(m_grid, &widgets::CGridView::contextMenuRequested, this,
            &RelatedRecordsPaneWidget::showMenu);
    connect(m_grid, &widgets::CGridView::rowActivated, this, [this](int row) {
        if (const int id = m_pane.editRow(row))
            showRows(id);
    });
    m_pane.runRecordForm = [this](CDlgDynCtlFormForRelatArc& form) {
        DynCtlFormDialog dialog(form, m_prompter, this);
        dialog.exec();
    };
    m_pane.runOrderDialog = [this](core::CDlgResetOrder& order) {
        widgets::ResetOrderDialog dialog(order, QStringLiteral("调序"), this);
        dialog.exec();
    };
}

void RelatedRecordsPaneWidget::reloadTabs()
{
    m_filling = true;
    m_pane.loadTabs();
    while (m_tabs->count() > 0)
        m_tabs->removeTab(0);
    for (const RelatedTab& tab : m_pane.tabs())
        m_tabs->addTab(tab.title);
    // Set explicitly: a tab bar filled before its window is shown keeps the layout's cached
    // height of an empty bar (none).
    m_tabs->setFixedHeight(m_tabs->sizeHint().height());
    m_sorts->clear();
    for (const auto& [id, title] : m_pane.wageSorts())
        m_sorts->addItem(title, id);
    m_sorts->setVisible(m_pane.isReadOnly() && !m_pane.wageSorts().isEmpty());
    m_filling = false;
    showRows();
}

void RelatedRecordsPaneWidget::setPerson(const SelectedPerson& person)
{
    m_pane.setPerson(person);
    showRows();
}

void RelatedRecordsPaneWidget::showRows(int selectKey)
{
    m_model->setSource(&m_pane.rows(), m_pane.columns());
    m_grid->setFooterText(QStringLiteral("共 计：%1 条记录").arg(m_pane.rowCount()));
    if (selectKey > 0 && m_pane.rowOfKey(selectKey) >= 0)
        m_grid->selectRow(m_pane.rowOfKey(selectKey));
}

void RelatedRecordsPaneWidget::showMenu(const QPoint& at)
{
    if (!m_pane.person().isValid())
        return;
    const bool writable = !m_pane.isReadOnly();
    const int row = m_grid->currentRow();
    QMenu menu(this);
    menu.addAction(QStringLiteral("新增(&N)"), this,
                   [this] {
                       if (const int id = m_pane.addRow())
                           showRows(id);
                       else
                           showRows();
                   })
        ->setEnabled(writable);
    menu.addAction(QStringLiteral("修改(&M)"), this,
                   [this, row] {
                       if (const int id = m_pane.editRow(row))
                           showRows(id);
                   })
        ->setEnabled(writable && row >= 0);
    menu.addAction(QStringLiteral("删除(&D)"), this,
                   [this, row] {
                       if (m_pane.deleteRow(row))
                           showRows();
                   })
        ->setEnabled(writable && row >= 0);
    menu.addAction(QStringLiteral("调序(&O)"), this,
                   [this, row] {
                       const int key = m_pane.keyAt(row);
                       if (m_pane.reorder())
                           showRows(key);
                   })
        ->setEnabled(writable && m_pane.rowCount() > 1);
    menu.addAction(QStringLiteral("导出(&E)"), this, [this] { m_pane.exportRows(); });
    menu.addAction(QStringLiteral("打印(&P)"), this, [this] {
        m_prompter.message(PaneCommand::notAvailableText(), core::promptCaption(),
                           core::Prompter::Icon::Information);
    });
    menu.exec(at);
}

} // namespace orvane::personnel::ui
