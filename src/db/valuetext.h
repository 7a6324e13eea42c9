#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace orvane::db {

// Value conversions shared by the recordset and the parameter classes.
namespace valuetext {

// Shortest decimal form of `value` with at most 20 significant digits ("0.1", "3", "1e+25").
QString formatDouble(double value);

// Formats a date-time with a strftime-style format (%Y %m %d %H %M %S %y %b %B %a %A %p %I %j
// %%); an unknown directive is copied as it is.
QString formatDateTime(const QDateTime& value, const QString& format);

// The same for a date and a time of day given apart.
QString formatDateParts(const QDate& date, const QTime& time, const QString& format);

// Parses the date texts a database gives: "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS[.fff]]",
// with 'T' or '/' accepted as separators. Invalid QDateTime on failure.
QDateTime parseDateTime(const QString& text);
bool parseDateParts(const QString& text, QDate& date, QTime& time);

// Converts a raw value (as a backend stores it) to the natural value of the ADO type: dates to
// QDateTime, booleans to bool, integers to qlonglong, floating and decimal types to double,
// texts to QString, binaries to QByteArray. Null stays null. `ok` is false when it cannot.
QVariant toTyped(const QVariant& raw, int adoType, bool* ok = nullptr);

// Text form of a value of the given ADO type: null "", integers decimal, floating values by
// formatDouble, dates by `dateFormat`, booleans "True"/"False", texts themselves. `ok` false
// (and an empty text) for values without a text form (binaries).
QString toText(const QVariant& raw, int adoType, const QString& dateFormat, bool* ok = nullptr);

// Integer, double and date readings of a raw value; null gives 0 / invalid date.
bool toInt64(const QVariant& raw, int adoType, qint64& out);
bool toDouble(const QVariant& raw, int adoType, double& out);
bool toDateTime(const QVariant& raw, int adoType, QDateTime& out);

// The ADO type that describes a QVariant's own type (for procedure results and parameters).
int adoTypeOf(const QVariant& value);

} // namespace valuetext
} // namespace orvane::db
