#include "personnel/ui/deptmergemovedialog.h"

#include "core/ui/qtprompter.h"
#include "personnel/cdlgdeptmergemove.h"
#include "widgets/cdroplisttree.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orvane::personnel::ui {

DeptMergeMoveDialog::DeptMergeMoveDialog(CDlgDeptMergeMove& dialog, core::Prompter& prompter,
                                         QWidget* parent)
    : QDialog(parent), m_dialog(dialog), m_prompter(prompter), m_tree(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("DeptMergeMoveDialog"));
    setWindowTitle(dialog.caption());
    m_tree->setHeaderHidden(true);
    widgets::fillPickTree(*m_tree, dialog.departments(), CDlgDeptMergeMove::rootCaption());

    auto* source = new QLabel(dialog.sourceName(), this);
    QFont bold = source->font();
    bold.setBold(true);
    source->setFont(bold);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("部门："), source);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DeptMergeMoveDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(dialog.prompt(), this));
    layout->addWidget(m_tree, 1);
    layout->addWidget(buttons);
    resize(340, 420);
}

void DeptMergeMoveDialog::accept()
{
    QTreeWidgetItem* item = m_tree->currentItem();
    m_dialog.setTarget(item ? item->data(0, Qt::UserRole).toInt() : -1);
    core::ui::PrompterParentScope scope(m_prompter, this);
    if (m_dialog.accept())
        QDialog::accept();
}

} // namespace orvane::personnel::ui
