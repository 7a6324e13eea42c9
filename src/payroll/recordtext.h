#pragma once

#include <QString>

namespace orvane::db {
class CADORecordset;
}
namespace orvane::script {
class ScriptEngine;
}

namespace orvane::payroll {

// The texts of bank files and payslips made from one record of a caption-named result set:
// "[caption]" placeholders replaced by the value's literal, "{$...$}" expressions evaluated.
class RecordText
{
public:
    // The literal of a column for a script: text in double quotes, a date as "%Y-%m-%d" in
    // double quotes, a boolean True or False, numbers in their ordinary form; empty for null,
    // empty and a column the result set does not have.
    static QString literal(db::CADORecordset& record, const QString& caption);

    // Replaces "[name]" parts, innermost pair first (the first "]" and the last "[" before it),
    // by the literal of that column; every occurrence of the same part at once.
    static QString substitute(QString text, db::CADORecordset& record);

    // Evaluates every "{$ ... $}" part with the engine; false when an expression fails (the
    // text keeps the replacements made so far).
    static bool expand(QString& text, script::ScriptEngine& engine);
};

} // namespace orvane::payroll
