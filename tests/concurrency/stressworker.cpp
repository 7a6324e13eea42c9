#include "stressworker.h"

#include "core/appsettings.h"
#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/systemlog.h"
#include "core/unattendedprompter.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/sqlitebackend.h"
#include "payroll/cdlgwageitemset.h"
#include "payroll/cdlgwagetablenew.h"
#if ORVANE_HAVE_WAGECALC
#include "payroll/wagecalc.h"
#endif
#include "payroll/wagescriptsession.h"
#include "personnel/cviewpsn.h"
#include "server/coreprocedures.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTextStream>
#include <QThread>

#include <map>
#include <memory>

namespace orvane::concurrency {

int fieldInt(db::CADORecordset& rs, int index)
{
    int value = 0;
    rs.GetFieldValue(index, value);
    return value;
}

double fieldDouble(db::CADORecordset& rs, int index)
{
    double value = 0;
    rs.GetFieldValue(index, value);
    return value;
}

QString fieldText(db::CADORecordset& rs, int index)
{
    QString value;
    rs.GetFieldValue(index, value);
    return value;
}

QString deletedRowText()
{
    return core::Catalog::deletedRowMessage();
}

QString busyText()
{
    return QStringLiteral("数据库正被其他工作站占用");
}

QStringList StressSetup::toArguments() const
{
    return {QStringLiteral("--db"),         connection,
            QStringLiteral("--sort"),       QString::number(sortId),
            QStringLiteral("--table"),      dataTable,
            QStringLiteral("--month"),      QString::number(month),
            QStringLiteral("--add-item"),   addItem,
            QStringLiteral("--set-item"),   setItem,
            QStringLiteral("--new-months"), QString::number(firstNewMonth)};
}

StressSetup StressSetup::fromArguments(const QStringList& args, QString* error)
{
    StressSetup s;
    std::map<QString, QString> values;
    for (qsizetype i = 0; i + 1 < args.size(); i += 2)
        values[args.at(i)] = args.at(i + 1);
    const auto text = [&](const char* name) { return values[QString::fromLatin1(name)]; };
    s.connection = text("--db");
    s.sortId = text("--sort").toInt();
    s.dataTable = text("--table");
    s.month = text("--month").toInt();
    s.addItem = text("--add-item");
    s.setItem = text("--set-item");
    s.firstNewMonth = text("--new-months").toInt();
    if (s.connection.isEmpty() || s.sortId <= 0 || s.dataTable.isEmpty() || s.month <= 0 ||
        s.addItem.isEmpty() || s.setItem.isEmpty() || s.firstNewMonth <= 0)
        *error = QStringLiteral("incomplete worker arguments: ") + args.join(QLatin1Char(' '));
    return s;
}

namespace {

// Answers every question with Yes and sorts the messages shown into the conflicts the workflows
// report (row deleted by another operator, month or item already there), lock waits that ran
// out, and anything else, which is an error.
class CountingPrompter : public core::UnattendedPrompter
{
public:
    int deleted = 0;
    int duplicates = 0;
    int busy = 0;
    int errors = 0;
    QStringList errorTexts;
    QString last;

    void message(const QString& text, const QString&, Icon) override
    {
        last = text;
        if (text.contains(deletedRowText()) || text.contains(QStringLiteral("被删除")))
            ++deleted;
        else if (text.contains(busyText()))
            ++busy;
        else if (text.contains(QStringLiteral("已存在")) || text.contains(QStringLiteral("重复")))
            ++duplicates;
        else {
            ++errors;
            if (errorTexts.size() < 5)
                errorTexts << text.left(300);
        }
    }
    Answer askYesNo(const QString&, const QString&, Icon, Answer) override { return Answer::Yes; }
    Answer askYesNoCancel(const QString&, const QString&, Icon, Answer) override
    {
        return Answer::Yes;
    }
    Answer retryCancel(const QString&, const QString&, Icon) override { return Answer::Cancel; }
    Answer okCancel(const QString&, const QString&, Icon) override { return Answer::Ok; }
};

class Worker
{
public:
    Worker(const StressSetup& setup, StressRole role, int index, QTextStream& log)
        : m_setup(setup), m_role(role), m_index(index), m_log(log),
          m_random(quint32(index * 7919 + 17))
    {
    }

    int run(int seconds)
    {
        server::registerCoreProcedures();
        m_db = std::make_shared<db::CADODatabase>();
        if (!m_db->Open(m_setup.connection)) {
            m_log << "#error\t" << m_db->GetLastErrorString().simplified() << '\n';
            return 1;
        }
        // A short lock wait, so that waits which run out happen and are seen to be reported.
        if (auto* sqlite = dynamic_cast<db::SqliteBackend*>(m_db->backend()))
            sqlite->setBusyTimeout(kBusyMs);
        m_app = std::make_unique<core::COrvaneApp>(
            QString(), std::make_unique<core::AppSettings>(
                           QDir::temp().filePath(QStringLiteral("orvane-concurrency-%1.ini")
                                                     .arg(QCoreApplication::applicationPid()))));
        m_app->setDatabase(m_db);
        core::OperatorRecord admin;
        admin.UserID = core::Catalog(*m_db).integer(
            QStringLiteral("SELECT UserID FROM qp_Users WHERE UserName='admin'"));
        admin.UserName = QStringLiteral("admin");
        admin.ISuper = true;
        m_app->setCurrentOperator(admin);
        m_app->setRecentDays(core::readRecentDays(*m_db));
        m_view = std::make_unique<personnel::CViewPsn>(*m_app, m_prompter);
        m_view->setNavigation(0, 0);
        m_view->refresh();
        m_addressColumn = columnOf(QStringLiteral("Address"));
        loadMonthPersons();
        m_nextMonth = m_setup.firstNewMonth;

        const QDeadlineTimer deadline(qint64(seconds) * 1000);
        const QDeadlineTimer holdAt(qint64(seconds) * 1000 / 3);
        bool held = false;
        while (!deadline.hasExpired()) {
            if (m_role == StressRole::RecalcMonths && !held && holdAt.hasExpired()) {
                holdWriteLock();
                held = true;
            }
            step();
            ++m_operations;
        }
        m_log << "#stats\toperations=" << m_operations << "\tchanges=" << m_changes
              << "\tdeleted_conflicts=" << m_prompter.deleted
              << "\tduplicate_conflicts=" << m_prompter.duplicates
              << "\tbusy=" << m_prompter.busy + m_busy
              << "\terrors=" << m_prompter.errors + m_errors << "\tcalculations=" << m_calculations
              << '\n';
        for (const QString& e : m_prompter.errorTexts + m_errorTexts)
            m_log << "#errortext\t" << e.simplified() << '\n';
        m_log.flush();
        m_view.reset();
        m_app.reset();
        m_db->Close();
        return 0;
    }

private:
    void step()
    {
        const int dice = int(m_random.bounded(100));
        switch (m_role) {
        case StressRole::Editor:
            dice < 40 ? editPerson() : dice < 75 ? addToCell() : setCell();
            break;
        case StressRole::EditorDeleter:
            dice < 2    ? deletePerson()
            : dice < 45 ? editPerson()
            : dice < 75 ? addToCell()
                        : setCell();
            break;
        case StressRole::MonthsItems:
            dice < 10 ? createMonth() : dice < 14 ? addItem() : addToCell();
            break;
        case StressRole::RecalcMonths:
            dice < 10   ? recalculate()
            : dice < 20 ? createMonth()
            : dice < 24 ? addItem()
                        : addToCell();
            break;
        }
    }

    int columnOf(const QString& field) const
    {
        const auto& columns = m_view->columns();
        for (int c = 0; c < columns.size(); ++c) {
            if (columns.at(c).field.compare(field, Qt::CaseInsensitive) == 0)
                return c;
        }
        return -1;
    }

    void loadMonthPersons()
    {
        db::CADORecordset rs(m_db.get());
        if (!rs.Open(QStringLiteral("SELECT PID FROM [%1] WHERE fDate=%2 ORDER BY PID")
                         .arg(m_setup.dataTable)
                         .arg(m_setup.month)))
            return;
        for (; !rs.IsEOF(); rs.MoveNext())
            m_monthPersons << fieldInt(rs, 0);
    }

    // Address of a listed person through the view's in-place editing (row exists check, write,
    // log line). The list is refreshed as an operator would after message 133.
    void editPerson()
    {
        if (m_view->rowCount() == 0 || m_addressColumn < 0 || (m_operations % 25) == 0)
            m_view->refresh();
        if (m_view->rowCount() == 0 || m_addressColumn < 0)
            return;
        const int row = int(m_random.bounded(m_view->rowCount()));
        const int pid = m_view->personAt(row).pid;
        const int deletedBefore = m_prompter.deleted;
        if (!m_view->canEditCell(row, m_addressColumn)) {
            if (m_prompter.deleted > deletedBefore)
                m_view->refresh();
            return;
        }
        const QString value = QStringLiteral("地址w%1-%2").arg(m_index).arg(++m_sequence);
        if (m_view->commitCell(row, m_addressColumn, value)) {
            write(QStringLiteral("P"), pid, QStringLiteral("Address"), value);
        } else if (m_prompter.deleted > deletedBefore) {
            m_view->refresh();
        }
    }

    void deletePerson()
    {
        // Half of the persons stay, so that the edits go on meeting both kinds.
        if (m_initialPersons == 0)
            m_initialPersons = m_view->rowCount();
        if (m_view->rowCount() <= m_initialPersons / 2)
            return;
        const int row = int(m_random.bounded(m_view->rowCount()));
        const int pid = m_view->personAt(row).pid;
        if (m_view->deletePersons({row}))
            write(QStringLiteral("D"), pid, QString(), QString());
    }

    // A wage cell edit: the cell written, one log line, the person recalculated.
    bool editCell(const QString& assignment, int pid)
    {
        const QString sql = QStringLiteral("UPDATE [%1] SET %2 WHERE fDate=%3 AND PID=%4")
                                .arg(m_setup.dataTable, assignment)
                                .arg(m_setup.month)
                                .arg(pid);
        if (!m_db->Execute(sql)) {
            failed(m_db->GetErrorDescription());
            return false;
        }
        if (m_db->GetRecordsAffected() != 1) {
            failed(
                QStringLiteral("%1 rows changed by: %2").arg(m_db->GetRecordsAffected()).arg(sql));
            return false;
        }
        core::AddSystemLog(
            *m_app, QStringLiteral("薪资管理[修改薪资数据 PID=%1 %2]").arg(pid).arg(assignment));
        recalculatePerson(pid);
        return true;
    }

    void addToCell()
    {
        if (m_monthPersons.isEmpty())
            return;
        const int pid = m_monthPersons.at(int(m_random.bounded(m_monthPersons.size())));
        const int delta = 1 + int(m_random.bounded(9));
        if (editCell(QStringLiteral("[%1]=ISNULL([%1],0)+%2").arg(m_setup.addItem).arg(delta), pid))
            write(QStringLiteral("A"), pid, m_setup.addItem, QString::number(delta));
    }

    void setCell()
    {
        if (m_monthPersons.isEmpty())
            return;
        const int pid = m_monthPersons.at(int(m_random.bounded(m_monthPersons.size())));
        // Unique per worker and write, so the stored value tells whose write survived.
        const int value = (m_index + 1) * 1000000 + (++m_sequence);
        if (editCell(QStringLiteral("[%1]=%2").arg(m_setup.setItem).arg(value), pid))
            write(QStringLiteral("S"), pid, m_setup.setItem, QString::number(value));
    }

    void createMonth()
    {
        payroll::CDlgWageTableNew dialog(*m_app, m_prompter, m_setup.sortId);
        const int fDate = m_nextMonth;
        dialog.year = fDate / 100;
        dialog.month = fDate % 100;
        m_nextMonth = fDate % 100 == 12 ? fDate + 89 : fDate + 1;
        if (dialog.create())
            write(QStringLiteral("M"), fDate, QString(), QString());
    }

    void addItem()
    {
        if (m_items >= kMaxItems)
            return;
        // The creators use the same captions, so they also race for the same new item.
        const QString caption = QStringLiteral("并发项%1").arg(++m_items);
        payroll::CDlgWageItemSet item(*m_app, m_prompter, m_setup.sortId);
        item.caption = caption;
        item.dataType = payroll::CDlgWageItemSet::Numeric;
        item.property = payroll::CDlgWageItemSet::FreeInput;
        if (item.save())
            write(QStringLiteral("I"), item.itemId(), caption, QString());
    }

#if ORVANE_HAVE_WAGECALC
    payroll::WageCalculator* calculator()
    {
        if (!m_session) {
            script::WageContext context;
            context.operatorName = "admin";
            context.sortId = m_setup.sortId;
            context.fDate = m_setup.month;
            m_session = std::make_unique<payroll::WageScriptSession>(*m_db, context);
            m_calculator = std::make_unique<payroll::WageCalculator>(*m_db, *m_session);
        }
        return m_calculator.get();
    }

    void recalculatePerson(int pid)
    {
        const payroll::WageCalcResult r =
            calculator()->calculatePerson(m_setup.sortId, m_setup.month, pid);
        if (!r.ok)
            failed(r.error);
    }

    void recalculate()
    {
        payroll::WageViewFilter filter;
        filter.sortId = m_setup.sortId;
        filter.fDate = m_setup.month;
        const payroll::WageCalcResult r = calculator()->calculateMonth(filter);
        if (r.ok)
            ++m_calculations;
        else
            failed(r.error);
    }
#else
    void recalculatePerson(int) {}
    void recalculate() {}
#endif

    // A long write transaction (as a long calculation on a slow machine holds one): on SQLite
    // the other workers' writes wait for it until their lock wait runs out, and must then say so
    // with the lock wait's message.
    void holdWriteLock()
    {
        if (m_monthPersons.isEmpty() || !m_db->BeginTransaction())
            return;
        const bool wrote = m_db->Execute(
            QStringLiteral("UPDATE [%1] SET [%2]=ISNULL([%2],0) WHERE fDate=%3 AND PID=%4")
                .arg(m_setup.dataTable, m_setup.addItem)
                .arg(m_setup.month)
                .arg(m_monthPersons.first()));
        if (wrote)
            QThread::msleep(kHoldMs);
        else
            failed(m_db->GetErrorDescription());
        if (!m_db->CommitTransaction())
            m_db->RollbackTransaction();
    }

    void failed(const QString& text)
    {
        if (text.contains(busyText())) {
            ++m_busy;
            return;
        }
        ++m_errors;
        if (m_errorTexts.size() < 5)
            m_errorTexts << text.left(300);
    }

    void write(const QString& kind, int key, const QString& field, const QString& value)
    {
        ++m_changes;
        m_log << kind << '\t' << key << '\t' << field << '\t' << value << '\n';
    }

    static constexpr int kMaxItems = 40;
    static constexpr int kBusyMs = 2000;
    static constexpr int kHoldMs = 3000;

    const StressSetup& m_setup;
    StressRole m_role;
    int m_index;
    QTextStream& m_log;
    QRandomGenerator m_random;
    CountingPrompter m_prompter;
    std::shared_ptr<db::CADODatabase> m_db;
    std::unique_ptr<core::COrvaneApp> m_app;
    std::unique_ptr<personnel::CViewPsn> m_view;
#if ORVANE_HAVE_WAGECALC
    std::unique_ptr<payroll::WageScriptSession> m_session;
    std::unique_ptr<payroll::WageCalculator> m_calculator;
#endif
    QList<int> m_monthPersons;
    int m_addressColumn = -1;
    int m_initialPersons = 0;
    int m_nextMonth = 0;
    int m_sequence = 0;
    int m_items = 0;
    qint64 m_operations = 0;
    qint64 m_changes = 0;
    int m_busy = 0;
    int m_errors = 0;
    int m_calculations = 0;
    QStringList m_errorTexts;
};

} // namespace

int runWorker(const StressSetup& setup, StressRole role, int index, int seconds,
              const QString& logFile)
{
    QFile file(logFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return 1;
    QTextStream log(&file);
    log.setEncoding(QStringConverter::Utf8);
    Worker worker(setup, role, index, log);
    return worker.run(seconds);
}

} // namespace orvane::concurrency
