#include "shell/ui/cchildframepsn.h"

#include <QLabel>

namespace orvane::shell::ui {

CChildFramePsn::CChildFramePsn(int handle, QWidget* parent)
    : QMdiSubWindow(parent), m_handle(handle)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("人员档案"));
    auto* label = new QLabel(QStringLiteral("人员档案视图不包含在此版本中。\n"
                                            "请使用菜单中的其他功能。"));
    label->setAlignment(Qt::AlignCenter);
    setWidget(label);
}

} // namespace orvane::shell::ui
