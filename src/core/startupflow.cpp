#include "core/startupflow.h"

#include "core/appsettings.h"
#include "core/corvaneapp.h"
#include "core/fallbacktranslator.h"
#include "core/systemlog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace orvane::core {

StartupFlow::StartupFlow(COrvaneApp& app) : m_app(app) {}

bool StartupFlow::installTranslations()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China));
    auto* app = QCoreApplication::instance();
    if (!app)
        return false;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool loaded = false;
    // qt_zh_CN bundles qtbase with the other modules' texts; qtbase alone is the fallback.
    for (const char* name : {"qt_zh_CN", "qtbase_zh_CN"}) {
        auto* translator = new QTranslator(app);
        if (translator->load(QString::fromLatin1(name), folder) &&
            QCoreApplication::installTranslator(translator)) {
            loaded = true;
            break;
        }
        delete translator;
    }
    if (loaded)
        QCoreApplication::installTranslator(new FallbackTranslator(app));
    return loaded;
}

void StartupFlow::preferChineseSystemLocale()
{
    // Qt reads the system locale (dates in file dialogs and views) from these variables when
    // the application starts; numbers keep '.' as the decimal point in zh_CN as well.
    if (!qEnvironmentVariable("LC_ALL").startsWith(QLatin1String("zh_CN")))
        qputenv("LC_ALL", "zh_CN.UTF-8");
}

bool StartupFlow::run()
{
    installTranslations();
    m_look = m_app.settings().applicationLook();
    if (applyLook)
        applyLook(m_look);

    if (!runLogin || !runLogin())
        return false;

    m_app.setRecentDays(readRecentDays(m_app.database()));

    if (createMainFrame && !createMainFrame())
        return false;
    return true;
}

} // namespace orvane::core
