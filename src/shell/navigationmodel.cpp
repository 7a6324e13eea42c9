#include "shell/navigationmodel.h"

#include "core/corvaneapp.h"
#include "core/rightstable.h"
#include "shell/commandtable.h"

namespace orvane::shell {

namespace {

constexpr int Always = -1;
constexpr int SuperOnly = -2;

struct ButtonSpec
{
    const char* text;
    int commandId;
    int right; // Always, SuperOnly or a rights-table index
};

struct GroupSpec
{
    const char* title;
    int groupRight;
    std::initializer_list<ButtonSpec> buttons;
};

const GroupSpec kGroups[] = {
    {"人事管理",
     core::RightsTable::PersonnelGroup,
     {{"人员档案", CommandTable::Personnel, Always},
      {"调动管理", CommandTable::Redeploy, 11},
      {"离职管理", CommandTable::SortAlter, 12},
      {"统计分析", CommandTable::StatAnalyze, 14},
      {"人事提醒", CommandTable::WakeupManage, 15}}},
    {"薪资管理",
     core::RightsTable::PayrollGroup,
     {{"薪资档案", CommandTable::WageOpen, Always},
      {"薪资汇总", CommandTable::WageTotal, 31},
      {"帐套设置", CommandTable::WageSet, 32}}},
    {"系统管理",
     core::RightsTable::SystemGroup,
     {{"组织机构", CommandTable::DeptManager, 34},
      {"人员类别", CommandTable::PsnSortManager, 35},
      {"数据结构", CommandTable::TableManage, 36},
      {"基础档案", CommandTable::DictManage, 37},
      {"系统设置", CommandTable::SystemSet, 38},
      {"操作员", CommandTable::UserList, SuperOnly},
      {"系统日志", CommandTable::SysLog, SuperOnly}}},
};

} // namespace

QList<NavigationGroup> buildNavigation(const core::OperatorRecord& op)
{
    QList<NavigationGroup> groups;
    if (!op.isValid())
        return groups;
    const quint64 mask = op.purview.rightsMask;
    for (const GroupSpec& spec : kGroups) {
        if (!op.ISuper && !core::RightsTable::granted(mask, spec.groupRight))
            continue;
        NavigationGroup group;
        group.title = QString::fromUtf8(spec.title);
        for (const ButtonSpec& button : spec.buttons) {
            bool shown = op.ISuper || button.right == Always;
            if (!shown && button.right >= 0)
                shown = core::RightsTable::granted(mask, button.right);
            if (shown)
                group.buttons.append({QString::fromUtf8(button.text), button.commandId});
        }
        groups.append(group);
    }
    return groups;
}

} // namespace orvane::shell
