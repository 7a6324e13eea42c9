// orvane-admin sql FILE "T-SQL": runs one statement through the data access layer.
#include "admincommand.h"

#include "db/cadodatabase.h"
#include "db/cadorecordset.h"
#include "db/procedures.h"
#include "server/coreprocedures.h"

namespace orvane::admin {

namespace {

bool returnsRows(const QString& sql)
{
    const QString text = sql.trimmed();
    return text.startsWith(QLatin1String("select"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("with"), Qt::CaseInsensitive) ||
           db::parseProcedureCallText(text).has_value();
}

// Keeps one record per line: tabs, line breaks and backslashes inside a value are escaped.
QString escapeCell(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += ch;
        }
    }
    return out;
}

int printRows(db::CADORecordset& rs)
{
    const int fields = rs.GetFieldCount();
    if (fields == 0)
        return 0; // a procedure without rows
    QStringList header;
    for (int i = 0; i < fields; ++i) {
        db::CADOFieldInfo info;
        rs.GetFieldInfo(i, &info);
        header << escapeCell(info.m_strName);
    }
    QString out = header.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
        QStringList cells;
        for (int i = 0; i < fields; ++i) {
            QString text;
            if (!rs.GetFieldValue(i, text)) {
                QByteArray bytes;
                if (rs.GetChunk(i, bytes))
                    text = QStringLiteral("<%1 bytes>").arg(bytes.size());
            }
            cells << escapeCell(text);
        }
        out += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
        if (out.size() > 1 << 16) {
            printOut(out);
            out.clear();
        }
    }
    printOut(out);
    return 0;
}

int runSql(const QStringList& args)
{
    if (args.size() != 2) {
        printErr(QStringLiteral("usage: orvane-admin sql FILE \"T-SQL\"\n"));
        return 2;
    }
    server::registerCoreProcedures();
    db::CADODatabase database;
    if (!database.Open(args.at(0))) {
        printErr(QStringLiteral("orvane-admin sql: %1\n").arg(database.GetLastErrorString()));
        return 1;
    }
    const QString& sql = args.at(1);
    if (returnsRows(sql)) {
        db::CADORecordset rs(&database);
        if (!rs.Open(sql)) {
            printErr(QStringLiteral("orvane-admin sql: %1\n").arg(rs.GetLastErrorString()));
            return 1;
        }
        return printRows(rs);
    }
    if (!database.Execute(sql)) {
        printErr(QStringLiteral("orvane-admin sql: %1\n").arg(database.GetLastErrorString()));
        return 1;
    }
    if (database.GetRecordsAffected() >= 0)
        printErr(QStringLiteral("(%1 rows affected)\n").arg(database.GetRecordsAffected()));
    return 0;
}

const AdminCommandRegistration registration({
    QStringLiteral("sql"),
    QStringLiteral("sql FILE \"T-SQL\""),
    QStringLiteral("run one T-SQL statement on a database file (or connection string) and print "
                   "its rows as tab-separated text"),
    runSql,
});

} // namespace

} // namespace orvane::admin
