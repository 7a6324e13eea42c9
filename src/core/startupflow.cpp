#include "core/startupflow.h"

#include "core/appsettings.h"
#include "core/connectconfig.h"
#include "core/corvaneapp.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace orvane::core {

StartupFlow::StartupFlow(COrvaneApp& app) : m_app(app) {}

bool StartupFlow::installTranslations()
{
    auto* app = QCoreApplication::instance();
    if (!app)
        return false;
    auto* translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

int StartupFlow::readRecentDays(db::CADODatabase& database)
{
    db::CADORecordset rs(&database);
    if (!rs.Open(QStringLiteral("SELECT TOP 1 sContent FROM qp_SysOption WHERE nType=2")) ||
        rs.IsEOF())
        return 0;
    QString text;
    rs.GetFieldValue(0, text);
    return leadingInt(text);
}

bool StartupFlow::run()
{
    installTranslations();
    m_look = m_app.settings().applicationLook();

    if (!ConnectConfig::read(m_app.iniPath()) && runConnectDialog)
        runConnectDialog();

    if (!runLogin || !runLogin())
        return false;

    m_app.setRecentDays(readRecentDays(m_app.database()));

    if (createMainFrame && !createMainFrame())
        return false;
    return true;
}

} // namespace orvane::core
