#include <algorithm>
#include <optional>
#include <utility>

#include "colour/color_schemes.h"
#include "colour/field_coloring.h"
#include "export/mesh_export.h"
#include "export/netcdf_writer.h"
#include "export/output_files.h"
#include "export/values_writer.h"
#include "jobs/analysed_field.h"
#include "jobs/field_outputs.h"
#include "jobs/file_field.h"
#include "jobs/healpix_maps.h"
#include "jobs/model_quantity.h"
#include "jobs/netcdf_description.h"
#include "jobs/page_output.h"
#include "jobs/run_report.h"
#include "jobs/runs.h"
#include "jobs/surface_pictures.h"
#include "jobs/turned_field.h"
#include "mesh/mesh_geometry.h"
#include "mesh/surface_builder.h"
#include "page/page_writer.h"
#include "render/picture_renderer.h"
#include "sht/complex_field.h"
#include "sht/field_rows.h"
#include "sht/field_synthesis.h"
#include "sht/finite_values.h"
#include "sht/grid_coordinates.h"
#include "sht/symmetry_zeros.h"

namespace {

// The points of --at, each THETA,PHI (the plan checked their count).
std::vector<std::array<double, 2>> AtAngles(const Job& job)
{
    std::vector<std::array<double, 2>> aAngles;
    for (const std::vector<double>& aPoint : job.request.Value(opt::kAt))
        aAngles.push_back({aPoint[0], aPoint[1]});
    return aAngles;
}

// --at: the field's value at each point, one line each; re and im of a complex field.
std::string PointValues(const Job& job)
{
    std::string strText;
    if (job.request.Value(opt::kComplex))
        for (const std::array<double, 2>& value : EvaluateComplexField(job.complexField, AtAngles(job)))
        {
            CheckFiniteValues(value.data(), value.size());
            strText += DecimalText(value[0]) + ' ' + DecimalText(value[1]) + '\n';
        }
    else
        for (double dValue : EvaluateField(job.field, AtAngles(job)))
        {
            CheckFiniteValues(&dValue, 1);
            strText += DecimalText(dValue) + '\n';
        }
    return strText;
}

}  // namespace

void RunSurface(const Job& asked, IRunHooks& hooks)
{
    std::vector<std::string> aWarnings;
    const Job job = WithTurnedField(WithAnalysedField(WithFileField(asked, aWarnings), hooks, aWarnings));
    const bool bSurface = job.request.Value(opt::kStats) || !job.request.Value(opt::kMesh).empty() ||
                          !job.request.Value(opt::kOut).empty() || !job.request.Value(opt::kHtml).empty();
    // A page the browser could not build is refused before the surface is.
    if (job.request.Has(opt::kHtml))
        CheckPageSamples(job.request.Value(opt::kTheta), job.request.Value(opt::kPhi));
    // --values on the HEALPix grid is a map of its own.
    const bool bGridValues = !job.request.Value(opt::kValues).empty() && !job.healpix.bValues;
    SurfaceMesh mesh;
    ComplexSamples complex;  // --complex: both parts of the field at every sample
    {
        CRunStep step(hooks, bSurface ? "building the surface" : "sampling the field");
        const auto onRow = [&step](int32_t nDone, int32_t nRows) { step.Advance(nDone, nRows); };
        // Values alone need no surface geometry; a complex field's polar plot is that of |f|.
        if (job.request.Value(opt::kComplex))
        {
            complex = SampleComplexField(job.complexField, job.request.Value(opt::kTheta),
                                         job.request.Value(opt::kPhi), onRow, job.valuesGrid);
            if (bSurface)
                BuildSurfaceMesh(ComplexModulus(complex), job.request.Value(opt::kTheta),
                                 job.request.Value(opt::kPhi), job.radius, mesh);
        }
        else if (bSurface)
            BuildSurfaceMesh(job.field, job.request.Value(opt::kTheta), job.request.Value(opt::kPhi),
                             job.radius, mesh, onRow);
        else if (bGridValues && !job.aMagnitudeParts.empty())
            mesh.m_aValue = SampleMagnitude(job.aMagnitudeParts, job.request.Value(opt::kTheta),
                                            job.request.Value(opt::kPhi), onRow, job.valuesGrid);
        else if (bGridValues)
            mesh.m_aValue = SampleField(job.field, job.request.Value(opt::kTheta),
                                        job.request.Value(opt::kPhi), onRow, job.valuesGrid);
    }
    const HealpixMap healpixValues = job.healpix.bValues ? SynthesizeHealpixMap(job, hooks) : HealpixMap{};
    for (const HealpixMapColumn& column : healpixValues.aColumns)
        CheckFiniteValues(column.aValues.data(), column.aValues.size());
    for (const DoubleArray* pValues : {&mesh.m_aValue, &complex.aRe, &complex.aIm})
        CheckFiniteValues(pValues->GetData(), static_cast<size_t>(pValues->GetSize()));
    const std::string strPoints = job.request.Value(opt::kAt).empty() ? "" : PointValues(job);
    const CFieldOutputs fieldOutputs(job);

    // The drawing is what most needs memory and a working driver: it is made before any output
    // is written, so that a run that cannot draw writes nothing.
    std::optional<CPictureRenderer> renderer;
    if (!job.request.Value(opt::kOut).empty())
        renderer.emplace(
            job.request.Value(opt::kSize)[0], job.request.Value(opt::kSize)[1],
            PictureStyle{job.request.Value(opt::kSupersample), job.request.Value(opt::kBackground)});

    COutputSet outputs;
    if (job.healpix.bValues)
        outputs.Write(job.request.Value(opt::kValues), [&](COutputStream& stream) {
            WriteHealpixValues(stream, job.request.Value(opt::kValues), healpixValues);
        });
    else if (bGridValues)
    {
        // The shape of the grid actually sampled: no count below 0.
        const int32_t nRows = std::max(job.request.Value(opt::kTheta), 0),
                      nColumns = std::max(job.request.Value(opt::kPhi), 0);
        outputs.Write(job.request.Value(opt::kValues), [&](COutputStream& stream) {
            const ValuesFormat format = ValuesFormatOf(job.request.Value(opt::kValues));
            if (format == ValuesFormat::kNetcdf)
                WriteNetcdfValues(
                    stream, mesh.m_aValue.GetData(),
                    ValuesNetcdfGrid(job, false, SampleGridLatitudes(job.valuesGrid, nRows),
                                     SampleGridLongitudes(nColumns), SampleGridName(job.valuesGrid)));
            else
                WriteValues(stream, job.request.Value(opt::kComplex) ? complex.aRe : mesh.m_aValue, format,
                            nRows, nColumns, job.request.Value(opt::kComplex) ? &complex.aIm : nullptr,
                            job.valuesGrid);
        });
    }
    // The colours the picture shows, which a mesh carries too, with a complex field's phase.
    const bool bPage = !job.request.Value(opt::kHtml).empty();
    const bool bColors = renderer || bPage || !job.request.Value(opt::kMesh).empty();
    const FieldColoring coloring = bColors ? SurfaceColoring(job, mesh, complex) : FieldColoring{};
    std::vector<Rgb8> aVertexColors =
        bColors ? VertexColors(job, mesh, complex, coloring) : std::vector<Rgb8>();
    if (!job.request.Value(opt::kMesh).empty())
    {
        MeshGeometry geometry = MakeMeshGeometry(
            mesh,
            job.request.Value(opt::kComplex)
                ? ComplexSymmetryZeros(job.complexField, job.request.Value(opt::kTheta),
                                       job.request.Value(opt::kPhi))
                : SymmetryZeros(job.field, job.request.Value(opt::kTheta), job.request.Value(opt::kPhi)),
            MeshShape{job.request.Value(opt::kTheta), job.request.Value(opt::kPhi), job.radius,
                      job.request.Get(opt::kScale).value_or(0.0)});
        geometry.aColor = aVertexColors;
        if (job.request.Value(opt::kComplex))
            geometry.aPhase = MeshPhases(complex.aRe, complex.aIm);
        if (!hooks.TakeMesh(geometry))
            WriteMeshFiles(outputs, job.request.Value(opt::kMesh), geometry,
                           kColorSchemes[job.request.Value(opt::kScheme)]);
    }
    fieldOutputs.Write(outputs);
    const std::string strStats = job.request.Value(opt::kStats) ? SurfaceStatsLine(job, mesh) : "";
    const Camera camera = renderer || bPage ? PictureCamera(job, mesh, hooks) : job.camera;
    if (bPage)
        WritePage(job, mesh, aVertexColors, coloring, camera, outputs, hooks);
    if (renderer)
        WritePictures(job, std::move(mesh), std::move(aVertexColors), coloring, camera, *renderer, outputs,
                      hooks);

    if (!strStats.empty() || !strPoints.empty())
        hooks.Print(strStats + strPoints);
    outputs.Commit();
    TellAfterRun(job, aWarnings, hooks);
}
