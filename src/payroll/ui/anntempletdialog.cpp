#include "payroll/ui/anntempletdialog.h"

#include "widgets/htmleditor.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orvane::payroll::ui {

AnnTempletDialog::AnnTempletDialog(core::COrvaneApp& app, core::Prompter& prompter, int sortId,
                                   int aid, QWidget* parent)
    : QDialog(parent), m_flow(app, prompter, sortId, aid)
{
    setObjectName(QStringLiteral("AnnTempletDialog"));
    setWindowTitle(QStringLiteral("通告模板 - ") + m_flow.title());
    resize(1000, 640);
    m_flow.load();
    m_name = new QLineEdit(m_flow.name, this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(255);
    m_subject = new QLineEdit(m_flow.subject, this);
    m_subject->setObjectName(QStringLiteral("subject"));
    m_subject->setMaxLength(256);
    m_body = new widgets::HtmlEditor(this);
    m_body->setHtml(m_flow.content);
    auto* tree = new QTreeWidget(this);
    tree->setObjectName(QStringLiteral("references"));
    tree->setHeaderHidden(true);
    for (const auto& [group, captions] : m_flow.referenceItems()) {
        auto* node = new QTreeWidgetItem(tree, {group});
        for (const QString& caption : captions)
            new QTreeWidgetItem(node, {caption});
    }
    tree->expandAll();
    tree->setMinimumWidth(200);
    connect(tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item->parent())
            m_body->insertText(CDlgWageAnnTemplet::placeholder(item->text(0)));
    });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("名称："), m_name);
    form->addRow(QStringLiteral("主题："), m_subject);
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(new QLabel(QStringLiteral("内容："), left));
    leftLayout->addWidget(m_body, 1);
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(new QLabel(QStringLiteral("参考项目："), right));
    rightLayout->addWidget(tree, 1);
    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    split->setSizes({760, 220});
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(split, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &AnnTempletDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void AnnTempletDialog::accept()
{
    m_flow.name = m_name->text();
    m_flow.subject = m_subject->text();
    m_flow.content = m_body->html();
    if (m_flow.save())
        QDialog::accept();
}

} // namespace orvane::payroll::ui
