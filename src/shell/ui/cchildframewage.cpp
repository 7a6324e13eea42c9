#include "shell/ui/cchildframewage.h"

#include <QLabel>

namespace orvane::shell::ui {

CChildFrameWage::CChildFrameWage(const ChildInfo& info, QWidget* parent)
    : QMdiSubWindow(parent), m_info(info)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(info.caption);
    auto* label = new QLabel;
    label->setAlignment(Qt::AlignCenter);
    setWidget(label);
    refresh();
}

void CChildFrameWage::refresh()
{
    auto* label = static_cast<QLabel*>(widget());
    label->setText(QStringLiteral("%1\n\n薪资表视图不包含在此版本中。").arg(m_info.caption));
}

} // namespace orvane::shell::ui
