#pragma once

#include "payroll/cdlgwagepsntable.h"
#include "payroll/ui/candidatedialog.h"

class QCheckBox;
class QComboBox;

namespace orvane::payroll::ui {

// Adding persons to one month ("添加人员"): the candidates of the chosen department with "全选",
// "全不选", "同时导入以往薪资数据" with the earlier month, "确定" and "取消". OK adds the ticked
// persons and closes.
class WagePsnTableDialog : public CandidateDialog
{
    Q_OBJECT
public:
    WagePsnTableDialog(CDlgWagePsnTable& table, core::COrvaneApp& app, QWidget* parent = nullptr);

    void accept() override;

protected:
    void setDepartment(int departmentId) override;

private:
    CDlgWagePsnTable& m_table;
    QCheckBox* m_importEarlier;
    QComboBox* m_months;
};

} // namespace orvane::payroll::ui
