#pragma once

#include <QString>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::shell {

// The general page of the system settings: the personnel-number rule stored as
// "mode|length|prefix" in the qp_SysOption row with nType 0.
class CPropertyPageGeneral
{
public:
    static constexpr int MaxNumberLength = 50;

    CPropertyPageGeneral(core::COrvaneApp& app, core::Prompter& prompter);

    // Reads the stored rule; a text that is not three parts keeps the defaults (0, 6, "").
    bool load();
    // Writes the rule back and logs the change. Refuses a length above 50 with a message; false
    // also when the row cannot be written (the stored rule then stays as it was).
    bool apply();

    int mode = 0; // 0 sequence, 1 fixed prefix, 2 department prefix, 3 typed
    int length = 6;
    QString prefix;

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
};

} // namespace orvane::shell
