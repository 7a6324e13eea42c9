#include "personnel/cdlgdynctlformforrelatarc.h"

#include "core/catalog.h"
#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "core/systemlog.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::personnel {

CDlgDynCtlFormForRelatArc::CDlgDynCtlFormForRelatArc(core::COrvaneApp& app,
                                                     core::Prompter& prompter)
    : CDlgDynCtlFormBase(app, prompter)
{
    m_keyColumn = QStringLiteral("ID");
}

void CDlgDynCtlFormForRelatArc::setPerson(int pid, const QString& name, const QString& number)
{
    m_pid = pid;
    m_personName = name;
    m_personNumber = number;
}

bool CDlgDynCtlFormForRelatArc::save()
{
    const bool added = m_addMode;
    if (!added) {
        if (!saveRecord())
            return false;
    } else {
        if (!checkValues())
            return false;
        db::CADORecordset rs(&m_app.database());
        const QString list = fieldList();
        bool ok =
            rs.Open(QStringLiteral("SELECT %1 FROM %2 WHERE 1=0")
                        .arg(list.isEmpty() ? QStringLiteral("PID") : list + QStringLiteral(",PID"),
                             m_table)) &&
            rs.AddNew() && writeFields(rs) && rs.SetFieldValue(QStringLiteral("PID"), m_pid) &&
            rs.Update();
        const int id = ok ? core::Catalog(m_app.database()).lastIdentity(m_table) : 0;
        ok = ok && id > 0 &&
             m_app.database().Execute(
                 QStringLiteral("UPDATE [%1] SET Ord=%2 WHERE ID=%3").arg(m_table).arg(id).arg(id));
        if (!ok) {
            m_prompter.message(QStringLiteral("保存出错!"), core::promptCaption(),
                               core::Prompter::Icon::Warning);
            return false;
        }
        m_recordId = id;
        m_modified = false;
    }
    const int id = m_recordId;
    core::AddSystemLog(m_app, QStringLiteral("人员档案[\"%1(%2)\"->相关资料'%3'%4]")
                                  .arg(m_personName, m_personNumber, m_tableTitle,
                                       added ? QStringLiteral("新增") : QStringLiteral("修改")));
    if (onSaved)
        onSaved(id);
    if (added)
        clearForNext();
    return true;
}

} // namespace orvane::personnel
