#pragma once

namespace orvane::shell {

// Tells the frame whether any reminder item currently counts a person. The reminder feature
// supplies the real source; until then nothing is ever due.
class ReminderSource
{
public:
    virtual ~ReminderSource() = default;
    // False also when the database could not be read: a failed check shows no popup.
    virtual bool anyDue() = 0;
    // True while the reminder manager is open or the operator suspended reminders.
    virtual bool suppressed() { return false; }
};

class NoReminders : public ReminderSource
{
public:
    bool anyDue() override { return false; }
};

} // namespace orvane::shell
