#include "jobs/run_report.h"

#include <cstdio>
#include <cstdlib>

std::string SurfaceStatsLine(const Job& job, const SurfaceMesh& mesh)
{
    const int32_t nPositive = mesh.m_aPosQuads.GetSize();
    const int32_t nNegative = mesh.m_aNegQuads.GetSize();
    const Convention& convention = job.field.convention;
    char acLine[384];
    const int nWhat = job.bHarmonic
                          ? std::snprintf(acLine, sizeof acLine, "{\"l\":%d,\"m\":%d,", job.l, job.m)
                          : std::snprintf(acLine, sizeof acLine, "{\"terms\":%zu,\"lmax\":%d,",
                                          job.field.aTerms.size(), FieldMaxDegree(job.field));
    std::snprintf(acLine + nWhat, sizeof acLine - static_cast<size_t>(nWhat),
                  "\"theta\":%d,\"phi\":%d,\"vertices\":%d,\"faces\":%lld,"
                  "\"positive\":%d,\"negative\":%d,\"norm\":\"%s\",\"cs\":%s,\"sine\":\"%s\"}\n",
                  job.nThetaDiv, job.nPhiDiv, mesh.m_aX.GetSize(),
                  static_cast<long long>(nPositive) + nNegative, nPositive, nNegative,
                  NormalizationName(convention.normalization), convention.bCondonShortley ? "true" : "false",
                  SineSignName(convention.sine));
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
    std::vector<std::string> aWarnings;
    if (job.bHarmonic && (job.l < 0 || std::llabs(static_cast<long long>(job.m)) > job.l))
        aWarnings.push_back("Y(" + std::to_string(job.l) + ", " + std::to_string(job.m) +
                            ") is 0 everywhere (it needs 0 <= |m| <= l)");
    const GridSize grid = SufficientGrid(job.field);
    const bool bGrid = job.nThetaDiv > 0 && job.nPhiDiv > 0;
    if (bGrid && (job.nThetaDiv < grid.nRows || job.nPhiDiv < grid.nColumns))
        aWarnings.push_back(
            "the grid is too coarse for the field (fewer than four samples a period): it needs at least "
            "--theta " +
            std::to_string(grid.nRows) + " --phi " + std::to_string(grid.nColumns));
    return aWarnings;
}
