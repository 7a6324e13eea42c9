#include "db/valuetext.h"

#include "db/adotypes.h"

#include <QLocale>

#include <charconv>
#include <cmath>

namespace orvane::db::valuetext {

QString formatDouble(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (value == 0)
        return QStringLiteral("0");
    // Shortest round-trip digits in scientific form, e.g. "1.2345e+02".
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    std::string sci(buf, res.ptr);
    const auto ePos = sci.find('e');
    std::string mantissa = sci.substr(0, ePos);
    const int exponent = std::stoi(sci.substr(ePos + 1));
    bool negative = false;
    if (!mantissa.empty() && mantissa[0] == '-') {
        negative = true;
        mantissa.erase(0, 1);
    }
    std::string digits;
    for (char ch : mantissa) {
        if (ch != '.')
            digits += ch;
    }
    if (digits.size() > 20) // never more than 20 significant digits
        digits.resize(20);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out;
    if (exponent < -5 || exponent >= 20) {
        out = digits.substr(0, 1);
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        char expText[16];
        std::snprintf(expText, sizeof expText, "e%c%02d", exponent < 0 ? '-' : '+',
                      std::abs(exponent));
        out += expText;
    } else if (exponent < 0) {
        out = "0." + std::string(size_t(-exponent - 1), '0') + digits;
    } else if (size_t(exponent) + 1 >= digits.size()) {
        out = digits + std::string(size_t(exponent) + 1 - digits.size(), '0');
    } else {
        out = digits.substr(0, size_t(exponent) + 1) + "." + digits.substr(size_t(exponent) + 1);
    }
    if (negative)
        out.insert(out.begin(), '-');
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

QString formatDateTime(const QDateTime& value, const QString& format)
{
    if (!value.isValid())
        return {};
    return formatDateParts(value.date(), value.time(), format);
}

QString formatDateParts(const QDate& date, const QTime& time, const QString& format)
{
    static const QLocale c = QLocale::c();
    QString out;
    out.reserve(format.size() + 8);
    auto two = [&out](int v) {
        out += QLatin1Char(char('0' + (v / 10) % 10));
        out += QLatin1Char(char('0' + v % 10));
    };
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format[i];
        if (ch != QLatin1Char('%') || i + 1 >= format.size()) {
            out += ch;
            continue;
        }
        const QChar d = format[++i];
        switch (d.unicode()) {
        case 'Y':
            out += QString::number(date.year());
            break;
        case 'y':
            two(date.year() % 100);
            break;
        case 'm':
            two(date.month());
            break;
        case 'd':
            two(date.day());
            break;
        case 'H':
            two(time.hour());
            break;
        case 'I':
            two(time.hour() % 12 == 0 ? 12 : time.hour() % 12);
            break;
        case 'M':
            two(time.minute());
            break;
        case 'S':
            two(time.second());
            break;
        case 'p':
            out += time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            break;
        case 'j':
            out += QStringLiteral("%1").arg(date.dayOfYear(), 3, 10, QLatin1Char('0'));
            break;
        case 'b':
            out += c.monthName(date.month(), QLocale::ShortFormat);
            break;
        case 'B':
            out += c.monthName(date.month(), QLocale::LongFormat);
            break;
        case 'a':
            out += c.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            break;
        case 'A':
            out += c.dayName(date.dayOfWeek(), QLocale::LongFormat);
            break;
        case '%':
            out += QLatin1Char('%');
            break;
        default:
            out += QLatin1Char('%');
            out += d;
        }
    }
    return out;
}

namespace {

// Reads exactly `count` digits at `pos`.
bool readNumber(const QString& s, qsizetype& pos, int count, int& out)
{
    out = 0;
    for (int k = 0; k < count; ++k, ++pos) {
        if (pos >= s.size() || !s[pos].isDigit())
            return false;
        out = out * 10 + s[pos].digitValue();
    }
    return true;
}

// Reads one or two digits (for "2024-1-5" as well as "2024-01-05").
bool readShort(const QString& s, qsizetype& pos, int& out)
{
    if (!readNumber(s, pos, 1, out))
        return false;
    if (pos < s.size() && s[pos].isDigit()) {
        out = out * 10 + s[pos].digitValue();
        ++pos;
    }
    return true;
}

} // namespace

QDateTime parseDateTime(const QString& input)
{
    QDate date;
    QTime time;
    if (!parseDateParts(input, date, time))
        return {};
    return QDateTime(date, time);
}

bool parseDateParts(const QString& input, QDate& date, QTime& time)
{
    const QString s = input.trimmed();
    qsizetype pos = 0;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, ms = 0;
    if (!readNumber(s, pos, 4, y))
        return false;
    if (pos >= s.size() || (s[pos] != QLatin1Char('-') && s[pos] != QLatin1Char('/')))
        return false;
    const QChar sep = s[pos++];
    if (!readShort(s, pos, mo) || pos >= s.size() || s[pos] != sep)
        return false;
    ++pos;
    if (!readShort(s, pos, d))
        return false;
    if (pos < s.size()) {
        if (s[pos] != QLatin1Char(' ') && s[pos] != QLatin1Char('T'))
            return false;
        ++pos;
        if (!readShort(s, pos, h) || pos >= s.size() || s[pos] != QLatin1Char(':'))
            return false;
        ++pos;
        if (!readNumber(s, pos, 2, mi))
            return false;
        if (pos < s.size() && s[pos] == QLatin1Char(':')) {
            ++pos;
            if (!readNumber(s, pos, 2, sec))
                return false;
            if (pos < s.size() && s[pos] == QLatin1Char('.')) {
                ++pos;
                int scale = 100;
                while (pos < s.size() && s[pos].isDigit()) {
                    ms += s[pos].digitValue() * scale;
                    scale /= 10;
                    ++pos;
                }
            }
        }
        if (pos != s.size())
            return false;
    }
    date = QDate(y, mo, d);
    time = QTime(h, mi, sec, ms);
    return date.isValid() && time.isValid();
}

namespace {

bool isIntegerType(int t)
{
    return t == adSmallInt || t == adInteger || t == adTinyInt || t == adUnsignedTinyInt ||
           t == adUnsignedSmallInt || t == adUnsignedInt || t == adBigInt || t == adUnsignedBigInt;
}

bool isFloatType(int t)
{
    return t == adSingle || t == adDouble || t == adCurrency || t == adDecimal || t == adNumeric ||
           t == adVarNumeric;
}

// Raw storage kinds of a backend value.
bool isRawInteger(const QVariant& v)
{
    const int id = v.typeId();
    return id == QMetaType::LongLong || id == QMetaType::Int || id == QMetaType::UInt ||
           id == QMetaType::ULongLong || id == QMetaType::Long || id == QMetaType::Short;
}

} // namespace

QVariant toTyped(const QVariant& raw, int adoType, bool* ok)
{
    if (ok)
        *ok = true;
    if (raw.isNull())
        return {};
    const int id = raw.typeId();
    bool good = true;
    QVariant out;
    if (isDateType(adoType)) {
        if (id == QMetaType::QDateTime)
            out = raw;
        else if (id == QMetaType::QDate)
            out = QDateTime(raw.toDate(), QTime(0, 0));
        else if (id == QMetaType::QString) {
            const QDateTime dt = parseDateTime(raw.toString());
            good = dt.isValid();
            out = good ? QVariant(dt) : raw;
        } else {
            good = false;
            out = raw;
        }
    } else if (adoType == adBoolean) {
        if (id == QMetaType::Bool)
            out = raw;
        else if (id == QMetaType::QString) {
            const QString s = raw.toString().trimmed();
            if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                out = true;
            else if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
                out = false;
            else {
                const double v = s.toDouble(&good);
                out = good ? QVariant(v != 0) : raw;
            }
        } else
            out = raw.toDouble() != 0;
    } else if (isIntegerType(adoType)) {
        if (isRawInteger(raw) || id == QMetaType::Bool)
            out = raw.toLongLong();
        else if (id == QMetaType::Double || id == QMetaType::Float) {
            const double v = raw.toDouble();
            // An integer column holding a fraction keeps it (SQLite is not strict about types).
            out = v == std::floor(v) && std::fabs(v) < 9.2e18 ? QVariant(qlonglong(v)) : raw;
        } else if (id == QMetaType::QString) {
            const QString s = raw.toString().trimmed();
            const qlonglong v = s.toLongLong(&good);
            if (good)
                out = v;
            else {
                const double dv = s.toDouble(&good);
                out = good ? QVariant(dv) : raw;
            }
        } else {
            good = false;
            out = raw;
        }
    } else if (isFloatType(adoType)) {
        if (id == QMetaType::QString) {
            const double v = raw.toString().trimmed().toDouble(&good);
            out = good ? QVariant(v) : raw;
        } else if (id == QMetaType::QByteArray) {
            good = false;
            out = raw;
        } else
            out = raw.toDouble();
    } else if (isTextType(adoType)) {
        if (id == QMetaType::QString)
            out = raw;
        else if (id == QMetaType::QByteArray)
            out = QString::fromUtf8(raw.toByteArray());
        else
            out = toText(raw, adVariant, QStringLiteral("%Y-%m-%d %H:%M:%S"), &good);
    } else if (isBinaryType(adoType)) {
        if (id == QMetaType::QByteArray)
            out = raw;
        else if (id == QMetaType::QString)
            out = raw.toString().toUtf8();
        else {
            good = false;
            out = raw;
        }
    } else {
        out = raw; // adVariant and others: keep what the backend gave
    }
    if (ok)
        *ok = good;
    return out;
}

QString toText(const QVariant& raw, int adoType, const QString& dateFormat, bool* ok)
{
    if (ok)
        *ok = true;
    if (raw.isNull())
        return {};
    if (isDateType(adoType) && raw.typeId() == QMetaType::QString) {
        // Dates stored as text are reformatted without building a local-time QDateTime.
        QDate date;
        QTime time;
        if (parseDateParts(raw.toString(), date, time))
            return formatDateParts(date, time, dateFormat);
        return raw.toString();
    }
    if (adoType == adVarWChar && raw.typeId() == QMetaType::QString)
        return raw.toString();
    const QVariant v = adoType == adVariant ? raw : toTyped(raw, adoType);
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString();
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float:
        return formatDouble(v.toDouble());
    case QMetaType::QDateTime:
        return formatDateTime(v.toDateTime(), dateFormat);
    case QMetaType::QDate:
        return formatDateTime(QDateTime(v.toDate(), QTime(0, 0)), dateFormat);
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::Short:
        return QString::number(v.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(v.toULongLong());
    default:
        if (ok)
            *ok = false;
        return {};
    }
}

bool toInt64(const QVariant& raw, int adoType, qint64& out)
{
    out = 0;
    if (raw.isNull())
        return true;
    const QVariant v = toTyped(raw, adoType);
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        out = qint64(v.toDouble());
        return true;
    case QMetaType::QString: {
        bool good = false;
        const QString s = v.toString().trimmed();
        out = s.toLongLong(&good);
        if (!good) {
            const double d = s.toDouble(&good);
            out = good ? qint64(d) : 0;
        }
        return good;
    }
    case QMetaType::QDateTime:
    case QMetaType::QByteArray:
        return false;
    default: {
        bool good = false;
        out = v.toLongLong(&good);
        return good;
    }
    }
}

bool toDouble(const QVariant& raw, int adoType, double& out)
{
    out = 0;
    if (raw.isNull())
        return true;
    const QVariant v = toTyped(raw, adoType);
    if (v.typeId() == QMetaType::QDateTime || v.typeId() == QMetaType::QByteArray)
        return false;
    bool good = false;
    out = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&good)
                                           : v.toDouble(&good);
    if (!good)
        out = 0;
    return good;
}

bool toDateTime(const QVariant& raw, int adoType, QDateTime& out)
{
    out = QDateTime();
    if (raw.isNull())
        return true;
    const QVariant v = toTyped(raw, isDateType(adoType) ? adoType : adDBTimeStamp);
    if (v.typeId() != QMetaType::QDateTime)
        return false;
    out = v.toDateTime();
    return true;
}

int adoTypeOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UInt:
        return adInteger;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long: {
        const qint64 v = value.toLongLong();
        return v >= INT32_MIN && v <= INT32_MAX ? adInteger : adBigInt;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return adDouble;
    case QMetaType::Bool:
        return adBoolean;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        return adDBTimeStamp;
    case QMetaType::QByteArray:
        return adLongVarBinary;
    default:
        return adVarWChar;
    }
}

} // namespace orvane::db::valuetext
