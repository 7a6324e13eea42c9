// Registry of the built-in functions and constants, the clock, and the conversion, type-test
// and array functions.

#include "script/builtins.h"

#include "script/builtins_internal.h"
#include "script/builtins_locale.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>
#include <string>
#include <unordered_map>

namespace orvane::script {

namespace {

using detail::Args;

std::string upperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return out;
}

// ---- Clock --------------------------------------------------------------------------------

std::mutex& clockMutex()
{
    static std::mutex m;
    return m;
}

Clock& installedClock()
{
    static Clock clock;
    return clock;
}

double systemNow()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const double day = serialFromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const double seconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return day + seconds / 86400.0;
}

// ---- Conversions --------------------------------------------------------------------------

Variant fnCBool(Args a)
{
    return Variant::fromBool(toBool(a[0]));
}
Variant fnCByte(Args a)
{
    return Variant::fromByte(toByte(a[0]));
}
Variant fnCInt(Args a)
{
    return Variant::fromInteger(toInteger(a[0]));
}
Variant fnCLng(Args a)
{
    return Variant::fromLong(toLong(a[0]));
}
Variant fnCSng(Args a)
{
    if (a[0].isNull())
        throwError(err::InvalidUseOfNull);
    return Variant::fromSingle(toSingle(a[0]));
}
Variant fnCDbl(Args a)
{
    return Variant::fromDouble(toDouble(a[0]));
}
Variant fnCCur(Args a)
{
    return Variant::fromCurrencyRaw(toCurrencyRaw(a[0]));
}
Variant fnCDate(Args a)
{
    return Variant::fromDate(toDate(a[0]));
}
Variant fnCStr(Args a)
{
    return Variant::fromString(toString(a[0]));
}

// ---- Type tests -----------------------------------------------------------------------------

Variant fnIsNumeric(Args a)
{
    const Variant& v = a[0];
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
        return Variant::fromBool(true);
    case VarType::String: {
        const auto d = parseNumber(v.stringValue());
        return Variant::fromBool(d && std::isfinite(*d));
    }
    default:
        return Variant::fromBool(false);
    }
}

Variant fnIsDate(Args a)
{
    const Variant& v = a[0];
    if (v.type() == VarType::Date)
        return Variant::fromBool(true);
    if (v.isString())
        return Variant::fromBool(parseDate(v.stringValue()).has_value());
    return Variant::fromBool(false);
}

Variant fnIsEmpty(Args a)
{
    return Variant::fromBool(a[0].isEmpty());
}
Variant fnIsNull(Args a)
{
    return Variant::fromBool(a[0].isNull());
}
Variant fnIsArray(Args a)
{
    return Variant::fromBool(a[0].isArray());
}
Variant fnIsObject(Args a)
{
    return Variant::fromBool(a[0].isObject());
}
Variant fnTypeName(Args a)
{
    return Variant::fromString(typeName(a[0]));
}
Variant fnVarType(Args a)
{
    return Variant::fromInteger(static_cast<std::int16_t>(a[0].varTypeCode()));
}

// ---- Arrays -----------------------------------------------------------------------------------

Variant fnArray(Args a)
{
    return Variant::makeArray(std::vector<Variant>(a.begin(), a.end()));
}

Variant arrayBound(Args a, bool upper)
{
    if (!a[0].isArray())
        throwError(err::TypeMismatch);
    const std::int32_t dim = detail::longArg(a, 1, 1);
    const ArrayBound b = a[0].arrayBound(dim);
    return Variant::fromLong(upper ? b.lower + b.count - 1 : b.lower);
}

Variant fnUBound(Args a)
{
    return arrayBound(a, true);
}
Variant fnLBound(Args a)
{
    return arrayBound(a, false);
}

// ---- Miscellaneous ----------------------------------------------------------------------------

Variant fnRGB(Args a)
{
    std::int32_t c[3];
    for (std::size_t i = 0; i < 3; ++i) {
        const std::int32_t v = toLong(a[i]);
        if (v < 0)
            throwError(err::InvalidProcedureCall);
        c[i] = v > 255 ? 255 : v;
    }
    return Variant::fromLong(c[0] + c[1] * 256 + c[2] * 65536);
}

Variant fnScriptEngine(Args)
{
    return Variant::fromString(u"VBScript");
}
Variant fnScriptEngineMajorVersion(Args)
{
    return Variant::fromLong(5);
}
Variant fnScriptEngineMinorVersion(Args)
{
    return Variant::fromLong(8);
}
Variant fnScriptEngineBuildVersion(Args)
{
    return Variant::fromLong(16384);
}
Variant fnGetLocale(Args)
{
    return Variant::fromLong(regional::kLocaleId);
}

const BuiltinInfo kGeneral[] = {
    {"CBool", 1, 1, fnCBool},
    {"CByte", 1, 1, fnCByte},
    {"CInt", 1, 1, fnCInt},
    {"CLng", 1, 1, fnCLng},
    {"CSng", 1, 1, fnCSng},
    {"CDbl", 1, 1, fnCDbl},
    {"CCur", 1, 1, fnCCur},
    {"CDate", 1, 1, fnCDate},
    {"CStr", 1, 1, fnCStr},
    {"IsNumeric", 1, 1, fnIsNumeric},
    {"IsDate", 1, 1, fnIsDate},
    {"IsEmpty", 1, 1, fnIsEmpty},
    {"IsNull", 1, 1, fnIsNull},
    {"IsArray", 1, 1, fnIsArray},
    {"IsObject", 1, 1, fnIsObject},
    {"TypeName", 1, 1, fnTypeName},
    {"VarType", 1, 1, fnVarType},
    {"Array", 0, 255, fnArray},
    {"UBound", 1, 2, fnUBound},
    {"LBound", 1, 2, fnLBound},
    {"RGB", 3, 3, fnRGB},
    {"ScriptEngine", 0, 0, fnScriptEngine},
    {"ScriptEngineMajorVersion", 0, 0, fnScriptEngineMajorVersion},
    {"ScriptEngineMinorVersion", 0, 0, fnScriptEngineMinorVersion},
    {"ScriptEngineBuildVersion", 0, 0, fnScriptEngineBuildVersion},
    {"GetLocale", 0, 0, fnGetLocale},
};

struct Registry
{
    std::vector<BuiltinInfo> all;
    std::unordered_map<std::string, std::size_t> byName;
    std::unordered_map<std::string, Variant> constants;

    Registry()
    {
        for (auto table :
             {std::span<const BuiltinInfo>(kGeneral), detail::mathBuiltins(),
              detail::stringBuiltins(), detail::dateBuiltins(), detail::formatBuiltins()})
            all.insert(all.end(), table.begin(), table.end());
        for (std::size_t i = 0; i < all.size(); ++i)
            byName.emplace(upperAscii(all[i].name), i);

        auto integer = [this](const char* name, int v) {
            constants.emplace(upperAscii(name), Variant::fromInteger(static_cast<std::int16_t>(v)));
        };
        auto longValue = [this](const char* name, std::int32_t v) {
            constants.emplace(upperAscii(name), Variant::fromLong(v));
        };
        auto string = [this](const char* name, std::u16string v) {
            constants.emplace(upperAscii(name), Variant::fromString(std::move(v)));
        };
        string("vbCr", u"\r");
        string("vbLf", u"\n");
        string("vbCrLf", u"\r\n");
        string("vbNewLine", u"\r\n");
        string("vbTab", u"\t");
        string("vbFormFeed", u"\f");
        string("vbVerticalTab", u"\v");
        string("vbNullChar", std::u16string(1, u'\0'));
        string("vbNullString", u"");
        constants.emplace("VBTRUE", Variant::fromInteger(-1));
        constants.emplace("VBFALSE", Variant::fromInteger(0));
        integer("vbUseDefault", -2);
        integer("vbBinaryCompare", 0);
        integer("vbTextCompare", 1);
        integer("vbDatabaseCompare", 2);
        const char* days[] = {"vbSunday",   "vbMonday", "vbTuesday", "vbWednesday",
                              "vbThursday", "vbFriday", "vbSaturday"};
        for (int i = 0; i < 7; ++i)
            integer(days[i], i + 1);
        integer("vbUseSystemDayOfWeek", 0);
        integer("vbUseSystem", 0);
        integer("vbFirstJan1", 1);
        integer("vbFirstFourDays", 2);
        integer("vbFirstFullWeek", 3);
        integer("vbGeneralDate", 0);
        integer("vbLongDate", 1);
        integer("vbShortDate", 2);
        integer("vbLongTime", 3);
        integer("vbShortTime", 4);
        const std::pair<const char*, int> types[] = {
            {"vbEmpty", 0},    {"vbNull", 1},        {"vbInteger", 2},  {"vbLong", 3},
            {"vbSingle", 4},   {"vbDouble", 5},      {"vbCurrency", 6}, {"vbDate", 7},
            {"vbString", 8},   {"vbObject", 9},      {"vbError", 10},   {"vbBoolean", 11},
            {"vbVariant", 12}, {"vbDataObject", 13}, {"vbDecimal", 14}, {"vbByte", 17},
            {"vbArray", 8192}};
        for (const auto& [name, v] : types)
            integer(name, v);
        longValue("vbObjectError", static_cast<std::int32_t>(0x80040000u));
        longValue("vbBlack", 0x000000);
        longValue("vbRed", 0x0000FF);
        longValue("vbGreen", 0x00FF00);
        longValue("vbYellow", 0x00FFFF);
        longValue("vbBlue", 0xFF0000);
        longValue("vbMagenta", 0xFF00FF);
        longValue("vbCyan", 0xFFFF00);
        longValue("vbWhite", 0xFFFFFF);
        const std::pair<const char*, int> msgBox[] = {{"vbOKOnly", 0},
                                                      {"vbOKCancel", 1},
                                                      {"vbAbortRetryIgnore", 2},
                                                      {"vbYesNoCancel", 3},
                                                      {"vbYesNo", 4},
                                                      {"vbRetryCancel", 5},
                                                      {"vbCritical", 16},
                                                      {"vbQuestion", 32},
                                                      {"vbExclamation", 48},
                                                      {"vbInformation", 64},
                                                      {"vbDefaultButton1", 0},
                                                      {"vbDefaultButton2", 256},
                                                      {"vbDefaultButton3", 512},
                                                      {"vbDefaultButton4", 768},
                                                      {"vbApplicationModal", 0},
                                                      {"vbSystemModal", 4096},
                                                      {"vbOK", 1},
                                                      {"vbCancel", 2},
                                                      {"vbAbort", 3},
                                                      {"vbRetry", 4},
                                                      {"vbIgnore", 5},
                                                      {"vbYes", 6},
                                                      {"vbNo", 7}};
        for (const auto& [name, v] : msgBox)
            integer(name, v);
    }
};

const Registry& registry()
{
    static const Registry r;
    return r;
}

} // namespace

const BuiltinInfo* findBuiltin(std::string_view name)
{
    const Registry& r = registry();
    const auto it = r.byName.find(upperAscii(name));
    return it == r.byName.end() ? nullptr : &r.all[it->second];
}

std::span<const BuiltinInfo> allBuiltins()
{
    return registry().all;
}

const Variant* findBuiltinConstant(std::string_view name)
{
    const Registry& r = registry();
    const auto it = r.constants.find(upperAscii(name));
    return it == r.constants.end() ? nullptr : &it->second;
}

void setClock(Clock clock)
{
    std::lock_guard lock(clockMutex());
    installedClock() = std::move(clock);
}

double currentDateTime()
{
    Clock clock;
    {
        std::lock_guard lock(clockMutex());
        clock = installedClock();
    }
    return clock ? clock() : systemNow();
}

std::size_t detail::findText(std::u16string_view hay, std::u16string_view needle, std::size_t from,
                             CompareMode mode)
{
    if (needle.size() > hay.size())
        return std::u16string_view::npos;
    if (mode == CompareMode::Binary)
        return hay.find(needle, from);
    for (std::size_t i = from; i + needle.size() <= hay.size(); ++i)
        if (compareStrings(hay.substr(i, needle.size()), needle, mode) == 0)
            return i;
    return std::u16string_view::npos;
}

} // namespace orvane::script
