#include "payroll/wagesorts.h"

#include "core/corvaneapp.h"
#include "core/purview.h"

#include "db/cadorecordset.h"

namespace orvane::payroll {

QList<WageSortEntry> WageSorts::list(core::COrvaneApp& app)
{
    QList<WageSortEntry> sorts;
    db::CADORecordset rs(&app.database());
    if (!rs.Open(QStringLiteral("SELECT ID,Title FROM qp_Table WHERE nType=6 ORDER BY Ord")))
        return sorts;
    const core::OperatorRecord& op = app.currentOperator();
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const int id = rs.GetFieldInt(QStringLiteral("ID"));
        if (op.ISuper || core::keyInList(op.purview.wageSorts, id))
            sorts.append({id, rs.GetFieldString(QStringLiteral("Title"))});
    }
    return sorts;
}

int WageSorts::indexOf(const QList<WageSortEntry>& sorts, int sortId)
{
    for (int i = 0; i < sorts.size(); ++i) {
        if (sorts[i].id == sortId)
            return i;
    }
    return -1;
}

QString WageSorts::chooseItemMessage()
{
    return QStringLiteral("请选择项！");
}

QString WageSorts::choosePersonMessage()
{
    return QStringLiteral("请选择人员！");
}

QString WageSorts::chooseSortMessage()
{
    return QStringLiteral("请选择薪资类别！");
}

QString WageSorts::sortDeletedMessage()
{
    return QStringLiteral("选择的薪资帐套被删除！");
}

} // namespace orvane::payroll
