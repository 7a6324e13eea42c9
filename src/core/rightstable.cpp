#include "core/rightstable.h"

#include <array>

namespace orvane::core {

namespace {

constexpr std::array<RightEntry, RightsTable::Count> kRights{{
    {0, 63, "人员档案管理", ""},
    {1, 62, "查看档案", ""},
    {2, 61, "新增人员", ""},
    {3, 60, "修改人员", ""},
    {4, 59, "删除人员", ""},
    {5, 58, "人员档案打印", ""},
    {6, 57, "打印模板管理", ""},
    {7, 56, "邮件模板管理", ""},
    {8, 55, "人事邮件群发", ""},
    {9, 54, "人员档案导入", ""},
    {10, 53, "人员档案导出", ""},
    {11, 52, "调动管理", "人员所在部门变动"},
    {12, 51, "离职管理", "人员所属类别变动"},
    {13, 50, "定制高级查询", ""},
    {14, 49, "人员统计分析管理", ""},
    {15, 48, "人事提醒管理", ""},
    {16, 39, "薪资管理", ""},
    {17, 38, "查看薪资", ""},
    {18, 37, "新建与删除薪资表", ""},
    {19, 36, "修改薪资数据", ""},
    {20, 35, "薪资表结账", "薪资表审核结账"},
    {21, 34, "薪资打印", ""},
    {22, 33, "薪资导入", ""},
    {23, 32, "薪资导出", ""},
    {24, 31, "银行报盘", ""},
    {25, 30, "邮件群发", ""},
    {26, 29, "定制高级查询", ""},
    {27, 28, "打印模板管理", ""},
    {28, 27, "银行模板管理", ""},
    {29, 26, "导出模板管理", ""},
    {30, 25, "邮件模板管理", ""},
    {31, 24, "薪资汇总", ""},
    {32, 23, "帐套设置", "薪资帐套基本设置"},
    {33, 15, "系统管理", ""},
    {34, 14, "组织结构管理", "部门机构设置"},
    {35, 13, "人员类别管理", "人员属性管理"},
    {36, 12, "数据结构管理", "数据表及字段管理"},
    {37, 11, "基础档案管理", "数据字典管理"},
    {38, 10, "系统基本设置", ""},
}};

} // namespace

std::span<const RightEntry> RightsTable::entries()
{
    return kRights;
}

const RightEntry* RightsTable::entry(int index)
{
    if (index < 0 || index >= Count)
        return nullptr;
    return &kRights[std::size_t(index)];
}

bool RightsTable::isGroup(int index)
{
    return index == PersonnelGroup || index == PayrollGroup || index == SystemGroup;
}

int RightsTable::groupOf(int index)
{
    if (index < 0 || index >= Count)
        return -1;
    if (index >= SystemGroup)
        return SystemGroup;
    if (index >= PayrollGroup)
        return PayrollGroup;
    return PersonnelGroup;
}

bool RightsTable::granted(quint64 rightsMask, int index)
{
    const RightEntry* e = entry(index);
    return e != nullptr && (rightsMask & e->mask()) != 0;
}

} // namespace orvane::core
