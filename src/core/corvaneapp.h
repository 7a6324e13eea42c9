#pragma once

#include "core/appsettings.h"
#include "core/purview.h"

#include <QString>

#include <memory>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::core {

// The logged-in operator, read from qp_Users at login.
struct OperatorRecord
{
    int UserID = 0;
    QString UserName; // as stored in the database
    QString Pwd;      // 32 upper-case hex digits, or empty
    bool ISuper = false;
    bool Locked = false;
    Purview purview; // rights mask and the three permitted key lists
    // Derived at login: every category / department is in the permitted list (always for ISuper).
    bool allCategories = false;
    bool allDepartments = false;

    bool isValid() const { return UserID != 0; }
};

// Sets the derived flags allCategories / allDepartments: true for a super user, otherwise true
// when every category (department) key occurs in the permitted list. A failing query gives false.
void fillPermittedFlags(db::CADODatabase& database, OperatorRecord& record);

// Integer value of a text as the C library reads it: leading blanks, an optional sign, then
// digits up to the first other character; 0 when there are none.
int leadingInt(const QString& text);

// The run's shared state: configuration, the one database connection, the logged-in operator and
// the log retention. One instance per run, handed explicitly to every workflow.
class COrvaneApp
{
public:
    // programFolder: where hr.ini lives; empty means the folder of the running executable.
    // settings: the registry section to use; null means the user's "TalverySoft/Orvane" profile.
    explicit COrvaneApp(const QString& programFolder = QString(),
                        std::unique_ptr<AppSettings> settings = nullptr);
    ~COrvaneApp();
    COrvaneApp(const COrvaneApp&) = delete;
    COrvaneApp& operator=(const COrvaneApp&) = delete;

    // Folder of the program without a trailing separator, and "<folder>/hr.ini" in it.
    QString programFolder() const { return m_programFolder; }
    QString iniPath() const;

    AppSettings& settings() { return *m_settings; }

    // Connection string built at login from hr.ini; kept for reconnecting.
    QString connectionString() const { return m_connectionString; }
    void setConnectionString(const QString& text) { m_connectionString = text; }

    // The one shared database connection (created on first use, open or not).
    db::CADODatabase& database();
    // Replaces the shared connection (tests, or a backend chosen elsewhere).
    void setDatabase(std::shared_ptr<db::CADODatabase> database);

    const OperatorRecord& currentOperator() const { return m_operator; }
    OperatorRecord& currentOperator() { return m_operator; }
    void setCurrentOperator(const OperatorRecord& record) { m_operator = record; }
    bool isLoggedIn() const { return m_operator.isValid(); }

    // Days the operation log keeps; 60 until start-up reads qp_SysOption. <= 0 disables logging.
    int recentDays() const { return m_recentDays; }
    void setRecentDays(int days) { m_recentDays = days; }

    // Product title shown in captions.
    static QString productTitle();

private:
    QString m_programFolder;
    std::unique_ptr<AppSettings> m_settings;
    QString m_connectionString;
    std::shared_ptr<db::CADODatabase> m_database;
    OperatorRecord m_operator;
    int m_recentDays = 60;
};

} // namespace orvane::core
