#include "payroll/cdlgwagesetset.h"

#include "payroll/wagesorts.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/sqltext.h"
#include "core/systemlog.h"

#include "db/cadocommand.h"
#include "db/cadodatabase.h"

namespace orvane::payroll {

using core::Prompter;

CDlgWageSetSet::CDlgWageSetSet(core::COrvaneApp& app, core::Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

bool CDlgWageSetSet::refresh()
{
    return m_sorts.load(m_app.database(),
                        QStringLiteral("SELECT ID,Title,[Descr],Ord FROM qp_Table WHERE nType=6 "
                                       "ORDER BY Ord"));
}

void CDlgWageSetSet::warn(const QString& text)
{
    m_prompter.message(text, core::promptCaption(), Prompter::Icon::Warning);
}

bool CDlgWageSetSet::titleTaken(const QString& title)
{
    return core::Catalog(m_app.database())
               .integer(QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE nType=6 AND Title=%1")
                            .arg(core::sqlQuote(title))) > 0;
}

bool CDlgWageSetSet::addSort(const QString& titleText, const QString& descr)
{
    const QString title = titleText.trimmed();
    if (title.isEmpty()) {
        warn(QStringLiteral("错误：薪资类别名不能为空!"));
        return false;
    }
    if (titleTaken(title)) {
        warn(QStringLiteral("错误：该薪资类别已存在!"));
        return false;
    }
    db::CADOCommand cmd(&m_app.database(), QStringLiteral("qp_AddWageSort"));
    cmd.AddParameter(QStringLiteral("Return"), db::adInteger, db::adParamReturnValue, 4, 0);
    cmd.AddParameter(QStringLiteral("Name"), db::adVarChar, db::adParamInput, 50, title);
    cmd.AddParameter(QStringLiteral("Descr"), db::adVarChar, db::adParamInput, 100, descr);
    cmd.AddParameter(QStringLiteral("NewID"), db::adInteger, db::adParamOutput, 4, 0);
    if (!cmd.Execute()) {
        m_prompter.message(QStringLiteral("新建薪资类别时出错!"), core::promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    const int result = cmd.GetParameter(QStringLiteral("Return")).GetValue().toInt();
    if (result == 1 || result == 2 || result == 3) {
        const char* why = result == 1   ? "添加薪资类别失败!"
                          : result == 2 ? "薪资类别数超出太多!"
                                        : "薪资类别数重名!";
        m_prompter.message(QString::fromUtf8(why), core::promptCaption(), Prompter::Icon::Error);
        m_prompter.message(QStringLiteral("新建薪资类别时出错!"), core::promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    m_lastAdded = cmd.GetParameter(QStringLiteral("NewID")).GetValue().toInt();
    refresh();
    m_sorts.selectKey(m_lastAdded);
    m_changed = true;
    core::AddSystemLog(m_app, QStringLiteral("薪资管理[新增薪资类别'%1']").arg(title));
    return true;
}

bool CDlgWageSetSet::changeSort(const QString& titleText, const QString& descr)
{
    const int row = m_sorts.currentRow();
    if (row < 0) {
        warn(WageSorts::chooseSortMessage());
        return false;
    }
    const QString title = titleText.trimmed();
    if (title.isEmpty()) {
        warn(QStringLiteral("错误：薪资类别名不能为空!"));
        return false;
    }
    const QString oldTitle = m_sorts.rows().at(row, 1).toString();
    if (title != oldTitle && titleTaken(title)) {
        warn(QStringLiteral("错误：该薪资类别已存在!"));
        return false;
    }
    const int id = m_sorts.currentKey();
    if (!core::Catalog(m_app.database())
             .confirmRowExists(m_prompter, QStringLiteral("qp_Table"),
                               QStringLiteral("[ID]=%1").arg(id)))
        return false;
    db::CADOCommand cmd(&m_app.database(), QStringLiteral("qp_UpdateDBTable"));
    cmd.AddParameter(QStringLiteral("ID"), db::adInteger, db::adParamInput, 4, id);
    cmd.AddParameter(QStringLiteral("Title"), db::adVarChar, db::adParamInput, 50, title);
    cmd.AddParameter(QStringLiteral("Descr"), db::adVarChar, db::adParamInput, 100, descr);
    cmd.AddParameter(QStringLiteral("IShow"), db::adInteger, db::adParamInput, 4, 1);
    if (!cmd.Execute()) {
        m_prompter.message(QStringLiteral("更新薪资类别时出错!"), core::promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    refresh();
    m_changed = true;
    core::AddSystemLog(m_app, QStringLiteral("薪资管理[更改薪资类别'%1']").arg(title));
    return true;
}

bool CDlgWageSetSet::deleteSort()
{
    const core::Catalog catalog(m_app.database());
    if (catalog.integer(QStringLiteral("SELECT COUNT(*) FROM qp_Table WHERE nType=6")) == 1) {
        warn(QStringLiteral("最后一个薪资类别不能删除!"));
        return false;
    }
    const int row = m_sorts.currentRow();
    if (row < 0)
        return false;
    const QString title = m_sorts.rows().at(row, 1).toString();
    if (m_prompter.askYesNo(QStringLiteral("删除薪资类别将同时删除该类别下的人员薪资及配置数据！"
                                           "\r\n\r\n确定要删除薪资类别'%1'吗?")
                                .arg(title),
                            core::promptCaption(),
                            Prompter::Icon::Warning) != Prompter::Answer::Yes)
        return false;
    db::CADOCommand cmd(&m_app.database(), QStringLiteral("qp_DeleteWageSort"));
    cmd.AddParameter(QStringLiteral("Return"), db::adInteger, db::adParamReturnValue, 4, 0);
    cmd.AddParameter(QStringLiteral("SID"), db::adInteger, db::adParamInput, 4,
                     m_sorts.currentKey());
    if (!cmd.Execute() || cmd.GetParameter(QStringLiteral("Return")).GetValue().toInt() == 0) {
        m_prompter.message(QStringLiteral("删除薪资类别失败!"), core::promptCaption(),
                           Prompter::Icon::Error);
        return false;
    }
    refresh();
    m_changed = true;
    core::AddSystemLog(m_app, QStringLiteral("薪资管理[删除薪资类别'%1']").arg(title));
    return true;
}

bool CDlgWageSetSet::moveSort(core::RowOrder::Direction direction)
{
    if (m_sorts.currentRow() < 0) {
        warn(WageSorts::chooseSortMessage());
        return false;
    }
    if (!m_sorts.move(
            m_app.database(), direction,
            {0, 3, QStringLiteral("qp_Table"), QStringLiteral("ID"), QStringLiteral("Ord")}))
        return false;
    m_changed = true;
    core::AddSystemLog(m_app, QStringLiteral("薪资管理[薪资类别顺序调整]"));
    return true;
}

} // namespace orvane::payroll
