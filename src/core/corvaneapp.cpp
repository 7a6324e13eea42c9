#include "core/corvaneapp.h"

#include "core/appsettings.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

#include <QCoreApplication>
#include <QDir>

#include <limits>

namespace orvane::core {

COrvaneApp::COrvaneApp(const QString& programFolder, std::unique_ptr<AppSettings> settings)
    : m_programFolder(programFolder), m_settings(std::move(settings))
{
    if (m_programFolder.isEmpty() && QCoreApplication::instance())
        m_programFolder = QCoreApplication::applicationDirPath();
    while (m_programFolder.size() > 1 && (m_programFolder.endsWith(QLatin1Char('/')) ||
                                          m_programFolder.endsWith(QLatin1Char('\\'))))
        m_programFolder.chop(1);
    if (!m_settings)
        m_settings = std::make_unique<AppSettings>();
}

COrvaneApp::~COrvaneApp() = default;

QString COrvaneApp::iniPath() const
{
    return m_programFolder + QStringLiteral("/hr.ini");
}

db::CADODatabase& COrvaneApp::database()
{
    if (!m_database)
        m_database = std::make_shared<db::CADODatabase>();
    return *m_database;
}

void COrvaneApp::setDatabase(std::shared_ptr<db::CADODatabase> database)
{
    m_database = std::move(database);
}

QString COrvaneApp::productTitle()
{
    return QStringLiteral("Orvane 人事薪资管理系统");
}

namespace {
// True when every key the query lists is in the permitted list.
bool allKeysIn(db::CADODatabase& database, const QString& sql, const QString& list)
{
    db::CADORecordset rs(&database);
    if (!rs.Open(sql))
        return false;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        int key = 0;
        rs.GetFieldValue(0, key);
        if (!keyInList(list, key))
            return false;
    }
    return true;
}
} // namespace

void fillPermittedFlags(db::CADODatabase& database, OperatorRecord& record)
{
    if (record.ISuper) {
        record.allCategories = record.allDepartments = true;
        return;
    }
    record.allCategories =
        allKeysIn(database, QStringLiteral("SELECT AID FROM qp_PsnSort ORDER BY Ord"),
                  record.purview.categories);
    record.allDepartments =
        allKeysIn(database, QStringLiteral("SELECT DID FROM qp_Dept ORDER BY Ord"),
                  record.purview.departments);
}

int leadingInt(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > std::numeric_limits<int>::max())
            return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return int(negative ? -value : value);
}

} // namespace orvane::core
