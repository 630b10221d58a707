#include "jobs/analysed_field.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "export/values_writer.h"
#include "fields/csv_values.h"
#include "fields/netcdf_values.h"
#include "fields/npy_values.h"
#include "fields/raw_values.h"
#include "jobs/healpix_maps.h"
#include "options/request_error.h"
#include "sht/build_limits.h"
#include "sht/degree_band.h"
#include "sht/grid_analysis.h"
#include "sht/point_analysis.h"

namespace {

std::string Scientific(double d)
{
    char acText[32];
    std::snprintf(acText, sizeof acText, "%.2g", d);
    return acText;
}

void AnalysePoints(Job& job, IRunHooks& hooks, std::vector<std::string>& aWarnings)
{
    const std::string strPath = job.request.Value(opt::kAnalyze);
    const std::vector<SamplePoint> aPoints = ReadCsvPoints(strPath);
    PointAnalysis analysis;
    int32_t L = job.nLmax;
    {
        CRunStep step(hooks, "fitting the points");
        if (L < 0)
            L = DefaultPointDegree(aPoints);
        analysis = AnalyzePoints(aPoints, L, job.field.convention);
    }
    job.field = std::move(analysis.field);
    hooks.Print(std::to_string(aPoints.size()) + " points (" + std::to_string(analysis.nDistinctPoints) +
                " distinct) up to degree " + std::to_string(L) +
                (job.nLmax < 0 ? ", the highest they determine" : "") + ": relative residual " +
                Scientific(analysis.dRelativeResidual) + " after " + std::to_string(analysis.nIterations) +
                " iterations\n");
    const std::string strProblem = UndeterminedFitProblem(analysis, L);
    if (!strProblem.empty())
        aWarnings.push_back(strPath + ": " + strProblem);
}

void AnalyseGrid(Job& job, IRunHooks& hooks)
{
    const std::string strPath = job.request.Value(opt::kAnalyze);
    SampleGrid grid = job.request.Value(opt::kGrid).grid;
    GridValues values;
    switch (ValuesFormatOf(strPath))
    {
        case ValuesFormat::kNetcdf:
        {
            NetcdfGridValues found = ReadNetcdfValues(strPath, job.request.Value(opt::kVariable));
            // The file's coordinates say the grid; a --grid that says otherwise is refused.
            if (job.request.Has(opt::kGrid) && found.grid != grid)
                throw RequestError("--analyze '" + strPath + "': the coordinates of " + found.strVariable +
                                   " are a " + SampleGridName(found.grid) + " grid, not the " +
                                   SampleGridName(grid) + " of --grid");
            grid = found.grid;
            values = std::move(found.values);
            break;
        }
        case ValuesFormat::kNpy:
            values = ReadNpyValues(strPath);
            break;
        case ValuesFormat::kCsv:
            values = ReadCsvGridValues(strPath, grid);
            break;
        case ValuesFormat::kRaw:
            values = ReadRawValues(strPath, job.request.Value(opt::kTheta), job.request.Value(opt::kPhi));
            break;
    }
    const int32_t nLimit = AnalysisLimit(grid, values.nT, values.nP);
    CRunStep step(hooks, "analysing the values");
    try
    {
        job.field = AnalyzeGrid(values.aValues.data(), grid, values.nT, values.nP,
                                job.nLmax >= 0 ? job.nLmax : std::max(nLimit, 0), job.field.convention);
    }
    catch (const std::invalid_argument& error)
    {
        throw RequestError("--analyze '" + strPath + "': " + error.what());
    }
}

}  // namespace

Job WithAnalysedField(const Job& given, IRunHooks& hooks, std::vector<std::string>& aWarnings)
{
    if (given.request.Value(opt::kAnalyze).empty())
        return given;
    Job job = given;
    if (job.healpix.bAnalysis)
        AnalyseHealpixMap(job, hooks);
    else if (job.request.Value(opt::kGrid).bPoints)
        AnalysePoints(job, hooks, aWarnings);
    else
        AnalyseGrid(job, hooks);
    // The degrees below --lmin go once they are found: the analysis's own degree is --lmax.
    job.field = DegreeBand(job.field, job.nLmin, -1);
    for (Field& field : job.healpix.aPolarised)
        field = DegreeBand(field, job.nLmin, -1);
    return job;
}
