#include "script/hostobject.h"

#include "script/lexer.h"
#include "script/scripterror.h"

namespace orvane::script {

void HostObject::addFunction(std::string_view name, int minArgs, int maxArgs, Function fn)
{
    const int existing = find(name);
    Entry entry{upperName(name), minArgs, maxArgs, std::move(fn)};
    if (existing >= 0)
        m_functions[existing] = std::move(entry);
    else
        m_functions.push_back(std::move(entry));
}

int HostObject::find(std::string_view name) const
{
    for (size_t i = 0; i < m_functions.size(); ++i) {
        if (namesEqual(m_functions[i].name, name))
            return static_cast<int>(i);
    }
    return -1;
}

Variant HostObject::call(int index, std::span<const Variant> args) const
{
    const Entry& f = m_functions.at(static_cast<size_t>(index));
    const int n = static_cast<int>(args.size());
    if (n < f.minArgs)
        throw ScriptException(err::InvalidProcedureCall);
    if (n > f.maxArgs)
        throw ScriptException(err::WrongNumberOfArguments);
    return f.fn(args);
}

} // namespace orvane::script
