#include "core/inifile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace orvane::core {

namespace {

QStringList readLines(const QString& path, bool* ok)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *ok = false;
        return {};
    }
    *ok = true;
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The section name when `line` is a section header ("[name]"), else a null text.
QString sectionOf(const QString& line)
{
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return QString();
}

bool isKeyLine(const QString& line, const QString& key, QString* value)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0 || line.trimmed().startsWith(QLatin1Char(';')))
        return false;
    if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return true;
}

} // namespace

QString IniFile::read(const QString& path, const QString& section, const QString& key,
                      const QString& defaultValue)
{
    bool ok = false;
    const QStringList lines = readLines(path, &ok);
    bool inSection = false;
    for (const QString& line : lines) {
        const QString name = sectionOf(line);
        if (!name.isNull()) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection && isKeyLine(line, key, &value))
            return value;
    }
    return defaultValue.trimmed();
}

bool IniFile::write(const QString& path, const QString& section, const QString& key,
                    const QString& value, QString* error)
{
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')) ||
        key.contains(QLatin1Char('=')) || key.trimmed().isEmpty()) {
        if (error)
            *error = QStringLiteral("a profile value must be one line under a plain key");
        return false;
    }
    bool exists = false;
    QStringList lines = readLines(path, &exists);
    const QString entry = key + QLatin1Char('=') + value;
    int sectionAt = -1;
    int insertAt = -1;
    bool done = false;
    for (int i = 0; i < lines.size() && !done; ++i) {
        const QString name = sectionOf(lines[i]);
        if (!name.isNull()) {
            if (sectionAt >= 0)
                break; // the next section begins: the key was not in ours
            if (name.compare(section, Qt::CaseInsensitive) == 0) {
                sectionAt = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (sectionAt < 0)
            continue;
        if (isKeyLine(lines[i], key, nullptr)) {
            lines[i] = entry;
            done = true;
        } else if (!lines[i].trimmed().isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (!done) {
        if (sectionAt >= 0) {
            lines.insert(insertAt, entry);
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines << QString();
            lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
        }
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write((lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")).toUtf8());
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace orvane::core
