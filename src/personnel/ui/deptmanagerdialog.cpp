#include "personnel/ui/deptmanagerdialog.h"

#include "core/ui/qtprompter.h"
#include "personnel/cdlgdeptmergemove.h"
#include "personnel/cdlgdynctlformfordept.h"
#include "personnel/ui/deptmergemovedialog.h"
#include "personnel/ui/dynctlformdialog.h"
#include "personnel/ui/psnnumprefixdialog.h"
#include "widgets/commandbutton.h"
#include "widgets/ctreegrid.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane::personnel::ui {

DeptManagerDialog::DeptManagerDialog(core::COrvaneApp& app, core::Prompter& prompter,
                                     QWidget* parent)
    : QDialog(parent), m_app(app), m_prompter(prompter), m_manager(app, prompter),
      m_grid(new widgets::CTreeGrid(this))
{
    setObjectName(QStringLiteral("DeptManagerDialog"));
    setWindowTitle(QStringLiteral("组织机构"));

    auto* bar = new QHBoxLayout;
    bar->setSpacing(4);
    const std::pair<const char*, bool (CDlgDeptManager::*)()> commands[] = {
        {"新增", &CDlgDeptManager::addDepartment},    {"修改", &CDlgDeptManager::editDepartment},
        {"删除", &CDlgDeptManager::deleteDepartment}, {"合并", &CDlgDeptManager::mergeDepartment},
        {"移动", &CDlgDeptManager::moveDepartment},   {"向上", &CDlgDeptManager::moveUp},
        {"向下", &CDlgDeptManager::moveDown},         {"刷新", &CDlgDeptManager::refresh}};
    for (const auto& [text, command] : commands) {
        connect(widgets::addCommandButton(bar, this, QString::fromUtf8(text)),
                &QPushButton::clicked, this, [this, command = command] { run(command); });
    }
    connect(widgets::addCommandButton(bar, this, QStringLiteral("编号前缀")), &QPushButton::clicked,
            this, &DeptManagerDialog::openPrefixes);
    bar->addStretch(1);
    connect(widgets::addCommandButton(bar, this, QStringLiteral("退出")), &QPushButton::clicked,
            this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_grid, 1);

    m_manager.runForm = [this](CDlgDynCtlFormForDept& form) {
        DynCtlFormDialog dialog(form, m_prompter, this);
        dialog.exec();
        showRows();
    };
    m_manager.runTarget = [this](CDlgDeptMergeMove& target) {
        DeptMergeMoveDialog dialog(target, m_prompter, this);
        return dialog.exec() == QDialog::Accepted;
    };
    connect(m_grid, &widgets::CTreeGrid::columnWidthChanged, this,
            [this](int, int width, const QString& caption) {
                m_manager.columnResized(caption, width);
            });
    connect(m_grid, &widgets::CTreeGrid::rowActivated, this,
            [this] { run(&CDlgDeptManager::editDepartment); });

    resize(760, 560);
    {
        core::ui::PrompterParentScope scope(m_prompter, this);
        m_manager.refresh();
    }
    showRows();
}

QPushButton* DeptManagerDialog::button(const QString& name) const
{
    return findChild<QPushButton*>(name);
}

void DeptManagerDialog::showRows()
{
    m_grid->setKeyColumn(m_manager.didColumn());
    m_grid->setColumns(m_manager.columns());
    m_grid->setRows(m_manager.rows());
    if (m_manager.currentDid() > 0)
        m_grid->selectKey(m_manager.currentDid());
}

void DeptManagerDialog::run(bool (CDlgDeptManager::*command)())
{
    const int key = m_grid->currentKey();
    m_manager.setCurrentDid(key > 0 ? key : 0);
    core::ui::PrompterParentScope scope(m_prompter, this);
    (m_manager.*command)();
    showRows();
}

void DeptManagerDialog::openPrefixes()
{
    PsnNumPrefixDialog dialog(m_app, m_prompter, this);
    dialog.exec();
}

void DeptManagerDialog::done(int result)
{
    m_manager.close();
    QDialog::done(result);
}

} // namespace orvane::personnel::ui
