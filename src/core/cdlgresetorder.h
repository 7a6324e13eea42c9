#pragma once

// The order editor shared by every list whose entries the operator reorders (persons of a
// department, related records of a person, wage items, persons of a wage table).
//
//     core::CDlgResetOrder order(app.database(), prompter,
//                                {QStringLiteral("EXEC qp_SelectPsnbaseReOrderByDeptID 12"),
//                                 QStringLiteral("qp_RefreshPsnBaseOrder 12"),
//                                 QStringLiteral("qp_PsnBase"), QStringLiteral("PID"),
//                                 QStringLiteral("Ord")});
//     widgets::ResetOrderDialog dialog(order, QStringLiteral("调序"), parent);
//     dialog.exec();
//     if (order.changed()) { /* log, reload */ }
//
// The list query must give the key and order columns (by the names given) and list the rows in
// order. Tests drive the workflow directly: load(), setCurrentRow(), moveUp() ...

#include "db/cadorecordset.h"

#include <QString>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::core {

class Prompter;

class CDlgResetOrder
{
public:
    struct Source
    {
        QString listQuery;   // rows to order, in their present order
        QString renumberSql; // statement that renumbers the order values 1..n
        QString table;       // table holding the order values
        QString keyName;     // key column (in the table and in the list)
        QString orderName;   // order column (in the table and in the list)
    };

    CDlgResetOrder(db::CADODatabase& database, Prompter& prompter, Source source);

    // Opens the list. When its order values are not distinct ascending the renumbering runs
    // first, so that every move has distinct values to exchange. On failure tells the operator
    // the data layer's error and keeps an empty list.
    bool load();

    const db::ResultSet& rows() const { return m_rows.resultSet(); }
    int rowCount() const { return m_rows.IsOpen() ? m_rows.resultSet().rowCount() : 0; }
    int keyColumn() const { return m_keyColumn; }
    int orderColumn() const { return m_orderColumn; }
    // "共 计：%d 条记录"
    QString footerText() const;

    int currentRow() const { return m_current; }
    void setCurrentRow(int row);

    // The commands "置顶", "置底", "向上", "向下" and "刷新". Each returns true when the list
    // was reloaded; the moved row stays current.
    bool moveTop();
    bool moveBottom();
    bool moveUp();
    bool moveDown();
    bool refresh();

    // Whether any order value was written since the dialog opened.
    bool changed() const { return m_changed; }

private:
    int keyAt(int row) const;
    int orderAt(int row) const;
    bool moveTo(int target);
    bool reloadKeeping(int key);
    bool ordersAscending() const;
    void reportDatabaseError();

    db::CADODatabase& m_db;
    Prompter& m_prompter;
    Source m_source;
    db::CADORecordset m_rows;
    int m_keyColumn = -1;
    int m_orderColumn = -1;
    int m_current = -1;
    bool m_changed = false;
};

} // namespace orvane::core
