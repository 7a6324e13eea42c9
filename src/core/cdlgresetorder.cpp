#include "core/cdlgresetorder.h"

#include "core/prompter.h"
#include "core/roworder.h"
#include "db/cadodatabase.h"

#include <QStringList>

namespace orvane::core {

CDlgResetOrder::CDlgResetOrder(db::CADODatabase& database, Prompter& prompter, Source source)
    : m_db(database), m_prompter(prompter), m_source(std::move(source)), m_rows(&database)
{
}

QString CDlgResetOrder::footerText() const
{
    return QStringLiteral("共 计：%1 条记录").arg(rowCount());
}

void CDlgResetOrder::setCurrentRow(int row)
{
    m_current = (row >= 0 && row < rowCount()) ? row : -1;
}

int CDlgResetOrder::keyAt(int row) const
{
    return rows().at(row, m_keyColumn).toInt();
}

int CDlgResetOrder::orderAt(int row) const
{
    return rows().at(row, m_orderColumn).toInt();
}

bool CDlgResetOrder::ordersAscending() const
{
    for (int row = 1; row < rowCount(); ++row) {
        if (orderAt(row) <= orderAt(row - 1))
            return false;
    }
    return true;
}

void CDlgResetOrder::reportDatabaseError()
{
    QString text = m_rows.GetLastErrorString();
    if (text.isEmpty())
        text = m_db.GetLastErrorString();
    m_prompter.message(text, promptCaption(), Prompter::Icon::Error);
}

bool CDlgResetOrder::load()
{
    m_current = -1;
    if (!m_rows.Open(m_source.listQuery)) {
        reportDatabaseError();
        m_rows.Close();
        return false;
    }
    m_keyColumn = m_rows.GetFieldIndex(m_source.keyName);
    m_orderColumn = m_rows.GetFieldIndex(m_source.orderName);
    if (m_keyColumn < 0 || m_orderColumn < 0) {
        m_prompter.message(QStringLiteral("调序列表缺少关键字段 %1 或顺序字段 %2。")
                               .arg(m_source.keyName, m_source.orderName),
                           promptCaption(), Prompter::Icon::Error);
        m_rows.Close();
        return false;
    }
    if (!ordersAscending()) {
        if (!m_db.Execute(m_source.renumberSql) || !m_rows.Open(m_source.listQuery)) {
            reportDatabaseError();
            return false;
        }
    }
    if (rowCount() > 0)
        m_current = 0;
    return true;
}

bool CDlgResetOrder::reloadKeeping(int key)
{
    if (!m_rows.Open(m_source.listQuery)) {
        reportDatabaseError();
        m_current = -1;
        return false;
    }
    m_current = rowCount() > 0 ? 0 : -1;
    for (int row = 0; row < rowCount(); ++row) {
        if (keyAt(row) == key) {
            m_current = row;
            break;
        }
    }
    return true;
}

bool CDlgResetOrder::moveTo(int target)
{
    const int row = m_current;
    if (row < 0 || row >= rowCount() || target < 0 || target >= rowCount() || target == row)
        return false;
    const int key = keyAt(row);
    bool ok = true;
    if (qAbs(target - row) == 1) {
        // Neighbours exchange their order values.
        const int mine = orderAt(row);
        const int theirs = orderAt(target);
        ok = RowOrder::storeOrder(m_db, m_source.table, m_source.keyName, m_source.orderName, key,
                                  theirs) &&
             RowOrder::storeOrder(m_db, m_source.table, m_source.keyName, m_source.orderName,
                                  keyAt(target), mine);
    } else {
        // The rows between shift by one; only rows of this list may shift, since other lists
        // (other departments, other persons) keep their own order values in the same table.
        QStringList between;
        for (int r = qMin(row, target); r <= qMax(row, target); ++r) {
            if (r != row)
                between << QString::number(keyAt(r));
        }
        const QString inList =
            m_source.keyName + QStringLiteral(" IN (") + between.join(QLatin1Char(',')) + u')';
        ok = RowOrder::MoveRowOrder(m_db, m_source.table, m_source.keyName, m_source.orderName, key,
                                    keyAt(target), inList);
    }
    // Statements that ran stay written even when a later one failed: show the list as stored.
    m_changed = true;
    if (!ok)
        reportDatabaseError();
    return reloadKeeping(key) && ok;
}

bool CDlgResetOrder::moveTop()
{
    return moveTo(0);
}

bool CDlgResetOrder::moveBottom()
{
    return moveTo(rowCount() - 1);
}

bool CDlgResetOrder::moveUp()
{
    return moveTo(m_current - 1);
}

bool CDlgResetOrder::moveDown()
{
    return m_current >= 0 && moveTo(m_current + 1);
}

bool CDlgResetOrder::refresh()
{
    const int key = (m_current >= 0 && m_current < rowCount()) ? keyAt(m_current) : 0;
    if (!m_db.Execute(m_source.renumberSql)) {
        reportDatabaseError();
        return false;
    }
    return reloadKeeping(key);
}

} // namespace orvane::core
