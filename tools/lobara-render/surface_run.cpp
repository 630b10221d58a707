#include "lobara-render/surface_run.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "camera/fit.h"
#include "camera/turntable.h"
#include "export/mesh_export.h"
#include "export/output_files.h"
#include "export/png_writer.h"
#include "export/values_writer.h"
#include "lobara-render/progress.h"
#include "render/picture_renderer.h"
#include "render/write_behind.h"
#include "surface/color_schemes.h"
#include "surface/surface_builder.h"

namespace {

std::string StatsLine(const RenderOptions& options, const SurfaceMesh& mesh)
{
    const int32_t nPositive = mesh.m_aPosQuads.GetSize();
    const int32_t nNegative = mesh.m_aNegQuads.GetSize();
    char acLine[256];
    std::snprintf(acLine, sizeof acLine,
                  "{\"l\":%d,\"m\":%d,\"theta\":%d,\"phi\":%d,\"vertices\":%d,\"faces\":%lld,"
                  "\"positive\":%d,\"negative\":%d}\n",
                  options.nL, options.nM, options.nThetaDiv, options.nPhiDiv, mesh.m_aX.GetSize(),
                  static_cast<long long>(nPositive) + nNegative, nPositive, nNegative);
    return acLine;
}

// The single picture, or every frame of the turntable, each encoded and written while the next
// one draws.
void WritePictures(const RenderOptions& options, const ColorScheme& colors, SurfaceMesh&& mesh,
                   COutputSet& outputs)
{
    const bool bTurntable = options.nTurntableFrames > 0;
    const int nFrames = bTurntable ? options.nTurntableFrames : 1;
    Camera camera = options.camera;
    if (options.bFit)
        FitCamera(mesh, camera.to, options.nWidth, options.nHeight, nFrames, camera.from);

    CPictureRenderer renderer(options.nWidth, options.nHeight,
                              PictureStyle{options.nSupersample, options.background});
    renderer.SetSurface(std::move(mesh), colors);
    CProgress progress(bTurntable ? "rendering frames" : "rendering the picture");
    CWriteBehind writer;
    for (int k = 0; k < nFrames; ++k)
        writer.Add([&, k]() -> CWriteBehind::Job {
            Camera frame = camera;
            TurntableFrom(camera.from, camera.to, k, nFrames, frame.from);
            return [&, k, drawing = renderer.Draw(frame)]() mutable {
                const Picture picture = renderer.Downsample(std::move(drawing));
                outputs.Write(bTurntable ? FrameName(options.framePattern, k) : options.strPicturePath,
                              [&picture](COutputStream& stream) { WritePng(stream, picture); });
                progress.Update(k + 1, nFrames);
            };
        });
    writer.Finish();
}

}  // namespace

void RunSurface(const RenderOptions& options)
{
    const ColorScheme& colors = kColorSchemes[options.nColorScheme];
    SurfaceMesh mesh;
    {
        CProgress progress("building the surface");
        BuildSurfaceMesh(options.nL, options.nM, options.nThetaDiv, options.nPhiDiv, mesh,
                         [&progress](int32_t nDone, int32_t nRows) { progress.Update(nDone, nRows); });
    }

    COutputSet outputs;
    if (!options.strValuesPath.empty())
    {
        // The shape of the grid actually sampled: no count below 0.
        const int32_t nRows = std::max(options.nThetaDiv, 0), nColumns = std::max(options.nPhiDiv, 0);
        outputs.Write(options.strValuesPath, [&](COutputStream& stream) {
            WriteValues(stream, mesh.m_aValue, IsNpyPath(options.strValuesPath), nRows, nColumns);
        });
    }
    if (!options.strMeshPath.empty())
        WriteMeshFiles(outputs, options.strMeshPath, mesh, colors);
    const std::string strStats = StatsLine(options, mesh);
    if (!options.strPicturePath.empty())
        WritePictures(options, colors, std::move(mesh), outputs);

    if (options.bStats && (std::fputs(strStats.c_str(), stdout) == EOF || std::fflush(stdout) != 0))
        throw std::runtime_error(std::string("cannot write the statistics to stdout: ") +
                                 std::strerror(errno));
    outputs.Commit();
}
