#include <algorithm>
#include <optional>
#include <utility>

#include "colour/color_schemes.h"
#include "colour/field_coloring.h"
#include "export/mesh_export.h"
#include "export/output_files.h"
#include "export/values_writer.h"
#include "jobs/analysed_field.h"
#include "jobs/field_outputs.h"
#include "jobs/file_field.h"
#include "jobs/model_quantity.h"
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
#include "sht/symmetry_zeros.h"

namespace {

// --at: the field's value at each point, one line each; re and im of a complex field.
std::string PointValues(const Job& job)
{
    std::string strText;
    if (job.bComplex)
        for (const std::array<double, 2>& value : EvaluateComplexField(job.complexField, job.aAt))
        {
            CheckFiniteValues(value.data(), value.size());
            strText += DecimalText(value[0]) + ' ' + DecimalText(value[1]) + '\n';
        }
    else
        for (double dValue : EvaluateField(job.field, job.aAt))
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
    const bool bSurface =
        job.bStats || !job.strMeshPath.empty() || !job.strPicturePath.empty() || !job.strPagePath.empty();
    // A page the browser could not build is refused before the surface is.
    if (!job.strPagePath.empty())
        CheckPageSamples(job.nThetaDiv, job.nPhiDiv);
    SurfaceMesh mesh;
    ComplexSamples complex;  // --complex: both parts of the field at every sample
    {
        CRunStep step(hooks, bSurface ? "building the surface" : "sampling the field");
        const auto onRow = [&step](int32_t nDone, int32_t nRows) { step.Advance(nDone, nRows); };
        // Values alone need no surface geometry; a complex field's polar plot is that of |f|.
        if (job.bComplex)
        {
            complex = SampleComplexField(job.complexField, job.nThetaDiv, job.nPhiDiv, onRow);
            if (bSurface)
                BuildSurfaceMesh(ComplexModulus(complex), job.nThetaDiv, job.nPhiDiv, job.radius, mesh);
        }
        else if (bSurface)
            BuildSurfaceMesh(job.field, job.nThetaDiv, job.nPhiDiv, job.radius, mesh, onRow);
        else if (!job.strValuesPath.empty() && !job.aMagnitudeParts.empty())
            mesh.m_aValue = SampleMagnitude(job.aMagnitudeParts, job.nThetaDiv, job.nPhiDiv, onRow);
        else if (!job.strValuesPath.empty())
            mesh.m_aValue = SampleField(job.field, job.nThetaDiv, job.nPhiDiv, onRow);
    }
    for (const DoubleArray* pValues : {&mesh.m_aValue, &complex.aRe, &complex.aIm})
        CheckFiniteValues(pValues->GetData(), static_cast<size_t>(pValues->GetSize()));
    const std::string strPoints = job.aAt.empty() ? "" : PointValues(job);
    const CFieldOutputs fieldOutputs(job);

    // The drawing is what most needs memory and a working driver: it is made before any output
    // is written, so that a run that cannot draw writes nothing.
    std::optional<CPictureRenderer> renderer;
    if (!job.strPicturePath.empty())
        renderer.emplace(job.nWidth, job.nHeight, PictureStyle{job.nSupersample, job.background});

    COutputSet outputs;
    if (!job.strValuesPath.empty())
    {
        // The shape of the grid actually sampled: no count below 0.
        const int32_t nRows = std::max(job.nThetaDiv, 0), nColumns = std::max(job.nPhiDiv, 0);
        outputs.Write(job.strValuesPath, [&](COutputStream& stream) {
            WriteValues(stream, job.bComplex ? complex.aRe : mesh.m_aValue, ValuesFormatOf(job.strValuesPath),
                        nRows, nColumns, job.bComplex ? &complex.aIm : nullptr);
        });
    }
    // The colours the picture shows, which a mesh carries too, with a complex field's phase.
    const bool bPage = !job.strPagePath.empty();
    const bool bColors = renderer || bPage || !job.strMeshPath.empty();
    const FieldColoring coloring = bColors ? SurfaceColoring(job, mesh, complex) : FieldColoring{};
    std::vector<Rgb8> aVertexColors =
        bColors ? VertexColors(job, mesh, complex, coloring) : std::vector<Rgb8>();
    if (!job.strMeshPath.empty())
    {
        MeshGeometry geometry =
            MakeMeshGeometry(mesh,
                             job.bComplex ? ComplexSymmetryZeros(job.complexField, job.nThetaDiv, job.nPhiDiv)
                                          : SymmetryZeros(job.field, job.nThetaDiv, job.nPhiDiv),
                             MeshShape{job.nThetaDiv, job.nPhiDiv, job.radius, job.dScaleMillimetres});
        geometry.aColor = aVertexColors;
        if (job.bComplex)
            geometry.aPhase = MeshPhases(complex.aRe, complex.aIm);
        if (!hooks.TakeMesh(geometry))
            WriteMeshFiles(outputs, job.strMeshPath, geometry, kColorSchemes[job.nColorScheme]);
    }
    fieldOutputs.Write(outputs);
    const std::string strStats = job.bStats ? SurfaceStatsLine(job, mesh) : "";
    const Camera camera = renderer || bPage ? PictureCamera(job, mesh, hooks) : job.camera;
    if (bPage)
        WritePage(job, mesh, aVertexColors, coloring, camera, outputs, hooks);
    if (renderer)
        WritePictures(job, std::move(mesh), std::move(aVertexColors), camera, *renderer, outputs, hooks);

    if (!strStats.empty() || !strPoints.empty())
        hooks.Print(strStats + strPoints);
    outputs.Commit();
    TellAfterRun(job, aWarnings, hooks);
}
