#include "payroll/mailsettings.h"

#include "core/catalog.h"
#include "db/cadorecordset.h"
#include "platform/configcipher.h"

namespace orvane::payroll {

namespace {

const QString kCipherMark = QStringLiteral("enc:");

Mailbox readMailbox(db::CADORecordset& rs)
{
    Mailbox box;
    platform::MailServer& s = box.server;
    s.host = rs.GetFieldString(QStringLiteral("svrname"));
    s.port = rs.GetFieldInt(QStringLiteral("port"));
    s.authenticate = rs.GetFieldInt(QStringLiteral("auh")) > 0;
    s.security = rs.GetFieldInt(QStringLiteral("ssl"));
    s.account = rs.GetFieldString(QStringLiteral("account"));
    s.password = MailSettings::plainPassword(rs.GetFieldString(QStringLiteral("password")));
    s.address = rs.GetFieldString(QStringLiteral("mailadr"));
    s.senderName = rs.GetFieldString(QStringLiteral("username"));
    box.id = rs.GetFieldInt(QStringLiteral("id"));
    return box;
}

} // namespace

std::vector<Mailbox> MailSettings::mailboxes() const
{
    std::vector<Mailbox> boxes;
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("SELECT svrname,port,auh,ssl,account,password,mailadr,username,id "
                                "FROM qp_BatchMailSet WHERE dt=3 ORDER BY id")))
        return boxes;
    for (; !rs.IsEOF(); rs.MoveNext())
        boxes.push_back(readMailbox(rs));
    return boxes;
}

Mailbox MailSettings::mailbox(int id) const
{
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("SELECT svrname,port,auh,ssl,account,password,mailadr,username,id "
                                "FROM qp_BatchMailSet WHERE id=%1")
                     .arg(id)) ||
        rs.IsEOF())
        return {};
    return readMailbox(rs);
}

QString MailSettings::addressField() const
{
    return core::Catalog(m_db).text(
        QStringLiteral("SELECT dbfield FROM qp_BatchMailSet WHERE dt=0"));
}

QStringList MailSettings::addressFieldChoices() const
{
    QStringList choices;
    db::CADORecordset rs(&m_db);
    if (!rs.Open(QStringLiteral("SELECT Alias FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' AND "
                                "iDataType=1 ORDER BY Ord")))
        return choices;
    for (; !rs.IsEOF(); rs.MoveNext())
        choices << rs.GetFieldString(QStringLiteral("Alias"));
    return choices;
}

QString MailSettings::storedPassword(const QString& plain)
{
    return plain.isEmpty() ? QString() : kCipherMark + platform::ConfigCipher::encipher(plain);
}

QString MailSettings::plainPassword(const QString& stored)
{
    if (!stored.startsWith(kCipherMark))
        return stored;
    return platform::ConfigCipher::decipher(stored.mid(kCipherMark.size())).value_or(QString());
}

} // namespace orvane::payroll
