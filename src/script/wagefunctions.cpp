#include "script/wagefunctions.h"

#include "script/capitalamount.h"
#include "script/conversions.h"
#include "script/hostobject.h"
#include "script/wagecontext.h"
#include "script/wagedatasource.h"

#include <cmath>

namespace orvane::script {

namespace {

std::string text(const Variant& v)
{
    return toUtf8(toString(v));
}

// A value from the server as a Double; no value (Empty, Null, empty text) is 0.
Variant numberOrZero(const Variant& v)
{
    if (v.isEmpty() || v.isNull() || (v.isString() && v.stringValue().empty()))
        return Variant::fromDouble(0);
    return Variant::fromDouble(toDouble(v));
}

std::string quoted(std::string_view s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

} // namespace

void registerWageFunctions(HostObject& host, const WageContext& context)
{
    const WageContext* ctx = &context;
    host.addFunction("USERNAME", 0, 0, [ctx](std::span<const Variant>) {
        return Variant::fromUtf8(ctx->operatorName);
    });
    host.addFunction("SDATE", 0, 0, [ctx](std::span<const Variant>) {
        return Variant::fromLong(ctx->fDate);
    });
    host.addFunction("SNAME", 0, 0, [ctx](std::span<const Variant>) {
        return Variant::fromUtf8(ctx->sortTitle);
    });
    host.addFunction("IIF", 3, 3, [](std::span<const Variant> a) {
        return toBool(a[0]) ? a[1] : a[2];
    });
    host.addFunction("CEIL", 1, 1, [](std::span<const Variant> a) {
        return Variant::fromDouble(std::ceil(toDouble(a[0])));
    });
    host.addFunction("FLOOR", 1, 1, [](std::span<const Variant> a) {
        return Variant::fromDouble(std::floor(toDouble(a[0])));
    });
    host.addFunction("DX", 1, 1, [](std::span<const Variant> a) {
        return Variant::fromUtf8(capitalAmount(toDouble(a[0])));
    });
}

void registerWageDataFunctions(HostObject& host, const WageContext& context,
                               WageDataSource& source)
{
    const WageContext* ctx = &context;
    WageDataSource* src = &source;
    host.addFunction("COUNT", 0, 0, [ctx, src](std::span<const Variant>) {
        const Variant v = src->count(*ctx);
        if (v.isEmpty() || v.isNull())
            return Variant::fromLong(0);
        return Variant::fromLong(toLong(v));
    });
    for (const char* fn : {"SUM", "AVG", "MAX", "MIN"}) {
        const std::string name = fn;
        host.addFunction(name, 1, 1, [ctx, src, name](std::span<const Variant> a) {
            return numberOrZero(src->aggregate(*ctx, name, text(a[0])));
        });
    }
    host.addFunction("GETSALARY", 4, 4, [src](std::span<const Variant> a) {
        return numberOrZero(src->salary(text(a[0]), text(a[1]), toLong(a[2]), text(a[3])));
    });
    host.addFunction("GETPRESALARY", 5, 5, [src](std::span<const Variant> a) {
        return numberOrZero(
            src->previousSalary(text(a[0]), text(a[1]), toLong(a[2]), toLong(a[3]), text(a[4])));
    });
}

std::string reportScriptPrelude(const WageContext& context, std::string_view library)
{
    std::string out;
    out += "Function UserName()\n";
    out += "  UserName = " + quoted(context.operatorName) + " \n";
    out += "End Function\n";
    out += "Function SDate()\n";
    out += "  SDate = " + std::to_string(context.fDate) + " \n";
    out += "End Function\n";
    out += "Function SName()\n";
    out += "  SName = " + quoted(context.sortTitle) + " \n";
    out += "End Function\n";
    out.append(library);
    return out;
}

} // namespace orvane::script
