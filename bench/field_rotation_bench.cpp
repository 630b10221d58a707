// Rotation of a field of every (l, m) up to L by general Euler angles, on one or two threads:
// what healpy's rotate_alm does. bench/rotation_vs_healpy.py runs it beside healpy.
#include <benchmark/benchmark.h>

#include <random>

#include "sht/field_rotation.h"
#include "sht/rotation_text.h"

namespace {

void Rotate(benchmark::State& state)
{
    const int32_t nMax = static_cast<int32_t>(state.range(0));
    std::mt19937 random(1);
    std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
    Field field;
    for (int32_t l = 0; l <= nMax; ++l)
        for (int32_t m = -l; m <= l; ++m)
            field.aTerms.push_back(Term{l, m, coefficient(random)});
    const Rotation rotation = ParseRotation("zyz:20,30,40");
    const unsigned nThreads = static_cast<unsigned>(state.range(1));
    for (auto _ : state)
    {
        const Field rotated = RotateField(field, rotation, nThreads);
        benchmark::DoNotOptimize(rotated.aTerms.data());
    }
    state.counters["coefficients"] = static_cast<double>(field.aTerms.size());
}

}  // namespace

BENCHMARK(Rotate)
    ->ArgsProduct({{256, 1024, 2048}, {1, 2}})
    ->ArgNames({"L", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
