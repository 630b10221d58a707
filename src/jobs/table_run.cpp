#include <chrono>
#include <future>
#include <stdexcept>
#include <string>
#include <utility>

#include "camera/table_layout.h"
#include "colour/color_schemes.h"
#include "export/output_files.h"
#include "export/png_writer.h"
#include "jobs/run_report.h"
#include "jobs/runs.h"
#include "jobs/table_cells.h"
#include "options/request_error.h"
#include "render/picture_renderer.h"
#include "render/write_behind.h"
#include "text/table_captions.h"

namespace {

// How long the table waits for a cell before it tells its progress again.
constexpr std::chrono::milliseconds kCellWait{50};

}  // namespace

void RunTable(const Job& job, IRunHooks& hooks)
{
    const Convention& convention = job.bHydrogenTable ? job.orbital.orbital.convention : job.field.convention;
    TableWords words{job.nTableMax,
                     job.request.Value(opt::kSize)[0],
                     job.request.Value(opt::kSize)[1],
                     job.request.Value(opt::kTitle),
                     job.request.Value(opt::kTableLabels),
                     job.request.Value(opt::kTablePolynomials),
                     convention,
                     0,
                     job.request.Value(opt::kBackground)};
    if (job.bHydrogenTable)
        words.nPrincipal = job.orbital.orbital.numbers.n;
    TableCaptions captions;
    try
    {
        captions = PlanTableCaptions(words);
    }
    catch (const std::invalid_argument& error)
    {
        throw RequestError(error.what());
    }
    const TableLayout& layout = captions.layout;
    const TableCellMaker make =
        job.bHydrogenTable
            ? OrbitalCells(job.orbital.orbital, job.orbital.level, job.orbital.grid, layout.nSide)
            : HarmonicCells(convention, job.request.Value(opt::kTheta), job.request.Value(opt::kPhi),
                            layout.nSide);
    Picture table = BlankPicture(job.request.Value(opt::kSize)[0], job.request.Value(opt::kSize)[1],
                                 job.request.Value(opt::kBackground));
    try
    {
        const long long nCells =
            (static_cast<long long>(layout.nMax) + 1) * (static_cast<long long>(layout.nMax) + 1);
        long long nDone = 0;
        CRunStep step(hooks, "rendering the table");
        // Progress is told on this thread, between cells and while a cell is awaited, so that a
        // front end can stop the run there.
        const Camera camera = (job.request.Value(opt::kTableScale) == TableScale::kCommon)
                                  ? CommonTableCamera(layout.nMax, make, job.camera,
                                                      [&step, nCells]() { step.Advance(0, nCells); })
                                  : job.camera;
        // The next cell builds on a thread of its own while this one draws (the first while the
        // GL context is made), and each cell is filtered and copied into its place behind the
        // drawing of the next.
        const auto build = [&](int32_t l, int32_t m) {
            return std::async(std::launch::async, make, l, m, camera,
                              !(job.request.Value(opt::kTableScale) == TableScale::kCommon));
        };
        std::future<TableCell> next = build(0, 0);
        CPictureRenderer renderer(
            layout.nSide, layout.nSide,
            PictureStyle{job.request.Value(opt::kSupersample), job.request.Value(opt::kBackground)});
        CWriteBehind writer;
        for (int32_t l = 0; l <= layout.nMax; ++l)
            for (int32_t m = -l; m <= l; ++m)
                writer.Add([&, l, m]() -> CWriteBehind::Job {
                    while (next.wait_for(kCellWait) != std::future_status::ready)
                        step.Advance(nDone, nCells);
                    TableCell cell = next.get();
                    renderer.SetSurface(std::move(cell.mesh), kColorSchemes[job.request.Value(opt::kScheme)]);
                    // Only now, with the previous surface gone: two surfaces at most are held.
                    if (m < l)
                        next = build(l, m + 1);
                    else if (l < layout.nMax)
                        next = build(l + 1, -(l + 1));
                    CWriteBehind::Job copy = [&, l, m, drawing = renderer.Draw(cell.camera)]() mutable {
                        CopyInto(renderer.Downsample(std::move(drawing)), layout.CellLeft(m),
                                 layout.CellTop(l), table);
                    };
                    step.Advance(++nDone, nCells);
                    return copy;
                });
        writer.Finish();
    }
    catch (const std::invalid_argument& error)
    {
        // A level that leaves an orbital no surface.
        throw RequestError(error.what());
    }
    DrawTableCaptions(table, captions, words);
    COutputSet outputs;
    if (!hooks.TakePicture(table))
        outputs.Write(job.request.Value(opt::kOut),
                      [&table](COutputStream& stream) { WritePng(stream, table); });
    if (job.request.Value(opt::kStats))
        hooks.Print(TableStatsLine(layout));
    outputs.Commit();
}
