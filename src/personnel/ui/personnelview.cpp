#include "personnel/ui/personnelview.h"

#include "core/corvaneapp.h"
#include "core/itemmodelgridrows.h"
#include "core/prompter.h"
#include "personnel/cdlgdynctlformforpsnbase.h"
#include "personnel/panecommand.h"
#include "personnel/ui/dynctlformdialog.h"
#include "widgets/cgridview.h"
#include "widgets/columnformatdialog.h"
#include "widgets/gridmodel.h"
#include "widgets/resetorderdialog.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvane::personnel::ui {

PersonnelView::PersonnelView(core::COrvaneApp& app, core::Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_app(app), m_prompter(prompter), m_view(app, prompter),
      m_model(new widgets::GridModel(this)), m_grid(new widgets::CGridView(this)),
      m_toolBar(new QToolBar(this)), m_search(new QComboBox(this)), m_editMenu(new QMenu(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_grid, 1);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);

    m_grid->setModel(m_model);
    m_grid->setWholeRowSelection(app.settings().pWholeRowSel() != 0);
    m_model->startEdit = [this](int row, int column) { return m_view.canEditCell(row, column); };
    m_model->commitEdit = [this](int row, int column, const QVariant& value) {
        const bool ok = m_view.commitCell(row, column, value);
        if (ok && column == m_view.nameColumn())
            emit personSelected(m_view.personAt(row));
        return ok;
    };
    connect(m_grid, &widgets::CGridView::currentRowChanged, this,
            [this](int row) { emit personSelected(m_view.personAt(row)); });
    connect(m_grid, &widgets::CGridView::columnResized, this,
            [this](int column, int width) { m_view.storeColumnWidth(column, width); });
    connect(m_grid, &widgets::CGridView::rowActivated, this, [this] { editPerson(); });
    connect(m_grid, &widgets::CGridView::contextMenuRequested, this,
            [this](const QPoint& at) { m_editMenu->exec(at); });

    m_search->setEditable(true);
    m_search->setMinimumWidth(130);
    m_search->setInsertPolicy(QComboBox::NoInsert);
    m_search->lineEdit()->setPlaceholderText(QStringLiteral("输入人员编号或姓名,回车查找定位"));
    connect(m_search->lineEdit(), &QLineEdit::returnPressed, this, &PersonnelView::search);
    m_view.runPersonForm = [this](CDlgDynCtlFormForPsnbase& form) {
        DynCtlFormDialog dialog(form, m_prompter, this);
        dialog.exec();
    };
    buildActions();
}

QAction* PersonnelView::action(const QString& text, const QKeySequence& key,
                               void (PersonnelView::*slot)())
{
    auto* a = new QAction(text, this);
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }
    connect(a, &QAction::triggered, this, slot);
    return a;
}

void PersonnelView::buildActions()
{
    auto* tools = new QMenu(QStringLiteral("工具(&T)"), this);
    tools->addAction(QStringLiteral("批量修改(&B)"), this, &PersonnelView::notAvailable);
    tools->addAction(QStringLiteral("工龄核算(&Y)"), this, &PersonnelView::notAvailable);
    tools->addAction(QStringLiteral("导入(&I)..."), this, &PersonnelView::notAvailable);
    auto* changes = new QMenu(QStringLiteral("异动(&C)"), this);
    changes->addAction(QStringLiteral("人员调动(&M)"), this, &PersonnelView::notAvailable);
    changes->addAction(QStringLiteral("人员类别变更(&A)"), this, &PersonnelView::notAvailable);
    auto* print = new QMenu(QStringLiteral("打印(&P)"), this);
    print->addAction(QStringLiteral("打印模板管理(&M)"), this, &PersonnelView::notAvailable);
    auto* mail = new QMenu(QStringLiteral("邮件(&A)"), this);
    mail->addAction(QStringLiteral("邮件模板管理(&M)"), this,
                    &PersonnelView::mailTemplatesRequested);
    mail->addAction(QStringLiteral("邮件通知(&S)..."), this, &PersonnelView::mailSendRequested);

    auto addMenuButton = [this](const QString& caption, QMenu* menu) {
        auto* button = new QToolButton(this);
        button->setText(caption);
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
        m_toolBar->addWidget(button);
    };
    addMenuButton(QStringLiteral("工具"), tools);
    addMenuButton(QStringLiteral("异动"), changes);
    m_toolBar->addAction(QStringLiteral("增加"), this, &PersonnelView::addPerson);
    m_toolBar->addAction(QStringLiteral("修改"), this, &PersonnelView::editPerson);
    m_toolBar->addAction(QStringLiteral("删除"), this, &PersonnelView::deleteSelected);
    m_toolBar->addAction(QStringLiteral("调序"), this, &PersonnelView::reorder);
    m_toolBar->addAction(QStringLiteral("导出"), this, &PersonnelView::exportList);
    addMenuButton(QStringLiteral("打印"), print);
    addMenuButton(QStringLiteral("邮件"), mail);
    m_toolBar->addSeparator();
    m_toolBar->addWidget(new QLabel(QStringLiteral(" 检索："), this));
    m_toolBar->addWidget(m_search);
    m_toolBar->addAction(QStringLiteral("筛选"), this, &PersonnelView::notAvailable);
    m_toolBar->addAction(QStringLiteral("刷新"), this, &PersonnelView::refresh);
    m_toolBar->addAction(QStringLiteral("退出"), this, &PersonnelView::closeRequested);

    // The edit menu of the right button and the menu key, with its accelerators.
    m_editMenu->addAction(action(QStringLiteral("增加(&N)"), QKeySequence(QStringLiteral("Ctrl+N")),
                                 &PersonnelView::addPerson));
    m_editMenu->addAction(action(QStringLiteral("更改(&E)..."),
                                 QKeySequence(QStringLiteral("Ctrl+E")),
                                 &PersonnelView::editPerson));
    m_editMenu->addAction(action(QStringLiteral("删除(&D)"), QKeySequence(QStringLiteral("Ctrl+D")),
                                 &PersonnelView::deleteSelected));
    m_editMenu->addAction(action(QStringLiteral("调序(&O)"), {}, &PersonnelView::reorder));
    m_editMenu->addSeparator();
    m_editMenu->addAction(action(QStringLiteral("批量修改(&B)"), {}, &PersonnelView::notAvailable));
    m_editMenu->addAction(action(QStringLiteral("工龄核算(&Y)"), {}, &PersonnelView::notAvailable));
    m_editMenu->addAction(action(QStringLiteral("人员调动(&M)"), {}, &PersonnelView::notAvailable));
    m_editMenu->addAction(
        action(QStringLiteral("人员类别变更(&A)"), {}, &PersonnelView::notAvailable));
    m_editMenu->addSeparator();
    QAction* all = m_editMenu->addAction(QStringLiteral("全选(&A)"));
    all->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    connect(all, &QAction::triggered, m_grid, &widgets::CGridView::selectAllRows);
    QAction* copy = m_editMenu->addAction(QStringLiteral("复制(&C)"));
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, m_grid, &widgets::CGridView::copySelection);
    m_editMenu->addAction(action(QStringLiteral("导出(&T)"), {}, &PersonnelView::exportList));
    m_editMenu->addSeparator();
    m_editMenu->addAction(action(QStringLiteral("冻结列(&F)"), {}, &PersonnelView::freezeColumns));
    m_editMenu->addAction(
        action(QStringLiteral("列显示格式(&L)"), {}, &PersonnelView::formatColumn));
    m_editMenu->addAction(
        action(QStringLiteral("高级数据查询(&R)"), {}, &PersonnelView::notAvailable));
    m_editMenu->addSeparator();
    m_editMenu->addAction(
        action(QStringLiteral("刷新(&S)"), QKeySequence(Qt::Key_F5), &PersonnelView::refresh));
}

void PersonnelView::setNavigation(int department, int category)
{
    m_view.setNavigation(department, category);
    refresh();
}

void PersonnelView::refresh()
{
    const int pid = m_view.personAt(m_grid->currentRow()).pid;
    m_view.refresh();
    showRows(pid);
}

void PersonnelView::showRows(int selectPid)
{
    m_model->setSource(&m_view.rows(), m_view.columns());
    m_grid->setFrozenColumns(m_view.frozenColumns());
    m_grid->setFooterText(m_view.footerText());
    if (m_view.rowCount() == 0) {
        emit personSelected(SelectedPerson());
        return;
    }
    const int row = selectPid > 0 ? m_view.rowOfPerson(selectPid) : -1;
    m_grid->selectRow(row >= 0 ? row : 0);
    emit personSelected(m_view.personAt(m_grid->currentRow()));
}

void PersonnelView::search()
{
    const QString text = m_search->currentText().trimmed();
    const int row = m_view.search(text);
    if (row < 0)
        return;
    if (m_search->findText(text) < 0)
        m_search->addItem(text);
    m_grid->selectRow(row);
}

void PersonnelView::addPerson()
{
    const int pid = m_view.addPerson();
    showRows(pid);
}

void PersonnelView::editPerson()
{
    core::ItemModelGridRows owner(*m_model, m_grid->table()->selectionModel());
    if (m_view.editPerson(m_grid->currentRow(), &owner))
        refresh();
}

void PersonnelView::deleteSelected()
{
    if (m_view.deletePersons(m_grid->selectedRows()))
        showRows();
}

void PersonnelView::reorder()
{
    m_view.runOrderDialog = [this](core::CDlgResetOrder& order) {
        widgets::ResetOrderDialog dialog(order, QStringLiteral("人员调序"), this);
        dialog.exec();
    };
    if (m_view.reorder())
        showRows(m_view.personAt(m_grid->currentRow()).pid);
}

void PersonnelView::exportList()
{
    m_view.exportList();
}

void PersonnelView::freezeColumns()
{
    const int count = m_grid->visibleColumnsThrough(m_grid->currentColumn());
    m_view.setFrozenColumns(count);
    m_grid->setFrozenColumns(count);
}

void PersonnelView::formatColumn()
{
    widgets::formatGridColumn(m_view, m_grid, m_model, this);
}

void PersonnelView::notAvailable()
{
    m_prompter.message(PaneCommand::notAvailableText(), core::promptCaption(),
                       core::Prompter::Icon::Information);
}

} // namespace orvane::personnel::ui
