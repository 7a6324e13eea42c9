#pragma once

#include <QString>
#include <QStringList>

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
    enum Mode { Sequence = 0, FixedPrefix = 1, DepartmentPrefix = 2, Manual = 3 };

    CPropertyPageGeneral(core::COrvaneApp& app, core::Prompter& prompter);

    // The rule names in the order of the mode numbers.
    static QStringList ruleNames();
    // Which fields the chosen rule uses: the digit count for the automatic rules, the prefix
    // for the fixed-prefix rule only.
    static bool usesLength(int mode) { return mode != Manual; }
    static bool usesPrefix(int mode) { return mode == FixedPrefix; }

    // Reads the stored rule; a text that is not three parts keeps the defaults (0, 6, "").
    bool load();
    // Writes the rule back into the existing row and logs it. Refuses a length above 50 and an
    // empty prefix for the fixed-prefix rule with a message; an unchanged rule is neither
    // written nor logged. False when refused or when the row cannot be written (the stored
    // rule then stays as it was).
    bool apply();

    int mode = 0;
    int length = 6;
    QString prefix;

    // What the page will store for the present fields ("mode|length|prefix").
    QString ruleText() const;

private:
    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
    QString m_stored;
};

} // namespace orvane::shell
