#pragma once

#include <QString>

namespace orvane::db {

class CADODatabase;

// Scoped transaction: begins on construction and rolls back on destruction unless commit()
// succeeded. Nested scopes use savepoints.
class Transaction
{
public:
    explicit Transaction(CADODatabase& database);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // False when the transaction could not be started (see the database's last error).
    bool isActive() const { return m_active; }
    bool commit();
    void rollback();

private:
    CADODatabase& m_database;
    bool m_active = false;
};

} // namespace orvane::db
