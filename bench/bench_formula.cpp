// Evaluations per second of a typical wage formula: compiled once with bound values (as the month
// calculation runs it) against substituting the values into the text and parsing it each time.

#include "script/formula.h"
#include "script/scriptengine.h"
#include "script/wagecontext.h"
#include "script/wagefunctions.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

// Counts heap allocations so that the compiled path can show it allocates nothing per run.
static std::atomic<long> g_allocations{0};

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

using namespace orvane::script;

namespace {

constexpr const char* kFormula = "{JBGZ}*0.08+IIf({GL}>10,200,100)+Round({JX}/3,2)";

struct Person
{
    double jbgz;
    int gl;
    double jx;
};

std::vector<Person> people()
{
    std::vector<Person> out;
    for (int i = 0; i < 1000; ++i)
        out.push_back({3000 + i * 1.25, i % 30, 500 + (i % 97) * 10.5});
    return out;
}

void checkOk(bool ok, benchmark::State& state, ScriptEngine& engine)
{
    if (!ok)
        state.SkipWithError(engine.lastError().description.c_str());
}

void BM_CompiledFormula(benchmark::State& state)
{
    WageContext context;
    ScriptEngine engine;
    registerWageFunctions(engine.host(), context);
    engine.reset();
    Formula formula;
    checkOk(engine.compile(kFormula, formula), state, engine);
    const int jbgz = formula.slot("JBGZ");
    const int gl = formula.slot("GL");
    const int jx = formula.slot("JX");
    const auto persons = people();
    size_t i = 0;
    Variant result;
    const long allocationsBefore = g_allocations.load();
    for (auto _ : state) {
        const Person& p = persons[i++ % persons.size()];
        formula.bind(jbgz, Variant::fromDouble(p.jbgz));
        formula.bind(gl, Variant::fromLong(p.gl));
        formula.bind(jx, Variant::fromDouble(p.jx));
        if (!engine.evaluate(formula, result)) {
            checkOk(false, state, engine);
            break;
        }
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["allocs_per_eval"] =
        static_cast<double>(g_allocations.load() - allocationsBefore) /
        static_cast<double>(state.iterations());
}
BENCHMARK(BM_CompiledFormula);

void BM_SubstitutedText(benchmark::State& state)
{
    WageContext context;
    ScriptEngine engine;
    registerWageFunctions(engine.host(), context);
    engine.reset();
    const std::vector<std::string> names{"JBGZ", "GL", "JX"};
    const auto persons = people();
    size_t i = 0;
    Variant result;
    std::string text;
    for (auto _ : state) {
        const Person& p = persons[i++ % persons.size()];
        const std::vector<Variant> values{Variant::fromDouble(p.jbgz), Variant::fromLong(p.gl),
                                          Variant::fromDouble(p.jx)};
        Formula::substitute(kFormula, names, values, text);
        if (!engine.evaluate(text, result)) {
            checkOk(false, state, engine);
            break;
        }
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SubstitutedText);

} // namespace

BENCHMARK_MAIN();
