#include "server/schemaupgrade.h"

#include "server/schema.h"

#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/transaction.h"

#include <QDateTime>

#include <functional>
#include <vector>

namespace orvane::server {

namespace {

// Step n turns a version n-1 database into version n (T-SQL, or per-backend DDL through
// DdlWriter). Version 1 is the first delivered layout, so there is no step yet.
struct UpgradeStep
{
    int toVersion;
    QString description;
    std::function<bool(db::CADODatabase&)> apply;
};

const std::vector<UpgradeStep>& upgradeSteps()
{
    static const std::vector<UpgradeStep> steps;
    return steps;
}

} // namespace

int databaseSchemaVersion(db::CADODatabase& database)
{
    db::CADORecordset rs(&database);
    if (!rs.Open(QStringLiteral("SELECT MAX(Version) FROM qp_SchemaVersion")) || rs.IsEOF())
        return 0;
    int version = 0;
    rs.GetFieldValue(0, version);
    return version;
}

bool upgradeDatabase(db::CADODatabase& database, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    const int version = databaseSchemaVersion(database);
    if (version <= 0)
        return fail(QStringLiteral("the database has no schema version"));
    if (version > kSchemaVersion)
        return fail(QStringLiteral("the database has schema version %1; this program knows up to "
                                   "version %2")
                        .arg(version)
                        .arg(kSchemaVersion));
    if (version == kSchemaVersion)
        return true;

    db::Transaction transaction(database);
    if (!transaction.isActive())
        return fail(database.GetErrorDescription());
    for (const auto& step : upgradeSteps()) {
        if (step.toVersion <= version)
            continue;
        QString description = step.description;
        description.replace(QLatin1Char('\''), QStringLiteral("''"));
        if (!step.apply(database) ||
            !database.Execute(QStringLiteral("INSERT INTO qp_SchemaVersion (Version,Applied,Descr) "
                                             "VALUES (%1,'%2','%3')")
                                  .arg(QString::number(step.toVersion),
                                       QDateTime::currentDateTime().toString(
                                           QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                       description)))
            return fail(QStringLiteral("upgrade to version %1 failed: %2")
                            .arg(QString::number(step.toVersion), database.GetErrorDescription()));
    }
    if (!transaction.commit())
        return fail(database.GetErrorDescription());
    return true;
}

} // namespace orvane::server
