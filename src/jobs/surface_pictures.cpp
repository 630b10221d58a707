#include "jobs/surface_pictures.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "camera/fit.h"
#include "camera/turntable.h"
#include "colour/color_schemes.h"
#include "export/png_writer.h"
#include "export/values_writer.h"
#include "jobs/job_coloring.h"
#include "jobs/surface_color_bar.h"
#include "picture/picture.h"
#include "render/write_behind.h"
#include "sht/field_extremes.h"
#include "text/picture_title.h"

FieldColoring SurfaceColoring(const Job& job, const SurfaceMesh& mesh, const ComplexSamples& complex)
{
    if (job.colorMode == ColorMode::kSign)
        return FieldColoring{ColorMode::kSign, kColorSchemes[job.request.Value(opt::kScheme)]};
    const FieldExtremes extremes =
        SampledExtremes(job.request.Value(opt::kComplex) ? complex.aRe : mesh.m_aValue, complex.aIm);
    return JobColoring(job, extremes, job.request.Value(opt::kComplex));
}

std::vector<Rgb8> VertexColors(const Job& job, const SurfaceMesh& mesh, const ComplexSamples& complex,
                               const FieldColoring& coloring)
{
    if (job.colorMode == ColorMode::kSign)
        return {};
    const DoubleArray& aRe = job.request.Value(opt::kComplex) ? complex.aRe : mesh.m_aValue;
    std::vector<Rgb8> aColors(static_cast<size_t>(aRe.GetSize()));
    for (int32_t k = 0; k < aRe.GetSize(); ++k)
        aColors[static_cast<size_t>(k)] =
            ColorOf(coloring, aRe[k], job.request.Value(opt::kComplex) ? complex.aIm[k] : 0.0);
    return aColors;
}

void WritePictures(const Job& job, SurfaceMesh&& mesh, std::vector<Rgb8>&& aVertexColors,
                   const FieldColoring& coloring, const Camera& camera, CPictureRenderer& renderer,
                   COutputSet& outputs, IRunHooks& hooks)
{
    const Picture bar = SurfaceColorBarStrip(job, coloring);
    const bool bTurntable = job.request.Get(opt::kTurntable).value_or(0) > 0;
    const int nFrames = bTurntable ? job.request.Get(opt::kTurntable).value_or(0) : 1;
    renderer.SetSurface(std::move(mesh), kColorSchemes[job.request.Value(opt::kScheme)]);
    renderer.SetVertexShading(std::move(aVertexColors), job.request.Value(opt::kSmooth));
    CRunStep step(hooks, bTurntable ? "rendering frames" : "rendering the picture");
    CWriteBehind writer;
    for (int k = 0; k < nFrames; ++k)
        writer.Add([&, k]() -> CWriteBehind::Job {
            Camera frame = camera;
            TurntableFrom(camera.from, camera.to, k, nFrames, frame.from);
            return [&, k, drawing = renderer.Draw(frame)]() mutable {
                Picture picture = renderer.Downsample(std::move(drawing));
                if (bar.nHeight > 0)
                    CopyInto(bar, 0, picture.nHeight - bar.nHeight, picture);
                DrawTitle(picture, job.request.Value(opt::kTitle), job.request.Value(opt::kBackground));
                if (!hooks.TakePicture(picture))
                    outputs.Write(bTurntable ? FrameName(job.framePattern, k) : job.request.Value(opt::kOut),
                                  [&picture](COutputStream& stream) { WritePng(stream, picture); });
                step.Advance(k + 1, nFrames);
            };
        });
    writer.Finish();
}

Camera PictureCamera(const Job& job, const SurfaceMesh& mesh, IRunHooks& hooks)
{
    Camera camera = job.camera;
    if (job.bFit)
        FitCamera(mesh, camera.to, job.request.Value(opt::kSize)[0], job.request.Value(opt::kSize)[1],
                  std::max(job.request.Get(opt::kTurntable).value_or(0), 1), camera.from);
    // The view's unit is the distance from From to To, and the picture's width two of them: a
    // camera far enough away shrinks the surface below a pixel, and the picture is empty.
    double dReach = 0.0;
    for (int32_t v = 0; v < mesh.m_aX.GetSize(); ++v)
    {
        const double d[3] = {mesh.m_aX[v] - camera.to[0], mesh.m_aY[v] - camera.to[1],
                             mesh.m_aZ[v] - camera.to[2]};
        dReach = std::max(dReach, std::hypot(d[0], d[1], d[2]));
    }
    const double dDistance = std::hypot(camera.from[0] - camera.to[0], camera.from[1] - camera.to[1],
                                        camera.from[2] - camera.to[2]);
    if (dReach > 0.0 && dReach / dDistance * 0.5 *
                                std::max(job.request.Value(opt::kSize)[0], job.request.Value(opt::kSize)[1]) <
                            0.5)
        hooks.Warn("the surface spans less than a pixel from a camera " + DecimalText(dDistance) +
                   " away from To: the picture shows none of it (--fit places the camera to show it)");
    return camera;
}
