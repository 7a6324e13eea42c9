#include "personnel/psnnumberrule.h"

#include <QStringList>

namespace orvane::personnel {

bool PsnNumberRule::parse(const QString& text, PsnNumberRule& rule)
{
    const QStringList parts = text.split(QLatin1Char('|'));
    if (parts.size() != 3)
        return false;
    const int mode = parts[0].trimmed().toInt();
    rule.mode = mode >= Sequence && mode <= Typed ? mode : Sequence;
    rule.length = qBound(0, parts[1].trimmed().toInt(), 50);
    rule.prefix = parts[2];
    return true;
}

QString PsnNumberRule::sequence(int lastIdentity) const
{
    return QString::number(qint64(lastIdentity) + 1).rightJustified(length, QLatin1Char('0'));
}

QString PsnNumberRule::compose(int lastIdentity, const QString& departmentPrefix,
                               const QString& typed) const
{
    switch (mode) {
    case FixedPrefix:
        return prefix + sequence(lastIdentity);
    case DepartmentPrefix:
        return departmentPrefix + sequence(lastIdentity);
    case Typed:
        return typed;
    default:
        return sequence(lastIdentity);
    }
}

} // namespace orvane::personnel
