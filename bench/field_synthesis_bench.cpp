// Synthesis of a field of every (l, m) up to L on the (L + 1) x 2(L + 1) grid of its surface
// (about healpy's 12 Nside^2 points for Nside = L / 2), values only: what healpy's alm2map does.
// bench/synthesis_vs_healpy.py runs it beside healpy.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "surface/field_synthesis.h"

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
    const int32_t nRows = nMax + 1, nColumns = 2 * (nMax + 1);
    std::vector<double> aValues(static_cast<size_t>(nRows) * static_cast<size_t>(nColumns));
    for (auto _ : state)
    {
        const CFieldSynthesis synthesis(field, nRows, nColumns);
        synthesis.Run(aValues.data());
        benchmark::DoNotOptimize(aValues.data());
    }
    state.counters["points"] = static_cast<double>(aValues.size());
    state.counters["coefficients"] = static_cast<double>(field.aTerms.size());
}

}  // namespace

BENCHMARK(Synthesize)->Arg(256)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
