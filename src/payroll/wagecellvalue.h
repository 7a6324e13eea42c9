#pragma once

#include "script/variant.h"

#include <QString>
#include <QVariant>

namespace orvane::payroll {

// Rounding rules of a wage item (iChoice).
enum class WageRounding { HalfUp = 0, Down = 1, Up = 2 };

// A calculated value rounded by the item's rule: 1 floor and 2 ceiling to a whole number (the
// decimals are not used), anything else to `decimals` places exactly as "%.*f" writes the
// double and reads it back.
double roundWageValue(double value, int choice, int decimals);

// A database cell as a formula sees it: texts as String, dates as Date, whole numbers as Long
// (Double beyond its range), other numbers as Double, null as Null. `adoType` is the column's
// type from the result set (a date column may come as text).
script::Variant wageCellVariant(const QVariant& cell, int adoType);

// What a formula result becomes in a numeric wage cell: Double, Single and Currency rounded by
// the item's rule, whole numbers and Booleans (-1/0) as they are, a text that reads as a number
// as that number (at the column's four decimals), Empty and Null as null. Other results (a
// text that is no number, a date, an object) fail with the engine's "Type mismatch".
struct WageCellResult
{
    bool ok = false;
    QVariant stored;        // the value written
    script::Variant cached; // the value later formulas read back
    QString error;
};
WageCellResult wageCellFromResult(const script::Variant& result, int choice, int decimals);

// An amount from a standard table (a money value) rounded by the item's rule; false when the
// lookup gave no number (no row, or a null amount).
bool wageCellFromAmount(const QVariant& amount, int choice, int decimals, WageCellResult& cell);

} // namespace orvane::payroll
