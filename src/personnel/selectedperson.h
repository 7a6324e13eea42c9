#pragma once

#include <QString>

namespace orvane::personnel {

// The person the personnel view has selected, as the side panes need him; pid 0 means none.
struct SelectedPerson
{
    int pid = 0;
    QString name;
    QString number;

    bool isValid() const { return pid > 0; }
    bool operator==(const SelectedPerson&) const = default;
};

} // namespace orvane::personnel
