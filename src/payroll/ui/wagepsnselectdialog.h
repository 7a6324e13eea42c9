#pragma once

#include "payroll/cdlgwagepsnselect.h"
#include "payroll/ui/candidatedialog.h"

namespace orvane::payroll::ui {

// Adding members to a sort: the candidates of the chosen department with "全选", "全不选",
// "添加" and "取消"; a double click adds one person at once.
class WagePsnSelectDialog : public CandidateDialog
{
    Q_OBJECT
public:
    WagePsnSelectDialog(CDlgWagePsnSelect& select, core::COrvaneApp& app,
                        QWidget* parent = nullptr);

protected:
    void setDepartment(int departmentId) override;

private:
    CDlgWagePsnSelect& m_select;
};

} // namespace orvane::payroll::ui
