#include "shell/ui/cchildframewage.h"

#include "payroll/ui/wageoutputcommands.h"

#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

namespace orvane::shell::ui {

CChildFrameWage::CChildFrameWage(core::COrvaneApp& app, core::Prompter& prompter,
                                 const ChildInfo& info, QWidget* parent)
    : QMdiSubWindow(parent), m_app(app), m_prompter(prompter), m_info(info)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(info.caption);
    auto* page = new QWidget;
    auto* tools = new QToolBar(page);
    tools->setObjectName(QStringLiteral("wageOutputs"));
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const payroll::WageSelection selection{info.sortId,
                                           info.fDate.year() * 100 + info.fDate.month(), 0, 0};
    const int sortId = info.sortId;
    tools->addAction(QStringLiteral("银行代发报盘"), this, [this, selection] {
        payroll::ui::exportBankFile(m_app, m_prompter, selection, this);
    });
    tools->addAction(QStringLiteral("报盘模板管理"), this, [this, sortId] {
        payroll::ui::manageBankTemplates(m_app, m_prompter, sortId, this);
    });
    tools->addSeparator();
    tools->addAction(QStringLiteral("邮件群发工资条"), this, [this, selection] {
        payroll::ui::sendPayslips(m_app, m_prompter, selection, this);
    });
    tools->addAction(QStringLiteral("邮件模板管理"), this, [this, sortId] {
        payroll::ui::manageMailTemplates(m_app, m_prompter, sortId, this);
    });
    auto* label = new QLabel(page);
    label->setObjectName(QStringLiteral("caption"));
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tools);
    layout->addWidget(label, 1);
    setWidget(page);
    refresh();
}

void CChildFrameWage::refresh()
{
    if (auto* label = widget()->findChild<QLabel*>(QStringLiteral("caption")))
        label->setText(QStringLiteral("%1\n\n薪资表视图不包含在此版本中。").arg(m_info.caption));
}

} // namespace orvane::shell::ui
