#include "payroll/ui/wagepsnselectdialog.h"

#include "payroll/ui/gridhelpers.h"

#include "widgets/cgridview.h"
#include "widgets/gridmodel.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace orvane::payroll::ui {

WagePsnSelectDialog::WagePsnSelectDialog(CDlgWagePsnSelect& select, core::COrvaneApp& app,
                                         QWidget* parent)
    : CandidateDialog(select.candidates(), select.departmentId(), app, parent), m_select(select)
{
    setObjectName(QStringLiteral("WagePsnSelectDialog"));
    setWindowTitle(QStringLiteral("选择人员"));
    resize(720, 540);
    QPushButton* add = commandButton(this, QStringLiteral("添加"), "add");
    QPushButton* cancel = commandButton(this, QStringLiteral("取消"), "cancel");
    buttonRow()->addStretch();
    buttonRow()->addWidget(add);
    buttonRow()->addWidget(cancel);

    connect(add, &QPushButton::clicked, this, [this] {
        if (m_select.addTicked())
            showCandidates();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(grid(), &widgets::CGridView::rowActivated, this, [this](int row) {
        if (m_select.addOne(row))
            showCandidates();
    });
}

void WagePsnSelectDialog::setDepartment(int departmentId)
{
    m_select.setDepartment(departmentId);
}

} // namespace orvane::payroll::ui
