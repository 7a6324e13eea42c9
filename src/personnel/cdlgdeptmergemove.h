#pragma once

#include "personnel/picknode.h"

#include <QString>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::personnel {

// The target dialog of the department manager's merge ("部门合并", "合并到：") and move
// ("部门移动", "上级部门："): the department tree under the root "全体部门" and the checks made on
// OK.
class CDlgDeptMergeMove
{
public:
    enum class Purpose { Merge, Move };

    CDlgDeptMergeMove(core::COrvaneApp& app, core::Prompter& prompter, Purpose purpose,
                      int sourceDid, const QString& sourceName);

    Purpose purpose() const { return m_purpose; }
    QString caption() const;
    QString prompt() const;
    int sourceDid() const { return m_source; }
    QString sourceName() const { return m_sourceName; }
    const QList<PickNode>& departments() const { return m_departments; }
    static QString rootCaption();

    // -1: nothing selected; 0: the root.
    void setTarget(int did) { m_target = did; }
    int target() const { return m_target; }
    QString targetName() const;

    // The checks of OK; false (with the message shown) keeps the dialog open.
    bool accept();

private:
    bool acceptMerge();
    bool acceptMove();

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    Purpose m_purpose;
    int m_source;
    QString m_sourceName;
    QList<PickNode> m_departments;
    int m_target = -1;
};

} // namespace orvane::personnel
