#include "core/cdlgsyslogoption.h"

#include "core/corvaneapp.h"
#include "db/cadorecordset.h"

#include <QString>

#include <algorithm>

namespace orvane::core {

CDlgSysLogOption::CDlgSysLogOption(db::CADODatabase& database) : m_db(database) {}

void CDlgSysLogOption::load()
{
    m_rowId = 0;
    m_days = 0;
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("SELECT TOP 1 id,sContent FROM qp_SysOption WHERE nType=2")) ||
        rs.IsEOF())
        return;
    m_rowId = rs.GetFieldInt(QStringLiteral("id"));
    // Read as start-up reads it, so the window shows the retention that is in effect.
    m_days = std::clamp(leadingInt(rs.GetFieldString(QStringLiteral("sContent"))), MinimumDays,
                        MaximumDays);
}

void CDlgSysLogOption::setDays(int days)
{
    m_days = std::clamp(days, MinimumDays, MaximumDays);
}

bool CDlgSysLogOption::save()
{
    if (m_rowId == 0)
        return false;
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("SELECT sContent FROM qp_SysOption WHERE nType=2 AND id=%1")
                     .arg(m_rowId)) ||
        rs.IsEOF())
        return false;
    if (!rs.Edit() || !rs.SetFieldValue(QStringLiteral("sContent"), QString::number(m_days)))
        return false;
    return rs.Update();
}

} // namespace orvane::core
