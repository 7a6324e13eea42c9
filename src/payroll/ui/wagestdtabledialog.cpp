#include "payroll/ui/wagestdtabledialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

namespace {

constexpr int kDictRole = Qt::UserRole + 1;
constexpr int kCodeRole = Qt::UserRole + 2;

} // namespace

WageStdTableDialog::WageStdTableDialog(CDlgWageStdTable& table, QWidget* parent)
    : QDialog(parent), m_table(table)
{
    setObjectName(QStringLiteral("WageStdTableDialog"));
    setWindowTitle(QStringLiteral("薪资标准表设置"));
    resize(520, 600);
    m_name = new QLineEdit(table.name, this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(50);
    m_descr = new QLineEdit(table.descr, this);
    m_descr->setMaxLength(100);
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("codes"));
    m_tree->setHeaderHidden(true);

    m_filling = true;
    for (int d = 0; d < table.dictionaries().size(); ++d) {
        const CDlgWageStdTable::Dictionary& dict = table.dictionaries()[d];
        auto* top = new QTreeWidgetItem(m_tree, {dict.title});
        top->setData(0, kDictRole, d);
        top->setData(0, kCodeRole, -1);
        top->setDisabled(!table.isEditable(d));
        QList<QTreeWidgetItem*> parents{top};
        for (int c = 0; c < dict.codes.size(); ++c) {
            const CDlgWageStdTable::Code& code = dict.codes[c];
            while (parents.size() > code.depth + 1)
                parents.removeLast();
            auto* item = new QTreeWidgetItem(parents.last(),
                                             {QStringLiteral("%1 %2").arg(code.value, code.title)});
            item->setData(0, kDictRole, d);
            item->setData(0, kCodeRole, c);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, code.ticked ? Qt::Checked : Qt::Unchecked);
            parents.append(item);
        }
        top->setExpanded(dict.tickedCount() > 0);
    }
    m_filling = false;

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("名称："), m_name);
    form->addRow(QStringLiteral("说明："), m_descr);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &WageStdTableDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("作为薪资标准表的档案类明细项："), this));
    layout->addWidget(m_tree, 1);
    layout->addWidget(box);
    connect(m_tree, &QTreeWidget::itemChanged, this, &WageStdTableDialog::itemChanged);
}

void WageStdTableDialog::itemChanged(QTreeWidgetItem* item)
{
    const int code = item->data(0, kCodeRole).toInt();
    if (m_filling || code < 0)
        return;
    const bool ticked = item->checkState(0) == Qt::Checked;
    if (!m_table.setTicked(item->data(0, kDictRole).toInt(), code, ticked)) {
        m_filling = true;
        item->setCheckState(0, ticked ? Qt::Unchecked : Qt::Checked);
        m_filling = false;
    }
}

void WageStdTableDialog::accept()
{
    m_table.name = m_name->text();
    m_table.descr = m_descr->text();
    if (m_table.save())
        QDialog::accept();
}

} // namespace orvane::payroll::ui
