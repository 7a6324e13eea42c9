#include "payroll/ui/wageview.h"

#include "payroll/cdlgwagepsntable.h"
#include "payroll/ui/wageoutputcommands.h"
#include "payroll/ui/wagepsntabledialog.h"

#include "core/cdlgbatchupdate.h"
#include "core/cdlgresetorder.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "widgets/batchupdatedialog.h"
#include "widgets/cgridview.h"
#include "widgets/columnformatdialog.h"
#include "widgets/gridmodel.h"
#include "widgets/resetorderdialog.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

WageView::WageView(core::COrvaneApp& app, core::Prompter& prompter, int sortId, int fDate,
                   QWidget* parent)
    : QWidget(parent), m_app(app), m_prompter(prompter), m_view(app, prompter, sortId, fDate),
      m_model(new widgets::GridModel(this)), m_grid(new widgets::CGridView(this)),
      m_toolBar(new QToolBar(this)), m_editMenu(new QMenu(this)), m_print(new QMenu(this)),
      m_export(new QMenu(this)), m_bank(new QMenu(this)), m_mail(new QMenu(this))
{
    setObjectName(QStringLiteral("WageView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_grid, 1);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);

    m_grid->setModel(m_model);
    m_grid->setWholeRowSelection(m_view.wholeRowSelection());
    m_model->startEdit = [this](int row, int column) {
        if (m_view.canEditCell(row, column))
            return true;
        if (m_view.checkedOut())
            QTimer::singleShot(0, this,
                               [this] { showRows(m_view.personAt(m_grid->currentRow())); });
        return false;
    };
    m_model->commitEdit = [this](int row, int column, const QVariant& value) {
        const bool ok = m_view.commitCell(row, column, value);
        if (ok)
            QTimer::singleShot(0, this, &WageView::afterCellEdit);
        return ok;
    };
    connect(m_grid, &widgets::CGridView::columnResized, this,
            [this](int column, int width) { m_view.storeColumnWidth(column, width); });
    connect(m_grid, &widgets::CGridView::contextMenuRequested, this,
            [this](const QPoint& at) { m_editMenu->exec(at); });
    m_view.runBatchDialog = [this](core::CDlgBatchUpdate& batch) {
        widgets::BatchUpdateDialog dialog(batch, QStringLiteral("薪资批量修改"), this);
        return dialog.exec() == QDialog::Accepted;
    };
    m_view.runPsnTableDialog = [this](CDlgWagePsnTable& table) {
        WagePsnTableDialog dialog(table, m_app, this);
        return dialog.exec() == QDialog::Accepted;
    };
    m_view.runOrderDialog = [this](core::CDlgResetOrder& order) {
        widgets::ResetOrderDialog dialog(order, QStringLiteral("人员调序"), this);
        dialog.exec();
    };
    buildActions();
}

QToolButton* WageView::dropDownButton(const QString& caption)
{
    auto* button = new QToolButton(this);
    button->setText(caption);
    button->setObjectName(caption);
    button->setPopupMode(QToolButton::InstantPopup);
    m_toolBar->addWidget(button);
    return button;
}

QMenu* WageView::dropDown(const QString& caption) const
{
    if (caption == QStringLiteral("打印"))
        return m_print;
    if (caption == QStringLiteral("导出"))
        return m_export;
    if (caption == QStringLiteral("报盘"))
        return m_bank;
    if (caption == QStringLiteral("邮件"))
        return m_mail;
    return nullptr;
}

QAction* WageView::command(const QString& text) const
{
    for (QAction* a : m_toolBar->actions()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

void WageView::buildActions()
{
    m_toolBar->addAction(QStringLiteral("重新计算"), this, &WageView::recalculate);
    m_toolBar->addAction(QStringLiteral("批量修改"), this, &WageView::batchUpdate);
    m_toolBar->addSeparator();
    m_toolBar->addAction(QStringLiteral("添加人员"), this, &WageView::addPersons);
    m_toolBar->addAction(QStringLiteral("删除人员"), this, &WageView::removePersons);
    m_toolBar->addAction(QStringLiteral("调序"), this, &WageView::reorder);
    m_toolBar->addAction(QStringLiteral("结账"), this, &WageView::checkOut);
    m_toolBar->addSeparator();
    dropDownButton(QStringLiteral("打印"))->setMenu(m_print);
    dropDownButton(QStringLiteral("导出"))->setMenu(m_export);
    dropDownButton(QStringLiteral("报盘"))->setMenu(m_bank);
    dropDownButton(QStringLiteral("邮件"))->setMenu(m_mail);
    m_toolBar->addAction(QStringLiteral("数据导入"), this, [this] { m_view.importData(); });
    m_toolBar->addSeparator();
    m_toolBar->addAction(QStringLiteral("刷新"), this, &WageView::refresh);
    m_toolBar->addAction(QStringLiteral("退出"), this, &WageView::closeRequested);

    auto add = [this](const QString& text, const QKeySequence& key, auto slot) {
        QAction* a = m_editMenu->addAction(text);
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(a);
        }
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(QStringLiteral("重新计算(&C)"), {}, &WageView::recalculate);
    add(QStringLiteral("批量修改(&B)"), {}, &WageView::batchUpdate);
    m_editMenu->addSeparator();
    add(QStringLiteral("添加人员(&N)"), {}, &WageView::addPersons);
    add(QStringLiteral("删除人员(&D)"), {}, &WageView::removePersons);
    add(QStringLiteral("调序(&O)"), {}, &WageView::reorder);
    m_editMenu->addSeparator();
    add(QStringLiteral("全选(&A)"), QKeySequence(QStringLiteral("Ctrl+A")),
        [this] { m_grid->selectAllRows(); });
    add(QStringLiteral("复制(&C)"), QKeySequence::Copy, [this] { m_grid->copySelection(); });
    add(QStringLiteral("列显示格式(&L)"), {}, &WageView::formatColumn);
    m_editMenu->addSeparator();
    add(QStringLiteral("刷新(&S)"), QKeySequence(Qt::Key_F5), &WageView::refresh);
}

// The four drop-down lists: the active templates of the sort, then their manager.
void WageView::rebuildDropDowns()
{
    auto fill = [this](QMenu* menu, const std::vector<std::pair<int, QString>>& entries,
                       const std::function<void(int, const QString&)>& run) {
        for (const auto& [key, name] : entries) {
            const int id = key;
            const QString text = name;
            menu->addAction(name, this, [run, id, text] { run(id, text); });
        }
    };
    m_print->clear();
    fill(m_print, m_view.printTemplates(),
         [this](int, const QString& name) { m_view.print(name); });
    m_print->addSeparator();
    m_print->addAction(QStringLiteral("薪资打印模板..."), this, [this] {
        m_view.managePrintTemplates();
        rebuildDropDowns();
    });

    m_export->clear();
    m_export->addAction(QStringLiteral("默认导出到Excel..."), this,
                        [this] { m_view.exportDefault(); });
    fill(m_export, m_view.exportTemplates(),
         [this](int, const QString& name) { m_view.exportWithTemplate(name); });
    m_export->addSeparator();
    m_export->addAction(QStringLiteral("Excel导出模板..."), this, [this] {
        m_view.manageExportTemplates();
        rebuildDropDowns();
    });

    m_bank->clear();
    fill(m_bank, m_view.bankTemplates(), [this](int id, const QString&) { bankFile(id); });
    m_bank->addSeparator();
    m_bank->addAction(QStringLiteral("报盘模板管理..."), this, &WageView::manageBank);

    m_mail->clear();
    fill(m_mail, m_view.mailTemplates(), [this](int id, const QString&) { payslips(id); });
    m_mail->addSeparator();
    m_mail->addAction(QStringLiteral("邮件模板管理..."), this, &WageView::manageMail);
}

bool WageView::open()
{
    const bool opened = m_view.open();
    showRows();
    rebuildDropDowns();
    return opened;
}

void WageView::setNavigation(int department, int category)
{
    m_view.setNavigation(department, category);
    refresh();
}

void WageView::refresh()
{
    const int pid = m_view.personAt(m_grid->currentRow());
    m_view.refresh();
    m_view.publishContext();
    showRows(pid);
}

void WageView::showRows(int selectPid)
{
    m_model->setSource(&m_view.rows(), m_view.columns());
    m_grid->applyColumns();
    m_grid->setFrozenColumns(m_view.frozenColumns());
    m_grid->setFooterText(m_view.footerText());
    if (m_view.rowCount() == 0)
        return;
    const int row = selectPid > 0 ? m_view.rowOfPerson(selectPid) : -1;
    m_grid->selectRow(row >= 0 ? row : 0);
}

// The edited person was recalculated: redraw the cells and the totals, keeping the cursor.
void WageView::afterCellEdit()
{
    m_model->cellsChanged();
    m_grid->setFooterText(m_view.footerText());
}

void WageView::recalculate()
{
    if (m_view.recalculate())
        showRows(m_view.personAt(m_grid->currentRow()));
}

void WageView::batchUpdate()
{
    if (m_view.batchUpdate())
        showRows(m_view.personAt(m_grid->currentRow()));
}

void WageView::addPersons()
{
    if (m_view.addPersons())
        showRows(m_view.personAt(m_grid->currentRow()));
}

void WageView::removePersons()
{
    if (m_view.removePersons(m_grid->selectedRows()))
        showRows();
}

void WageView::reorder()
{
    if (m_view.reorder())
        showRows(m_view.personAt(m_grid->currentRow()));
}

void WageView::checkOut()
{
    const int pid = m_view.personAt(m_grid->currentRow());
    if (m_view.checkOut())
        showRows(pid);
}

void WageView::formatColumn()
{
    widgets::formatGridColumn(m_view, m_grid, m_model, this);
}

void WageView::bankFile(int templateId)
{
    if (m_view.checkRight(CViewWage::BankFile))
        exportBankFile(m_app, m_prompter, m_view.selection(), this, templateId);
}

void WageView::payslips(int templateId)
{
    if (m_view.checkRight(CViewWage::PayslipMail))
        sendPayslips(m_app, m_prompter, m_view.selection(), this, templateId);
}

void WageView::manageBank()
{
    if (m_view.checkRight(CViewWage::BankTemplates))
        manageBankTemplates(m_app, m_prompter, m_view.sortId(), this);
    rebuildDropDowns();
}

void WageView::manageMail()
{
    if (m_view.checkRight(CViewWage::MailTemplates))
        manageMailTemplates(m_app, m_prompter, m_view.sortId(), this);
    rebuildDropDowns();
}

} // namespace orvane::payroll::ui
