#pragma once

#include <string>

namespace orvane::script {

// The current wage context the formula functions read: the logged-in operator, the wage sort
// and month of the active wage view and its FROM/WHERE text. One per run; the wage view updates
// it when it becomes active.
struct WageContext
{
    std::string operatorName;
    int sortId = 0;
    std::string sortTitle;
    int fDate = 190001; // year * 100 + month
    std::string fromWhere;
};

} // namespace orvane::script
