// The drawing alone (paint and glFinish, no readback) of what two lobara-render runs draw, for
// runs_vs_draw.py to set those whole runs against: every frame of --turntable N of the default
// surface at W x H, and every cell of --table LMAX at W x H. After Google Benchmark's own
// options: --turntable=N --table=LMAX --size=WxH.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "camera/table_layout.h"
#include "camera/turntable.h"
#include "colour/color_schemes.h"
#include "jobs/table_cells.h"
#include "mesh/surface_builder.h"
#include "platform/heap_tuning.h"
#include "render/picture_renderer.h"
#include "settings/sampling_defaults.h"

namespace {

struct Runs
{
    int nFrames = 0;
    int nTableMax = -1;
    int nWidth = 0;
    int nHeight = 0;
};

void DrawTurntable(benchmark::State& state, const Runs& runs)
{
    CPictureRenderer renderer(runs.nWidth, runs.nHeight, PictureStyle{});
    SurfaceMesh mesh;
    BuildSurfaceMesh(kDefaultL, kDefaultM, kDefaultThetaDiv, kDefaultPhiDiv, mesh);
    renderer.SetSurface(std::move(mesh), kColorSchemes[kDefaultColorScheme]);
    const Camera& camera = kDefaultCamera;
    renderer.Paint(camera);  // the rasteriser compiles its code on the first paint
    for (auto _ : state)
        for (int k = 0; k < runs.nFrames; ++k)
        {
            Camera frame = camera;
            TurntableFrom(camera.from, camera.to, k, runs.nFrames, frame.from);
            renderer.Paint(frame);
            glFinish();
        }
    state.counters["frames/s"] =
        benchmark::Counter(runs.nFrames, benchmark::Counter::kIsIterationInvariantRate);
}

void DrawTable(benchmark::State& state, const Runs& runs)
{
    const TableLayout layout = LayOutTable(runs.nTableMax, runs.nWidth, runs.nHeight);
    CPictureRenderer renderer(layout.nSide, layout.nSide, PictureStyle{});
    const TableCellMaker make =
        HarmonicCells(SingleHarmonic(0, 0).convention, kDefaultThetaDiv, kDefaultPhiDiv, layout.nSide);
    std::vector<TableCell> aCells;
    for (int32_t l = 0; l <= layout.nMax; ++l)
        for (int32_t m = -l; m <= l; ++m)
            aCells.push_back(make(l, m, kDefaultCamera, true));
    renderer.SetSurface(SurfaceMesh(aCells[0].mesh), kColorSchemes[kDefaultColorScheme]);
    renderer.Paint(aCells[0].camera);
    for (auto _ : state)
        for (const TableCell& cell : aCells)
        {
            state.PauseTiming();
            renderer.SetSurface(SurfaceMesh(cell.mesh), kColorSchemes[kDefaultColorScheme]);
            state.ResumeTiming();
            renderer.Paint(cell.camera);
            glFinish();
        }
    state.counters["cells/s"] =
        benchmark::Counter(static_cast<double>(aCells.size()), benchmark::Counter::kIsIterationInvariantRate);
}

bool ReadRuns(int argc, char** argv, Runs& runs)
{
    for (int i = 1; i < argc; ++i)
        if (std::sscanf(argv[i], "--turntable=%d", &runs.nFrames) != 1 &&
            std::sscanf(argv[i], "--table=%d", &runs.nTableMax) != 1 &&
            std::sscanf(argv[i], "--size=%dx%d", &runs.nWidth, &runs.nHeight) != 2)
            return false;
    return runs.nFrames > 0 && runs.nTableMax >= 0 && runs.nWidth >= 2 * runs.nTableMax + 1 &&
           runs.nHeight >= runs.nTableMax + 1;
}

}  // namespace

int main(int argc, char** argv)
{
    // As lobara-render runs.
    TuneHeapForDrawing();
    benchmark::Initialize(&argc, argv);
    Runs runs;
    if (!ReadRuns(argc, argv, runs))
    {
        std::fputs("usage: run_draw_bench [benchmark options] --turntable=N --table=LMAX --size=WxH\n",
                   stderr);
        return 2;
    }
    benchmark::RegisterBenchmark("turntable", DrawTurntable, runs)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("table", DrawTable, runs)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
