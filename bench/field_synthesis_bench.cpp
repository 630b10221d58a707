// Synthesis of a field of every (l, m) up to L on L + 1 rows of 2L columns (two thirds of
// healpy's 12 Nside^2 points for Nside = L / 2), values only, on one or two threads: what
// healpy's alm2map does. bench/synthesis_vs_healpy.py runs it beside healpy.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "sht/field_synthesis.h"

namespace {

void Synthesize(benchmark::State& state)
{
    const int32_t nMax = static_cast<int32_t>(state.range(0));
    std::mt19937 random(1);
    std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
    Field field;
    for (int32_t l = 0; l <= nMax; ++l)
        for (int32_t m = -l; m <= l; ++m)
            field.aTerms.push_back(Term{l, m, coefficient(random)});
    const unsigned nThreads = static_cast<unsigned>(state.range(1));
    const int32_t nRows = nMax + 1, nColumns = 2 * nMax;
    std::vector<double> aValues(static_cast<size_t>(nRows) * static_cast<size_t>(nColumns));
    for (auto _ : state)
    {
        const CFieldSynthesis synthesis(field, nRows, nColumns, nThreads);
        synthesis.Run(aValues.data());
        benchmark::DoNotOptimize(aValues.data());
    }
    state.counters["points"] = static_cast<double>(aValues.size());
    state.counters["coefficients"] = static_cast<double>(field.aTerms.size());
}

}  // namespace

BENCHMARK(Synthesize)
    ->ArgsProduct({{256, 1024, 2048}, {1, 2}})
    ->ArgNames({"L", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
