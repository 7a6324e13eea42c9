#include "db/transaction.h"

#include "db/cadodatabase.h"

namespace orvane::db {

Transaction::Transaction(CADODatabase& database)
    : m_database(database), m_active(database.BeginTransaction())
{
}

Transaction::~Transaction()
{
    rollback();
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    return m_database.CommitTransaction();
}

void Transaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    m_database.RollbackTransaction();
}

} // namespace orvane::db
