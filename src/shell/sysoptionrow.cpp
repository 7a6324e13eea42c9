#include "shell/sysoptionrow.h"

#include "db/cadorecordset.h"

namespace orvane::shell {

bool SysOptionRow::write(db::CADODatabase& database, const QString& selectSql, const QString& text,
                         QString& reason)
{
    db::CADORecordset rs(&database);
    if (!rs.Open(selectSql)) {
        reason = rs.GetLastErrorString();
        return false;
    }
    if (rs.IsEOF()) {
        reason = QStringLiteral("数据库中缺少该项系统设置");
        return false;
    }
    if (!rs.Edit() || !rs.SetFieldValue(QStringLiteral("sContent"), text) || !rs.Update()) {
        reason = rs.GetLastErrorString();
        return false;
    }
    return true;
}

} // namespace orvane::shell
