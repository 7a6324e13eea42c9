#include "shell/commandtable.h"

#include <array>

namespace orvane::shell {

namespace {

using G = CommandGating;
using K = CommandKind;

constexpr std::array kCommands{
    CommandEntry{2100, "人员档案(&P)", "F2", G::Right, 0, K::ChildView},
    CommandEntry{2101, "调动管理(&H)", "", G::Right, 11, K::Dialog},
    CommandEntry{2104, "离职管理(&I)", "", G::Right, 12, K::Dialog},
    CommandEntry{33249, "统计分析(&S)", "", G::Right, 14, K::Dialog},
    CommandEntry{33222, "人事提醒(&W)", "", G::Right, 15, K::Dialog},
    CommandEntry{33158, "薪资档案(&O)", "F11", G::Right, 16, K::ChildView},
    CommandEntry{2201, "薪资汇总(&T)", "", G::Right, 31, K::Dialog},
    CommandEntry{2202, "帐套设置(&S)", "", G::Right, 32, K::Dialog},
    CommandEntry{33188, "组织机构(&D)", "", G::Right, 34, K::Dialog},
    CommandEntry{33189, "人员类别(&S)", "", G::Right, 35, K::Dialog},
    CommandEntry{33174, "数据结构(&T)", "", G::Right, 36, K::Dialog},
    CommandEntry{33171, "基础档案(&D)", "", G::Right, 37, K::Dialog},
    CommandEntry{2300, "系统设置(&S)", "", G::Right, 38, K::Dialog},
    CommandEntry{2301, "操作员管理(&U)...", "", G::SuperOnly, -1, K::Dialog},
    CommandEntry{2302, "系统日志(&L)", "", G::SuperOnly, -1, K::Dialog},
    CommandEntry{2303, "口令设置(&P)", "", G::None, -1, K::Dialog},
    CommandEntry{33230, "离开挂起(&L)", "Ctrl+L", G::None, -1, K::FrameAction},
    CommandEntry{33301, "重新登录(&R)", "", G::None, -1, K::FrameAction},
    CommandEntry{32871, "关闭所有子窗口(&L)", "", G::None, -1, K::FrameAction},
    CommandEntry{33242, "计算器(&C)...", "", G::None, -1, K::FrameAction},
    CommandEntry{33243, "日历(&L)...", "", G::None, -1, K::FrameAction},
    CommandEntry{32776, "选项(&O)...", "", G::None, -1, K::Dialog},
    CommandEntry{33236, "主菜单(&M)", "F12", G::None, -1, K::FrameAction},
    CommandEntry{32796, "导航栏(&K)", "", G::None, -1, K::FrameAction},
    CommandEntry{322, "横幅栏(&B)", "", G::None, -1, K::FrameAction},
    CommandEntry{210, "经典浅色(&1)", "", G::None, -1, K::FrameAction},
    CommandEntry{211, "经典灰色(&2)", "", G::None, -1, K::FrameAction},
    CommandEntry{212, "简洁白色(&3)", "", G::None, -1, K::FrameAction},
    CommandEntry{213, "蓝色(&4)", "", G::None, -1, K::FrameAction},
    CommandEntry{214, "深蓝(&5)", "", G::None, -1, K::FrameAction},
    CommandEntry{215, "黑色(&6)", "", G::None, -1, K::FrameAction},
    CommandEntry{216, "银色(&7)", "", G::None, -1, K::FrameAction},
    CommandEntry{217, "青绿(&8)", "", G::None, -1, K::FrameAction},
    CommandEntry{218, "暖色(&9)", "", G::None, -1, K::FrameAction},
    CommandEntry{57665, "帮助主题(&H)", "F1", G::None, -1, K::Dialog},
};

} // namespace

std::span<const CommandEntry> CommandTable::entries()
{
    return kCommands;
}

const CommandEntry* CommandTable::find(int id)
{
    for (const CommandEntry& entry : kCommands) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

} // namespace orvane::shell
