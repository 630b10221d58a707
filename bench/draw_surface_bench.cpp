// Frame time of the paint sequence (clear, draw, flush, finish) in an 800 x 600 offscreen
// context, at the default resolution and at 1920 x 960 samples.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "platform/offscreen_context.h"
#include "view/gl_camera.h"
#include "view/surface_scene.h"

namespace {

void DrawFrame(benchmark::State& state, int32_t nTheta, int32_t nPhi)
{
    CLobaraSettings settings;
    settings.m_nThetaDiv = nTheta;
    settings.m_nPhiDiv = nPhi;
    COffscreenContext context(800, 600);
    context.MakeCurrent();
    CSurfaceScene scene(settings, false);
    scene.Create();
    SetProjection(800, 600);
    scene.Paint();  // the first paint builds; the frames below only draw
    for (auto _ : state)
    {
        scene.Paint();
        glFinish();
    }
    state.counters["frames/s"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK_CAPTURE(DrawFrame, defaults_480x240, 480, 240)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(DrawFrame, fine_1920x960, 1920, 960)->Unit(benchmark::kMillisecond)->UseRealTime();
