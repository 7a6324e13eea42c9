#include "db/sqlitefunctions.h"

#include "db/textcollation.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <optional>

namespace orvane::db {

namespace {

// ---------------------------------------------------------------------------------------------
// values

QString textOf(sqlite3_value* v)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return text ? QString::fromUtf8(text, sqlite3_value_bytes(v)) : QString();
}

bool isNull(sqlite3_value* v)
{
    return sqlite3_value_type(v) == SQLITE_NULL;
}

bool anyNull(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i) {
        if (isNull(argv[i]))
            return true;
    }
    return false;
}

bool isNumber(sqlite3_value* v)
{
    const int t = sqlite3_value_type(v);
    return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

void resultText(sqlite3_context* ctx, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void resultError(sqlite3_context* ctx, const QString& message)
{
    const QByteArray utf8 = message.toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), int(utf8.size()));
}

// A text that holds a number, as SQL Server converts it: blanks around it are allowed.
std::optional<double> numberFromText(const QString& text)
{
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

// ---------------------------------------------------------------------------------------------
// dates: stored as text 'YYYY-MM-DD HH:MM:SS'; QDateTime in UTC is used only as a calendar

const QDate kBaseDate(1900, 1, 1); // SQL Server's day 0

QString formatDateTime(const QDateTime& dt)
{
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<QTime> parseTime(QStringView text)
{
    if (text.isEmpty())
        return QTime(0, 0);
    const auto parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    bool ok1 = false, ok2 = false, ok3 = true;
    const int h = parts[0].toInt(&ok1);
    const int m = parts[1].toInt(&ok2);
    int s = 0;
    int ms = 0;
    if (parts.size() == 3) {
        QStringView sec = parts[2];
        const qsizetype dot = sec.indexOf(u'.');
        if (dot >= 0) {
            const QString frac = (sec.mid(dot + 1).toString() + QStringLiteral("000")).left(3);
            ms = frac.toInt(&ok3);
            if (!ok3)
                return std::nullopt;
            sec = sec.left(dot);
        }
        s = sec.toInt(&ok3);
    }
    if (!ok1 || !ok2 || !ok3)
        return std::nullopt;
    QTime t(h, m, s, ms);
    if (!t.isValid())
        return std::nullopt;
    return t;
}

enum class DayOrder { YearMonthDay, MonthDayYear, DayMonthYear };

// Reads the date forms the client writes and SQL Server accepts: yyyy-mm-dd, yyyy/mm/dd,
// yyyy.mm.dd, yyyymmdd, each optionally followed by a time; with a style of the m/d/y or
// d/m/y family also those orders.
std::optional<QDateTime> parseDateTime(const QString& input,
                                       DayOrder order = DayOrder::YearMonthDay)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    qsizetype split = text.indexOf(u' ');
    if (split < 0)
        split = text.indexOf(u'T');
    const QStringView datePart = split < 0 ? QStringView(text) : QStringView(text).left(split);
    const QStringView timePart =
        split < 0 ? QStringView() : QStringView(text).mid(split + 1).trimmed();
    int y = 0, m = 0, d = 0;
    bool allDigits = !datePart.isEmpty();
    for (QChar c : datePart)
        allDigits = allDigits && c.isDigit();
    if (allDigits && datePart.size() == 8) {
        y = datePart.left(4).toInt();
        m = datePart.mid(4, 2).toInt();
        d = datePart.mid(6, 2).toInt();
    } else {
        QChar sep;
        for (QChar c : {u'-', u'/', u'.'}) {
            if (datePart.contains(c)) {
                sep = c;
                break;
            }
        }
        if (sep.isNull())
            return std::nullopt;
        const auto parts = datePart.split(sep);
        if (parts.size() != 3)
            return std::nullopt;
        int v[3];
        for (int i = 0; i < 3; ++i) {
            bool ok = false;
            if (parts[i].isEmpty() || parts[i].size() > 4)
                return std::nullopt;
            v[i] = parts[i].toInt(&ok);
            if (!ok)
                return std::nullopt;
        }
        if (parts[0].size() == 4) {
            y = v[0], m = v[1], d = v[2];
        } else if (parts[2].size() == 4 && order == DayOrder::MonthDayYear) {
            m = v[0], d = v[1], y = v[2];
        } else if (parts[2].size() == 4 && order == DayOrder::DayMonthYear) {
            d = v[0], m = v[1], y = v[2];
        } else {
            return std::nullopt;
        }
    }
    const QDate date(y, m, d);
    if (!date.isValid() || y < 1753 || y > 9999)
        return std::nullopt;
    const std::optional<QTime> time = parseTime(timePart);
    if (!time)
        return std::nullopt;
    return QDateTime(date, *time, Qt::UTC);
}

// A date argument: a date text, or a number of days since 1900-01-01 as SQL Server reads it.
std::optional<QDateTime> dateArgument(sqlite3_value* v)
{
    if (isNumber(v)) {
        const double days = sqlite3_value_double(v);
        if (std::fabs(days) > 3e6)
            return std::nullopt;
        const qint64 msecs = qint64(std::llround(days * 86400000.0));
        return QDateTime(kBaseDate, QTime(0, 0), Qt::UTC).addMSecs(msecs);
    }
    const QString text = textOf(v);
    if (text.trimmed().isEmpty()) // SQL Server reads an empty text as day 0
        return QDateTime(kBaseDate, QTime(0, 0), Qt::UTC);
    return parseDateTime(text);
}

std::optional<QDateTime> requireDate(sqlite3_context* ctx, sqlite3_value* v)
{
    std::optional<QDateTime> dt = dateArgument(v);
    if (!dt)
        resultError(ctx, QStringLiteral("Conversion failed when converting date and/or time "
                                        "from character string '%1'.")
                             .arg(textOf(v)));
    return dt;
}

QString formatDateStyle(const QDateTime& dt, int style, bool* known)
{
    *known = true;
    const QDate d = dt.date();
    const QTime t = dt.time();
    auto f = [&](const char* pattern) { return dt.toString(QString::fromLatin1(pattern)); };
    switch (style) {
    case 0:
    case 100: {
        static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
        return QStringLiteral("%1 %2 %3 %4:%5%6")
            .arg(QLatin1String(months[d.month() - 1]))
            .arg(d.day(), 2, 10, QLatin1Char(' '))
            .arg(d.year())
            .arg(hour12, 2, 10, QLatin1Char(' '))
            .arg(t.minute(), 2, 10, QLatin1Char('0'))
            .arg(t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    }
    case 1:
        return f("MM/dd/yy");
    case 101:
        return f("MM/dd/yyyy");
    case 2:
        return f("yy.MM.dd");
    case 102:
        return f("yyyy.MM.dd");
    case 3:
        return f("dd/MM/yy");
    case 103:
        return f("dd/MM/yyyy");
    case 4:
        return f("dd.MM.yy");
    case 104:
        return f("dd.MM.yyyy");
    case 5:
        return f("dd-MM-yy");
    case 105:
        return f("dd-MM-yyyy");
    case 8:
    case 108:
        return f("HH:mm:ss");
    case 10:
        return f("MM-dd-yy");
    case 110:
        return f("MM-dd-yyyy");
    case 11:
        return f("yy/MM/dd");
    case 111:
        return f("yyyy/MM/dd");
    case 12:
        return f("yyMMdd");
    case 112:
        return f("yyyyMMdd");
    case 20:
    case 120:
        return f("yyyy-MM-dd HH:mm:ss");
    case 21:
    case 121:
        return f("yyyy-MM-dd HH:mm:ss.zzz");
    case 23:
        return f("yyyy-MM-dd");
    case 126:
        return t.msec() ? f("yyyy-MM-ddTHH:mm:ss.zzz") : f("yyyy-MM-ddTHH:mm:ss");
    default:
        *known = false;
        return QString();
    }
}

DayOrder dayOrderForStyle(int style)
{
    switch (style % 100) {
    case 1:
    case 10:
        return DayOrder::MonthDayYear;
    case 3:
    case 4:
    case 5:
        return DayOrder::DayMonthYear;
    default:
        return DayOrder::YearMonthDay;
    }
}

// ---------------------------------------------------------------------------------------------
// numbers

QString numberText(sqlite3_value* v)
{
    if (sqlite3_value_type(v) == SQLITE_INTEGER)
        return QString::number(sqlite3_value_int64(v));
    if (sqlite3_value_type(v) == SQLITE_FLOAT)
        return QString::number(sqlite3_value_double(v), 'g', 15);
    return textOf(v);
}

// Rounds half away from zero at `digits` decimals (negative: left of the point), reading the
// value as its 15-digit decimal form first so that 2.675 rounds to 2.68 as decimals do.
double roundDecimal(double value, int digits, bool truncate)
{
    if (digits > 15)
        return value;
    auto roundScaled = [truncate](double scaled) {
        // Only a value within a hair of the rounding boundary (a half, or a whole number when
        // truncating) needs its decimal form; every other one rounds the same either way.
        const double boundary =
            truncate ? std::round(scaled) : std::trunc(scaled) + 0.5 * (scaled < 0 ? -1 : 1);
        if (std::fabs(scaled - boundary) > 1e-6)
            return truncate ? std::trunc(scaled) : std::round(scaled);
        scaled = QString::number(scaled, 'g', 15).toDouble();
        return truncate ? std::trunc(scaled) : std::round(scaled);
    };
    if (digits >= 0) {
        // Powers of ten up to 10^15 are exact doubles: a table spares pow() per value.
        static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double scale = kPowers[digits];
        return roundScaled(value * scale) / scale;
    }
    const double factor = std::pow(10.0, -digits);
    return roundScaled(value / factor) * factor;
}

// ---------------------------------------------------------------------------------------------
// functions

void fnTsqlAdd(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* a = argv[0];
    sqlite3_value* b = argv[1];
    if (isNull(a) || isNull(b)) {
        sqlite3_result_null(ctx);
        return;
    }
    const bool na = isNumber(a);
    const bool nb = isNumber(b);
    if (na && nb) {
        if (sqlite3_value_type(a) == SQLITE_INTEGER && sqlite3_value_type(b) == SQLITE_INTEGER) {
            sqlite3_int64 r = 0;
            if (!__builtin_add_overflow(sqlite3_value_int64(a), sqlite3_value_int64(b), &r)) {
                sqlite3_result_int64(ctx, r);
                return;
            }
        }
        sqlite3_result_double(ctx, sqlite3_value_double(a) + sqlite3_value_double(b));
        return;
    }
    if (!na && !nb) {
        resultText(ctx, textOf(a) + textOf(b));
        return;
    }
    // A number and a text: the number decides, as in SQL Server. A date stored as text moves
    // by whole and fractional days; any other text must hold a number.
    sqlite3_value* text = na ? b : a;
    sqlite3_value* number = na ? a : b;
    const QString s = textOf(text);
    if (std::optional<double> d = numberFromText(s)) {
        const double sum = *d + sqlite3_value_double(number);
        if (sqlite3_value_type(number) == SQLITE_INTEGER && std::trunc(*d) == *d &&
            std::fabs(sum) < 9e15)
            sqlite3_result_int64(ctx, sqlite3_int64(sum));
        else
            sqlite3_result_double(ctx, sum);
        return;
    }
    if (std::optional<QDateTime> dt = parseDateTime(s)) {
        if (std::fabs(sqlite3_value_double(number)) > 3e6) {
            resultError(ctx, QStringLiteral("Arithmetic overflow error converting expression to "
                                            "data type datetime."));
            return;
        }
        const qint64 msecs = qint64(std::llround(sqlite3_value_double(number) * 86400000.0));
        resultText(ctx, formatDateTime(dt->addMSecs(msecs)));
        return;
    }
    if (sqlite3_value_type(number) == SQLITE_INTEGER)
        resultError(ctx, QStringLiteral("Conversion failed when converting the varchar value '%1' "
                                        "to data type int.")
                             .arg(s));
    else
        resultError(ctx, QStringLiteral("Error converting data type varchar to numeric."));
}

// a / b and a % b: a zero divisor fails the statement as in SQL Server. Two whole numbers
// divide as integers unless the third argument asks for decimal division (a DECIMAL column
// stores 7.0 as the integer 7).
void divideOrModulo(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool modulo)
{
    if (isNull(argv[0]) || isNull(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    auto numberOf = [ctx](sqlite3_value* v, double* d, bool* integer, sqlite3_int64* n) {
        if (sqlite3_value_type(v) == SQLITE_INTEGER) {
            *n = sqlite3_value_int64(v);
            *d = double(*n);
            *integer = true;
            return true;
        }
        if (sqlite3_value_type(v) == SQLITE_FLOAT) {
            *d = sqlite3_value_double(v);
            *integer = false;
            return true;
        }
        const QString text = textOf(v).trimmed();
        bool ok = false;
        *n = text.toLongLong(&ok);
        if (ok) {
            *d = double(*n);
            *integer = true;
            return true;
        }
        if (std::optional<double> parsed = numberFromText(text)) {
            *d = *parsed;
            *integer = false;
            return true;
        }
        resultError(ctx, QStringLiteral("Conversion failed when converting the varchar value "
                                        "'%1' to data type int.")
                             .arg(textOf(v)));
        return false;
    };
    double a = 0, b = 0;
    bool ia = false, ib = false;
    sqlite3_int64 na = 0, nb = 0;
    if (!numberOf(argv[0], &a, &ia, &na) || !numberOf(argv[1], &b, &ib, &nb))
        return;
    if (b == 0) {
        resultError(ctx, QStringLiteral("Divide by zero error encountered."));
        return;
    }
    const bool decimal = argc > 2 && sqlite3_value_int(argv[2]) != 0;
    if (ia && ib && (!decimal || modulo)) {
        if (nb == -1) { // avoids the overflow of INT64_MIN / -1
            sqlite3_result_int64(ctx, modulo ? 0 : sqlite3_int64(0 - quint64(na)));
            return;
        }
        sqlite3_result_int64(ctx, modulo ? na % nb : na / nb);
        return;
    }
    sqlite3_result_double(ctx, modulo ? std::fmod(a, b) : a / b);
}

void fnDivide(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    divideOrModulo(ctx, argc, argv, false);
}

void fnModulo(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    divideOrModulo(ctx, argc, argv, true);
}

// The numeric value of an argument; a text that is no number fails the statement with SQL
// Server's conversion error into `target`.
std::optional<double> numericArgument(sqlite3_context* ctx, sqlite3_value* v, const char* target)
{
    if (isNumber(v))
        return sqlite3_value_double(v);
    if (std::optional<double> parsed = numberFromText(textOf(v)))
        return parsed;
    resultError(
        ctx,
        QStringLiteral("Error converting data type varchar to %1.").arg(QLatin1String(target)));
    return std::nullopt;
}

// A decimal result rounded to its scale: the double nearest to the exact decimal value.
void fnScale(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* v = argv[0];
    if (isNull(v)) {
        sqlite3_result_null(ctx);
        return;
    }
    if (sqlite3_value_type(v) == SQLITE_INTEGER) {
        sqlite3_result_value(ctx, v);
        return;
    }
    if (std::optional<double> d = numericArgument(ctx, v, "numeric"))
        sqlite3_result_double(ctx, roundDecimal(*d, sqlite3_value_int(argv[1]), false));
}

// A decimal as SQL Server writes it as text: with exactly its scale's digits ("7.00").
void fnFixed(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* v = argv[0];
    if (isNull(v)) {
        sqlite3_result_null(ctx);
        return;
    }
    const int scale = std::clamp(sqlite3_value_int(argv[1]), 0, 15);
    double d = 0;
    if (isNumber(v)) {
        d = sqlite3_value_double(v);
    } else if (std::optional<double> parsed = numberFromText(textOf(v))) {
        d = *parsed;
    } else {
        sqlite3_result_value(ctx, v);
        return;
    }
    resultText(ctx, QString::number(roundDecimal(d, scale, false), 'f', scale));
}

// A value stored into or compared with a datetime (tsql_datetime) or date (tsql_date) column,
// in the one stored form; a text that is no date fails as in SQL Server.
void fnCanonicalDate(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const bool dateOnly = sqlite3_user_data(ctx) != nullptr;
    if (std::optional<QDateTime> dt = requireDate(ctx, argv[0]))
        resultText(ctx,
                   dateOnly ? dt->toString(QStringLiteral("yyyy-MM-dd")) : formatDateTime(*dt));
}

void fnCharIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString needle = textOf(argv[0]);
    const QString haystack = textOf(argv[1]);
    qsizetype start = argc > 2 ? qsizetype(sqlite3_value_int64(argv[2])) : 1;
    if (start < 1)
        start = 1;
    if (needle.isEmpty() || start > haystack.size()) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    // Texts compare without regard to case, as under SQL Server's default collation.
    const qsizetype pos = haystack.indexOf(needle, start - 1, Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, pos + 1);
}

void fnIsDate(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]) || sqlite3_value_type(argv[0]) == SQLITE_FLOAT) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    sqlite3_result_int(ctx, parseDateTime(numberText(argv[0])) ? 1 : 0);
}

void fnIsNumeric(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    sqlite3_result_int(ctx, isNumber(argv[0]) || numberFromText(textOf(argv[0])) ? 1 : 0);
}

void fnDatePart(sqlite3_context* ctx, const QString& part, const QDateTime& dt)
{
    const QDate d = dt.date();
    int v = 0;
    if (part == QLatin1String("year"))
        v = d.year();
    else if (part == QLatin1String("quarter"))
        v = (d.month() - 1) / 3 + 1;
    else if (part == QLatin1String("month"))
        v = d.month();
    else if (part == QLatin1String("dayofyear"))
        v = d.dayOfYear();
    else if (part == QLatin1String("day"))
        v = d.day();
    else if (part == QLatin1String("weekday"))
        v = d.dayOfWeek() % 7 + 1; // Sunday = 1
    else if (part == QLatin1String("week"))
        v = (d.dayOfYear() - 1 + QDate(d.year(), 1, 1).dayOfWeek() % 7) / 7 + 1;
    else if (part == QLatin1String("hour"))
        v = dt.time().hour();
    else if (part == QLatin1String("minute"))
        v = dt.time().minute();
    else if (part == QLatin1String("second"))
        v = dt.time().second();
    else {
        resultError(ctx, QStringLiteral("unknown date part '%1'").arg(part));
        return;
    }
    sqlite3_result_int(ctx, v);
}

void fnYearMonthDay(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    if (std::optional<QDateTime> dt = requireDate(ctx, argv[0]))
        fnDatePart(ctx, QString::fromLatin1(static_cast<const char*>(sqlite3_user_data(ctx))), *dt);
}

void fnDatePartSql(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    if (std::optional<QDateTime> dt = requireDate(ctx, argv[1]))
        fnDatePart(ctx, textOf(argv[0]), *dt);
}

void fnDateAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString part = textOf(argv[0]);
    const double amount = sqlite3_value_double(argv[1]);
    if (std::fabs(amount) > 1e8) {
        resultError(ctx,
                    QStringLiteral("Adding a value to a 'datetime' column caused an overflow."));
        return;
    }
    const std::optional<QDateTime> dt = requireDate(ctx, argv[2]);
    if (!dt)
        return;
    const qint64 n = qint64(std::trunc(amount)); // SQL Server drops the fraction
    QDateTime r;
    if (part == QLatin1String("year"))
        r = dt->addYears(int(n));
    else if (part == QLatin1String("quarter"))
        r = dt->addMonths(int(n * 3));
    else if (part == QLatin1String("month"))
        r = dt->addMonths(int(n));
    else if (part == QLatin1String("day") || part == QLatin1String("dayofyear") ||
             part == QLatin1String("weekday"))
        r = dt->addDays(n);
    else if (part == QLatin1String("week"))
        r = dt->addDays(n * 7);
    else if (part == QLatin1String("hour"))
        r = dt->addSecs(n * 3600);
    else if (part == QLatin1String("minute"))
        r = dt->addSecs(n * 60);
    else if (part == QLatin1String("second"))
        r = dt->addSecs(n);
    else {
        resultError(ctx, QStringLiteral("unknown date part '%1'").arg(part));
        return;
    }
    if (r.date().year() < 1753 || r.date().year() > 9999) {
        resultError(ctx,
                    QStringLiteral("Adding a value to a 'datetime' column caused an overflow."));
        return;
    }
    resultText(ctx, formatDateTime(r));
}

// Counts the boundaries of the part crossed from the first date to the second, as SQL Server.
void fnDateDiff(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString part = textOf(argv[0]);
    const std::optional<QDateTime> a = requireDate(ctx, argv[1]);
    if (!a)
        return;
    const std::optional<QDateTime> b = requireDate(ctx, argv[2]);
    if (!b)
        return;
    const qint64 days = a->date().daysTo(b->date());
    auto floorDiv = [](qint64 x, qint64 y) { return x >= 0 ? x / y : -((-x + y - 1) / y); };
    const qint64 secsA = QDateTime(kBaseDate, QTime(0, 0), Qt::UTC).secsTo(*a);
    const qint64 secsB = QDateTime(kBaseDate, QTime(0, 0), Qt::UTC).secsTo(*b);
    qint64 v = 0;
    if (part == QLatin1String("year"))
        v = b->date().year() - a->date().year();
    else if (part == QLatin1String("quarter"))
        v = (b->date().year() - a->date().year()) * 4 + (b->date().month() - 1) / 3 -
            (a->date().month() - 1) / 3;
    else if (part == QLatin1String("month"))
        v = (b->date().year() - a->date().year()) * 12 + b->date().month() - a->date().month();
    else if (part == QLatin1String("day") || part == QLatin1String("dayofyear") ||
             part == QLatin1String("weekday"))
        v = days;
    else if (part == QLatin1String("week")) {
        // weeks start on Sunday; 1900-01-01 was a Monday
        const qint64 da = kBaseDate.daysTo(a->date()) + 1;
        const qint64 db = kBaseDate.daysTo(b->date()) + 1;
        v = floorDiv(db, 7) - floorDiv(da, 7);
    } else if (part == QLatin1String("hour"))
        v = floorDiv(secsB, 3600) - floorDiv(secsA, 3600);
    else if (part == QLatin1String("minute"))
        v = floorDiv(secsB, 60) - floorDiv(secsA, 60);
    else if (part == QLatin1String("second"))
        v = secsB - secsA;
    else {
        resultError(ctx, QStringLiteral("unknown date part '%1'").arg(part));
        return;
    }
    sqlite3_result_int64(ctx, v);
}

void fnGetDate(sqlite3_context* ctx, int, sqlite3_value**)
{
    resultText(ctx, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void fnConvert(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    sqlite3_value* value = argv[1];
    if (isNull(value)) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString type = textOf(argv[0]).toUpper();
    const bool hasStyle = argc > 2 && !isNull(argv[2]);
    const int style = hasStyle ? sqlite3_value_int(argv[2]) : 0;
    const qsizetype paren = type.indexOf(u'(');
    const QString base = paren < 0 ? type : type.left(paren);
    const QStringList args =
        paren < 0 ? QStringList() : type.mid(paren + 1, type.size() - paren - 2).split(u',');

    if (base.contains(QLatin1String("CHAR")) || base.endsWith(QLatin1String("TEXT"))) {
        QString text;
        bool styled = false;
        if (hasStyle && !isNumber(value)) {
            if (std::optional<QDateTime> dt = parseDateTime(textOf(value))) {
                text = formatDateStyle(*dt, style, &styled);
                if (!styled) {
                    resultError(ctx, QStringLiteral("%1 is not a valid style number when "
                                                    "converting from datetime.")
                                         .arg(style));
                    return;
                }
            }
        }
        if (!styled)
            text = numberText(value);
        if (!base.endsWith(QLatin1String("TEXT")) && !(args.size() == 1 && args[0] == u"MAX")) {
            const int length = args.isEmpty() ? 30 : args[0].toInt();
            if (length > 0) {
                text = text.left(length);
                if (!args.isEmpty() && !base.contains(QLatin1String("VAR")))
                    text = text.leftJustified(length, u' ');
            }
        }
        resultText(ctx, text);
        return;
    }
    if (base.startsWith(QLatin1String("DATE")) || base == QLatin1String("SMALLDATETIME")) {
        std::optional<QDateTime> dt =
            isNumber(value) || textOf(value).trimmed().isEmpty()
                ? dateArgument(value)
                : parseDateTime(textOf(value),
                                hasStyle ? dayOrderForStyle(style) : DayOrder::YearMonthDay);
        if (!dt) {
            resultError(ctx, QStringLiteral("Conversion failed when converting date and/or time "
                                            "from character string '%1'.")
                                 .arg(textOf(value)));
            return;
        }
        resultText(ctx, base == QLatin1String("DATE") ? dt->toString(QStringLiteral("yyyy-MM-dd"))
                                                      : formatDateTime(*dt));
        return;
    }
    const bool integer = base == u"INT" || base == u"INTEGER" || base == u"BIGINT" ||
                         base == u"SMALLINT" || base == u"TINYINT" || base == u"BIT";
    if (integer || base == u"DECIMAL" || base == u"NUMERIC" || base == u"MONEY" ||
        base == u"SMALLMONEY" || base == u"FLOAT" || base == u"REAL") {
        double d = 0;
        if (isNumber(value)) {
            if (integer && sqlite3_value_type(value) == SQLITE_INTEGER) {
                const sqlite3_int64 n = sqlite3_value_int64(value);
                sqlite3_result_int64(ctx, base == u"BIT" ? (n != 0) : n);
                return;
            }
            d = sqlite3_value_double(value);
        } else {
            const QString s = textOf(value).trimmed();
            bool ok = false;
            if (integer) {
                const qlonglong n = s.toLongLong(&ok);
                if (ok) {
                    sqlite3_result_int64(ctx, base == u"BIT" ? (n != 0) : n);
                    return;
                }
            } else if (std::optional<double> parsed = numberFromText(s)) {
                d = *parsed;
                ok = true;
            }
            if (!ok) {
                resultError(ctx, QStringLiteral("Conversion failed when converting the varchar "
                                                "value '%1' to data type %2.")
                                     .arg(textOf(value), base.toLower()));
                return;
            }
        }
        if (integer) {
            if (std::fabs(d) >= 9.2e18) {
                resultError(ctx, QStringLiteral("Arithmetic overflow error converting to %1.")
                                     .arg(base.toLower()));
                return;
            }
            const sqlite3_int64 n = sqlite3_int64(std::trunc(d));
            sqlite3_result_int64(ctx, base == u"BIT" ? (n != 0) : n);
            return;
        }
        int scale = -1;
        if (base == u"MONEY" || base == u"SMALLMONEY")
            scale = 4;
        else if (base == u"DECIMAL" || base == u"NUMERIC")
            scale = args.size() > 1 ? args[1].toInt() : 0;
        if (scale >= 0)
            d = roundDecimal(d, scale, false);
        if (scale == 0 && std::fabs(d) < 9e15)
            sqlite3_result_int64(ctx, sqlite3_int64(d));
        else
            sqlite3_result_double(ctx, d);
        return;
    }
    sqlite3_result_value(ctx, value);
}

void fnRight(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const sqlite3_int64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) {
        resultError(ctx, QStringLiteral("Invalid length parameter passed to the right function."));
        return;
    }
    const QString s = numberText(argv[0]);
    resultText(ctx, n >= s.size() ? s : s.right(qsizetype(n)));
}

void fnReplace(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    QString s = numberText(argv[0]);
    const QString from = numberText(argv[1]);
    if (!from.isEmpty())
        s.replace(from, numberText(argv[2]), Qt::CaseInsensitive);
    resultText(ctx, s);
}

void fnReplicate(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv) || sqlite3_value_int64(argv[1]) < 0) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = numberText(argv[0]);
    const sqlite3_int64 n = sqlite3_value_int64(argv[1]);
    if (n > 8000 || n * std::max<qsizetype>(1, s.size()) > 8000) {
        resultError(ctx, QStringLiteral("replicate: result too long"));
        return;
    }
    resultText(ctx, s.repeated(qsizetype(n)));
}

void fnSpace(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0]) || sqlite3_value_int64(argv[0]) < 0 ||
        sqlite3_value_int64(argv[0]) > 8000) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, QString(qsizetype(sqlite3_value_int64(argv[0])), u' '));
}

void fnStr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const int length = argc > 1 ? sqlite3_value_int(argv[1]) : 10;
    const int decimals = argc > 2 ? std::clamp(sqlite3_value_int(argv[2]), 0, 16) : 0;
    if (length <= 0 || length > 8000) {
        sqlite3_result_null(ctx);
        return;
    }
    const double d = roundDecimal(sqlite3_value_double(argv[0]), decimals, false);
    QString s = QString::number(d, 'f', decimals);
    if (s.size() > length)
        s = QString(length, u'*');
    resultText(ctx, s.rightJustified(length, u' '));
}

void fnRound(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const int digits = sqlite3_value_int(argv[1]);
    const bool truncate = argc > 2 && sqlite3_value_int(argv[2]) != 0;
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        const sqlite3_int64 n = sqlite3_value_int64(argv[0]);
        if (digits >= 0 || digits < -18) {
            sqlite3_result_int64(ctx, digits >= 0 ? n : 0);
            return;
        }
        sqlite3_result_int64(ctx, sqlite3_int64(roundDecimal(double(n), digits, truncate)));
        return;
    }
    if (std::optional<double> d = numericArgument(ctx, argv[0], "numeric"))
        sqlite3_result_double(ctx, roundDecimal(*d, digits, truncate));
}

// FLOOR and CEILING keep integers integers, as SQL Server does for integer arguments.
void fnFloorCeiling(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const bool ceiling = sqlite3_user_data(ctx) != nullptr;
    sqlite3_value* v = argv[0];
    if (isNull(v)) {
        sqlite3_result_null(ctx);
        return;
    }
    if (sqlite3_value_type(v) == SQLITE_INTEGER) {
        sqlite3_result_int64(ctx, sqlite3_value_int64(v));
        return;
    }
    if (std::optional<double> d = numericArgument(ctx, v, "float"))
        sqlite3_result_double(ctx, ceiling ? std::ceil(*d) : std::floor(*d));
}

// The last identity value given out for a table: AUTOINCREMENT keeps it in sqlite_sequence.
// A table that never had a row answers 1 (its seed), an unknown table NULL, as SQL Server.
void fnIdentCurrent(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (isNull(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3* db = sqlite3_context_db_handle(ctx);
    QString name = textOf(argv[0]);
    if (name.startsWith(u'[') && name.endsWith(u']'))
        name = name.mid(1, name.size() - 2);
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot >= 0)
        name = name.mid(dot + 1);
    const QByteArray utf8 = name.toUtf8();
    auto single = [&](const char* sql, sqlite3_int64* out) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            sqlite3_finalize(stmt);
            return false;
        }
        sqlite3_bind_text(stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        const bool found = sqlite3_step(stmt) == SQLITE_ROW;
        if (found)
            *out = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        return found;
    };
    sqlite3_int64 seq = 0;
    if (single("SELECT seq FROM sqlite_sequence WHERE name = ?1 COLLATE NOCASE", &seq) ||
        single("SELECT seq FROM temp.sqlite_sequence WHERE name = ?1 COLLATE NOCASE", &seq)) {
        // A seed other than 1 is written into the table's DDL; below it nothing was given out.
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db,
                               "SELECT sql FROM sqlite_master WHERE name = ?1 COLLATE NOCASE "
                               "UNION ALL SELECT sql FROM sqlite_temp_master WHERE "
                               "name = ?1 COLLATE NOCASE",
                               -1, &stmt, nullptr) == SQLITE_OK) {
            sqlite3_bind_text(stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            if (sqlite3_step(stmt) == SQLITE_ROW) {
                const QString ddl =
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
                const qsizetype at = ddl.indexOf(QLatin1String("/* IDENTITY("));
                if (at >= 0) {
                    const qsizetype from = at + 12;
                    const qint64 seed = ddl.mid(from, ddl.indexOf(u')', from) - from).toLongLong();
                    if (seq < seed)
                        seq = seed;
                }
            }
        }
        sqlite3_finalize(stmt);
        sqlite3_result_int64(ctx, seq);
        return;
    }
    sqlite3_int64 one = 0;
    if (single("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE",
               &one) ||
        single("SELECT 1 FROM sqlite_temp_master WHERE type = 'table' AND name = ?1 "
               "COLLATE NOCASE",
               &one))
        sqlite3_result_int64(ctx, 1);
    else
        sqlite3_result_null(ctx);
}

struct FunctionDef
{
    const char* name;
    int argc;
    void (*fn)(sqlite3_context*, int, sqlite3_value**);
    bool deterministic;
    const void* userData;
};

} // namespace

std::optional<QString> canonicalDateText(const QString& text, bool dateOnly)
{
    const std::optional<QDateTime> dt =
        text.trimmed().isEmpty() ? QDateTime(kBaseDate, QTime(0, 0), Qt::UTC) : parseDateTime(text);
    if (!dt)
        return std::nullopt;
    return dateOnly ? dt->toString(QStringLiteral("yyyy-MM-dd")) : formatDateTime(*dt);
}

double roundToScale(double value, int scale)
{
    return roundDecimal(value, scale, false);
}

void registerTsqlFunctions(sqlite3* db)
{
    // Our translation quotes names with "..."; a misspelt name must fail, not turn into a text.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    // Texts compare as SQL Server's Chinese collation (NOCASE, LIKE, UPPER, LOWER).
    TextCollation::install(db);

    static const char kYear[] = "year";
    static const char kMonth[] = "month";
    static const char kDay[] = "day";
    static const int kCeiling = 1;
    const FunctionDef defs[] = {
        {"tsql_add", 2, fnTsqlAdd, true, nullptr},
        {"charindex", 2, fnCharIndex, true, nullptr},
        {"charindex", 3, fnCharIndex, true, nullptr},
        {"isdate", 1, fnIsDate, true, nullptr},
        {"isnumeric", 1, fnIsNumeric, true, nullptr},
        {"tsql_convert", 2, fnConvert, true, nullptr},
        {"tsql_convert", 3, fnConvert, true, nullptr},
        {"dateadd", 3, fnDateAdd, true, nullptr},
        {"datediff", 3, fnDateDiff, true, nullptr},
        {"datepart", 2, fnDatePartSql, true, nullptr},
        {"year", 1, fnYearMonthDay, true, kYear},
        {"month", 1, fnYearMonthDay, true, kMonth},
        {"day", 1, fnYearMonthDay, true, kDay},
        {"getdate", 0, fnGetDate, false, nullptr},
        {"tsql_right", 2, fnRight, true, nullptr},
        {"tsql_replace", 3, fnReplace, true, nullptr},
        {"tsql_replicate", 2, fnReplicate, true, nullptr},
        {"tsql_space", 1, fnSpace, true, nullptr},
        {"tsql_str", 1, fnStr, true, nullptr},
        {"tsql_str", 2, fnStr, true, nullptr},
        {"tsql_str", 3, fnStr, true, nullptr},
        {"tsql_round", 2, fnRound, true, nullptr},
        {"tsql_round", 3, fnRound, true, nullptr},
        {"floor", 1, fnFloorCeiling, true, nullptr},
        {"ceiling", 1, fnFloorCeiling, true, &kCeiling},
        {"ident_current", 1, fnIdentCurrent, false, nullptr},
        {"tsql_div", 2, fnDivide, true, nullptr},
        {"tsql_div", 3, fnDivide, true, nullptr},
        {"tsql_mod", 2, fnModulo, true, nullptr},
        {"tsql_mod", 3, fnModulo, true, nullptr},
        {"tsql_scale", 2, fnScale, true, nullptr},
        {"tsql_fixed", 2, fnFixed, true, nullptr},
        {"tsql_datetime", 1, fnCanonicalDate, true, nullptr},
        {"tsql_date", 1, fnCanonicalDate, true, &kCeiling}, // any non-null user data: date only
    };
    for (const FunctionDef& def : defs) {
        const int flags = SQLITE_UTF8 | (def.deterministic ? SQLITE_DETERMINISTIC : 0);
        sqlite3_create_function_v2(db, def.name, def.argc, flags, const_cast<void*>(def.userData),
                                   def.fn, nullptr, nullptr, nullptr);
    }
}

} // namespace orvane::db
