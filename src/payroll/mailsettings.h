#pragma once

#include "platform/smtpmailer.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace orvane::db {
class CADODatabase;
}

namespace orvane::payroll {

// A sending mailbox as stored in qp_BatchMailSet (dt 3).
struct Mailbox
{
    int id = 0;
    platform::MailServer server;
};

// The batch mail settings: the sending mailboxes and the personnel field that holds a person's
// address. Passwords are stored enciphered with the configuration cipher.
class MailSettings
{
public:
    explicit MailSettings(db::CADODatabase& database) : m_db(database) {}

    // "SELECT svrname,... FROM qp_BatchMailSet WHERE dt=3 ORDER BY id", passwords deciphered.
    std::vector<Mailbox> mailboxes() const;
    // One mailbox by id (id 0 when it is gone).
    Mailbox mailbox(int id) const;
    // The caption of the address field ("SELECT dbfield FROM qp_BatchMailSet WHERE dt=0").
    QString addressField() const;
    // The text fields of qp_PsnBase offered as address field.
    QStringList addressFieldChoices() const;

    // The stored form of a password, and back (a password stored in clear before is read as is).
    static QString storedPassword(const QString& plain);
    static QString plainPassword(const QString& stored);

private:
    db::CADODatabase& m_db;
};

} // namespace orvane::payroll
