#include "lobara-render/table_run.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "camera/fit.h"
#include "export/output_files.h"
#include "export/png_writer.h"
#include "lobara-render/progress.h"
#include "render/picture_renderer.h"
#include "render/write_behind.h"
#include "surface/color_schemes.h"
#include "surface/surface_builder.h"

namespace {

Picture BlankPicture(int nWidth, int nHeight, Background background)
{
    const std::array<uint8_t, 4> anPixel = BackgroundPixel(background);
    Picture picture{nWidth, nHeight, background == Background::kTransparent, {}};
    picture.aRgba.resize(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight) * 4);
    for (size_t i = 0; i < picture.aRgba.size(); ++i)
        picture.aRgba[i] = anPixel[i % 4];
    return picture;
}

void CopyInto(const Picture& cell, int nLeft, int nTop, Picture& table)
{
    const size_t nRowBytes = static_cast<size_t>(cell.nWidth) * 4;
    for (int y = 0; y < cell.nHeight; ++y)
        std::memcpy(table.aRgba.data() + (static_cast<size_t>(nTop + y) * static_cast<size_t>(table.nWidth) +
                                          static_cast<size_t>(nLeft)) *
                                             4,
                    cell.aRgba.data() + static_cast<size_t>(y) * nRowBytes, nRowBytes);
}

// Draws the --fit picture of Y(l, m) at the renderer's cell size.
Picture DrawCell(const RenderOptions& options, int32_t l, int32_t m, int nSide, CPictureRenderer& renderer)
{
    SurfaceMesh mesh;
    BuildSurfaceMesh(l, m, options.nThetaDiv, options.nPhiDiv, mesh);
    Camera camera = options.camera;
    FitCamera(mesh, camera.to, nSide, nSide, 1, camera.from);
    renderer.SetSurface(std::move(mesh), kColorSchemes[options.nColorScheme]);
    return renderer.Draw(camera);
}

}  // namespace

void RunTable(const RenderOptions& options)
{
    const int nMax = options.nTableMax;
    const int nSide = std::min(options.nWidth / (2 * nMax + 1), options.nHeight / (nMax + 1));
    const int nLeft = (options.nWidth - (2 * nMax + 1) * nSide) / 2;
    const int nTop = (options.nHeight - (nMax + 1) * nSide) / 2;
    Picture table = BlankPicture(options.nWidth, options.nHeight, options.background);
    {
        CPictureRenderer renderer(nSide, nSide, PictureStyle{options.nSupersample, options.background});
        CProgress progress("rendering the table");
        const long long nCells = (static_cast<long long>(nMax) + 1) * (static_cast<long long>(nMax) + 1);
        long long nDone = 0;
        // Each cell is filtered and copied into its place while the next one builds and draws.
        CWriteBehind writer;
        for (int32_t l = 0; l <= nMax; ++l)
            for (int32_t m = -l; m <= l; ++m)
                writer.Add([&, l, m]() -> CWriteBehind::Job {
                    return [&, l, m, drawing = DrawCell(options, l, m, nSide, renderer)]() mutable {
                        CopyInto(renderer.Downsample(std::move(drawing)), nLeft + (m + nMax) * nSide,
                                 nTop + l * nSide, table);
                        progress.Update(++nDone, nCells);
                    };
                });
        writer.Finish();
    }
    COutputSet outputs;
    outputs.Write(options.strPicturePath, [&table](COutputStream& stream) { WritePng(stream, table); });
    outputs.Commit();
}
