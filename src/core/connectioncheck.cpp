#include "core/connectioncheck.h"

#include "core/corvaneapp.h"
#include "core/prompter.h"
#include "db/cadodatabase.h"
#include "db/cadorecordset.h"

namespace orvane::core {

ConnectionCheck::ConnectionCheck(COrvaneApp& app, Prompter& prompter)
    : m_app(app), m_prompter(prompter)
{
}

bool ConnectionCheck::databaseAnswers()
{
    db::CADODatabase& database = m_app.database();
    if (!database.IsOpen())
        return false;
    db::CADORecordset rs(&database);
    return rs.Open(QStringLiteral("SELECT COUNT(*) FROM qp_Users"));
}

bool ConnectionCheck::run()
{
    if (databaseAnswers())
        return true;
    for (;;) {
        db::CADODatabase& database = m_app.database();
        if (database.IsOpen())
            database.Close();
        const auto answer = m_prompter.retryCancel(
            QStringLiteral("数据库连接异常!\n\n可能网络掉线或者数据库服务停止,请与管理员联系!\n\n"
                           "单击'取消'按钮退出程序."),
            QStringLiteral("告警"), Prompter::Icon::Error);
        if (answer != Prompter::Answer::Retry) {
            if (requestClose)
                requestClose();
            return false;
        }
        if (database.Open(m_app.connectionString()) && databaseAnswers())
            return false; // reconnected; the command is issued again by the operator
    }
}

} // namespace orvane::core
