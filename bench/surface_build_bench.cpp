// Surface build time: the viewer's defaults, and a fine grid of a higher harmonic.
#include <benchmark/benchmark.h>

#include "surface/surface_builder.h"

namespace
{

void BuildSurface(benchmark::State& state, int32_t l, int32_t m, int32_t nT, int32_t nP)
{
    SurfaceMesh mesh;
    for (auto _ : state)
    {
        BuildSurfaceMesh(l, m, nT, nP, mesh);
        benchmark::DoNotOptimize(mesh.m_aX.GetData());
    }
    state.counters["samples/s"] =
        benchmark::Counter(static_cast<double>(nT) * nP, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK_CAPTURE(BuildSurface, defaults_l2_m0_480x240, 2, 0, 480, 240)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildSurface, l20_m7_1920x960, 20, 7, 1920, 960)->Unit(benchmark::kMillisecond);
