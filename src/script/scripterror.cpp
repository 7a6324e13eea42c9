#include "script/scripterror.h"

#include <utility>

namespace orvane::script {

ScriptException::ScriptException(ScriptError error) : error_(std::move(error)) {}

ScriptException::ScriptException(int number, std::string description, std::string source)
    : error_{number, std::move(description), std::move(source)}
{
    if (error_.description.empty())
        error_.description = std::string(errorDescription(number));
    if (error_.source.empty())
        error_.source = std::string(kRuntimeErrorSource);
}

std::string_view errorDescription(int number)
{
    switch (number) {
    case 5:
        return "Invalid procedure call or argument";
    case 6:
        return "Overflow";
    case 7:
        return "Out of memory";
    case 9:
        return "Subscript out of range";
    case 10:
        return "This array is fixed or temporarily locked";
    case 11:
        return "Division by zero";
    case 13:
        return "Type mismatch";
    case 14:
        return "Out of string space";
    case 17:
        return "Can't perform requested operation";
    case 28:
        return "Out of stack space";
    case 35:
        return "Sub or Function not defined";
    case 48:
        return "Error in loading DLL";
    case 51:
        return "Internal error";
    case 52:
        return "Bad file name or number";
    case 53:
        return "File not found";
    case 54:
        return "Bad file mode";
    case 55:
        return "File already open";
    case 57:
        return "Device I/O error";
    case 58:
        return "File already exists";
    case 61:
        return "Disk full";
    case 62:
        return "Input past end of file";
    case 67:
        return "Too many files";
    case 68:
        return "Device unavailable";
    case 70:
        return "Permission denied";
    case 71:
        return "Disk not ready";
    case 74:
        return "Can't rename with different drive";
    case 75:
        return "Path/File access error";
    case 76:
        return "Path not found";
    case 91:
        return "Object variable not set";
    case 92:
        return "For loop not initialized";
    case 94:
        return "Invalid use of Null";
    case 322:
        return "Can't create necessary temporary file";
    case 424:
        return "Object required";
    case 429:
        return "ActiveX component can't create object";
    case 430:
        return "Class doesn't support Automation";
    case 432:
        return "File name or class name not found during Automation operation";
    case 438:
        return "Object doesn't support this property or method";
    case 450:
        return "Wrong number of arguments or invalid property assignment";
    case 451:
        return "Object not a collection";
    case 452:
        return "Invalid ordinal";
    case 500:
        return "Variable is undefined";
    case 501:
        return "Illegal assignment";
    case 502:
        return "Object not safe for scripting";
    case 503:
        return "Object not safe for initializing";
    case 504:
        return "Object not safe for creating";
    case 505:
        return "Invalid or unqualified reference";
    case 506:
        return "Class not defined";
    case 507:
        return "An exception occurred";
    default:
        return "Unknown runtime error";
    }
}

void throwError(int number)
{
    throw ScriptException(number);
}

} // namespace orvane::script
