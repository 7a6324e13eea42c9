#include "payroll/wagecellvalue.h"

#include "db/adotypes.h"

#include "script/conversions.h"

#include <QDateTime>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace orvane::payroll {

namespace {

constexpr double kPowers[] = {1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0, 1e6, 1e7, 1e8, 1e9};

// "%.*f" written and read back: the slow exact path.
double viaPrintf(double value, int decimals)
{
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return std::strtod(buffer, nullptr);
}

// Whole-number and text results read back from the DECIMAL(18,4) column.
constexpr int kColumnScale = 4;

} // namespace

double roundWageValue(double value, int choice, int decimals)
{
    if (choice == int(WageRounding::Down))
        return std::floor(value);
    if (choice == int(WageRounding::Up))
        return std::ceil(value);
    if (decimals < 0 || decimals > 9 || !std::isfinite(value))
        return viaPrintf(value, std::clamp(decimals, 0, 9));
    // printf rounds the exact binary value to the nearest decimal. Scaling by 10^d is exact
    // enough to find that nearest decimal unless the scaled value lies within rounding noise of
    // a halfway point; those few (1.005, 2.5) and very large values take the printf path.
    const double scale = kPowers[decimals];
    const double magnitude = std::fabs(value) * scale;
    if (magnitude >= 4.5e15)
        return viaPrintf(value, decimals);
    const double whole = std::floor(magnitude);
    const double fraction = magnitude - whole;
    if (std::fabs(fraction - 0.5) < 1e-6)
        return viaPrintf(value, decimals);
    const double digits = fraction > 0.5 ? whole + 1.0 : whole;
    // digits and 10^d are exact, so the quotient is the double nearest the decimal, as strtod
    // reads it; the sign is kept as printf keeps it ("-0.00").
    return std::copysign(digits / scale, value);
}

script::Variant wageCellVariant(const QVariant& cell, int adoType)
{
    if (cell.isNull() || !cell.isValid())
        return script::Variant::null();
    if (db::isDateType(adoType) || cell.typeId() == QMetaType::QDateTime ||
        cell.typeId() == QMetaType::QDate) {
        QDateTime when = cell.toDateTime();
        if (!when.isValid() && cell.typeId() == QMetaType::QString)
            when = QDateTime::fromString(cell.toString(), Qt::ISODate);
        if (!when.isValid())
            return script::Variant::null();
        const QDate d = when.date();
        const QTime t = when.time();
        return script::Variant::fromDate(
            script::combineDateTime(script::serialFromYmd(d.year(), d.month(), d.day()),
                                    t.msecsSinceStartOfDay() / 86400000.0));
    }
    switch (cell.typeId()) {
    case QMetaType::Bool:
        return script::Variant::fromBool(cell.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short: {
        const qlonglong v = cell.toLongLong();
        if (v >= std::numeric_limits<std::int32_t>::min() &&
            v <= std::numeric_limits<std::int32_t>::max())
            return script::Variant::fromLong(std::int32_t(v));
        return script::Variant::fromDouble(double(v));
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return script::Variant::fromDouble(cell.toDouble());
    case QMetaType::QString:
        return script::Variant::fromString(cell.toString().toStdU16String());
    default:
        break;
    }
    // Binary values have no text form: the formula that reads one fails.
    return script::Variant::null();
}

namespace {

WageCellResult number(double value)
{
    WageCellResult cell;
    cell.ok = true;
    cell.stored = value;
    cell.cached = script::Variant::fromDouble(value);
    return cell;
}

WageCellResult mismatch()
{
    WageCellResult cell;
    cell.error = QStringLiteral("Type mismatch");
    return cell;
}

} // namespace

WageCellResult wageCellFromResult(const script::Variant& result, int choice, int decimals)
{
    switch (result.type()) {
    case script::VarType::Double:
        return number(roundWageValue(result.doubleValue(), choice, decimals));
    case script::VarType::Single:
        return number(roundWageValue(double(result.singleValue()), choice, decimals));
    case script::VarType::Currency:
        return number(roundWageValue(double(result.currencyRaw()) / 10000.0, choice, decimals));
    case script::VarType::Byte:
        return number(result.byteValue());
    case script::VarType::Integer:
        return number(result.integerValue());
    case script::VarType::Long:
        return number(result.longValue());
    case script::VarType::Boolean:
        return number(result.boolValue() ? -1.0 : 0.0);
    case script::VarType::String: {
        const std::optional<double> value = script::parseNumber(result.stringValue());
        if (!value)
            return mismatch();
        return number(roundWageValue(*value, int(WageRounding::HalfUp), kColumnScale));
    }
    case script::VarType::Empty:
    case script::VarType::Null: {
        WageCellResult cell;
        cell.ok = true;
        cell.stored = QVariant();
        cell.cached = script::Variant::null();
        return cell;
    }
    default:
        break;
    }
    return mismatch();
}

bool wageCellFromAmount(const QVariant& amount, int choice, int decimals, WageCellResult& cell)
{
    if (!amount.isValid() || amount.isNull())
        return false;
    bool isNumber = false;
    const double value = amount.toDouble(&isNumber);
    if (!isNumber)
        return false;
    cell = number(roundWageValue(value, choice, decimals));
    return true;
}

} // namespace orvane::payroll
