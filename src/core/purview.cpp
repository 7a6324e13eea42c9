#include "core/purview.h"

#include <QStringList>

namespace orvane::core {

Purview Purview::parse(const QString& text)
{
    Purview result;
    const QStringList parts = text.split(QLatin1Char('|'));
    bool ok = false;
    const quint64 mask = parts.value(0).trimmed().toULongLong(&ok, 16);
    result.rightsMask = ok ? mask : 0;
    result.categories = parts.value(1);
    result.departments = parts.value(2);
    result.wageSorts = parts.value(3);
    return result;
}

QString Purview::toString() const
{
    return QString::number(rightsMask, 16) + QLatin1Char('|') + categories + QLatin1Char('|')
           + departments + QLatin1Char('|') + wageSorts;
}

bool keyInList(const QString& list, int key)
{
    const QString wrapped = QLatin1Char(',') + list + QLatin1Char(',');
    return wrapped.contains(QStringLiteral(",%1,").arg(key));
}

QString joinKeys(const QList<int>& keys)
{
    QStringList parts;
    parts.reserve(keys.size());
    for (int key : keys)
        parts << QString::number(key);
    return parts.join(QLatin1Char(','));
}

} // namespace orvane::core
