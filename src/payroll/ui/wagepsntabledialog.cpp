#include "payroll/ui/wagepsntabledialog.h"

#include "payroll/ui/gridhelpers.h"

#include "core/apphelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace orvane::payroll::ui {

WagePsnTableDialog::WagePsnTableDialog(CDlgWagePsnTable& table, core::COrvaneApp& app,
                                       QWidget* parent)
    : CandidateDialog(table.candidates(), table.departmentId(), app, parent), m_table(table)
{
    setObjectName(QStringLiteral("WagePsnTableDialog"));
    setWindowTitle(QStringLiteral("添加人员"));
    resize(720, 560);
    m_importEarlier = new QCheckBox(QStringLiteral("同时导入以往薪资数据"), this);
    m_importEarlier->setObjectName(QStringLiteral("importEarlier"));
    m_months = new QComboBox(this);
    m_months->setObjectName(QStringLiteral("earlierMonth"));
    for (int month : table.earlierMonths())
        m_months->addItem(core::monthText(month), month);
    m_months->setEnabled(false);
    m_importEarlier->setEnabled(!table.earlierMonths().isEmpty());
    QPushButton* ok = commandButton(this, QStringLiteral("确定"), "ok");
    QPushButton* cancel = commandButton(this, QStringLiteral("取消"), "cancel");
    buttonRow()->addSpacing(16);
    buttonRow()->addWidget(m_importEarlier);
    buttonRow()->addWidget(m_months);
    buttonRow()->addStretch();
    buttonRow()->addWidget(ok);
    buttonRow()->addWidget(cancel);

    connect(m_importEarlier, &QCheckBox::toggled, m_months, &QWidget::setEnabled);
    connect(ok, &QPushButton::clicked, this, &WagePsnTableDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void WagePsnTableDialog::accept()
{
    m_table.importEarlier = m_importEarlier->isChecked();
    m_table.earlierMonth = m_months->currentData().toInt();
    if (m_table.accept())
        QDialog::accept();
}

void WagePsnTableDialog::setDepartment(int departmentId)
{
    m_table.setDepartment(departmentId);
}

} // namespace orvane::payroll::ui
