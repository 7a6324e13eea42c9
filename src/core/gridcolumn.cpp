#include "core/gridcolumn.h"

#include "core/sqltext.h"
#include "db/cadodatabase.h"

namespace orvane::core {

void storeFieldWidth(db::CADODatabase& database, GridColumn& column, int width)
{
    column.width = width;
    database.Execute(QStringLiteral("UPDATE qp_Items SET [iWid]=%1 WHERE [Name]='%2'")
                         .arg(width)
                         .arg(sqlEscape(column.field)));
}

bool storeFieldFormat(db::CADODatabase& database, GridColumn& column, const ColFmt& format)
{
    ColFmt stored = format;
    stored.set = true;
    if (!database.Execute(QStringLiteral("UPDATE qp_Items SET ColFmt='%1' WHERE [Name]='%2'")
                              .arg(stored.text(), sqlEscape(column.field))))
        return false;
    column.format = stored;
    return true;
}

} // namespace orvane::core
