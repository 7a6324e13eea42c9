#include "widgets/cdeptpane.h"

#include "widgets/cdroplisttree.h"

#include <QComboBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orvane::widgets {

CDeptPane::CDeptPane(core::COrvaneApp& app, QWidget* parent)
    : QWidget(parent), m_flow(app), m_categories(new QComboBox(this)), m_tree(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("CDeptPane"));
    m_tree->setHeaderHidden(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    layout->addWidget(m_categories);
    layout->addWidget(m_tree, 1);

    m_flow.onSelectionChanged = [this](const personnel::DeptSelection& selection) {
        if (!m_filling)
            emit selectionChanged(selection);
    };
    connect(m_categories, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_filling)
            m_flow.selectCategory(index);
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!m_filling && item)
            m_flow.selectDepartment(item->data(0, Qt::UserRole).toInt());
    });
}

void CDeptPane::reload()
{
    m_filling = true;
    m_flow.reload();
    m_categories->clear();
    for (const personnel::PickNode& node : m_flow.categories())
        m_categories->addItem(node.text, node.id);
    m_categories->setCurrentIndex(m_flow.categoryIndex());
    fillPickTree(*m_tree, m_flow.departments(), personnel::DeptPaneFlow::rootCaption());
    m_tree->setCurrentItem(m_tree->topLevelItem(0));
    m_filling = false;
    emit selectionChanged(m_flow.selection());
}

} // namespace orvane::widgets
