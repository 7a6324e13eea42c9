#include "testutil/testdatabase.h"

#include "db/cadorecordset.h"
#include "server/coreprocedures.h"
#include "server/databasecreator.h"
#include "testutil/testbackend.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <mutex>

namespace orvane::testutil {

namespace {

// The seeded database every test copies: a file on SQLite, a database on the PostgreSQL test
// server (dropped when the process ends).
struct Template
{
    QTemporaryDir dir;
    QString path;       // the file, or the server database's name
    QString connection; // what server::createDatabase and CADODatabase::Open take
    QString error;

    ~Template()
    {
        if (onPostgres() && !path.isEmpty())
            pgadmin::dropDatabase(path);
    }
};

Template& sharedTemplate()
{
    static Template t;
    static std::once_flag once;
    std::call_once(once, [] {
        if (!t.dir.isValid()) {
            t.error = QStringLiteral("cannot create a temporary folder");
            return;
        }
        if (onPostgres()) {
            const QString name = pgadmin::uniqueName(QStringLiteral("tpl"));
            const QString connection = postgresConnection(name);
            if (server::createDatabase(connection, &t.error)) {
                t.path = name;
                t.connection = connection;
            } else {
                pgadmin::dropDatabase(name);
            }
            return;
        }
        const QString path = t.dir.filePath(QStringLiteral("template.db"));
        if (server::createDatabase(path, &t.error)) {
            t.path = path;
            t.connection = path;
        }
    });
    return t;
}

} // namespace

QString TestDatabase::templatePath(QString* error)
{
    const Template& t = sharedTemplate();
    if (error)
        *error = t.error;
    return t.path;
}

TestDatabase::TestDatabase()
{
    static std::atomic<int> counter{0};
    server::registerCoreProcedures();
    const QString source = templatePath(&m_error);
    if (source.isEmpty())
        return;
    if (onPostgres()) {
        m_server = std::make_unique<ScratchDatabase>(QString(), source);
        m_path = m_server->connection();
        if (!m_server->error().isEmpty())
            m_error = m_server->error();
        else if (!m_db.Open(m_path))
            m_error = m_db.GetLastErrorString();
        return;
    }
    m_path = QDir(sharedTemplate().dir.path()).filePath(QStringLiteral("test%1.db").arg(++counter));
    QFile::remove(m_path);
    if (!QFile::copy(source, m_path)) {
        m_error = QStringLiteral("cannot copy the template database to %1").arg(m_path);
        return;
    }
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    if (!m_db.Open(m_path))
        m_error = m_db.GetLastErrorString();
}

QString TestDatabase::scalar(const QString& tsql, const QString& missing)
{
    db::CADORecordset rs(&m_db);
    if (!rs.Open(tsql) || rs.IsEOF())
        return missing;
    QString value;
    rs.GetFieldValue(0, value);
    return value;
}

TestDatabase::~TestDatabase()
{
    m_db.Close();
    if (m_server) {
        m_server.reset();
        return;
    }
    if (!m_path.isEmpty()) {
        QFile::remove(m_path);
        QFile::remove(m_path + QStringLiteral("-wal"));
        QFile::remove(m_path + QStringLiteral("-shm"));
    }
}

} // namespace orvane::testutil
