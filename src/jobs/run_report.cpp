#include "jobs/run_report.h"

#include <cstdio>

#include "jobs/turned_field.h"

namespace {

// "quantity":"geoid","unit":"m" and the height, for a model's quantity.
std::string QuantityStats(const Job& job)
{
    if (!job.request.Value(opt::kQuantity))
        return "";
    char acText[160];
    std::snprintf(acText, sizeof acText, "\"quantity\":\"%s\",\"unit\":\"%s\",\"height\":%.17g,",
                  job.request.Value(opt::kQuantity)->pszName, job.request.Value(opt::kQuantity)->pszUnit,
                  job.request.Value(opt::kHeight));
    return acText;
}

}  // namespace

std::string SurfaceStatsLine(const Job& job, const SurfaceMesh& mesh)
{
    // No face of a field that is 0 everywhere has a sign.
    const bool bZero = IsZeroField(job.field);
    const int32_t nPositive = bZero ? 0 : mesh.m_aPosQuads.GetSize();
    const int32_t nNegative = bZero ? 0 : mesh.m_aNegQuads.GetSize();
    const long long nFaces = static_cast<long long>(mesh.m_aPosQuads.GetSize()) + mesh.m_aNegQuads.GetSize();
    const Convention& convention = job.field.convention;
    char acLine[512];
    const int nWhat = job.bHarmonic ? std::snprintf(acLine, sizeof acLine, "{\"l\":%d,\"m\":%d,",
                                                    job.request.Value(opt::kL), job.request.Value(opt::kM))
                                    : std::snprintf(acLine, sizeof acLine, "{\"terms\":%zu,\"lmax\":%d,",
                                                    job.field.aTerms.size(), FieldMaxDegree(job.field));
    std::snprintf(acLine + nWhat, sizeof acLine - static_cast<size_t>(nWhat),
                  "\"theta\":%d,\"phi\":%d,\"vertices\":%d,\"faces\":%lld,"
                  "\"positive\":%d,\"negative\":%d,%s%s\"norm\":\"%s\",\"cs\":%s,\"sine\":\"%s\"}\n",
                  job.request.Value(opt::kTheta), job.request.Value(opt::kPhi), mesh.m_aX.GetSize(), nFaces,
                  nPositive, nNegative, bZero ? "\"zero\":true," : "", QuantityStats(job).c_str(),
                  NormalizationName(convention.normalization), convention.bCondonShortley ? "true" : "false",
                  SineSignName(convention.sine));
    return acLine;
}

std::string OrbitalStatsLine(const Job& job, const BoundarySurface& surface)
{
    const OrbitalJob& orbital = job.orbital;
    const OrbitalNumbers& numbers = orbital.orbital.numbers;
    const Convention& convention = orbital.orbital.convention;
    const size_t nPositive = surface.mesh.aTriangles[0].size(), nNegative = surface.mesh.aTriangles[1].size();
    char acLine[640];
    std::snprintf(acLine, sizeof acLine,
                  "{\"n\":%d,\"l\":%d,\"m\":%d,\"charge\":%.17g,\"complex\":%s,\"level\":%.17g,"
                  "\"enclosed\":%.17g,\"peak\":%.17g,\"extent\":%.17g,\"radii\":%d,\"theta\":%d,\"phi\":%d,"
                  "\"vertices\":%zu,\"faces\":%zu,\"positive\":%zu,\"negative\":%zu,\"norm\":\"%s\","
                  "\"cs\":%s,\"sine\":\"%s\"}\n",
                  numbers.n, numbers.l, numbers.m, numbers.dCharge,
                  orbital.orbital.bComplex ? "true" : "false", surface.level.dLevel, surface.level.dEnclosed,
                  surface.level.dPeak, surface.dExtent, surface.nRadii, orbital.grid.nRows,
                  orbital.grid.nColumns, surface.mesh.aPoint.size() / 3, nPositive + nNegative, nPositive,
                  nNegative, NormalizationName(Normalization::kOrtho),
                  convention.bCondonShortley ? "true" : "false", SineSignName(convention.sine));
    return acLine;
}

std::string TableStatsLine(const TableLayout& layout)
{
    char acLine[160];
    std::snprintf(acLine, sizeof acLine, "{\"lmax\":%d,\"side\":%d,\"left\":%d,\"top\":%d,\"pitch\":%d}\n",
                  layout.nMax, layout.nSide, layout.nLeft, layout.nTop, layout.nRowPitch);
    return acLine;
}

std::vector<std::string> FieldWarnings(const Job& job)
{
    if (IsZeroField(job.field))
    {
        if (job.bHarmonic)
            return {"Y(" + std::to_string(job.request.Value(opt::kL)) + ", " +
                    std::to_string(job.request.Value(opt::kM)) +
                    ") is 0 everywhere (it needs 0 <= |m| <= l)"};
        return {"the field is 0 everywhere: no term has l >= 0, |m| <= l and a coefficient other than 0"};
    }
    // --at alone samples no grid, and a map a grid of its own, as do values on the HEALPix grid.
    // A surface (its statistics, mesh or picture) wants about four samples a period; values alone,
    // only samples that determine the field, as analysis on their grid recovers it.
    const bool bSurface =
        job.request.Value(opt::kStats) || job.request.Has(opt::kMesh) || job.request.Has(opt::kOut);
    if (job.kind != JobKind::kSurface ||
        (!bSurface && (!job.request.Has(opt::kValues) || job.healpix.bValues)))
        return {};
    const GridSize grid =
        bSurface ? SufficientGrid(GridField(job)) : DeterminingGrid(GridField(job), job.valuesGrid);
    if (job.request.Value(opt::kTheta) < grid.nRows || job.request.Value(opt::kPhi) < grid.nColumns)
        return {std::string("the grid is too coarse for the field (") +
                (bSurface ? "fewer than four samples a period" : "its samples do not determine it") +
                "): it needs at least --theta " + std::to_string(grid.nRows) + " --phi " +
                std::to_string(grid.nColumns)};
    return {};
}

void TellAfterRun(const Job& job, const std::vector<std::string>& aInputWarnings, IRunHooks& hooks)
{
    if (!job.strConventionNote.empty())
        hooks.Note(job.strConventionNote);
    for (const std::string& strWarning : aInputWarnings)
        hooks.Warn(strWarning);
    for (const std::string& strWarning : FieldWarnings(job))
        hooks.Warn(strWarning);
}
