#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "colour/color_schemes.h"
#include "export/mesh_export.h"
#include "export/output_files.h"
#include "export/png_writer.h"
#include "export/values_writer.h"
#include "hydrogen/boundary_mesh.h"
#include "hydrogen/enclosed_probability.h"
#include "jobs/job_coloring.h"
#include "jobs/orbital_values.h"
#include "jobs/page_output.h"
#include "jobs/run_report.h"
#include "jobs/runs.h"
#include "jobs/surface_pictures.h"
#include "jobs/value_caption.h"
#include "maps/map_picture.h"
#include "mesh/mesh_geometry.h"
#include "options/request_error.h"
#include "sht/build_limits.h"
#include "sht/field_extremes.h"
#include "text/color_bar_labels.h"
#include "text/picture_title.h"

namespace {

// The memory of a slice, by its pixels: the points of the plane (24 bytes), psi at each (16), the
// samples kept (8 or 16), the picture (4) and the PNG's rows; measured 82 bytes a pixel at
// 4000 x 4000 and 8192 x 8192, with room to spare.
constexpr double kSliceBytesPerPixel = 96.0;

// The surface of the job's orbital; a level that leaves none is the request's fault.
BoundarySurface BuildOrbitalSurface(const OrbitalJob& orbital, IRunHooks& hooks)
{
    CRunStep step(hooks, "building the surface");
    try
    {
        return BuildBoundarySurface(orbital.orbital, orbital.level, orbital.grid, 0,
                                    [&step](int32_t nDone, int32_t nTotal) { step.Advance(nDone, nTotal); });
    }
    catch (const std::invalid_argument& error)
    {
        throw RequestError(error.what());
    }
}

}  // namespace

void RunOrbital(const Job& job, IRunHooks& hooks)
{
    const Request& r = job.request;
    if (!r.Has(opt::kStats) && !r.Has(opt::kMesh) && !r.Has(opt::kOut) && !r.Has(opt::kHtml))
    {
        RunOrbitalValues(job.orbital.orbital, job.orbital.values, hooks);
        return;
    }
    const BoundarySurface surface = BuildOrbitalSurface(job.orbital, hooks);
    std::vector<std::array<double, 2>> aValues;
    {
        CRunStep step(hooks, "evaluating psi at the vertices");
        aValues = BoundaryVertexValues(surface, job.orbital.orbital, [&step](size_t nDone, size_t nTotal) {
            step.Advance(static_cast<long long>(nDone), static_cast<long long>(nTotal));
        });
    }
    SurfaceMesh mesh = BoundarySurfaceMesh(surface, aValues);
    ComplexSamples complex;  // psi at every vertex, for the colours of a complex orbital
    if (job.request.Value(opt::kComplex))
    {
        complex.aRe.SetSizeForOverwrite(static_cast<int32_t>(aValues.size()));
        complex.aIm.SetSizeForOverwrite(static_cast<int32_t>(aValues.size()));
        for (size_t v = 0; v < aValues.size(); ++v)
        {
            complex.aRe[static_cast<int32_t>(v)] = aValues[v][0];
            complex.aIm[static_cast<int32_t>(v)] = aValues[v][1];
        }
    }
    // The drawing is made before any output is written, so that a run that cannot draw writes
    // nothing.
    std::optional<CPictureRenderer> renderer;
    if (!job.request.Value(opt::kOut).empty())
        renderer.emplace(
            job.request.Value(opt::kSize)[0], job.request.Value(opt::kSize)[1],
            PictureStyle{job.request.Value(opt::kSupersample), job.request.Value(opt::kBackground)});

    COutputSet outputs;
    const FieldColoring coloring = SurfaceColoring(job, mesh, complex);
    std::vector<Rgb8> aVertexColors = VertexColors(job, mesh, complex, coloring);
    if (!job.request.Value(opt::kMesh).empty())
    {
        MeshGeometry geometry = BoundaryMeshGeometry(mesh, surface, job.orbital.orbital,
                                                     job.request.Get(opt::kScale).value_or(0.0));
        geometry.aColor = aVertexColors;
        if (job.request.Value(opt::kComplex))
            geometry.aPhase = MeshPhases(complex.aRe, complex.aIm);
        if (!hooks.TakeMesh(geometry))
            WriteMeshFiles(outputs, job.request.Value(opt::kMesh), geometry,
                           kColorSchemes[job.request.Value(opt::kScheme)]);
    }
    std::string strStats = job.request.Value(opt::kStats) ? OrbitalStatsLine(job, surface) : "";
    strStats += WriteOrbitalValues(job.orbital.orbital, job.orbital.values, outputs, hooks);
    const Camera camera =
        renderer || !job.request.Value(opt::kHtml).empty() ? PictureCamera(job, mesh, hooks) : job.camera;
    if (!job.request.Value(opt::kHtml).empty())
        WritePage(job, mesh, aVertexColors, coloring, camera, outputs, hooks);
    if (renderer)
        WritePictures(job, std::move(mesh), std::move(aVertexColors), coloring, camera, *renderer, outputs,
                      hooks);
    if (!strStats.empty())
        hooks.Print(strStats);
    outputs.Commit();
    if (!job.strConventionNote.empty())
        hooks.Note(job.strConventionNote);
    if (surface.mesh.aTriangles[0].empty() && surface.mesh.aTriangles[1].empty())
        hooks.Warn("the surface |psi| = " + DecimalText(surface.level.dLevel) +
                   " lies between the directions sampled and has no triangle: give more --theta and --phi "
                   "samples, or a lower level");
}

void RunSlice(const Job& job, IRunHooks& hooks)
{
    const std::string strPlaneError = SlicePlaneError(job.orbital.slice);
    if (!strPlaneError.empty())
        throw RequestError("--slice: " + strPlaneError);
    const int nWidth = job.request.Value(opt::kSize)[0];
    // The bar says what its values are.
    const bool bCaption = job.colorMode != ColorMode::kSign;
    const std::string strCaption = ValueCaption(job);
    // Without a given size, the square above the colour bar's strip.
    const int nHeight = job.bSizeGiven
                            ? job.request.Value(opt::kSize)[1]
                            : std::min(nWidth + ColorBarStripHeight(job.colorMode, nWidth, nWidth, bCaption),
                                       kMaxPictureSide);
    const int nMapHeight = nHeight - ColorBarStripHeight(job.colorMode, nWidth, nHeight, bCaption);
    CheckWorkMemory(kSliceBytesPerPixel * static_cast<double>(nWidth) * nHeight,
                    "a slice of " + std::to_string(nWidth) + " x " + std::to_string(nHeight) + " pixels");
    SliceSamples samples;
    {
        CRunStep step(hooks, "sampling the orbital");
        samples =
            SampleSlice(job.orbital.orbital, job.orbital.slice, job.orbital.sliceQuantity, nWidth, nMapHeight,
                        HoldingRadius(job.orbital.orbital), [&step](size_t nDone, size_t nTotal) {
                            step.Advance(static_cast<long long>(nDone), static_cast<long long>(nTotal));
                        });
    }
    // A plane where psi is 0 holds rounding alone, drawn as 0 as a map of a field 0 everywhere is.
    const bool bNodal =
        IsNodalSlice(samples, job.orbital.sliceQuantity, CEnclosedProbability(job.orbital.orbital).Peak());
    if (bNodal)
        for (DoubleArray* pValues : {&samples.aRe, &samples.aIm})
            std::fill(pValues->GetData(), pValues->GetData() + pValues->GetSize(), 0.0);
    const FieldExtremes extremes = SampledExtremes(samples.aRe, samples.aIm);
    const bool bPhase = samples.aIm.GetSize() > 0;
    const FieldColoring coloring = JobColoring(job, extremes, bPhase);
    Picture picture =
        MakeSlicePicture(samples, coloring, nWidth, nHeight, job.request.Value(opt::kBackground), bCaption);
    if (nMapHeight < nHeight)
    {
        const ColorBarLayout bar = LayOutColorBar(nWidth, nMapHeight, nHeight - nMapHeight, bCaption);
        DrawColorBarLabels(bar, coloring, job.request.Value(opt::kBackground), picture);
        DrawColorBarCaption(bar, strCaption, job.request.Value(opt::kBackground), picture);
    }
    DrawTitle(picture, job.request.Value(opt::kTitle), job.request.Value(opt::kBackground));
    COutputSet outputs;
    if (!hooks.TakePicture(picture))
        outputs.Write(job.request.Value(opt::kOut),
                      [&picture](COutputStream& stream) { WritePng(stream, picture); });
    outputs.Commit();
    if (!job.strConventionNote.empty())
        hooks.Note(job.strConventionNote);
    if (bNodal)
    {
        char acLine[160];
        std::snprintf(
            acLine, sizeof acLine,
            "%s is 0 everywhere in the plane of --slice (below %g of its largest |psi|): drawn as 0",
            OrbitalName(job.orbital.orbital.numbers).c_str(), kNodalSlice);
        hooks.Warn(acLine);
    }
}
