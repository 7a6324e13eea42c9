#pragma once

#include "personnel/selectedperson.h"

#include <QString>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::personnel {

// What the side panes share: the checks before a change of a person's data (the edit right,
// then the person must still exist, else "选择的人员被删除！"), the quoted "name(number)" of
// their log lines, and the file-overwrite question of their save commands.
class PaneCommand
{
public:
    PaneCommand(core::COrvaneApp& app, core::Prompter& prompter) : m_app(app), m_prompter(prompter)
    {
    }

    bool checkChange(const SelectedPerson& person) const;
    // "人员档案[\"name(number)\"->" + detail + "]" written to the operation log.
    void log(const SelectedPerson& person, const QString& detail) const;
    // True when `path` does not exist or the operator agrees to replace it.
    bool confirmOverwrite(const QString& path) const;
    void error(const QString& text) const;

    static QString notAvailableText();

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
};

} // namespace orvane::personnel
