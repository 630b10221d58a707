#include "lobara-render/table_run.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <future>
#include <stdexcept>
#include <string>
#include <utility>

#include "camera/table_layout.h"
#include "export/output_files.h"
#include "export/png_writer.h"
#include "lobara-render/progress.h"
#include "render/picture_renderer.h"
#include "render/write_behind.h"
#include "surface/color_schemes.h"
#include "text/table_captions.h"

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

// The cells' side and place, one JSON line.
void PrintTableStats(const TableLayout& layout)
{
    if (std::printf("{\"lmax\":%d,\"side\":%d,\"left\":%d,\"top\":%d,\"pitch\":%d}\n", layout.nMax,
                    layout.nSide, layout.nLeft, layout.nTop, layout.nRowPitch) < 0 ||
        std::fflush(stdout) != 0)
        throw std::runtime_error(std::string("cannot write to stdout: ") + std::strerror(errno));
}

}  // namespace

void RunTable(const RenderOptions& options)
{
    const TableWords words{options.nTableMax,  options.nWidth,      options.nHeight,
                           options.strTitle,   options.tableLabels, options.bTablePolynomials,
                           options.convention, options.background};
    TableCaptions captions;
    try
    {
        captions = PlanTableCaptions(words);
    }
    catch (const std::invalid_argument& error)
    {
        throw UsageError(error.what());
    }
    const TableLayout& layout = captions.layout;
    Picture table = BlankPicture(options.nWidth, options.nHeight, options.background);
    {
        const Camera camera = options.bTableCommonScale
                                  ? CommonTableCamera(layout.nMax, options.convention, options.nThetaDiv,
                                                      options.nPhiDiv, options.camera, layout.nSide)
                                  : options.camera;
        // The next cell builds on a thread of its own while this one draws (the first while the
        // GL context is made), and each cell is filtered and copied into its place behind the
        // drawing of the next.
        const auto build = [&](int32_t l, int32_t m) {
            return std::async(std::launch::async, MakeTableCell, Field{{Term{l, m, 1.0}}, options.convention},
                              options.nThetaDiv, options.nPhiDiv, camera, layout.nSide,
                              !options.bTableCommonScale);
        };
        std::future<TableCell> next = build(0, 0);
        CPictureRenderer renderer(layout.nSide, layout.nSide,
                                  PictureStyle{options.nSupersample, options.background});
        CProgress progress("rendering the table");
        const long long nCells =
            (static_cast<long long>(layout.nMax) + 1) * (static_cast<long long>(layout.nMax) + 1);
        long long nDone = 0;
        CWriteBehind writer;
        for (int32_t l = 0; l <= layout.nMax; ++l)
            for (int32_t m = -l; m <= l; ++m)
                writer.Add([&, l, m]() -> CWriteBehind::Job {
                    TableCell cell = next.get();
                    renderer.SetSurface(std::move(cell.mesh), kColorSchemes[options.nColorScheme]);
                    // Only now, with the previous surface gone: two surfaces at most are held.
                    if (m < l)
                        next = build(l, m + 1);
                    else if (l < layout.nMax)
                        next = build(l + 1, -(l + 1));
                    return [&, l, m, drawing = renderer.Draw(cell.camera)]() mutable {
                        CopyInto(renderer.Downsample(std::move(drawing)), layout.CellLeft(m),
                                 layout.CellTop(l), table);
                        progress.Update(++nDone, nCells);
                    };
                });
        writer.Finish();
    }
    DrawTableCaptions(table, captions, words);
    COutputSet outputs;
    outputs.Write(options.strPicturePath, [&table](COutputStream& stream) { WritePng(stream, table); });
    if (options.bStats)
        PrintTableStats(layout);
    outputs.Commit();
}
