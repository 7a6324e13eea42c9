#pragma once

#include "script/variant.h"

#include <string>

namespace orvane::script {

struct WageContext;

// The database side of the wage functions, implemented by payroll. Each call returns the single
// value the server gives (Empty or Null when there is none) or throws ScriptException when the
// database fails.
class WageDataSource
{
public:
    virtual ~WageDataSource() = default;

    // Rows of the context's current selection (COUNT).
    virtual Variant count(const WageContext& context) = 0;
    // SUM, AVG, MAX or MIN of the item with this caption over the current selection.
    virtual Variant aggregate(const WageContext& context, const std::string& function,
                              const std::string& itemCaption) = 0;
    // An item of one person in a sort and month (GETSALARY).
    virtual Variant salary(const std::string& personNumber, const std::string& sortTitle,
                           int fDate, const std::string& itemCaption) = 0;
    // The same item some periods before that month (GETPRESALARY).
    virtual Variant previousSalary(const std::string& personNumber, const std::string& sortTitle,
                                   int fDate, int periodsBack,
                                   const std::string& itemCaption) = 0;
};

} // namespace orvane::script
