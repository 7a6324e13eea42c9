#pragma once

#include "db/cadorecordset.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace orvane::core {

class COrvaneApp;
class Prompter;

// The operation-log viewer: filters by operator, day range and a text inside the action, lists
// the lines newest first and exports the listed lines to a workbook.
class CDlgSysLogManage
{
public:
    struct Filter
    {
        QString user; // empty: every operator
        std::optional<QDate> start;
        std::optional<QDate> end;
        QString action; // text contained in the description
    };

    CDlgSysLogManage(COrvaneApp& app, Prompter& prompter);

    // Fills the operator choices and lists the lines (no filter).
    void open();

    // Operator names for the filter, the first entry empty (all operators).
    const QStringList& operatorChoices() const { return m_operators; }

    Filter& filter() { return m_filter; }
    const Filter& filter() const { return m_filter; }

    // Runs the query with the current filter. On failure shows "打开数据库出错!" and leaves the
    // list empty.
    bool refresh();
    // Asks for a file and writes the listed lines to it. False when cancelled or failed.
    bool exportList();

    // The listed lines: columns id, 时间, 用户, 操作.
    const db::ResultSet& rows() const;
    int rowCount() const { return rows().rowCount(); }
    QString footerText() const;

    // " WHERE ..." for a filter, or "" when nothing is filtered. Texts are escaped.
    static QString filterClause(const Filter& filter);
    static QString querySql(const Filter& filter);

private:
    COrvaneApp& m_app;
    Prompter& m_prompter;
    Filter m_filter;
    QStringList m_operators;
    db::CADORecordset m_recordset;
    db::ResultSet m_empty; // shown while no query succeeded
};

} // namespace orvane::core
