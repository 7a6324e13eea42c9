#pragma once

#include <QString>

namespace orvane::core {
class COrvaneApp;
class Prompter;
} // namespace orvane::core

namespace orvane::payroll {

// Checks a wage formula in its display form ("[工资.基本工资]*0.1") and converts it to the
// executable form ("{F38}*0.1") stored in FExp. References may name the sort's own items or the
// personnel table's fields. Every refusal is shown through the prompter.
class FormulaValidator
{
public:
    static constexpr int kMaxLength = 4000;
    // Statements, loop turns and calls one check may take: a formula needs few, a library
    // function that never ends is stopped quickly.
    static constexpr int kStepBudget = 2000000;

    FormulaValidator(core::COrvaneApp& app, core::Prompter& prompter);

    // Validates `formula` for an item of the sort; the brackets inside string literals are
    // removed from `formula` itself first. `itemCaption` names the item in the engine's report.
    bool validate(int sortId, const QString& itemCaption, QString& formula);
    // The executable form of a validated formula; false when a reference has no column.
    bool convert(const QString& formula, QString& executable);

    // Removes '[' and ']' from every double-quoted literal that holds both.
    static QString stripQuotedBrackets(const QString& formula);
    // The first pairing message ("中括号不配对!" ...) or "" when brackets, parentheses and
    // quotes pair.
    static QString pairingError(const QString& formula);

private:
    void refuse(const QString& text);

    core::COrvaneApp& m_app;
    core::Prompter& m_prompter;
};

} // namespace orvane::payroll
