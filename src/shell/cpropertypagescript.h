#pragma once

#include <QString>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::shell {

// The script page of the system settings: the site's function library, the qp_SysOption row
// with nType 1, which every script engine loads.
class CPropertyPageScript
{
public:
    CPropertyPageScript(core::COrvaneApp& app, core::Prompter& prompter);

    // False when the row is missing or cannot be read.
    bool load();
    // Checks the text's syntax, writes it into the row found by load(), logs it and confirms
    // the save. A syntax error is shown with its line and nothing is stored (errorLine() tells
    // the line); nothing happens when the text is unchanged. False when refused or when the
    // write failed (the stored text then stays).
    bool apply(const QString& text);

    const QString& text() const { return m_text; }
    int rowId() const { return m_id; }
    // The 1-based line of the last refused syntax error, 0 when none.
    int errorLine() const { return m_errorLine; }

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_id = 0;
    int m_errorLine = 0;
    QString m_text;
};

} // namespace orvane::shell
