#include "db/cadoparameter.h"

#include "db/adoerror.h"
#include "db/valuetext.h"

namespace orvane::db {

struct CADOParameter::Data
{
    int type = adInteger;
    qint64 size = 0;
    int direction = adParamInput;
    QString name;
    QVariant value;
    QString lastError;
};

CADOParameter::CADOParameter(int type, qint64 size, int direction, const QString& name)
    : d(std::make_shared<Data>())
{
    d->type = type;
    d->size = size;
    d->direction = direction;
    d->name = name;
}

QString CADOParameter::GetName() const
{
    return d->name;
}
void CADOParameter::SetName(const QString& name)
{
    d->name = name;
}
int CADOParameter::GetType() const
{
    return d->type;
}
int CADOParameter::GetDirection() const
{
    return d->direction;
}
qint64 CADOParameter::GetSize() const
{
    return d->size;
}
void CADOParameter::SetSize(qint64 size)
{
    d->size = size;
}

bool CADOParameter::SetValue(const QVariant& value)
{
    d->lastError.clear();
    if (value.isNull()) {
        d->value = QVariant();
        return true;
    }
    // Keep the value in the parameter's own type, as the provider would convert it.
    bool ok = true;
    const QVariant typed = valuetext::toTyped(value, d->type, &ok);
    if (!ok) {
        d->lastError =
            formatAdoError(QStringLiteral("CADOParameter"), 0x80020005u, QStringLiteral("Orvane"),
                           QStringLiteral("The value does not convert to the type of "
                                          "parameter %1")
                               .arg(d->name));
        return false;
    }
    d->value = typed;
    return true;
}

bool CADOParameter::SetValue(int value)
{
    return SetValue(QVariant(qlonglong(value)));
}
bool CADOParameter::SetValue(qint64 value)
{
    return SetValue(QVariant(qlonglong(value)));
}
bool CADOParameter::SetValue(double value)
{
    return SetValue(QVariant(value));
}
bool CADOParameter::SetValue(bool value)
{
    return SetValue(QVariant(value));
}
bool CADOParameter::SetValue(const QString& value)
{
    return SetValue(QVariant(value));
}
bool CADOParameter::SetValue(const char* value)
{
    return SetValue(QString::fromUtf8(value));
}
bool CADOParameter::SetValue(const QDateTime& value)
{
    return SetValue(QVariant(value));
}

bool CADOParameter::GetValue(int& value)
{
    qint64 wide = 0;
    const bool ok = valuetext::toInt64(d->value, d->type, wide);
    value = int(wide);
    return ok;
}

bool CADOParameter::GetValue(qint64& value)
{
    return valuetext::toInt64(d->value, d->type, value);
}

bool CADOParameter::GetValue(double& value)
{
    return valuetext::toDouble(d->value, d->type, value);
}

bool CADOParameter::GetValue(QDateTime& value)
{
    return valuetext::toDateTime(d->value, d->type, value);
}

bool CADOParameter::GetValue(QString& value, const QString& dateFormat)
{
    bool ok = true;
    value = valuetext::toText(d->value, d->type, dateFormat, &ok);
    return ok;
}

QVariant CADOParameter::GetValue() const
{
    return d->value;
}

QString CADOParameter::GetLastErrorString() const
{
    return d->lastError;
}

} // namespace orvane::db
