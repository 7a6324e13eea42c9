#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace orvane::script {

// A run-time error as the script sees it through Err: number, description and source.
// Texts are UTF-8.
struct ScriptError
{
    int number = 0;
    std::string description;
    std::string source;
};

// The exception every runtime operation throws for a script error.
class ScriptException : public std::exception
{
public:
    explicit ScriptException(ScriptError error);
    ScriptException(int number, std::string description = {}, std::string source = {});

    const ScriptError& error() const noexcept { return error_; }
    int number() const noexcept { return error_.number; }
    const char* what() const noexcept override { return error_.description.c_str(); }

private:
    ScriptError error_;
};

// The engine's numbered run-time errors.
namespace err {
constexpr int InvalidProcedureCall = 5;
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int SubscriptOutOfRange = 9;
constexpr int ArrayFixedOrLocked = 10;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;
constexpr int OutOfStringSpace = 14;
constexpr int CannotPerformOperation = 17;
constexpr int OutOfStackSpace = 28;
constexpr int SubOrFunctionNotDefined = 35;
constexpr int ErrorInLoadingDll = 48;
constexpr int InternalError = 51;
constexpr int BadFileNameOrNumber = 52;
constexpr int FileNotFound = 53;
constexpr int BadFileMode = 54;
constexpr int FileAlreadyOpen = 55;
constexpr int DeviceIoError = 57;
constexpr int FileAlreadyExists = 58;
constexpr int DiskFull = 61;
constexpr int InputPastEndOfFile = 62;
constexpr int TooManyFiles = 67;
constexpr int DeviceUnavailable = 68;
constexpr int PermissionDenied = 70;
constexpr int DiskNotReady = 71;
constexpr int CannotRenameWithDifferentDrive = 74;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
constexpr int ObjectVariableNotSet = 91;
constexpr int ForLoopNotInitialized = 92;
constexpr int InvalidUseOfNull = 94;
constexpr int CannotCreateTemporaryFile = 322;
constexpr int ObjectRequired = 424;
constexpr int CannotCreateObject = 429;
constexpr int ObjectDoesntSupportAutomation = 430;
constexpr int ObjectDoesntSupportMember = 438;
constexpr int WrongNumberOfArguments = 450;
constexpr int ObjectNotACollection = 451;
constexpr int InvalidOrdinal = 452;
constexpr int FileNameOrClassNotFound = 432;
constexpr int VariableUndefined = 500;
constexpr int IllegalAssignment = 501;
constexpr int ObjectNotSafeForScripting = 502;
constexpr int ObjectNotSafeForInitializing = 503;
constexpr int ObjectNotSafeForCreating = 504;
constexpr int InvalidOrUnqualifiedReference = 505;
constexpr int ClassNotDefined = 506;
constexpr int ExceptionOccurred = 507;
} // namespace err

// Source text of the engine's own run-time errors.
inline constexpr std::string_view kRuntimeErrorSource = "Microsoft VBScript runtime error";

// The standard description of a numbered error; "Unknown runtime error" for unknown numbers.
std::string_view errorDescription(int number);

// Throws ScriptException with the standard description and the runtime source.
[[noreturn]] void throwError(int number);

} // namespace orvane::script
