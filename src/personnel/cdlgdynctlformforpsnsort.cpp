#include "personnel/cdlgdynctlformforpsnsort.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/sqltext.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"

namespace orvane::personnel {

CDlgDynCtlFormForPsnSort::CDlgDynCtlFormForPsnSort(core::COrvaneApp& app, core::Prompter& prompter)
    : CDlgDynCtlFormBase(app, prompter)
{
    setTable(QStringLiteral("qp_PsnSort"), QStringLiteral("AID"));
}

QString CDlgDynCtlFormForPsnSort::chosenName() const
{
    const int field = fieldIndex(QStringLiteral("Name"));
    return field < 0 ? QString() : m_editors[field].text;
}

bool CDlgDynCtlFormForPsnSort::build()
{
    if (!CDlgDynCtlFormBase::build())
        return false;
    m_nameAtOpening = m_addMode ? QString() : chosenName();
    return true;
}

bool CDlgDynCtlFormForPsnSort::save()
{
    m_focusField = -1;
    const QString name = chosenName();
    if ((m_addMode || name != m_nameAtOpening) &&
        core::Catalog(m_app.database())
                .integer(QStringLiteral("SELECT COUNT(*) FROM qp_PsnSort WHERE Name='%1'")
                             .arg(core::sqlEscape(name))) > 0) {
        showMessage(QStringLiteral("错误：该类别已存在!"), fieldIndex(QStringLiteral("Name")));
        return false;
    }
    const bool added = m_addMode;
    if (!saveRecord())
        return false;
    const int aid = m_recordId;
    if (added)
        m_app.database().Execute(
            QStringLiteral("UPDATE qp_PsnSort SET Ord=(SELECT MAX(Ord)+1 FROM qp_PsnSort) WHERE "
                           "AID=%1")
                .arg(aid));
    core::AddSystemLog(m_app,
                       QStringLiteral("系统管理[人员类别%1'%2']")
                           .arg(added ? QStringLiteral("新增") : QStringLiteral("修改"), name));
    m_nameAtOpening = name;
    if (onSaved)
        onSaved(aid);
    if (added)
        clearForNext();
    return true;
}

} // namespace orvane::personnel
