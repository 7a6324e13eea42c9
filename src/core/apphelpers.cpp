#include "core/apphelpers.h"

#include "core/prompter.h"

#include "db/excelexport.h"

#include <QDir>

#include <cerrno>
#include <cstdarg>
#include <cstring>

namespace orvane::core {

namespace {
constexpr qsizetype kErrorBoxMaxLength = 1022;

int hexPair(const QString& text, qsizetype at)
{
    bool ok = false;
    const int value = text.mid(at, 2).toInt(&ok, 16);
    return ok && text[at].isLetterOrNumber() && text[at + 1].isLetterOrNumber() ? value : -1;
}
} // namespace

QString monthText(int fDate)
{
    return QString::asprintf("%d年%02d月", fDate / 100, fDate % 100);
}

QString colorText(int colorValue)
{
    return QString::asprintf("%.2x%.2x%.2x", colorValue & 0xff, (colorValue >> 8) & 0xff,
                             (colorValue >> 16) & 0xff);
}

int parseColorText(const QString& text)
{
    if (text.size() != 7 || text[0] != QLatin1Char('#'))
        return -1;
    const int red = hexPair(text, 1);
    const int green = hexPair(text, 3);
    const int blue = hexPair(text, 5);
    if (red < 0 || green < 0 || blue < 0)
        return -1;
    return red + green * 256 + blue * 65536;
}

bool isNumberText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    int dots = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
            if (i != 0)
                return false;
        } else if (c == QLatin1Char('.')) {
            if (++dots > 1)
                return false;
        } else if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

int splitText(const QString& text, QChar delimiter, QStringList& parts)
{
    parts.clear();
    if (!text.isEmpty())
        parts = text.split(delimiter, Qt::KeepEmptyParts);
    return int(parts.size());
}

bool pairBalanced(const QString& text, QChar open, QChar close)
{
    return text.count(open) == text.count(close);
}

QString askExportPath(Prompter& prompter)
{
    QString path =
        prompter.saveFileName(QStringLiteral("导出"), QString(), db::excelExportFilter());
    if (path.isEmpty())
        return path;
    path.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return db::excelExportPath(QDir::cleanPath(QDir::fromNativeSeparators(path)));
}

void errorBox(Prompter& prompter, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    QString text = QString::vasprintf(format, args);
    va_end(args);
    text.truncate(kErrorBoxMaxLength);
    prompter.message(text, promptCaption(), Prompter::Icon::Error);
}

QString systemErrorText(const QString& operation, int errorNumber)
{
    return QStringLiteral("%1 failed with error %2: %3")
        .arg(operation)
        .arg(errorNumber)
        .arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
}

void systemErrorBox(Prompter& prompter, const QString& operation)
{
    const int error = errno;
    prompter.message(systemErrorText(operation, error), QStringLiteral("Error"),
                     Prompter::Icon::Error);
}

} // namespace orvane::core
