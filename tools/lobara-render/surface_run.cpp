#include "lobara-render/surface_run.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
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

// The single picture, or every frame of the turntable, each written as it is made.
void WritePictures(const RenderOptions& options, const ColorScheme& colors, SurfaceMesh&& mesh,
                   CPictureRenderer& renderer, COutputSet& outputs)
{
    const bool bTurntable = options.nTurntableFrames > 0;
    const int nFrames = bTurntable ? options.nTurntableFrames : 1;
    Camera camera = options.camera;
    if (options.bFit)
        FitCamera(mesh, camera.to, options.nWidth, options.nHeight, nFrames, camera.from);

    renderer.SetSurface(std::move(mesh), colors);
    CProgress progress(bTurntable ? "rendering frames" : "rendering the picture");
    for (int k = 0; k < nFrames; ++k)
    {
        Camera frame = camera;
        TurntableFrom(camera.from, camera.to, k, nFrames, frame.from);
        const Picture picture = renderer.Render(frame);
        outputs.Write(bTurntable ? FrameName(options.framePattern, k) : options.strPicturePath,
                      [&picture](COutputStream& stream) { WritePng(stream, picture); });
        progress.Update(k + 1, nFrames);
    }
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

    if (options.nL < 0 || std::llabs(static_cast<long long>(options.nM)) > options.nL)
        std::fprintf(stderr, "lobara-render: warning: Y(%d, %d) is 0 everywhere (it needs 0 <= |m| <= l)\n",
                     options.nL, options.nM);

    // The drawing is what most needs memory and a working driver: it is made before any output
    // is written, so that a run that cannot draw writes nothing.
    std::optional<CPictureRenderer> renderer;
    if (!options.strPicturePath.empty())
        renderer.emplace(options.nWidth, options.nHeight,
                         PictureStyle{options.nSupersample, options.background});

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
    if (renderer)
        WritePictures(options, colors, std::move(mesh), *renderer, outputs);

    if (options.bStats && (std::fputs(strStats.c_str(), stdout) == EOF || std::fflush(stdout) != 0))
        throw std::runtime_error(std::string("cannot write the statistics to stdout: ") +
                                 std::strerror(errno));
    outputs.Commit();
}
