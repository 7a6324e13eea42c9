// libFuzzer target over the script engine: the input is loaded as code, evaluated as an
// expression, compiled as a formula and expanded as a template. Any crash, sanitizer report or
// hang (the step budget must stop every loop) is a finding.

#include "script/expressionexpander.h"
#include "script/scriptengine.h"
#include "script/wagecontext.h"
#include "script/wagefunctions.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace orvane::script;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    // An optional '\x01' splits the input into library code and an expression.
    const size_t split = input.find('\x01');
    const std::string library = split == std::string::npos ? input : input.substr(0, split);
    const std::string expression = split == std::string::npos ? input : input.substr(split + 1);

    static WageContext context{"fuzz", 1, "sort", 202612, "FROM t WHERE 1=1"};
    ScriptEngine engine;
    engine.setStepBudget(20000);
    registerWageFunctions(engine.host(), context);
    engine.reset(library);

    Variant result;
    engine.evaluate(expression, result);

    Formula formula;
    if (engine.compile(expression, formula)) {
        for (size_t i = 0; i < formula.names().size(); ++i) {
            switch (i % 4) {
            case 0: formula.bind(static_cast<int>(i), Variant::fromDouble(-1234.56)); break;
            case 1: formula.bind(static_cast<int>(i), Variant::fromUtf8("文本")); break;
            case 2: formula.bind(static_cast<int>(i), Variant::fromLong(40000)); break;
            default: formula.bind(static_cast<int>(i), Variant::fromDate(46000.5)); break;
            }
        }
        engine.evaluate(formula, result);
        engine.evaluate(formula, result);
    }

    std::string text = expression;
    expandExpressions(text, engine);
    return 0;
}
