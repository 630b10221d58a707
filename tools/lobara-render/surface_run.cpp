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
#include "export/mesh_geometry.h"
#include "export/output_files.h"
#include "export/png_writer.h"
#include "export/values_writer.h"
#include "lobara-render/file_field.h"
#include "lobara-render/progress.h"
#include "render/picture_renderer.h"
#include "render/write_behind.h"
#include "surface/color_schemes.h"
#include "surface/complex_field.h"
#include "surface/field_coloring.h"
#include "surface/field_rows.h"
#include "surface/field_synthesis.h"
#include "surface/surface_builder.h"
#include "surface/symmetry_zeros.h"
#include "text/picture_title.h"

namespace {

std::string StatsLine(const RenderOptions& options, const SurfaceMesh& mesh)
{
    const int32_t nPositive = mesh.m_aPosQuads.GetSize();
    const int32_t nNegative = mesh.m_aNegQuads.GetSize();
    const Convention& convention = options.field.convention;
    char acLine[384];
    const int nWhat =
        options.aTerms.empty()
            ? std::snprintf(acLine, sizeof acLine, "{\"l\":%d,\"m\":%d,", options.nL, options.nM)
            : std::snprintf(acLine, sizeof acLine, "{\"terms\":%zu,\"lmax\":%d,", options.field.aTerms.size(),
                            FieldMaxDegree(options.field));
    std::snprintf(acLine + nWhat, sizeof acLine - static_cast<size_t>(nWhat),
                  "\"theta\":%d,\"phi\":%d,\"vertices\":%d,\"faces\":%lld,"
                  "\"positive\":%d,\"negative\":%d,\"norm\":\"%s\",\"cs\":%s,\"sine\":\"%s\"}\n",
                  options.nThetaDiv, options.nPhiDiv, mesh.m_aX.GetSize(),
                  static_cast<long long>(nPositive) + nNegative, nPositive, nNegative,
                  NormalizationName(convention.normalization), convention.bCondonShortley ? "true" : "false",
                  convention.sine == SineSign::kLobara ? "lobara" : "standard");
    return acLine;
}

// The warnings that the field asks for: nothing to show, or a grid too coarse for it.
void WarnAbout(const RenderOptions& options)
{
    if (options.aTerms.empty() &&
        (options.nL < 0 || std::llabs(static_cast<long long>(options.nM)) > options.nL))
        std::fprintf(stderr, "lobara-render: warning: Y(%d, %d) is 0 everywhere (it needs 0 <= |m| <= l)\n",
                     options.nL, options.nM);
    const GridSize grid = SufficientGrid(options.field);
    const bool bGrid = options.nThetaDiv > 0 && options.nPhiDiv > 0;
    if (bGrid && (options.nThetaDiv < grid.nRows || options.nPhiDiv < grid.nColumns))
        std::fprintf(stderr,
                     "lobara-render: warning: the grid is too coarse for the field (fewer than four samples "
                     "a period): it needs at least --theta %lld --phi %lld\n",
                     static_cast<long long>(grid.nRows), static_cast<long long>(grid.nColumns));
}

// --at: the field's value at each point, one line each; re and im of a complex field.
std::string PointValues(const RenderOptions& options)
{
    std::string strText;
    if (options.bComplex)
        for (const std::array<double, 2>& value :
             EvaluateComplexField(ComplexParts(options.field), options.aAt))
            strText += DecimalText(value[0]) + ' ' + DecimalText(value[1]) + '\n';
    else
        for (double dValue : EvaluateField(options.field, options.aAt))
            strText += DecimalText(dValue) + '\n';
    return strText;
}

// The colour of each vertex for --color phase or value (none for sign): of its signed value, or
// of the complex value sampled there.
std::vector<Rgb8> VertexColors(const RenderOptions& options, const SurfaceMesh& mesh,
                               const ComplexSamples& complex)
{
    if (options.colorMode == ColorMode::kSign)
        return {};
    const DoubleArray& aRe = options.bComplex ? complex.aRe : mesh.m_aValue;
    const FieldColoring coloring =
        ChooseColoring(options.colorMode, kColorSchemes[options.nColorScheme], options.strColorMap,
                       options.bRange, options.dRangeLow, options.dRangeHigh, aRe, complex.aIm);
    std::vector<Rgb8> aColors(static_cast<size_t>(aRe.GetSize()));
    for (int32_t k = 0; k < aRe.GetSize(); ++k)
        aColors[static_cast<size_t>(k)] = ColorOf(coloring, aRe[k], options.bComplex ? complex.aIm[k] : 0.0);
    return aColors;
}

void PrintToStdout(const std::string& strText)
{
    if (std::fputs(strText.c_str(), stdout) == EOF || std::fflush(stdout) != 0)
        throw std::runtime_error(std::string("cannot write to stdout: ") + std::strerror(errno));
}

// The single picture, or every frame of the turntable, each encoded and written while the next
// one draws.
void WritePictures(const RenderOptions& options, const ColorScheme& colors, SurfaceMesh&& mesh,
                   std::vector<Rgb8>&& aVertexColors, CPictureRenderer& renderer, COutputSet& outputs)
{
    const bool bTurntable = options.nTurntableFrames > 0;
    const int nFrames = bTurntable ? options.nTurntableFrames : 1;
    Camera camera = options.camera;
    if (options.bFit)
        FitCamera(mesh, camera.to, options.nWidth, options.nHeight, nFrames, camera.from);

    renderer.SetSurface(std::move(mesh), colors);
    renderer.SetVertexShading(std::move(aVertexColors), options.bSmooth);
    CProgress progress(bTurntable ? "rendering frames" : "rendering the picture");
    CWriteBehind writer;
    for (int k = 0; k < nFrames; ++k)
        writer.Add([&, k]() -> CWriteBehind::Job {
            Camera frame = camera;
            TurntableFrom(camera.from, camera.to, k, nFrames, frame.from);
            return [&, k, drawing = renderer.Draw(frame)]() mutable {
                Picture picture = renderer.Downsample(std::move(drawing));
                DrawTitle(picture, options.strTitle, options.background);
                outputs.Write(bTurntable ? FrameName(options.framePattern, k) : options.strPicturePath,
                              [&picture](COutputStream& stream) { WritePng(stream, picture); });
                progress.Update(k + 1, nFrames);
            };
        });
    writer.Finish();
}

}  // namespace

void RunSurface(const RenderOptions& given)
{
    std::vector<std::string> aWarnings;
    const RenderOptions options = WithFileField(given, aWarnings);
    const ColorScheme& colors = kColorSchemes[options.nColorScheme];
    const bool bSurface = options.bStats || !options.strMeshPath.empty() || !options.strPicturePath.empty();
    SurfaceMesh mesh;
    ComplexSamples complex;  // --complex: both parts of the field at every sample
    {
        CProgress progress(bSurface ? "building the surface" : "sampling the field");
        const auto onRow = [&progress](int32_t nDone, int32_t nRows) { progress.Update(nDone, nRows); };
        // Values alone need no surface geometry; a complex field's polar plot is that of |f|.
        if (options.bComplex)
        {
            complex =
                SampleComplexField(ComplexParts(options.field), options.nThetaDiv, options.nPhiDiv, onRow);
            if (bSurface)
                BuildSurfaceMesh(ComplexModulus(complex), options.nThetaDiv, options.nPhiDiv, options.radius,
                                 mesh);
        }
        else if (bSurface)
            BuildSurfaceMesh(options.field, options.nThetaDiv, options.nPhiDiv, options.radius, mesh, onRow);
        else if (!options.strValuesPath.empty())
            mesh.m_aValue = SampleField(options.field, options.nThetaDiv, options.nPhiDiv, onRow);
    }
    const std::string strPoints = options.aAt.empty() ? "" : PointValues(options);

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
            if (options.bComplex)
                WriteValues(stream, complex.aRe, ValuesFormatOf(options.strValuesPath), nRows, nColumns,
                            &complex.aIm);
            else
                WriteValues(stream, mesh.m_aValue, ValuesFormatOf(options.strValuesPath), nRows, nColumns);
        });
    }
    if (!options.strMeshPath.empty())
        WriteMeshFiles(
            outputs, options.strMeshPath,
            MakeMeshGeometry(
                mesh,
                options.bComplex
                    ? ComplexSymmetryZeros(ComplexParts(options.field), options.nThetaDiv, options.nPhiDiv)
                    : SymmetryZeros(options.field, options.nThetaDiv, options.nPhiDiv),
                MeshShape{options.nThetaDiv, options.nPhiDiv, options.radius, options.dScaleMillimetres}),
            colors);
    const std::string strStats = options.bStats ? StatsLine(options, mesh) : "";
    if (renderer)
    {
        std::vector<Rgb8> aVertexColors = VertexColors(options, mesh, complex);
        WritePictures(options, colors, std::move(mesh), std::move(aVertexColors), *renderer, outputs);
    }

    if (!strStats.empty() || !strPoints.empty())
        PrintToStdout(strStats + strPoints);
    outputs.Commit();
    // After the run, so that a run that fails says one thing.
    PrintFileWarnings(options, aWarnings);
    WarnAbout(options);
}
