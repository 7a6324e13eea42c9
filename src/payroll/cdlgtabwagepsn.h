#pragma once

#include "payroll/orderedlist.h"

#include <QList>
#include <QString>

#include <functional>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

class CDlgWagePsnSelect;

// The members page: the members of the sort in the selected department (0 = "全体部门") with
// add, delete, up, down and refresh, and the "共 计：%d 人" footer.
class CDlgTabWagePSN
{
public:
    CDlgTabWagePSN(core::COrvaneApp& app, core::Prompter& prompter);

    void setSort(int sortId, bool force = false);
    int sortId() const { return m_sortId; }
    void setDepartment(int departmentId);
    int departmentId() const { return m_departmentId; }
    bool refresh();
    OrderedList& members() { return m_members; }
    QString footerText() const;

    // Members are ordered only within a department with at most one sub-department.
    bool canMove() const;

    bool addMembers();
    // Deletes the members at these rows (the current row when empty).
    bool deleteMembers(QList<int> rows = {});
    bool moveMember(bool up);
    bool refreshOrder();

    std::function<void(CDlgWagePsnSelect& dialog)> runSelect;

private:
    void warn(const QString& text);
    QString sortTitle() const;
    bool reload();

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_sortId = -1;
    int m_departmentId = 0;
    OrderedList m_members;
};

} // namespace orvane::payroll
