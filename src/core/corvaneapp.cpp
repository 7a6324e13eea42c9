#include "core/corvaneapp.h"

#include "core/appsettings.h"

#include <QCoreApplication>
#include <QDir>

namespace orvane::core {

COrvaneApp::COrvaneApp(const QString& programFolder, std::unique_ptr<AppSettings> settings)
    : m_programFolder(programFolder), m_settings(std::move(settings))
{
    if (m_programFolder.isEmpty() && QCoreApplication::instance())
        m_programFolder = QCoreApplication::applicationDirPath();
    while (m_programFolder.size() > 1 && (m_programFolder.endsWith(QLatin1Char('/'))
                                          || m_programFolder.endsWith(QLatin1Char('\\'))))
        m_programFolder.chop(1);
    if (!m_settings)
        m_settings = std::make_unique<AppSettings>();
}

COrvaneApp::~COrvaneApp() = default;

QString COrvaneApp::iniPath() const
{
    return m_programFolder + QStringLiteral("/hr.ini");
}

void COrvaneApp::setDatabase(std::shared_ptr<db::CADODatabase> database)
{
    m_database = std::move(database);
}

QString COrvaneApp::productTitle()
{
    return QStringLiteral("Orvane 人事薪资管理系统");
}

} // namespace orvane::core
