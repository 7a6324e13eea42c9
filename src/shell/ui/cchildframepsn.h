#pragma once

#include <QMdiSubWindow>

namespace orvane::shell::ui {

// The personnel child window: at most one per frame. It hosts the personnel view; until that
// view is part of the build it tells the operator so.
class CChildFramePsn : public QMdiSubWindow
{
    Q_OBJECT
public:
    CChildFramePsn(int handle, QWidget* parent = nullptr);
    int handle() const { return m_handle; }

private:
    int m_handle;
};

} // namespace orvane::shell::ui
