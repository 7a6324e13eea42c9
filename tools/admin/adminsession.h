#pragma once

#include "core/corvaneapp.h"
#include "db/cadodatabase.h"

#include <QString>
#include <QStringList>

#include <map>
#include <memory>

namespace orvane::admin {

// A batch job's run: the database opened through the data access layer, an application object
// logged in as the delivered super operator (so the job writes the client's log lines), and the
// "--name value" options of the command line.
class AdminSession
{
public:
    // Parses `args` (FILE first, then "--name value" pairs or the flags in `flags`) and opens the
    // database. On failure error() tells why.
    AdminSession(const QStringList& args, const QStringList& flags = {});

    bool ok() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    core::COrvaneApp& app() { return *m_app; }
    db::CADODatabase& db() { return *m_db; }

    bool has(const QString& name) const { return m_options.count(name) > 0; }
    QString option(const QString& name) const;
    // An integer option; sets error() when missing or not a number (unless it has `fallback`).
    int number(const QString& name, std::optional<int> fallback = std::nullopt);

private:
    QString m_error;
    std::map<QString, QString> m_options;
    std::shared_ptr<db::CADODatabase> m_db;
    std::unique_ptr<core::COrvaneApp> m_app;
};

} // namespace orvane::admin
