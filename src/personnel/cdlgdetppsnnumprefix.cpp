#include "personnel/cdlgdetppsnnumprefix.h"

#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::personnel {

namespace {
constexpr int kMaxDepth = 64;
constexpr int kMaxPrefix = 50;
} // namespace

CDlgDetpPsnNumPrefix::CDlgDetpPsnNumPrefix(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

QList<core::TreeColumn> CDlgDetpPsnNumPrefix::columns()
{
    return {{QStringLiteral("DID"), 0, true},
            {QStringLiteral("ParentID"), 0, true},
            {QStringLiteral("部门名称"), 260, false},
            {QStringLiteral("人员编号前缀"), 80, false}};
}

QList<core::TreeRow> CDlgDetpPsnNumPrefix::readLevel(int parentId, int depth, bool& ok)
{
    QList<core::TreeRow> level;
    if (depth > kMaxDepth)
        return level;
    db::CADORecordset rs(&m_app.database());
    if (!rs.Open(QStringLiteral("SELECT DID,ParentID,Name,PNRule FROM qp_Dept WHERE ParentID=%1 "
                                "ORDER BY Ord")
                     .arg(parentId))) {
        ok = false;
        return level;
    }
    for (; !rs.IsEOF(); rs.MoveNext())
        level.append(
            {{rs.GetFieldInt(QStringLiteral("DID")), rs.GetFieldInt(QStringLiteral("ParentID")),
              rs.GetFieldString(QStringLiteral("Name")),
              rs.GetFieldString(QStringLiteral("PNRule"))},
             {}});
    for (core::TreeRow& row : level)
        if (row.cells[DidColumn].toInt() != parentId)
            row.children = readLevel(row.cells[DidColumn].toInt(), depth + 1, ok);
    return level;
}

bool CDlgDetpPsnNumPrefix::refresh()
{
    bool ok = true;
    m_rows = readLevel(0, 0, ok);
    if (!ok)
        m_prompter.message(QStringLiteral("打开数据库出错!"), core::promptCaption(),
                           core::Prompter::Icon::Error);
    return ok;
}

bool CDlgDetpPsnNumPrefix::setPrefix(int did, const QString& prefix)
{
    if (prefix.size() > kMaxPrefix) {
        m_prompter.message(QStringLiteral("人员编号前缀不能超过50个字符!"), core::promptCaption(),
                           core::Prompter::Icon::Warning);
        refresh();
        return false;
    }
    return m_app.database().Execute(QStringLiteral("UPDATE qp_Dept SET PNRule='%1' WHERE DID=%2")
                                        .arg(core::sqlEscape(prefix))
                                        .arg(did));
}

} // namespace orvane::personnel
