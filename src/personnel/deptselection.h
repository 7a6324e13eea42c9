#pragma once

#include <QString>

namespace orvane::personnel {

// What the navigation pane sends to its frame on every change of selection.
struct DeptSelection
{
    static constexpr int CaptionSize = 200; // captions are cut to 199 characters

    int categoryId = -1;  // 0: all categories, -1: nothing selected
    int departmentId = 0; // 0: the whole organisation
    QString categoryCaption;
    QString departmentCaption;

    bool operator==(const DeptSelection&) const = default;
};

} // namespace orvane::personnel
