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
    // Writes `text` into the row found by load() and logs it; nothing happens when the text is
    // unchanged. False when there is no row or the write failed (the stored text then stays).
    bool apply(const QString& text);

    const QString& text() const { return m_text; }
    int rowId() const { return m_id; }

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    int m_id = 0;
    QString m_text;
};

} // namespace orvane::shell
