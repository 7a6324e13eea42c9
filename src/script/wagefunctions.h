#pragma once

#include <string>
#include <string_view>

namespace orvane::script {

class HostObject;
class WageDataSource;
struct WageContext;

// USERNAME, SDATE, SNAME, IIF, CEIL, FLOOR and DX. The functions read the context when they
// are called, so it must outlive the host object's use.
void registerWageFunctions(HostObject& host, const WageContext& context);

// COUNT, SUM, AVG, MAX, MIN, GETSALARY and GETPRESALARY over the given data source.
void registerWageDataFunctions(HostObject& host, const WageContext& context,
                               WageDataSource& source);

// VBScript source handed to the report engine: UserName(), SDate() and SName() returning the
// context's values, followed by the function library when it is not empty.
std::string reportScriptPrelude(const WageContext& context, std::string_view library);

} // namespace orvane::script
