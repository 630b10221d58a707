// Frame time of the paint sequence (clear, draw, flush, finish) in an offscreen context, for
// each of the benchmark views: what a window's paint would cost with nothing around it.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "bench_views.h"
#include "platform/heap_tuning.h"
#include "render/gl_camera.h"
#include "render/offscreen_context.h"
#include "render/surface_scene.h"

namespace {

void DrawFrame(benchmark::State& state, const BenchView& view)
{
    CLobaraSettings settings;
    settings.m_nThetaDiv = view.nThetaDiv;
    settings.m_nPhiDiv = view.nPhiDiv;
    COffscreenContext context(view.nWidth, view.nHeight);
    context.MakeCurrent();
    CSurfaceScene scene(settings, false);
    scene.Create();
    SetProjection(view.nWidth, view.nHeight);
    scene.Paint();  // the first paint builds; the frames below only draw
    for (auto _ : state)
    {
        scene.Paint();
        glFinish();
    }
    state.counters["frames/s"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

int main(int argc, char** argv)
{
    // As the renderer and the viewer run.
    TuneHeapForDrawing();
    benchmark::Initialize(&argc, argv);
    for (const BenchView& view : kBenchViews)
        benchmark::RegisterBenchmark(view.pszName, DrawFrame, view)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(2.0);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
