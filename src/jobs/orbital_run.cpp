#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "colour/color_schemes.h"
#include "export/mesh_export.h"
#include "export/output_files.h"
#include "export/png_writer.h"
#include "hydrogen/boundary_mesh.h"
#include "jobs/page_output.h"
#include "jobs/request_error.h"
#include "jobs/run_report.h"
#include "jobs/runs.h"
#include "jobs/surface_pictures.h"
#include "jobs/value_caption.h"
#include "maps/map_picture.h"
#include "mesh/mesh_geometry.h"
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
    const CRunStep step(hooks, "building the surface");
    try
    {
        return BuildBoundarySurface(orbital.orbital, orbital.level, orbital.grid);
    }
    catch (const std::invalid_argument& error)
    {
        throw RequestError(error.what());
    }
}

}  // namespace

void RunOrbital(const Job& job, IRunHooks& hooks)
{
    const BoundarySurface surface = BuildOrbitalSurface(job.orbital, hooks);
    const std::vector<std::array<double, 2>> aValues = BoundaryVertexValues(surface, job.orbital.orbital);
    SurfaceMesh mesh = BoundarySurfaceMesh(surface, aValues);
    ComplexSamples complex;  // psi at every vertex, for the colours of a complex orbital
    if (job.bComplex)
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
    if (!job.strPicturePath.empty())
        renderer.emplace(job.nWidth, job.nHeight, PictureStyle{job.nSupersample, job.background});

    COutputSet outputs;
    const FieldColoring coloring = SurfaceColoring(job, mesh, complex);
    std::vector<Rgb8> aVertexColors = VertexColors(job, mesh, complex, coloring);
    if (!job.strMeshPath.empty())
    {
        MeshGeometry geometry = BoundaryMeshGeometry(mesh, surface, job.dScaleMillimetres);
        geometry.aColor = aVertexColors;
        if (job.bComplex)
            geometry.aPhase = MeshPhases(complex.aRe, complex.aIm);
        if (!hooks.TakeMesh(geometry))
            WriteMeshFiles(outputs, job.strMeshPath, geometry, kColorSchemes[job.nColorScheme]);
    }
    const std::string strStats = job.bStats ? OrbitalStatsLine(job, surface) : "";
    const Camera camera = renderer || !job.strPagePath.empty() ? PictureCamera(job, mesh, hooks) : job.camera;
    if (!job.strPagePath.empty())
        WritePage(job, mesh, aVertexColors, coloring, camera, outputs, hooks);
    if (renderer)
        WritePictures(job, std::move(mesh), std::move(aVertexColors), camera, *renderer, outputs, hooks);
    if (!strStats.empty())
        hooks.Print(strStats);
    outputs.Commit();
    if (!job.strConventionNote.empty())
        hooks.Note(job.strConventionNote);
}

void RunSlice(const Job& job, IRunHooks& hooks)
{
    const std::string strPlaneError = SlicePlaneError(job.orbital.slice);
    if (!strPlaneError.empty())
        throw RequestError("--slice: " + strPlaneError);
    const int nWidth = job.nWidth;
    // The bar says what its values are.
    const bool bCaption = job.colorMode != ColorMode::kSign;
    const std::string strCaption = ValueCaption(job);
    // Without a given size, the square above the colour bar's strip.
    const int nHeight = job.bSizeGiven
                            ? job.nHeight
                            : std::min(nWidth + ColorBarStripHeight(job.colorMode, nWidth, nWidth, bCaption),
                                       kMaxPictureSide);
    const int nMapHeight = nHeight - ColorBarStripHeight(job.colorMode, nWidth, nHeight, bCaption);
    CheckWorkMemory(kSliceBytesPerPixel * static_cast<double>(nWidth) * nHeight,
                    "a slice of " + std::to_string(nWidth) + " x " + std::to_string(nHeight) + " pixels");
    SliceSamples samples;
    {
        const CRunStep step(hooks, "sampling the orbital");
        samples = SampleSlice(job.orbital.orbital, job.orbital.slice, job.orbital.sliceQuantity, nWidth,
                              nMapHeight, DefaultSliceHalfWidth(job.orbital.orbital));
    }
    const FieldExtremes extremes = SampledExtremes(samples.aRe, samples.aIm);
    const bool bPhase = samples.aIm.GetSize() > 0;
    const FieldColoring coloring =
        ChooseColoring(job.colorMode, kColorSchemes[job.nColorScheme], job.strColorMap, job.bRange,
                       job.dRangeLow, job.dRangeHigh, extremes.dLowest, extremes.dHighest, bPhase);
    Picture picture = MakeSlicePicture(samples, coloring, nWidth, nHeight, job.background, bCaption);
    if (nMapHeight < nHeight)
    {
        const ColorBarLayout bar = LayOutColorBar(nWidth, nMapHeight, nHeight - nMapHeight, bCaption);
        DrawColorBarLabels(bar, coloring, job.background, picture);
        DrawColorBarCaption(bar, strCaption, job.background, picture);
    }
    DrawTitle(picture, job.strTitle, job.background);
    COutputSet outputs;
    if (!hooks.TakePicture(picture))
        outputs.Write(job.strPicturePath, [&picture](COutputStream& stream) { WritePng(stream, picture); });
    outputs.Commit();
    if (!job.strConventionNote.empty())
        hooks.Note(job.strConventionNote);
}
