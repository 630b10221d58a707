// Surface build time against the floor of writing the mesh's bytes once (memset of the same
// byte count, run in the same process). Targets, single-threaded: the defaults within 5x of
// that floor, l = 1000 at the default resolution within 10x.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "mesh/surface_builder.h"

namespace {

size_t MeshBytes(const SurfaceMesh& mesh)
{
    size_t nBytes = 0;
    for (const FloatArray* pArray : {&mesh.m_aX, &mesh.m_aY, &mesh.m_aZ, &mesh.m_aPosNX, &mesh.m_aPosNY,
                                     &mesh.m_aPosNZ, &mesh.m_aNegNX, &mesh.m_aNegNY, &mesh.m_aNegNZ})
        nBytes += static_cast<size_t>(pArray->GetSize()) * sizeof(float);
    nBytes += static_cast<size_t>(mesh.m_aValue.GetSize()) * sizeof(double);
    nBytes += static_cast<size_t>(mesh.m_aPosQuads.GetSize() + mesh.m_aNegQuads.GetSize()) * sizeof(FaceQuad);
    return nBytes;
}

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

// The bytes of the default mesh, written once by memset into a buffer that stays allocated,
// as the builder's arrays do between builds.
void MemsetMeshBytes(benchmark::State& state)
{
    SurfaceMesh mesh;
    BuildSurfaceMesh(2, 0, 480, 240, mesh);
    std::vector<unsigned char> aBuffer(MeshBytes(mesh));
    for (auto _ : state)
    {
        std::memset(aBuffer.data(), 0, aBuffer.size());
        benchmark::DoNotOptimize(aBuffer.data());
        benchmark::ClobberMemory();
    }
    state.counters["bytes"] = static_cast<double>(aBuffer.size());
}

}  // namespace

BENCHMARK(MemsetMeshBytes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildSurface, defaults_l2_m0_480x240, 2, 0, 480, 240)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildSurface, l1000_m0_480x240, 1000, 0, 480, 240)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildSurface, l1000_m500_480x240, 1000, 500, 480, 240)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildSurface, l1000_m1000_480x240, 1000, 1000, 480, 240)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildSurface, l20_m7_1920x960, 20, 7, 1920, 960)->Unit(benchmark::kMillisecond);
