#include "adminsession.h"

#include "core/appsettings.h"
#include "core/catalog.h"
#include "core/systemlog.h"
#include "server/coreprocedures.h"

#include <QDir>

namespace orvane::admin {

AdminSession::AdminSession(const QStringList& args, const QStringList& flags)
    : m_db(std::make_shared<db::CADODatabase>())
{
    QString file;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg.startsWith(QLatin1String("--"))) {
            const QString name = arg.mid(2);
            if (flags.contains(name)) {
                m_options[name] = QStringLiteral("1");
            } else if (i + 1 < args.size()) {
                m_options[name] = args.at(++i);
            } else {
                m_error = QStringLiteral("option %1 needs a value").arg(arg);
                return;
            }
        } else if (file.isEmpty()) {
            file = arg;
        } else {
            m_error = QStringLiteral("unexpected argument '%1'").arg(arg);
            return;
        }
    }
    if (file.isEmpty()) {
        m_error = QStringLiteral("no database file given");
        return;
    }
    server::registerCoreProcedures();
    if (!m_db->Open(file)) {
        m_error = m_db->GetLastErrorString();
        return;
    }
    m_app = std::make_unique<core::COrvaneApp>(
        QString(), std::make_unique<core::AppSettings>(
                       QDir::temp().filePath(QStringLiteral("orvane-admin.ini"))));
    m_app->setDatabase(m_db);
    core::OperatorRecord admin;
    admin.UserID = core::Catalog(*m_db).integer(
        QStringLiteral("SELECT UserID FROM qp_Users WHERE UserName='admin'"));
    admin.UserName = QStringLiteral("admin");
    admin.ISuper = true;
    m_app->setCurrentOperator(admin);
    m_app->setRecentDays(core::readRecentDays(*m_db));
}

QString AdminSession::option(const QString& name) const
{
    const auto it = m_options.find(name);
    return it == m_options.end() ? QString() : it->second;
}

int AdminSession::number(const QString& name, std::optional<int> fallback)
{
    if (!has(name)) {
        if (fallback)
            return *fallback;
        if (m_error.isEmpty())
            m_error = QStringLiteral("option --%1 is required").arg(name);
        return 0;
    }
    bool ok = false;
    const int value = option(name).toInt(&ok);
    if (!ok && m_error.isEmpty())
        m_error = QStringLiteral("option --%1 needs a number").arg(name);
    return value;
}

} // namespace orvane::admin
