#include "jobs/job_coloring.h"

#include "colour/color_schemes.h"

FieldColoring JobColoring(const Job& job, const FieldExtremes& extremes, bool bModulus)
{
    const Request& r = job.request;
    return ChooseColoring(job.colorMode, kColorSchemes[r.Value(opt::kScheme)], r.Value(opt::kColormap),
                          r.Get(opt::kRange), extremes.dLowest, extremes.dHighest, bModulus);
}
