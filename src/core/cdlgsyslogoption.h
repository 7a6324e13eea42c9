#pragma once

namespace orvane::db {
class CADODatabase;
}

namespace orvane::core {

// The log retention option: the number of days stored in the qp_SysOption row of kind 2. It
// takes effect for logging at the next start of the client; the change itself is not logged.
class CDlgSysLogOption
{
public:
    static constexpr int MinimumDays = 0;
    static constexpr int MaximumDays = 1000;

    explicit CDlgSysLogOption(db::CADODatabase& database);

    // Reads the stored value: 0 when the row is missing or its text is not a number.
    void load();
    int days() const { return m_days; }
    // Kept within 0..1000, as the spin box allows.
    void setDays(int days);
    bool hasRow() const { return m_rowId != 0; }

    // Writes the value back into the existing row; false (nothing stored) without one.
    bool save();

private:
    db::CADODatabase& m_db;
    int m_rowId = 0;
    int m_days = 0;
};

} // namespace orvane::core
