#pragma once

#include "core/cdlgsyslogoption.h"

#include <QDialog>

class QSpinBox;

namespace orvane::core::ui {

// The log retention option window over CDlgSysLogOption.
class SysLogOptionDialog : public QDialog
{
public:
    explicit SysLogOptionDialog(db::CADODatabase& database, QWidget* parent = nullptr);

    void accept() override;
    QSpinBox* daysBox() const { return m_days; }

private:
    CDlgSysLogOption m_option;
    QSpinBox* m_days;
};

} // namespace orvane::core::ui
