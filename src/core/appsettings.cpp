#include "core/appsettings.h"

#include <QSettings>

namespace orvane::core {

namespace {
QString key(const char* name)
{
    return QStringLiteral("Settings/") + QLatin1String(name);
}
} // namespace

AppSettings::AppSettings()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("TalverySoft"),
                                             QStringLiteral("Orvane")))
{
}

AppSettings::AppSettings(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

AppSettings::~AppSettings() = default;

int AppSettings::intValue(const char* name, int defaultValue) const
{
    const QVariant v = m_settings->value(key(name));
    if (!v.isValid())
        return defaultValue;
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    return ok ? n : defaultValue;
}

QString AppSettings::textValue(const char* name, const QString& defaultValue) const
{
    return m_settings->value(key(name), defaultValue).toString();
}

void AppSettings::setValue(const char* name, const QVariant& value)
{
    m_settings->setValue(key(name), value);
}

void AppSettings::sync()
{
    m_settings->sync();
}

} // namespace orvane::core
